// The pulse-train operation panel: Setting and Operation mode, the servo and operation type
// switches, alarm cancel, deviation clear, Org, start, Stop and the I/O monitor poll. Direct
// teaching and SET are in PulseTeaching.cpp.
#include "pulse/PulseDrive.h"

#include "drive/IoMonitor.h"
#include "link/Command.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/ZoneTableModel.h"
#include "tables/ActuatorType.h"

#include <QTimer>

namespace {

bool has(const QString& text, const char* marker) {
    return text.contains(QLatin1String(marker));
}

// The state a one-value reply reports: the first character of its value.
QString stateOf(const QString& reply) {
    return Link::ExtractReplyValue(reply).trimmed().left(1);
}

double number(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok ? v : 0.0;
}

// The buttons of the frame "Drive" that a motion and the start sequence switch together.
constexpr const char* kSwitchButtons[] = {PulseCtl::Servo, PulseCtl::Deviation,
                                          PulseCtl::OperationType, PulseCtl::Brake,
                                          PulseCtl::Alarm};

} // namespace

PulseDrive::PulseDrive(Link& link, OperatorInteraction& op, ProgressView& progress,
                       PulseDriveHost& host, ZoneTableModel& zones, PulseParameterModel& params,
                       QObject* parent)
    : QObject(parent), m_ctx{{link, op, progress, host}, host}, m_host(host), m_zones(zones),
      m_params(params), m_monitor(new IoMonitor([this] { return state().operationMode; },
                                                [this] { return ioPoll(); }, this)),
      m_poll(new QTimer(this)) {
    m_poll->setSingleShot(true);
    connect(m_poll, &QTimer::timeout, this, &PulseDrive::pollTeaching);
}

void PulseDrive::stopForExit() {
    m_closing = true;
    Drive::stopForExit(m_ctx, {m_monitor->timer(), m_poll});
}

void PulseDrive::setDriveButtons(std::initializer_list<const char*> names, bool enabled) {
    for (const char* name : names)
        m_host.setControlEnabled(name, enabled);
}

// ---- Operation and Setting ------------------------------------------------------------------

void PulseDrive::operationClicked() {
    DriveState& s = state();
    Link& link = m_ctx.link;
    m_host.setControlText(Ctl::Pos, QStringLiteral("0.00"));
    m_host.setSettei(0);
    if (link.ReplyText.startsWith(QLatin1String("OK")))
        m_monitor->clearGuard();
    // The button stays enabled while its reads run: a second click must not start them again.
    if (s.operationMode || m_entering || motionRunning())
        return;
    m_entering = true;
    link.operationTitle = QStringLiteral("Drive");
    m_host.setControlColour(Ctl::Operation, DriveColour::OperationActive);
    m_host.setControlColour(Ctl::Setting, DriveColour::Idle);
    m_host.setControlColour(Ctl::Set, DriveColour::Set);
    for (const char* name : kSwitchButtons)
        m_host.setControlColour(name, std::nullopt);
    for (const char* name : {Ctl::Org, Ctl::Start, Ctl::Stop})
        m_host.setControlColour(name, std::nullopt);
    m_host.disableCommands();
    // The zones are not edited while the actuator is driven.
    m_zones.setLocked(true);
    setDriveButtons(
        {Ctl::SetBase, Ctl::TargetP, PulseCtl::JogOpen, PulseCtl::JogClose, Ctl::Set, Ctl::Stop},
        false);
    m_host.setControlEnabled(PulseCtl::TeachingFrame, false);
    m_host.setControlEnabled(PulseCtl::DriveFrame, true);
    m_host.setControlEnabled(PulseCtl::DisplayFrame, true);
    link.setErrorText({});
    m_monitor->start();
    s.panelMode = DriveState::Numeric;

    const bool read = readOperationValues();
    m_entering = false;
    if (!read) {
        Drive::reportEntryFailed(m_ctx);
        settingClicked();
        return;
    }
    setDriveButtons({Ctl::Org, Ctl::Start, PulseCtl::Servo, PulseCtl::Deviation, PulseCtl::Brake,
                     PulseCtl::Alarm},
                    true);
    s.operationMode = true;
}

