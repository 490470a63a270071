// The pulse-train operation panel: Setting and Operation mode, the servo and operation type
// switches, alarm cancel, deviation clear, Org, start, Stop and the I/O monitor poll. Direct
// teaching and SET are in PulseTeaching.cpp.
#include "pulse/PulseDrive.h"

#include "drive/IoMonitor.h"
#include "link/Command.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/ZoneReply.h"
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
    connect(&state().motion, &Motion::changed, this, &PulseDrive::applyPanelState);
}

PulseDrive::~PulseDrive() {
    m_closing = true;
    disconnect(&state().motion, nullptr, this, nullptr);
}

void PulseDrive::stopForExit() {
    m_closing = true;
    Drive::stopForExit(m_ctx, {m_monitor->timer(), m_poll});
}

void PulseDrive::stopAsked() {
    Drive::requestStop(m_ctx);
}

void PulseDrive::setSwitches(std::initializer_list<const char*> names, bool usable) {
    for (const char* name : names) {
        if (usable)
            m_switchesOn.insert(QString::fromLatin1(name));
        else
            m_switchesOn.remove(QString::fromLatin1(name));
    }
    applyPanelState();
}

void PulseDrive::applyPanelState() {
    const DriveState& s = state();
    const Motion& motion = s.motion;
    const bool idle = motion.idle();
    const bool operation = s.operationMode;
    const bool operationView = operation || m_entering;

    Drive::lockCommands(m_host, m_commandsLocked, operationView || m_teaching || !idle);
    m_host.setControlEnabled(Ctl::Stop, operation && !idle);
    m_host.setControlEnabled(Ctl::Setting, (idle || motion.leftMoving()) && !m_entering);
    m_host.setControlEnabled(Ctl::Operation, idle && !m_teaching && !m_entering);
    m_host.setControlEnabled(Ctl::Org, operation && idle);
    m_host.setControlEnabled(Ctl::Start, operation && idle);
    // No servo, alarm or operation switch while the actuator moves or a start runs.
    for (const char* name : kSwitchButtons)
        m_host.setControlEnabled(name, operation && idle &&
                                           m_switchesOn.contains(QString::fromLatin1(name)));
    for (const char* name : {Ctl::Set, Ctl::TargetP, Ctl::SetBase})
        m_host.setControlEnabled(name, !operationView && idle && (!m_teaching || m_teachingReady));
    m_host.setControlEnabled(PulseCtl::Numeric, !m_teaching);
    for (const char* name : {PulseCtl::Playback, PulseCtl::JogOpen, PulseCtl::JogClose})
        m_host.setControlEnabled(name, false);
    m_host.setControlEnabled(PulseCtl::TeachingFrame, !operationView);
    m_host.setControlEnabled(PulseCtl::DriveFrame, operationView);
    m_host.setControlEnabled(PulseCtl::DisplayFrame, operationView);
    // The zones are not edited while the actuator is driven or taught (SET writes them).
    m_zones.setLocked(operationView || m_teaching);

    Drive::followMotion(m_host, *m_monitor, m_dialogShown, m_closing);
}

// ---- Operation and Setting ------------------------------------------------------------------

