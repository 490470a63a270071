// The point-input drive panel: Setting and Operation mode, Start, Org, Stop, the jog and the
// I/O monitor poll. Teaching, SET and the low-speed boxes are in PointTeaching.cpp.
#include "pointops/PointDrive.h"

#include "drive/IoMonitor.h"
#include "link/Command.h"
#include "link/ReplyRules.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/PointReply.h"
#include "transfers/LinkReports.h"

#include <QEventLoop>
#include <QTimer>

namespace {

using ReplyRules::isOk;
using ReplyRules::isRefusal;
using ReplyRules::isStop;

} // namespace

PointDrive::PointDrive(const PointOpsContext& ops, PointDriveHost& host, QObject* parent)
    : QObject(parent), m_ops(ops),
      m_host(host), m_ctx{{ops.link, ops.op, ops.progress, host, ops.state}, host},
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
    const DriveContext c = Ops::titled(m_ctx, QStringLiteral("Drive"));
    m_entering = true;
    m_host.setControlText(Ctl::Pos, QStringLiteral("0.00"));
    m_host.showPointGrid();
    for (const char* jog : {PointCtl::Plus, PointCtl::Minus})
        m_host.setControlEnabled(jog, false);
    m_host.setControlColour(Ctl::Operation, DriveColour::OperationActive);
    m_host.setControlColour(Ctl::Setting, DriveColour::Idle);
    m_host.setControlColour(Ctl::Org, DriveColour::Idle);
    m_host.setControlColour(Ctl::Start, DriveColour::Idle);
    m_host.setControlColour(Ctl::Stop, std::nullopt);
    c.link.setErrorText({});
    s.panelMode = DriveState::Numeric;
    applyPanelState();

    const std::optional<ExchangeResult> failure = readOperationValues(c);
    m_entering = false;
    if (failure) {
        Drive::reportEntryFailed(c, *failure);
        settingClicked();
        return;
    }
    m_host.setLampShown(8, s.newModel);
    s.operationMode = true;
    applyPanelState();
}

std::optional<ExchangeResult> PointDrive::readOperationValues(const DriveContext& c) {
    DriveState& s = state();
    std::optional<ExchangeResult> failure;
    const auto read = [&](int n, double& into) {
        const ExchangeResult r = Ops::readParameter(c, n);
        if (r.Timeout() || r.ReplyText.isEmpty()) {
            failure = r;
            return false;
        }
        into = Ops::numberOf(r).value_or(0.0);
        return true;
    };
    double direction = 0;
    if (!read(21, s.stroke) || !read(5, direction) || !read(35, s.originShift))
        return failure;
    s.originDirection = direction == 1 ? 1 : 0;
    const ExchangeResult dio = Ops::exchange(c, Command::ReadDIO, {}, 3000);
    if (dio.Timeout() || dio.ReplyText.isEmpty())
        return dio;
    s.newModel = Dio::isNewModel(dio.ReplyText);
    return std::nullopt;
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
    m_ctx.state.settei = 1;
    m_host.setControlColour(Ctl::Setting, DriveColour::SettingActive);
    m_host.setControlColour(Ctl::Operation, DriveColour::Idle);
    m_host.setControlColour(Ctl::Stop, std::nullopt);
    m_ctx.link.setErrorText({});
    s.operationMode = false;
    s.panelMode = DriveState::Numeric;
    m_ctx.state.orgpos = 0;
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
QString PointDrive::pointToGo(const QString& reply, int row) {
    const std::optional<PointRecord> p = PointReply::point(reply, row);
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
    if (!s.operationMode || !s.motion.idle()) {
        m_host.setControlColour(Ctl::Start, DriveColour::Idle);
        return;
    }
    // From here Stop is usable; a stop before the move command cancels the rest.
    MotionSequence sequence(s.motion, Motion::StopControl::Button);
    const DriveContext origin = Ops::titled(m_ctx, QStringLiteral("Return to origin"));
    const ExchangeResult r = Ops::exchange(origin, Command::QueryORG, {}, 3000);
    const QString& reply = r.ReplyText;
    if (Drive::stopAsked(origin)) {
        restoreAfterStart();
        return;
    }
    if (r.Timeout()) {
        Ops::reportLinkError(origin, r);
        restoreAfterStart();
        return;
    }
    if (isRefusal(reply)) {
        Ops::reportNg(origin, r);
        restoreAfterStart();
        return;
    }
    if (isStop(reply)) {
        origin.link.setErrorText(reply);
        restoreAfterStart();
        return;
    }
    if (isOk(reply) && !reply.contains(QLatin1Char('1'))) {
        // The origin is not established: the return to origin comes first, and without it
        // the point move is not started (the controller would refuse it).
        if (!askReturnToOrigin(origin) || !s.originDone || Drive::stopAsked(origin)) {
            restoreAfterStart();
            return;
        }
    }

    // The point's stored data first, so the question can say where the carriage goes.
    const DriveContext c = Ops::titled(m_ctx, QStringLiteral("Start"));
    const int row = m_host.currentPointRow();
    const ExchangeResult stored = Ops::exchange(c, Command::QueryP, QString::number(row), 22000);
    if (Drive::stopAsked(c)) {
        restoreAfterStart();
        return;
    }
    if (stored.Timeout()) {
        Ops::reportLinkError(c, stored);
        restoreAfterStart();
        return;
    }
    if (isRefusal(stored.ReplyText)) {
        Ops::reportNg(c, stored);
        restoreAfterStart();
        Drive::pause(500);
        return;
    }
    if (!Drive::askStart(c, QStringLiteral(" Do you start?"), pointToGo(stored.ReplyText, row))) {
        restoreAfterStart();
        return;
    }
    m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringStart);
    if (moveToPoint() != Drive::Outcome::NoReply)
        Drive::readCurrentPosition(c);
    restoreAfterStart();
}

