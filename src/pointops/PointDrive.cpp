// The point-input drive panel: Setting and Operation mode, Start, Org, Stop, the jog and the
// I/O monitor poll. Teaching, SET and the low-speed boxes are in PointTeaching.cpp.
#include "pointops/PointDrive.h"

#include "drive/IoMonitor.h"
#include "link/Command.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/PointReply.h"

#include <QEventLoop>
#include <QTimer>

namespace {

bool has(const QString& text, const char* marker) {
    return text.contains(QLatin1String(marker));
}

double number(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok ? v : 0.0;
}

} // namespace

PointDrive::PointDrive(PointOpsContext& ops, PointDriveHost& host, QObject* parent)
    : QObject(parent), m_ops(ops),
      m_host(host), m_ctx{{ops.link, ops.op, ops.progress, host}, host},
      m_monitor(new IoMonitor([this] { return state().operationMode; }, [this] { return ioPoll(); },
                              this)),
      m_poll(new QTimer(this)) {
    m_poll->setSingleShot(true);
    m_poll->setInterval(0);
    connect(m_poll, &QTimer::timeout, this, &PointDrive::pollDirectTeaching);
    connect(&state().motion, &Motion::changed, this, &PointDrive::applyPanelState);
}

PointDrive::~PointDrive() {
    m_closing = true;
    disconnect(&state().motion, nullptr, this, nullptr);
}

bool PointDrive::motionRunning() const {
    return Drive::motionRunning(m_ctx);
}

void PointDrive::stopForExit() {
    m_closing = true;
    Drive::stopForExit(m_ctx, {m_monitor->timer(), m_poll});
    m_plusHeld = m_minusHeld = false;
    emit jogChanged();
}

void PointDrive::stopAsked() {
    Drive::requestStop(m_ctx);
}

void PointDrive::applyPanelState() {
    const DriveState& s = state();
    const Motion& motion = s.motion;
    const bool idle = motion.idle();
    const bool operation = s.operationMode;
    const bool operationView = operation || m_entering;
    const bool held = motion.held();
    const bool playback = m_teachingOpen && s.panelMode == DriveState::TeachingPlayback;

    // The menus first: unlocking them gives the window's own buttons back, which the lines
    // below then set as the panel needs them.
    Drive::lockCommands(m_host, m_commandsLocked, operationView || m_teachingOpen || held || !idle);
    m_host.setControlEnabled(Ctl::Stop, operation && !idle);
    m_host.setControlEnabled(Ctl::Setting, (idle || motion.leftMoving()) && !m_entering && !held);
    m_host.setControlEnabled(Ctl::Operation, idle && !m_teachingOpen && !m_entering && !held);
    m_host.setControlEnabled(Ctl::Org, operation && idle);
    m_host.setControlEnabled(Ctl::Start, operation && idle);
    m_host.setControlEnabled(PointCtl::Numeric, !playback);
    const bool teachable = idle && !m_teachingOpen && !held && !operationView;
    m_host.setControlEnabled(PointCtl::Direct, teachable);
    m_host.setControlEnabled(PointCtl::Playback, teachable);
    for (const char* name : {Ctl::SetBase, Ctl::TargetP, Ctl::Set})
        m_host.setControlEnabled(name, !operationView && idle && !held);
    m_host.setControlEnabled(PointCtl::SetupFrame, !operationView && !held);
    m_host.setControlEnabled(PointCtl::ParametersFrame, !operationView);
    if (operationView) {
        m_host.setControlEnabled(PointCtl::DriveFrame, true);
        m_host.setControlEnabled(PointCtl::ViewFrame, true);
    }
    // The table is not edited while the actuator is driven.
    m_ops.points.setLocked(operationView);

    Drive::followMotion(m_host, *m_monitor, m_dialogShown, m_closing);
}

// ---- Operation and Setting ------------------------------------------------------------------

void PointDrive::operationClicked() {
    DriveState& s = state();
    if (s.operationMode || m_entering || !s.motion.idle())
        return;
    Link& link = m_ctx.link;
    m_entering = true;
    link.ReplyTimeoutMs = 3000;
    m_host.setControlText(Ctl::Pos, QStringLiteral("0.00"));
    m_host.setSettei(0);
    link.operationTitle = QStringLiteral("Drive");
    m_host.showPointGrid();
    for (const char* jog : {PointCtl::Plus, PointCtl::Minus})
        m_host.setControlEnabled(jog, false);
    m_host.setControlColour(Ctl::Operation, DriveColour::OperationActive);
    m_host.setControlColour(Ctl::Setting, DriveColour::Idle);
    m_host.setControlColour(Ctl::Org, DriveColour::Idle);
    m_host.setControlColour(Ctl::Start, DriveColour::Idle);
    m_host.setControlColour(Ctl::Stop, std::nullopt);
    link.setErrorText({});
    s.panelMode = DriveState::Numeric;
    applyPanelState();

    const bool read = readOperationValues();
    m_entering = false;
    if (!read) {
        Drive::reportEntryFailed(m_ctx);
        settingClicked();
        return;
    }
    m_host.setLampShown(8, s.newModel);
    s.operationMode = true;
    applyPanelState();
}

