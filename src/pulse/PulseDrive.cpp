// The pulse-train operation panel: what its Setting and Operation modes add to DriveBase's,
// start, Stop and the I/O monitor poll. The switches are in PulseSwitches.cpp; direct teaching
// and SET are in PulseTeaching.cpp.
#include "pulse/PulseDrive.h"

#include "drive/IoMonitor.h"
#include "link/Command.h"
#include "link/ReplyRules.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/ZoneReply.h"
#include "pulse/ZoneTableModel.h"
#include "tables/ActuatorType.h"
#include "transfers/LinkReports.h"

#include <QTimer>

namespace {

using Ops::stateOf;
using ReplyRules::isOk;
using ReplyRules::isRefusal;
using ReplyRules::isStop;

// The buttons of the frame "Drive" that a motion and the start sequence switch together.
constexpr const char* kSwitchButtons[] = {PulseCtl::Servo, PulseCtl::Deviation,
                                          PulseCtl::OperationType, PulseCtl::Brake,
                                          PulseCtl::Alarm};

} // namespace

PulseDrive::PulseDrive(const OperationContext& ops, PulseDriveHost& host, ZoneTableModel& zones,
                       PulseParameterModel& params, QObject* parent)
    : DriveBase(ops, host, params, parent), m_pulseHost(host), m_zones(zones),
      m_pulseParams(params) {
    // The next read after a short pause: the line time paces the polling.
    makeTeachingPoll(
        20,
        [this] {
            return m_teaching && state().panelMode == DriveState::DirectTeaching && !m_closing;
        },
        [this](double mm, double shift) { showTeachingPosition(mm, shift); },
        [this] { endTeaching(); }); // reported by the refresh
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
    m_host.setControlEnabled(Ctl::Setting, (idle || motion.leftMoving()) && !m_entering);
    m_host.setControlEnabled(Ctl::Operation, idle && !m_teaching && !m_entering);
    m_host.setControlEnabled(Ctl::Org, operation && idle);
    m_host.setControlEnabled(Ctl::Start, operation && idle);
    // After Org and Start: Stop disabled with the focus hands it to them.
    m_host.setControlEnabled(Ctl::Stop, operation && !idle);
    // No servo, alarm or operation switch while the actuator moves or a start runs.
    for (const char* name : kSwitchButtons)
        m_host.setControlEnabled(name, operation && idle &&
                                           m_switchesOn.contains(QString::fromLatin1(name)));
    for (const char* name : {Ctl::Set, Ctl::TargetP, Ctl::SetBase})
        m_host.setControlEnabled(name, !operationView && idle && (!m_teaching || m_teachingReady));
    m_host.setControlEnabled(PulseCtl::EndTeaching, idle && m_teaching && m_teachingReady);
    m_host.setControlEnabled(PulseCtl::Numeric, !m_teaching);
    for (const char* name : {PulseCtl::Playback, PulseCtl::JogOpen, PulseCtl::JogClose})
        m_host.setControlEnabled(name, false);
    m_host.setControlEnabled(PulseCtl::TeachingFrame, !operationView);
    m_host.setControlEnabled(PulseCtl::DriveFrame, operationView);
    m_host.setControlEnabled(PulseCtl::DisplayFrame, operationView);
    // The zones are not edited while the actuator is driven or taught (SET writes them).
    m_zones.setLocked(operationView || m_teaching);

    Drive::followMotion(m_host, *m_monitor, m_closing);
}

// ---- Operation and Setting ------------------------------------------------------------------

void PulseDrive::operationPressed() {
    m_host.setControlText(Ctl::Pos, QStringLiteral("0.00"));
    // The last reply the window shows (Txt_ComR) tells whether the I/O monitor may go on.
    if (m_ctx.link.receivedText().startsWith(QLatin1String("OK")))
        m_monitor->clearGuard();
}

void PulseDrive::prepareOperation() {
    m_host.setControlColour(Ctl::Set, DriveColour::Set);
    for (const char* name : kSwitchButtons)
        m_host.setControlColour(name, std::nullopt);
    for (const char* name : {Ctl::Org, Ctl::Start, Ctl::Stop})
        m_host.setControlColour(name, std::nullopt);
    m_switchesOn.clear();
}

void PulseDrive::enteredOperation() {
    // The operation type button follows the controller's "@?PRS " (readOperationValues).
    setSwitches({PulseCtl::Servo, PulseCtl::Deviation, PulseCtl::Brake, PulseCtl::Alarm}, true);
}