void PointDrive::restoreAfterStart() {
    m_host.setControlColour(Ctl::Start, DriveColour::Idle);
    m_host.setControlColour(Ctl::Stop, std::nullopt);
}

Drive::Outcome PointDrive::moveToPoint() {
    const DriveContext c = Ops::titled(m_ctx, QStringLiteral("Point"));
    c.link.setErrorText({});
    const Drive::Moved moved = Drive::runMotion(
        c, {Command::MOVP, QString::number(m_host.currentPointRow()), {}, 22000, {}});
    if (moved.end == Drive::MotionEnd::Failed)
        return Drive::Outcome::NoReply;
    if (moved.end == Drive::MotionEnd::Cancelled)
        return Drive::Outcome::Stopped;
    if (isOk(moved.reply()))
        return Drive::Outcome::Done;
    if (isStop(moved.reply()))
        return Drive::Outcome::Stopped;
    Ops::reportNg(c, moved.result);
    return Drive::Outcome::Refused;
}

void PointDrive::orgClicked() {
    if (state().motion.idle()) {
        const DriveContext c = Ops::titled(m_ctx, QStringLiteral("Return to origin"));
        if (Ops::askYesNo(c, QStringLiteral("Return to origin? Please push stop switch if you "
                                            "stop operating."))) {
            c.link.setErrorText({});
            returnToOrigin(c);
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

Drive::Outcome PointDrive::returnToOrigin(const DriveContext& c) {
    if (state().operationMode)
        m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringOrigin);
    const Drive::Outcome outcome = Drive::returnToOrigin(c, originReturn());
    m_host.setControlColour(Ctl::Stop, std::nullopt);
    return outcome;
}

bool PointDrive::askReturnToOrigin(const DriveContext& c) {
    DriveState& s = state();
    if (!Ops::askYesNo(c, QStringLiteral("Return to origin? Please push stop switch if you "
                                         "stop operating."))) {
        s.panelMode = DriveState::None;
        m_host.setControlText(Ctl::Pos, QStringLiteral("0.00"));
        applyPanelState();
        return false;
    }
    c.link.setErrorText({});
    return returnToOrigin(c) == Drive::Outcome::Done;
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
    if (Drive::sendStop(m_ctx, timeoutMs, true).result == Drive::StopResult::Stopped)
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
    ++m_jogSteps;
    const auto endJog = [this] {
        m_plusHeld = m_minusHeld = false;
        m_clickedJog = 0;
        m_jogSteps = 0;
        return false;
    };
    if (m_jogSteps <= 3) {
        const DriveContext c = Ops::titled(m_ctx, QStringLiteral("JOG"));
        const Drive::Moved moved =
            Drive::runMotion(c, {plus ? Command::XPlus : Command::XMinus, {}, {}, 3000, {}});
        if (moved.end != Drive::MotionEnd::Replied)
            return endJog(); // a failure is reported, and a stop ends the jog
        const QString& reply = moved.reply();
        if (isOk(reply) || isStop(reply))
            return true;
        if (isRefusal(reply) && reply.contains(QLatin1String("37"))) {
            c.link.setErrorText(reply); // at the soft limit: shown, the jog goes on
            return true;
        }
        // A reported failure ends the jog: the release may have gone to the message box.
        Ops::reportNg(c, moved.result);
        return endJog();
    }
    const DriveContext c = Ops::titled(m_ctx, QStringLiteral("Parameter"));
    const Drive::Moved moved =
        Drive::runMotion(c, {plus ? Command::XINC : Command::XDEC, {}, {}, 20000, {}});
    if (moved.end != Drive::MotionEnd::Replied)
        return endJog();
    if (isRefusal(moved.reply())) {
        Ops::reportNg(c, moved.result);
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