bool PointDrive::readOperationValues() {
    DriveState& s = state();
    Link& link = m_ctx.link;
    const auto read = [&](int n, double& into) {
        const QString value = Ops::readParameterValue(m_ctx, n);
        if (link.Timeout || link.ReplyText.isEmpty())
            return false;
        into = number(value);
        return true;
    };
    double direction = 0;
    if (!read(21, s.stroke) || !read(5, direction) || !read(35, s.originShift))
        return false;
    s.originDirection = direction == 1 ? 1 : 0;
    Ops::exchange(m_ctx, Command::ReadDIO, {}, 3000);
    if (link.Timeout || link.ReplyText.isEmpty())
        return false;
    s.newModel = Dio::isNewModel(link.ReplyText);
    return true;
}

void PointDrive::settingClicked() {
    DriveState& s = state();
    // Never while a sequence runs: the button is disabled then, and a click that still came
    // through must not take the panel from under a moving actuator.
    if (m_entering || s.motion.running() || s.motion.held())
        return;
    // After a stop that got no answer the operator has been told; Setting puts it behind.
    if (s.motion.leftMoving())
        s.motion.settle();
    m_ops.params.setReceiving(false);
    if (m_teachingOpen) {
        selectNumericInput();
        return;
    }
    m_host.setSettei(1);
    m_host.setControlColour(Ctl::Setting, DriveColour::SettingActive);
    m_host.setControlColour(Ctl::Operation, DriveColour::Idle);
    m_host.setControlColour(Ctl::Stop, std::nullopt);
    m_ctx.link.setErrorText({});
    s.operationMode = false;
    s.panelMode = DriveState::Numeric;
    s.orgpos = 0;
    m_host.resetLamps();
    applyPanelState();
}

// ---- Start, Org and Stop --------------------------------------------------------------------

void PointDrive::startPressed() {
    Drive::markPressed(m_ctx, Ctl::Start, DriveColour::StartPressed);
}

void PointDrive::orgPressed() {
    Drive::markPressed(m_ctx, Ctl::Org, DriveColour::Set);
}

// What "Do you start?" tells beside its question: the point and where the controller holds
// it, from the "@?P " reply.
QString PointDrive::pointToGo(int row) {
    const std::optional<PointRecord> p = PointReply::point(m_ctx.link.ReplyText, row);
    QString text = QStringLiteral("Point %1").arg(row);
    if (!p || p->mode.isEmpty())
        return text;
    text += QStringLiteral(": mode %1").arg(p->mode);
    if (!p->position.isEmpty())
        text += QStringLiteral(", position %1 mm").arg(p->position);
    return text + QStringLiteral(" (as the controller holds it)");
}

void PointDrive::startClicked() {
    DriveState& s = state();
    Link& link = m_ctx.link;
    if (!s.operationMode || !s.motion.idle()) {
        m_host.setControlColour(Ctl::Start, DriveColour::Idle);
        return;
    }
    // From here Stop is usable; a stop before the move command cancels the rest.
    MotionSequence sequence(s.motion, Motion::StopControl::Button);
    link.operationTitle = QStringLiteral("Return to origin");
    Ops::exchange(m_ctx, Command::QueryORG, {}, 3000);
    const QString reply = link.ReplyText;
    if (Drive::stopAsked(m_ctx)) {
        restoreAfterStart();
        return;
    }
    if (link.Timeout) {
        link.ReportLinkError(m_ctx.op, m_host);
        restoreAfterStart();
        return;
    }
    if (has(reply, "NG")) {
        Ops::reportNg(m_ctx);
        restoreAfterStart();
        return;
    }
    if (has(reply, "STOP")) {
        link.setErrorText(reply);
        restoreAfterStart();
        return;
    }
    if (has(reply, "OK") && !has(reply, "1")) {
        // The origin is not established: the return to origin comes first, and without it
        // the point move is not started (the controller would refuse it).
        link.ReplyTimeoutMs = 22000;
        if (!askReturnToOrigin() || !s.originDone || Drive::stopAsked(m_ctx)) {
            restoreAfterStart();
            return;
        }
    }

    // The point's stored data first, so the question can say where the carriage goes.
    link.operationTitle = QStringLiteral("Start");
    const int row = m_host.currentPointRow();
    Ops::exchange(m_ctx, Command::QueryP, QString::number(row), 22000);
    if (Drive::stopAsked(m_ctx)) {
        restoreAfterStart();
        return;
    }
    if (link.Timeout) {
        link.ReportLinkError(m_ctx.op, m_host);
        restoreAfterStart();
        return;
    }
    if (has(link.ReplyText, "NG")) {
        Ops::reportNg(m_ctx);
        restoreAfterStart();
        Drive::pause(500);
        return;
    }
    if (!Drive::askStart(m_ctx, QStringLiteral(" Do you start?"), pointToGo(row))) {
        restoreAfterStart();
        return;
    }
    m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringStart);
    if (moveToPoint() != Drive::Outcome::NoReply)
        Drive::readCurrentPosition(m_ctx);
    restoreAfterStart();
}