bool PulseDrive::readOperationValues() {
    DriveState& s = state();
    Link& link = m_ctx.link;
    const auto failed = [&link] { return link.Timeout || link.ReplyText.isEmpty(); };
    const QString type = Ops::readParameterValue(m_ctx, 0).trimmed();
    if (failed())
        return false;
    s.stroke = ActuatorType::stroke(type);
    const QString direction = Ops::readParameterValue(m_ctx, 5);
    if (failed())
        return false;
    s.originDirection = direction.trimmed() == QLatin1String("1") ? 1 : 0;
    const QString shift = Ops::readParameterValue(m_ctx, 35);
    if (failed())
        return false;
    s.originShift = number(shift);
    Ops::exchange(m_ctx, Command::QuerySRVO, {}, 3000);
    if (failed())
        return false;
    showServoState(stateOf(link.ReplyText));
    Ops::exchange(m_ctx, Command::QueryPRS, {}, 3000);
    if (failed())
        return false;
    showOperationType(stateOf(link.ReplyText), true);
    return true;
}

void PulseDrive::settingClicked() {
    DriveState& s = state();
    m_host.setStopDialogShown(false);
    m_params.setReceiving(false);
    if (m_teaching)
        endTeaching();
    m_host.setControlEnabled(Ctl::Operation, true);
    m_host.setControlEnabled(PulseCtl::TeachingFrame, true);
    m_host.setControlEnabled(PulseCtl::DriveFrame, false);
    m_host.setControlEnabled(PulseCtl::DisplayFrame, false);
    m_host.enableCommands();
    m_zones.setLocked(false);
    m_monitor->stop();
    m_host.setControlColour(Ctl::Setting, DriveColour::SettingActive);
    m_host.setControlColour(Ctl::Operation, DriveColour::Idle);
    for (const char* name : kSwitchButtons)
        m_host.setControlColour(name, std::nullopt);
    m_host.setControlColour(Ctl::Stop, std::nullopt);
    m_host.setControlColour(Ctl::Org, DriveColour::Idle);
    m_host.setControlColour(Ctl::Start, DriveColour::Idle);
    m_ctx.link.setErrorText({});
    setDriveButtons({Ctl::TargetP, Ctl::SetBase, Ctl::Set}, true);
    setDriveButtons({Ctl::Org, Ctl::Start, Ctl::Stop}, false);
    for (const char* name : kSwitchButtons)
        m_host.setControlEnabled(name, false);
    s.operationMode = false;
    s.panelMode = DriveState::Numeric;
    m_host.setControlChecked(PulseCtl::Numeric, true);
    m_host.setSettei(1);
    m_host.resetLamps();
    s.orgpos = 0;
}

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
    if (state().motionBusy)
        return;
    Link& link = m_ctx.link;
    link.setErrorText({});
    m_host.setControlEnabled(Ctl::Setting, true);
    link.operationTitle = QString::fromLatin1(sw.title);
    Ops::exchange(m_ctx, sw.query, {}, 3000);
    if (link.Timeout) {
        m_host.enableWindow();
        link.ReportLinkError(m_ctx.op, m_host);
        return;
    }
    const char* caption = sw.captionOf(link.ReplyText.left(1));
    if (!caption)
        return;
    m_host.setControlText(sw.button, QString::fromLatin1(caption));
    const bool on = qstrcmp(caption, sw.onCaption) == 0;
    if (Ops::askYesNo(m_ctx, QString::fromLatin1(on ? sw.askOn : sw.askOff))) {
        Ops::exchange(m_ctx, sw.command, on ? QStringLiteral("1") : QStringLiteral("0"), 3000);
        if (link.Timeout) {
            link.ReportLinkError(m_ctx.op, m_host);
            return;
        }
        if (has(link.ReplyText, "NG")) {
            Ops::reportNg(m_ctx);
            return;
        }
        m_host.setControlText(sw.button, QString::fromLatin1(on ? sw.offCaption : sw.onCaption));
    }
    if (link.ReplyText.startsWith(QLatin1String("OK")))
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
    if (state().motionBusy)
        return;
    Link& link = m_ctx.link;
    link.setErrorText({});
    m_host.setControlEnabled(Ctl::Setting, true);
    link.operationTitle = QString::fromLatin1(title);
    if (Ops::askYesNo(m_ctx, QString::fromLatin1(question))) {
        Ops::exchange(m_ctx, code, {}, 3000);
        if (link.Timeout)
            link.ReportLinkError(m_ctx.op, m_host); // also hides the progress dialog
        else if (has(link.ReplyText, "NG"))
            Ops::reportNg(m_ctx);
    }
    if (link.ReplyText.startsWith(QLatin1String("OK")))
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
        m_host.setControlEnabled(PulseCtl::OperationType, false);
    else if (caption && enable)
        m_host.setControlEnabled(PulseCtl::OperationType, true);
}

// ---- Org, start and Stop --------------------------------------------------------------------

void PulseDrive::orgPressed() {
    Drive::markPressed(m_ctx, Ctl::Org, DriveColour::Set);
}

