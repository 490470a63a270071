// The point-input drive panel: what its Setting and Operation modes add to DriveBase's, Start,
// Stop and the I/O monitor poll. The jog is in PointJog.cpp; teaching, SET and the low-speed
// boxes are in PointTeaching.cpp.
#include "pointops/PointDrive.h"

#include "drive/IoMonitor.h"
#include "link/Command.h"
#include "link/ReplyRules.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/PointReply.h"
#include "transfers/LinkReports.h"

namespace {

using ReplyRules::isOk;
using ReplyRules::isRefusal;
using ReplyRules::isStop;

} // namespace

PointDrive::PointDrive(const PointOpsContext& ops, PointDriveHost& host, QObject* parent)
    : DriveBase(ops, host, ops.params, parent), m_ops(ops), m_pointHost(host) {
    // The next read follows at once: the line time paces the polling.
    makeTeachingPoll(
        0, [this] { return state().panelMode == DriveState::DirectTeaching && !m_closing; },
        [this](double mm, double shift) { showTeachingPosition(mm, shift); },
        [this] { selectNumericInput(); });
}

void PointDrive::stopForExit() {
    DriveBase::stopForExit();
    m_plusHeld = m_minusHeld = false;
    emit jogChanged();
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
    m_host.setControlEnabled(Ctl::Setting, (idle || motion.leftMoving()) && !m_entering && !held);
    m_host.setControlEnabled(Ctl::Operation, idle && !m_teachingOpen && !m_entering && !held);
    m_host.setControlEnabled(Ctl::Org, operation && idle);
    m_host.setControlEnabled(Ctl::Start, operation && idle);
    // After Org and Start: Stop disabled with the focus hands it to them.
    m_host.setControlEnabled(Ctl::Stop, operation && !idle);
    m_host.setControlEnabled(PointCtl::Numeric, !playback);
    for (const char* jog : {PointCtl::Plus, PointCtl::Minus})
        m_host.setControlEnabled(jog, jogUsable());
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

    Drive::followMotion(m_host, *m_monitor, m_closing);
}

// ---- Operation and Setting ------------------------------------------------------------------

void PointDrive::prepareOperation() {
    m_pointHost.showPointGrid();
    m_host.setControlColour(Ctl::Org, DriveColour::Idle);
    m_host.setControlColour(Ctl::Start, DriveColour::Idle);
    m_host.setControlColour(Ctl::Stop, std::nullopt);
}

void PointDrive::enteredOperation() {
    m_pointHost.setLampShown(8, state().newModel);
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

bool PointDrive::settingRefused() const {
    return m_host.drive().motion.held();
}

bool PointDrive::settingEndsTeaching() {
    if (!m_teachingOpen)
        return false;
    selectNumericInput();
    return true;
}

// ---- Start, Org and Stop --------------------------------------------------------------------

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
    // From here Stop is usable, and coloured as such; a stop before the move command cancels
    // the rest.
    MotionSequence sequence(s.motion, Motion::StopControl::Button);
    m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringStart);
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
        m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringStart);
    }

    // The point's stored data first, so the question can say where the carriage goes.
    const DriveContext c = Ops::titled(m_ctx, QStringLiteral("Start"));
    const int row = m_pointHost.currentPointRow();
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
    if (moveToPoint() != Drive::Outcome::NoReply)
        Drive::readCurrentPosition(c);
    restoreAfterStart();
}

void PointDrive::restoreAfterStart() {
    m_host.setControlColour(Ctl::Start, DriveColour::Idle);
    // Stop keeps its colour while it stays usable (a stop that got no answer).
    if (!state().motion.leftMoving())
        m_host.setControlColour(Ctl::Stop, std::nullopt);
}

Drive::Outcome PointDrive::moveToPoint() {
    const DriveContext c = Ops::titled(m_ctx, QStringLiteral("Point"));
    c.link.setErrorText({});
    const Drive::Moved moved = Drive::runMotion(
        c, {Command::MOVP, QString::number(m_pointHost.currentPointRow()), {}, 22000, {}});
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

Drive::Outcome PointDrive::returnToOrigin(const DriveContext& c, bool) {
    if (state().operationMode)
        m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringOrigin);
    const Drive::Outcome outcome = Drive::returnToOrigin(c, originReturn());
    if (!state().motion.leftMoving())
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
    return returnToOrigin(c, true) == Drive::Outcome::Done;
}

void PointDrive::stopClicked() {
    m_host.setControlColour(Ctl::Stop, std::nullopt);
    if (Drive::requestStop(m_ctx) == Drive::StopAsk::Idle)
        stop(1500);
}

void PointDrive::stop(int timeoutMs) {
    // Nothing moves: the stop character as a command of its own, whose silence is no error.
    if (Drive::sendStop(m_ctx, timeoutMs, true).result == Drive::StopResult::Stopped)
        m_jogSteps = 0;
}

// ---- I/O monitor ----------------------------------------------------------------------------

bool PointDrive::pollInputsAndOutputs(const DriveContext& c) {
    return Drive::readInputsAndOutputs(c, state().newModel ? DioLayout::newModel()
                                                           : DioLayout::oldModel());
}