void PointDrive::restoreAfterStart() {
    m_host.setControlColour(Ctl::Start, DriveColour::Idle);
    m_host.setControlColour(Ctl::Stop, std::nullopt);
}

Drive::Outcome PointDrive::moveToPoint() {
    Link& link = m_ctx.link;
    link.operationTitle = QStringLiteral("Point");
    link.setErrorText({});
    const Drive::MotionEnd end = Drive::runMotion(
        m_ctx, {Command::MOVP, QString::number(m_host.currentPointRow()), {}, 22000, {}});
    if (end == Drive::MotionEnd::Failed)
        return Drive::Outcome::NoReply;
    if (end == Drive::MotionEnd::Cancelled)
        return Drive::Outcome::Stopped;
    const QString& reply = link.ReplyText;
    if (has(reply, "OK"))
        return Drive::Outcome::Done;
    if (has(reply, "STOP"))
        return Drive::Outcome::Stopped;
    Ops::reportNg(m_ctx);
    return Drive::Outcome::Refused;
}

void PointDrive::orgClicked() {
    Link& link = m_ctx.link;
    if (state().motion.idle()) {
        link.operationTitle = QStringLiteral("Return to origin");
        link.ReplyTimeoutMs = 4000;
        if (Ops::askYesNo(m_ctx, QStringLiteral("Return to origin? Please push stop switch if you "
                                                "stop operating."))) {
            link.setErrorText({});
            returnToOrigin();
        }
    }
    m_host.setControlColour(Ctl::Org, DriveColour::Idle);
}

Drive::OriginReturn PointDrive::originReturn() {
    Drive::OriginReturn how;
    how.title = QStringLiteral("Org");
    // The stop dialog comes with every return to origin: in Setting mode (teaching) the
    // panel has no Stop button of its own.
    how.stopControl = Motion::StopControl::Dialog;
    how.strokeParameter = 21;
    how.teaching = [this](double mm, double shift) { showTeachingPosition(mm, shift); };
    return how;
}

Drive::Outcome PointDrive::returnToOrigin() {
    if (state().operationMode)
        m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringOrigin);
    const Drive::Outcome outcome = Drive::returnToOrigin(m_ctx, originReturn());
    m_host.setControlColour(Ctl::Stop, std::nullopt);
    return outcome;
}

bool PointDrive::askReturnToOrigin() {
    DriveState& s = state();
    if (!Ops::askYesNo(m_ctx, QStringLiteral("Return to origin? Please push stop switch if you "
                                             "stop operating."))) {
        s.panelMode = DriveState::None;
        m_host.setControlText(Ctl::Pos, QStringLiteral("0.00"));
        applyPanelState();
        return false;
    }
    m_ctx.link.setErrorText({});
    return returnToOrigin() == Drive::Outcome::Done;
}

void PointDrive::stopClicked() {
    m_host.setControlColour(Ctl::Stop, std::nullopt);
    if (Drive::requestStop(m_ctx) == Drive::StopAsk::Idle)
        stop(1500);
}

void PointDrive::stopKeyPressed() {
    m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringOrigin);
}

void PointDrive::stop(int timeoutMs) {
    // Nothing moves: the stop character as a command of its own, whose silence is no error.
    if (Drive::sendStop(m_ctx, timeoutMs, true) == Drive::StopResult::Stopped)
        m_jogSteps = 0;
}