void PulseDrive::startPressed() {
    Drive::markPressed(m_ctx, Ctl::Start, DriveColour::StartPressed);
}

void PulseDrive::orgClicked() {
    Link& link = m_ctx.link;
    if (!motionRunning()) {
        link.operationTitle = QStringLiteral("Return to origin");
        if (Ops::askYesNo(m_ctx, QStringLiteral("Return to origin? Please push stop switch if you "
                                                "stop operating."))) {
            m_host.setControlEnabled(Ctl::Setting, false);
            link.setErrorText({});
            // Operation mode has its own Stop button: no stop dialog.
            if (returnToOrigin(false) == Drive::Outcome::Done)
                m_monitor->clearGuard();
            m_host.setControlEnabled(Ctl::Setting, true);
        }
    }
    m_host.setControlColour(Ctl::Org, DriveColour::Idle);
}

Drive::Outcome PulseDrive::returnToOrigin(bool showStopDialog) {
    DriveState& s = state();
    m_monitor->stop();
    if (s.operationMode) {
        m_host.setControlEnabled(Ctl::Start, false);
        m_host.setControlEnabled(Ctl::Stop, true);
        m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringOrigin);
    }
    Drive::OriginReturn how;
    how.showStopDialog = showStopDialog;
    how.strokeParameter = 0; // the actuator type gives the stroke
    how.strokeOf = [](const QString& type) { return double(ActuatorType::stroke(type)); };
    how.moving = [this] {
        for (const char* name : kSwitchButtons)
            m_host.setControlEnabled(name, false);
    };
    how.moved = [this] {
        m_params.setReceiving(false);
        if (state().operationMode)
            for (const char* name : kSwitchButtons)
                m_host.setControlEnabled(name, true);
    };
    how.teaching = [this](double mm, double shift) { showTeachingPosition(mm, shift); };
    const Drive::Outcome outcome = Drive::returnToOrigin(m_ctx, how);
    // The return has ended: time-outs are reported again.
    s.orgpos = 0;
    m_host.setControlColour(Ctl::Org, DriveColour::Idle);
    if (s.operationMode) {
        m_host.setControlEnabled(Ctl::Start, true);
        m_host.setControlEnabled(Ctl::Stop, false);
        m_host.setControlColour(Ctl::Stop, std::nullopt);
        if (!m_closing)
            m_monitor->resume();
    }
    return outcome;
}

void PulseDrive::startClicked() {
    DriveState& s = state();
    Link& link = m_ctx.link;
    if (motionRunning())
        return;
    s.orgpos = 1;
    link.setErrorText({});
    for (;;) {
        if (!Drive::askStart(m_ctx, QStringLiteral("Do you start?")))
            break;
        m_monitor->stop();
        setDriveButtons({Ctl::Org, Ctl::Start, Ctl::Stop}, true);
        for (const char* name : kSwitchButtons)
            m_host.setControlEnabled(name, true);
        for (const char* name :
             {Ctl::Stop, PulseCtl::Deviation, PulseCtl::Brake, PulseCtl::OperationType})
            m_host.setControlColour(name, DriveColour::StopDuringOrigin);
        if (!excite())
            break;
        // The excitation's title names only its own exchanges: a failed move is the start's.
        link.operationTitle = QStringLiteral("Start");

        Ops::exchangeAsWritten(m_ctx, Command::QueryORG, QStringLiteral("@?ORG"), 3000);
        if (link.ReplyText.isEmpty()) {
            m_host.setControlEnabled(Ctl::Setting, true);
            s.orgpos = 0;
            link.ReportLinkError(m_ctx.op, m_host);
            break;
        }
        if (has(link.ReplyText, "NG")) {
            Ops::reportNg(m_ctx);
            break;
        }
        if (stateOf(link.ReplyText) == u"1") {
            m_host.setControlEnabled(Ctl::Org, false);
            s.motionBusy = true;
            const QString zone = QString::number(m_host.currentZoneCell().first);
            // A move waits as long as the point-input kind's moves.
            Ops::exchangeAsWritten(m_ctx, Command::MOVP, QStringLiteral("@MOVP ") + zone, 22000);
            s.motionBusy = false;
            if (link.ReplyText.isEmpty()) {
                s.orgpos = 0;
                link.ReportLinkError(m_ctx.op, m_host);
            } else if (!has(link.ReplyText, "OK")) {
                link.setErrorText(link.ReplyText);
            }
            break;
        }
        link.operationTitle = QStringLiteral("Start");
        // Without the origin the controller refuses the move: declining ends the start.
        if (!Ops::askYesNo(m_ctx, QStringLiteral("Execute return to origin? If stopping in "
                                                 "operations required, press Pop-up button.")))
            break;
        const Drive::Outcome origin = returnToOrigin(true);
        s.orgpos = 1;
        if (origin == Drive::Outcome::Stopped)
            link.setErrorText(QStringLiteral("STOP･･61:STOP COMMAND"));
        if (origin != Drive::Outcome::Done)
            break;
    }
    finishStart();
}