void PulseDrive::operationClicked() {
    DriveState& s = state();
    Link& link = m_ctx.link;
    m_host.setControlText(Ctl::Pos, QStringLiteral("0.00"));
    m_host.setSettei(0);
    if (link.ReplyText.startsWith(QLatin1String("OK")))
        m_monitor->clearGuard();
    if (s.operationMode || m_entering || !s.motion.idle() || m_teaching)
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
    link.setErrorText({});
    s.panelMode = DriveState::Numeric;
    m_switchesOn.clear();
    applyPanelState();

    const bool read = readOperationValues();
    m_entering = false;
    if (!read) {
        Drive::reportEntryFailed(m_ctx);
        settingClicked();
        return;
    }
    s.operationMode = true;
    // The operation type button follows the controller's "@?PRS " (readOperationValues).
    setSwitches({PulseCtl::Servo, PulseCtl::Deviation, PulseCtl::Brake, PulseCtl::Alarm}, true);
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
    // Never while a sequence runs: the button is disabled then, and a click that still came
    // through must not take the panel from under a moving actuator.
    if (m_entering || s.motion.running())
        return;
    // After a stop that got no answer the operator has been told; Setting puts it behind.
    if (s.motion.leftMoving())
        s.motion.settle();
    m_params.setReceiving(false);
    if (m_teaching)
        endTeaching();
    m_host.setControlColour(Ctl::Setting, DriveColour::SettingActive);
    m_host.setControlColour(Ctl::Operation, DriveColour::Idle);
    for (const char* name : kSwitchButtons)
        m_host.setControlColour(name, std::nullopt);
    m_host.setControlColour(Ctl::Stop, std::nullopt);
    m_host.setControlColour(Ctl::Org, DriveColour::Idle);
    m_host.setControlColour(Ctl::Start, DriveColour::Idle);
    m_ctx.link.setErrorText({});
    s.operationMode = false;
    s.panelMode = DriveState::Numeric;
    m_host.setControlChecked(PulseCtl::Numeric, true);
    m_host.setSettei(1);
    m_host.resetLamps();
    s.orgpos = 0;
    m_switchesOn.clear();
    applyPanelState();
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
    if (!state().motion.idle())
        return;
    Link& link = m_ctx.link;
    link.setErrorText({});
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
    if (!state().motion.idle())
        return;
    Link& link = m_ctx.link;
    link.setErrorText({});
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
        setSwitches({PulseCtl::OperationType}, false);
    else if (caption && enable)
        setSwitches({PulseCtl::OperationType}, true);
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
    if (state().operationMode && state().motion.idle()) {
        link.operationTitle = QStringLiteral("Return to origin");
        if (Ops::askYesNo(m_ctx, QStringLiteral("Return to origin? Please push stop switch if you "
                                                "stop operating."))) {
            link.setErrorText({});
            // Operation mode has its own Stop button: no stop dialog.
            if (returnToOrigin(false) == Drive::Outcome::Done)
                m_monitor->clearGuard();
        }
    }
    m_host.setControlColour(Ctl::Org, DriveColour::Idle);
}

Drive::Outcome PulseDrive::returnToOrigin(bool showStopDialog) {
    DriveState& s = state();
    if (s.operationMode)
        m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringOrigin);
    Drive::OriginReturn how;
    // The caller's title stays ("Return to origin", "Start", "Direct Teach", "Teaching").
    how.stopControl = showStopDialog ? Motion::StopControl::Dialog : Motion::StopControl::Button;
    how.strokeParameter = 0; // the actuator type gives the stroke
    how.strokeOf = [](const QString& type) { return double(ActuatorType::stroke(type)); };
    how.onlyOk = true;
    how.moved = [this] { m_params.setReceiving(false); };
    how.teaching = [this](double mm, double shift) { showTeachingPosition(mm, shift); };
    const Drive::Outcome outcome = Drive::returnToOrigin(m_ctx, how);
    m_host.setControlColour(Ctl::Org, DriveColour::Idle);
    m_host.setControlColour(Ctl::Stop, std::nullopt);
    // The five switches come back after the motion, however it ended.
    if (s.operationMode)
        setSwitches({PulseCtl::Servo, PulseCtl::Deviation, PulseCtl::OperationType, PulseCtl::Brake,
                     PulseCtl::Alarm},
                    true);
    return outcome;
}

// What "Do you start?" tells beside its question: the zone and its position A as the
// controller holds it ("@READ ZON ", 3000 ms), since the move goes there.
QString PulseDrive::zoneToGo(int zone) {
    Link& link = m_ctx.link;
    QString text = QStringLiteral("Zone %1").arg(zone);
    Ops::exchange(m_ctx, Command::ReadZON, {}, 3000);
    if (link.Timeout || !has(link.ReplyText, "OK"))
        return text + QStringLiteral(": its position could not be read from the controller");
    const std::optional<ZoneRecord> z = ZoneReply::zone(link.ReplyText, zone);
    if (!z || z->a.trimmed().isEmpty())
        return text + QStringLiteral(": no position A set in the controller");
    return text +
           QStringLiteral(": position A %1 mm (as the controller holds it)").arg(z->a.trimmed());
}