std::optional<ExchangeResult> PulseDrive::readOperationValues(const DriveContext& c) {
    DriveState& s = state();
    const auto failed = [](const ExchangeResult& r) {
        return r.Timeout() || r.ReplyText.isEmpty();
    };
    const ExchangeResult type = Ops::readParameter(c, 0);
    if (failed(type))
        return type;
    s.stroke = ActuatorType::stroke(Ops::valueOf(type).trimmed());
    const ExchangeResult direction = Ops::readParameter(c, 5);
    if (failed(direction))
        return direction;
    s.originDirection = Ops::valueOf(direction).trimmed() == QLatin1String("1") ? 1 : 0;
    const ExchangeResult shift = Ops::readParameter(c, 35);
    if (failed(shift))
        return shift;
    s.originShift = Ops::numberOf(shift).value_or(0.0);
    const ExchangeResult servo = Ops::exchange(c, Command::QuerySRVO, {}, 3000);
    if (failed(servo))
        return servo;
    showServoState(stateOf(servo));
    const ExchangeResult press = Ops::exchange(c, Command::QueryPRS, {}, 3000);
    if (failed(press))
        return press;
    showOperationType(stateOf(press), true);
    return std::nullopt;
}

bool PulseDrive::settingEndsTeaching() {
    if (m_teaching)
        endTeaching();
    return false;
}

void PulseDrive::prepareSetting() {
    for (const char* name : kSwitchButtons)
        m_host.setControlColour(name, std::nullopt);
    m_host.setControlColour(Ctl::Org, DriveColour::Idle);
    m_host.setControlColour(Ctl::Start, DriveColour::Idle);
    m_host.setControlChecked(PulseCtl::Numeric, true);
    m_switchesOn.clear();
}

// ---- Org, start and Stop --------------------------------------------------------------------

void PulseDrive::originReturned(Drive::Outcome outcome) {
    if (outcome == Drive::Outcome::Done)
        m_monitor->clearGuard();
}

Drive::Outcome PulseDrive::returnToOrigin(const DriveContext& c, bool showStopDialog) {
    DriveState& s = state();
    if (s.operationMode)
        m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringOrigin);
    Drive::OriginReturn how;
    // The caller's title stays ("Return to origin", "Start", "Direct Teach", "Teaching").
    how.stopControl = showStopDialog ? Motion::StopControl::Dialog : Motion::StopControl::Button;
    how.strokeParameter = 0; // the actuator type gives the stroke
    how.strokeOf = [](const QString& type) { return double(ActuatorType::stroke(type)); };
    how.onlyOk = true;
    how.moved = [this] { m_pulseParams.setReceiving(false); };
    how.teaching = [this](double mm, double shift) { showTeachingPosition(mm, shift); };
    const Drive::Outcome outcome = Drive::returnToOrigin(c, how);
    m_host.setControlColour(Ctl::Org, DriveColour::Idle);
    if (!s.motion.leftMoving())
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
QString PulseDrive::zoneToGo(const DriveContext& c, int zone) {
    QString text = QStringLiteral("Zone %1").arg(zone);
    const ExchangeResult r = Ops::exchange(c, Command::ReadZON, {}, 3000);
    if (r.Timeout() || !isOk(r.ReplyText))
        return text + QStringLiteral(": its position could not be read from the controller");
    const std::optional<ZoneRecord> z = ZoneReply::zone(r.ReplyText, zone);
    if (!z || z->a.trimmed().isEmpty())
        return text + QStringLiteral(": no position A set in the controller");
    return text +
           QStringLiteral(": position A %1 mm (as the controller holds it)").arg(z->a.trimmed());
}

