// The pulse-train operation panel's switches: servo, operation type, alarm cancel and
// deviation clear, and the two states the I/O monitor polls besides the lamps.
#include "drive/IoMonitor.h"
#include "link/Command.h"
#include "link/ReplyRules.h"
#include "pulse/PulseDrive.h"
#include "transfers/LinkReports.h"

using Ops::stateOf;
using ReplyRules::isOk;
using ReplyRules::isRefusal;
using ReplyRules::isStop;

// ---- Servo, operation type, alarm and deviation ---------------------------------------------

// A two-state switch of the controller: query its state, show it as the caption of the action
// a click performs, ask, then send the switch with 1 or 0.
struct PulseDrive::Switch {
    const char* title;
    int query;
    const char* button;
    // The caption for a state character; nullptr for a state that is not known.
    const char* (*captionOf)(const QString& state);
    const char* onCaption; // the caption whose click sends 1
    const char* offCaption;
    const char* askOn;
    const char* askOff;
    int command;
};

void PulseDrive::toggle(const Switch& sw) {
    if (!state().motion.idle())
        return;
    const DriveContext c = Ops::titled(m_ctx, QString::fromLatin1(sw.title));
    c.link.setErrorText({});
    ExchangeResult r = Ops::exchange(c, sw.query, {}, 3000);
    if (r.Timeout()) {
        Ops::reportLinkError(c, r);
        return;
    }
    const char* caption = sw.captionOf(r.ReplyText.left(1));
    if (!caption)
        return;
    m_host.setControlText(sw.button, QString::fromLatin1(caption));
    const bool on = qstrcmp(caption, sw.onCaption) == 0;
    if (Ops::askYesNo(c, QString::fromLatin1(on ? sw.askOn : sw.askOff))) {
        r = Ops::exchange(c, sw.command, on ? QStringLiteral("1") : QStringLiteral("0"), 3000);
        if (r.Timeout()) {
            Ops::reportLinkError(c, r);
            return;
        }
        if (isRefusal(r.ReplyText)) {
            Ops::reportNg(c, r);
            return;
        }
        m_host.setControlText(sw.button, QString::fromLatin1(on ? sw.offCaption : sw.onCaption));
    }
    if (r.ReplyText.startsWith(QLatin1String("OK")))
        m_monitor->clearGuard();
}

void PulseDrive::servoClicked() {
    static const Switch servo{"Servo",
                              Command::QuerySRVO,
                              PulseCtl::Servo,
                              [](const QString& state) -> const char* {
                                  if (state == u"1")
                                      return PulseCaption::ServoOff;
                                  return state == u"0" ? PulseCaption::ServoOn : nullptr;
                              },
                              PulseCaption::ServoOn,
                              PulseCaption::ServoOff,
                              "Execute servo ON?",
                              "Execute servo OFF?",
                              Command::SRVO};
    toggle(servo);
}

void PulseDrive::operationTypeClicked() {
    static const Switch press{"Press",
                              Command::QueryPRS,
                              PulseCtl::OperationType,
                              [](const QString& state) -> const char* {
                                  if (state == u"0")
                                      return PulseCaption::Pushing;
                                  if (state == u"1" || state == u"2" || state == u"3")
                                      return PulseCaption::Positioning;
                                  return nullptr;
                              },
                              PulseCaption::Pushing,
                              PulseCaption::Positioning,
                              "Change to pushing operation?",
                              "Change to positioning operation?",
                              Command::PRESS};
    toggle(press);
}

void PulseDrive::confirmAndSend(const char* title, const char* question, int code) {
    if (!state().motion.idle())
        return;
    const DriveContext c = Ops::titled(m_ctx, QString::fromLatin1(title));
    c.link.setErrorText({});
    // The last reply the window shows tells whether the I/O monitor may go on.
    QString last = c.link.receivedText();
    if (Ops::askYesNo(c, QString::fromLatin1(question))) {
        const ExchangeResult r = Ops::exchange(c, code, {}, 3000);
        last = r.ReplyText;
        if (r.Timeout())
            Ops::reportLinkError(c, r); // also hides the progress dialog
        else if (isRefusal(r.ReplyText))
            Ops::reportNg(c, r);
    }
    if (last.startsWith(QLatin1String("OK")))
        m_monitor->clearGuard();
}

void PulseDrive::alarmClicked() {
    confirmAndSend("Canceling alarm", "Cancel alarm?", Command::ALR);
}

void PulseDrive::deviationClicked() {
    confirmAndSend("Clearing pulse-deviation", "Clear pulse-deviation?", Command::CCLR);
}

void PulseDrive::showServoState(const QString& value) {
    if (value == u"1")
        m_host.setControlText(PulseCtl::Servo, QString::fromLatin1(PulseCaption::ServoOff));
    else if (value == u"0")
        m_host.setControlText(PulseCtl::Servo, QString::fromLatin1(PulseCaption::ServoOn));
}

void PulseDrive::showOperationType(const QString& value, bool enable) {
    const char* caption = value == u"0"   ? PulseCaption::Pushing
                          : value == u"2" ? PulseCaption::Positioning
                                          : nullptr;
    if (caption)
        m_host.setControlText(PulseCtl::OperationType, QString::fromLatin1(caption));
    // While the controller switches (1 or 3) the button waits for the switch to end.
    if (value == u"1" || value == u"3")
        setSwitches({PulseCtl::OperationType}, false);
    else if (caption && enable)
        setSwitches({PulseCtl::OperationType}, true);
}

bool PulseDrive::pollState(const DriveContext& poll, int code, const char* title) {
    if (!state().motion.idle() || m_closing)
        return true;
    const DriveContext c = Ops::titled(poll, QString::fromLatin1(title));
    const ExchangeResult r = Ops::exchange(c, code, {}, 3000);
    if (r.Timeout()) {
        Ops::reportLinkError(c, r);
        return false;
    }
    if (!isOk(r.ReplyText) && !isStop(r.ReplyText)) {
        Ops::reportNg(c, r);
        return false;
    }
    const QString value = stateOf(r);
    if (code == Command::QuerySRVO)
        showServoState(value);
    else
        showOperationType(value, m_host.controlEnabled(PulseCtl::DriveFrame));
    return true;
}