void PulseDrive::startClicked() {
    DriveState& s = state();
    Link& link = m_ctx.link;
    if (!s.operationMode || !s.motion.idle())
        return;
    // From here Stop is usable; a stop before the move command cancels the rest.
    MotionSequence sequence(s.motion, Motion::StopControl::Button);
    link.setErrorText({});
    const int zone = m_host.currentZoneCell().first;
    link.operationTitle = QStringLiteral("Start");
    const QString where = zoneToGo(zone);
    for (;;) {
        if (Drive::stopAsked(m_ctx) ||
            !Drive::askStart(m_ctx, QStringLiteral("Do you start?"), where))
            break;
        for (const char* name :
             {Ctl::Stop, PulseCtl::Deviation, PulseCtl::Brake, PulseCtl::OperationType})
            m_host.setControlColour(name, DriveColour::StopDuringOrigin);
        if (Drive::stopAsked(m_ctx) || !excite() || Drive::stopAsked(m_ctx))
            break;
        // The excitation's title names only its own exchanges: a failed move is the start's.
        link.operationTitle = QStringLiteral("Start");

        Ops::exchangeAsWritten(m_ctx, Command::QueryORG, QStringLiteral("@?ORG"), 3000);
        if (Drive::stopAsked(m_ctx))
            break;
        if (link.ReplyText.isEmpty()) {
            link.ReportLinkError(m_ctx.op, m_host);
            break;
        }
        if (has(link.ReplyText, "NG")) {
            Ops::reportNg(m_ctx);
            break;
        }
        if (stateOf(link.ReplyText) == u"1") {
            // A move waits as long as the point-input kind's moves.
            link.operationTitle = QStringLiteral("Start");
            const Drive::MotionEnd end = Drive::runMotion(
                m_ctx, {Command::MOVP, {}, {}, 22000, QStringLiteral("@MOVP %1").arg(zone)});
            if (end == Drive::MotionEnd::Replied && !has(link.ReplyText, "OK"))
                link.setErrorText(link.ReplyText);
            break;
        }
        link.operationTitle = QStringLiteral("Start");
        // Without the origin the controller refuses the move: declining ends the start.
        if (!Ops::askYesNo(m_ctx, QStringLiteral("Execute return to origin? If stopping in "
                                                 "operations required, press Pop-up button.")))
            break;
        const Drive::Outcome origin = returnToOrigin(true);
        if (origin == Drive::Outcome::Stopped && Drive::stopAsked(m_ctx))
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
    if (Drive::stopAsked(m_ctx))
        return false;
    if (link.Timeout) {
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
    if (reply.isEmpty())
        link.ReportLinkError(m_ctx.op, m_host);
    else if (has(reply, "NG"))
        link.setErrorText(reply);
    else
        link.ReportReplyError(m_ctx.op, m_host);
    return false;
}

void PulseDrive::finishStart() {
    for (const char* name :
         {Ctl::Stop, PulseCtl::Deviation, PulseCtl::Brake, PulseCtl::OperationType})
        m_host.setControlColour(name, std::nullopt);
    m_host.setControlColour(Ctl::Start, DriveColour::Idle);
    // The servo and the brake stay usable; alarm cancel, deviation clear and the operation
    // type wait for Stop, Org or the I/O monitor.
    setSwitches({PulseCtl::Servo, PulseCtl::Brake}, true);
    setSwitches({PulseCtl::Deviation, PulseCtl::Alarm, PulseCtl::OperationType}, false);
}

void PulseDrive::stopClicked() {
    m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringOrigin);
    const Drive::StopAsk asked = Drive::requestStop(m_ctx);
    // Nothing moved: the stop character as a command of its own, whose silence is reported.
    if (asked == Drive::StopAsk::Idle)
        Drive::sendStop(m_ctx, 1500, false);
    setSwitches({PulseCtl::Servo, PulseCtl::Deviation, PulseCtl::Brake, PulseCtl::Alarm}, true);
    setSwitches({PulseCtl::OperationType}, false);
    m_host.setControlColour(Ctl::Stop, std::nullopt);
    // The motion's own exchange collects the "STOP" of a stop written while it waits.
    if (asked != Drive::StopAsk::Idle || m_ctx.link.ReplyText.startsWith(QLatin1String("STOP")))
        m_monitor->clearGuard();
}

void PulseDrive::stopKeyPressed() {
    m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringOrigin);
}

// ---- I/O monitor ----------------------------------------------------------------------------

bool PulseDrive::ioPoll() {
    if (!state().motion.idle() || m_closing)
        return true; // skipped: the monitor goes on after the motion
    // Outputs: "1" lights, "0" turns off, anything else leaves the lamp.
    DioLayout layout = DioLayout::newModel();
    layout.outputsKeepUnknown = true;
    return Drive::readInputsAndOutputs(m_ctx, layout) && pollState(Command::QuerySRVO, "Servo") &&
           pollState(Command::QueryPRS, "Mode");
}

bool PulseDrive::pollState(int code, const char* title) {
    if (!state().motion.idle() || m_closing)
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