// ---- Jog ------------------------------------------------------------------------------------

void PointDrive::jogPressed(bool plus) {
    if (state().panelMode != DriveState::TeachingPlayback || !m_playbackReady)
        return;
    (plus ? m_plusHeld : m_minusHeld) = true;
    // A press is served by at least one step, however short the click.
    m_clickedJog = plus ? 1 : -1;
    m_ctx.link.setErrorText({});
    emit jogChanged();
    if (!m_jogRunning)
        QTimer::singleShot(0, this, &PointDrive::runJog);
}

void PointDrive::jogReleased(bool) {
    if (!m_plusHeld && !m_minusHeld)
        return;
    // A release during the continuous jog stops the actuator at once (while its exchange
    // waits) or, once the jog has reached its end, with the stop character of its own
    // (300 ms). A shorter press has only made its steps.
    const bool continuous = m_jogSteps == 4;
    m_plusHeld = m_minusHeld = false;
    emit jogChanged();
    if (continuous && Drive::requestStop(m_ctx) == Drive::StopAsk::Idle)
        stop(300);
}

void PointDrive::jogPressLost() {
    m_clickedJog = 0;
    jogReleased(m_plusHeld);
}

void PointDrive::runJog() {
    if (m_jogRunning)
        return;
    m_jogRunning = true;
    while (!m_closing && state().panelMode == DriveState::TeachingPlayback) {
        const int direction = m_plusHeld ? 1 : m_minusHeld ? -1 : m_clickedJog;
        m_clickedJog = 0;
        if (direction == 0)
            break;
        bool going = false;
        {
            // Letting go of the button is this sequence's stop.
            MotionSequence sequence(state().motion, Motion::StopControl::Release);
            going = jogStep(direction > 0);
        }
        // A step that failed or was refused has been reported: the jog ends there.
        if (!going || m_closing)
            break;
        // The continuous jog has answered (at its end, or stopped): the release comes in the
        // event loop, and stops the actuator if it still runs.
        if (m_jogSteps == 4)
            waitForJogRelease();
        if (m_closing)
            break;
        Drive::readCurrentPosition(
            m_ctx, [this](double mm, double shift) { showTeachingPosition(mm, shift); });
    }
    if (!m_plusHeld && !m_minusHeld)
        m_jogSteps = 0;
    m_jogRunning = false;
}

bool PointDrive::jogStep(bool plus) {
    Link& link = m_ctx.link;
    link.operationTitle = QStringLiteral("Parameter");
    ++m_jogSteps;
    const auto endJog = [this] {
        m_plusHeld = m_minusHeld = false;
        m_clickedJog = 0;
        m_jogSteps = 0;
        return false;
    };
    if (m_jogSteps <= 3) {
        link.operationTitle = QStringLiteral("JOG");
        const Drive::MotionEnd end =
            Drive::runMotion(m_ctx, {plus ? Command::XPlus : Command::XMinus, {}, {}, 3000, {}});
        if (end != Drive::MotionEnd::Replied)
            return endJog(); // a failure is reported, and a stop ends the jog
        const QString reply = link.ReplyText;
        if (has(reply, "OK") || has(reply, "STOP"))
            return true;
        if (has(reply, "NG") && has(reply, "37")) {
            link.setErrorText(reply); // at the soft limit: shown, the jog goes on
            return true;
        }
        // A reported failure ends the jog: the release may have gone to the message box.
        Ops::reportNg(m_ctx);
        return endJog();
    }
    const Drive::MotionEnd end =
        Drive::runMotion(m_ctx, {plus ? Command::XINC : Command::XDEC, {}, {}, 20000, {}});
    if (end != Drive::MotionEnd::Replied)
        return endJog();
    if (has(link.ReplyText, "NG")) {
        Ops::reportNg(m_ctx);
        return endJog();
    }
    return true;
}

void PointDrive::waitForJogRelease() {
    // Sleeps in the event loop until the button is let go (or teaching ends).
    while ((m_plusHeld || m_minusHeld) && !m_closing &&
           state().panelMode == DriveState::TeachingPlayback) {
        QEventLoop loop;
        connect(this, &PointDrive::jogChanged, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

// ---- I/O monitor ----------------------------------------------------------------------------

bool PointDrive::ioPoll() {
    DriveState& s = state();
    if (!s.motion.idle() || m_closing)
        return true; // skipped: the monitor goes on after the motion
    return Drive::readInputsAndOutputs(m_ctx,
                                       s.newModel ? DioLayout::newModel() : DioLayout::oldModel());
}