// The motor must be excited before a move: "@?SRVO", and "@SRVO 1" when it is off. Both are
// written as they stand, without comma and line end. False when the start must end.
bool PulseDrive::excite() {
    Link& link = m_ctx.link;
    link.operationTitle = QStringLiteral("Motor excitation");
    Ops::exchangeAsWritten(m_ctx, Command::QuerySRVO, QStringLiteral("@?SRVO"), 3000);
    if (link.Timeout) {
        state().orgpos = 0;
        link.ReportLinkError(m_ctx.op, m_host);
        return false;
    }
    if (has(link.ReplyText, "NG")) {
        Ops::reportNg(m_ctx);
        return false;
    }
    if (stateOf(link.ReplyText) != u"0")
        return true;
    Ops::exchangeAsWritten(m_ctx, Command::SRVO, QStringLiteral("@SRVO 1"), 3000);
    const QString reply = link.ReplyText;
    if (has(reply, "OK"))
        return true;
    if (reply.isEmpty()) {
        state().orgpos = 0;
        link.ReportLinkError(m_ctx.op, m_host);
    } else if (has(reply, "NG")) {
        link.setErrorText(reply);
    } else {
        link.ReportReplyError(m_ctx.op, m_host);
    }
    return false;
}

void PulseDrive::finishStart() {
    DriveState& s = state();
    setDriveButtons({Ctl::Setting, Ctl::Org, Ctl::Start, PulseCtl::Servo, PulseCtl::Brake,
                     PulseCtl::Deviation, PulseCtl::Alarm},
                    true);
    m_host.setControlEnabled(Ctl::Stop, false);
    m_host.setControlEnabled(PulseCtl::OperationType, false); // the monitor enables it
    for (const char* name :
         {Ctl::Stop, PulseCtl::Deviation, PulseCtl::Brake, PulseCtl::OperationType})
        m_host.setControlColour(name, std::nullopt);
    m_host.setControlColour(Ctl::Start, DriveColour::Idle);
    s.motionBusy = false;
    s.orgpos = 0;
    if (s.operationMode && !m_closing)
        m_monitor->resume();
}

void PulseDrive::stopClicked() {
    m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringOrigin);
    const Drive::StopResult result = Drive::sendStop(m_ctx, 1500);
    setDriveButtons({Ctl::Org, Ctl::Start, PulseCtl::Servo, PulseCtl::Deviation, PulseCtl::Brake,
                     PulseCtl::Alarm},
                    true);
    setDriveButtons({Ctl::Stop, PulseCtl::OperationType}, false);
    m_host.setControlColour(Ctl::Stop, std::nullopt);
    // The motion's own exchange collects the "STOP" of a stop written while it waits.
    if (result == Drive::StopResult::Written ||
        m_ctx.link.ReplyText.startsWith(QLatin1String("STOP")))
        m_monitor->clearGuard();
}

void PulseDrive::stopKeyPressed() {
    m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringOrigin);
}

// ---- I/O monitor ----------------------------------------------------------------------------

bool PulseDrive::ioPoll() {
    if (state().motionBusy || m_closing)
        return true; // skipped: the monitor goes on after the motion
    // Outputs: "1" lights, "0" turns off, anything else leaves the lamp.
    DioLayout layout = DioLayout::newModel();
    layout.outputsKeepUnknown = true;
    return Drive::readInputsAndOutputs(m_ctx, layout) && pollState(Command::QuerySRVO, "Servo") &&
           pollState(Command::QueryPRS, "Mode");
}

bool PulseDrive::pollState(int code, const char* title) {
    if (state().motionBusy || m_closing)
        return true;
    Link& link = m_ctx.link;
    link.operationTitle = QString::fromLatin1(title);
    Ops::exchange(m_ctx, code, {}, 3000);
    if (link.Timeout) {
        link.ReportLinkError(m_ctx.op, m_host);
        return false;
    }
    if (!has(link.ReplyText, "OK") && !has(link.ReplyText, "STOP")) {
        Ops::reportNg(m_ctx);
        return false;
    }
    const QString value = stateOf(link.ReplyText);
    if (code == Command::QuerySRVO)
        showServoState(value);
    else
        showOperationType(value, m_host.controlEnabled(PulseCtl::DriveFrame));
    return true;
}