void PulseDrive::startClicked() {
    DriveState& s = state();
    if (!s.operationMode || !s.motion.idle())
        return;
    // From here Stop is usable, and coloured as such; a stop before the move command cancels
    // the rest.
    MotionSequence sequence(s.motion, Motion::StopControl::Button);
    m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringOrigin);
    const DriveContext c = Ops::titled(m_ctx, QStringLiteral("Start"));
    c.link.setErrorText({});
    const int zone = m_pulseHost.currentZoneCell().first;
    const QString where = zoneToGo(c, zone);
    for (;;) {
        if (Drive::stopAsked(c) || !Drive::askStart(c, QStringLiteral("Do you start?"), where))
            break;
        for (const char* name : {PulseCtl::Deviation, PulseCtl::Brake, PulseCtl::OperationType})
            m_host.setControlColour(name, DriveColour::StopDuringOrigin);
        // "Motor excitation" titles the excitation and the origin query that follows it; the
        // moves keep the start's title.
        const DriveContext excitation = Ops::titled(m_ctx, QStringLiteral("Motor excitation"));
        if (Drive::stopAsked(c) || !excite(excitation) || Drive::stopAsked(c))
            break;

        const ExchangeResult origin =
            Ops::exchangeAsWritten(excitation, Command::QueryORG, QStringLiteral("@?ORG"), 3000);
        if (Drive::stopAsked(c))
            break;
        // Any time-out fails: a partial reply holding "1" says nothing about the origin.
        if (origin.Timeout() || origin.ReplyText.isEmpty()) {
            Ops::reportLinkError(excitation, origin);
            break;
        }
        if (isRefusal(origin.ReplyText)) {
            Ops::reportNg(excitation, origin);
            break;
        }
        if (stateOf(origin) == u"1") {
            // A move waits as long as the point-input kind's moves.
            const Drive::Moved moved = Drive::runMotion(
                c, {Command::MOVP, {}, {}, 22000, QStringLiteral("@MOVP %1").arg(zone)});
            if (moved.end == Drive::MotionEnd::Replied && !isOk(moved.reply()))
                c.link.setErrorText(moved.reply());
            break;
        }
        // Without the origin the controller refuses the move: declining ends the start.
        if (!Ops::askYesNo(c, QStringLiteral("Execute return to origin? If stopping in "
                                             "operations required, press Pop-up button.")))
            break;
        const Drive::Outcome returned = returnToOrigin(c, true);
        m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringOrigin);
        if (returned == Drive::Outcome::Stopped && Drive::stopAsked(c))
            c.link.setErrorText(QStringLiteral("STOP･･61:STOP COMMAND"));
        if (returned != Drive::Outcome::Done)
            break;
    }
    // A stop before anything moved would end the start without a word: the operator learns
    // that it was cancelled.
    if (Drive::stopAsked(c) && !s.motion.moveWentOut())
        c.op.message(c.title,
                     QStringLiteral("The start was cancelled: Stop came before anything moved."),
                     OperatorInteraction::Icon::Information);
    finishStart();
}

// The motor must be excited before a move: "@?SRVO", and "@SRVO 1" when it is off. Both are
// written as they stand, without comma and line end. False when the start must end.
bool PulseDrive::excite(const DriveContext& c) {
    const ExchangeResult servo =
        Ops::exchangeAsWritten(c, Command::QuerySRVO, QStringLiteral("@?SRVO"), 3000);
    if (Drive::stopAsked(c))
        return false;
    if (servo.Timeout()) {
        Ops::reportLinkError(c, servo);
        return false;
    }
    if (isRefusal(servo.ReplyText)) {
        Ops::reportNg(c, servo);
        return false;
    }
    if (stateOf(servo) != u"0")
        return true;
    const ExchangeResult on =
        Ops::exchangeAsWritten(c, Command::SRVO, QStringLiteral("@SRVO 1"), 3000);
    const QString& reply = on.ReplyText;
    if (isOk(reply))
        return true;
    if (reply.isEmpty())
        Ops::reportLinkError(c, on);
    else if (isRefusal(reply))
        c.link.setErrorText(reply);
    else
        Ops::reportReplyError(c, on);
    return false;
}

void PulseDrive::finishStart() {
    for (const char* name : {PulseCtl::Deviation, PulseCtl::Brake, PulseCtl::OperationType})
        m_host.setControlColour(name, std::nullopt);
    // Stop keeps its colour while it stays usable (a stop that got no answer).
    if (!state().motion.leftMoving())
        m_host.setControlColour(Ctl::Stop, std::nullopt);
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
    QString stopReply;
    if (asked == Drive::StopAsk::Idle)
        stopReply = Drive::sendStop(m_ctx, 1500, false).reply;
    setSwitches({PulseCtl::Servo, PulseCtl::Deviation, PulseCtl::Brake, PulseCtl::Alarm}, true);
    setSwitches({PulseCtl::OperationType}, false);
    if (!state().motion.leftMoving())
        m_host.setControlColour(Ctl::Stop, std::nullopt);
    // The motion's own exchange collects the "STOP" of a stop written while it waits.
    if (asked != Drive::StopAsk::Idle || stopReply.startsWith(QLatin1String("STOP")))
        m_monitor->clearGuard();
}

// ---- I/O monitor ----------------------------------------------------------------------------

bool PulseDrive::pollInputsAndOutputs(const DriveContext& c) {
    // Outputs: "1" lights, "0" turns off, anything else leaves the lamp.
    DioLayout layout = DioLayout::newModel();
    layout.outputsKeepUnknown = true;
    return Drive::readInputsAndOutputs(c, layout) && pollState(c, Command::QuerySRVO, "Servo") &&
           pollState(c, Command::QueryPRS, "Mode");
}
