// The point-input drive panel: Setting and Operation mode, Start, Org, Stop, the jog and the
// I/O monitor poll. Teaching, SET and the low-speed boxes are in PointTeaching.cpp.
#include "pointops/PointDrive.h"

#include "drive/IoMonitor.h"
#include "link/Command.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"

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
}

PointDrive::~PointDrive() {
    m_closing = true;
}

bool PointDrive::motionRunning() const {
    return Drive::motionRunning(m_ctx);
}

void PointDrive::stopForExit() {
    m_closing = true;
    Drive::stopForExit(m_ctx, {m_monitor->timer(), m_poll});
    emit jogChanged();
}

// ---- Operation and Setting ------------------------------------------------------------------

void PointDrive::operationClicked() {
    DriveState& s = state();
    if (s.operationMode || motionRunning())
        return;
    Link& link = m_ctx.link;
    link.ReplyTimeoutMs = 3000;
    m_host.setControlText(Ctl::Pos, QStringLiteral("0.00"));
    m_host.setSettei(0);
    link.operationTitle = QStringLiteral("Drive");
    m_host.disableCommands();
    m_host.showPointGrid();
    for (const char* name : {Ctl::SetBase, Ctl::TargetP, PointCtl::Plus, PointCtl::Minus, Ctl::Set})
        m_host.setControlEnabled(name, false);
    m_host.setControlColour(Ctl::Operation, DriveColour::OperationActive);
    m_host.setControlColour(Ctl::Setting, DriveColour::Idle);
    m_host.setControlColour(Ctl::Org, DriveColour::Idle);
    m_host.setControlColour(Ctl::Start, DriveColour::Idle);
    m_host.setControlColour(Ctl::Stop, std::nullopt);
    m_monitor->start();
    link.setErrorText({});
    m_host.setControlEnabled(PointCtl::Numeric, true);
    s.panelMode = DriveState::Numeric;
    m_host.setControlEnabled(PointCtl::SetupFrame, false);
    m_host.setControlEnabled(PointCtl::ParametersFrame, false);
    m_host.setControlEnabled(PointCtl::DriveFrame, true);
    m_host.setControlEnabled(PointCtl::ViewFrame, true);
    // The table is not edited while the actuator is driven.
    m_ops.points.setLocked(true);

    if (!readOperationValues()) {
        Drive::reportEntryFailed(m_ctx);
        settingClicked();
        return;
    }
    m_host.setControlEnabled(Ctl::Org, true);
    m_host.setControlEnabled(Ctl::Start, true);
    m_host.setControlEnabled(Ctl::Stop, false);
    m_host.setLampShown(8, s.newModel);
    s.operationMode = true;
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
    m_host.setStopDialogShown(false);
    m_ops.params.setReceiving(false);
    if (m_teachingOpen) {
        m_host.setControlEnabled(Ctl::Setting, true);
        m_host.setControlEnabled(Ctl::SetBase, true);
        m_host.setControlEnabled(Ctl::TargetP, true);
        selectNumericInput();
        return;
    }
    m_host.setControlEnabled(Ctl::Operation, true);
    m_host.enableCommands();
    m_host.setSettei(1);
    m_monitor->stop();
    m_host.setControlColour(Ctl::Setting, DriveColour::SettingActive);
    m_host.setControlColour(Ctl::Operation, DriveColour::Idle);
    m_host.setControlColour(Ctl::Stop, std::nullopt);
    m_ctx.link.setErrorText({});
    for (const char* name : {Ctl::SetBase, Ctl::TargetP, Ctl::Set})
        m_host.setControlEnabled(name, true);
    for (const char* name : {Ctl::Org, Ctl::Start, Ctl::Stop})
        m_host.setControlEnabled(name, false);
    m_host.setControlEnabled(PointCtl::SetupFrame, true);
    m_host.setControlEnabled(PointCtl::ParametersFrame, true);
    s.operationMode = false;
    s.panelMode = DriveState::Numeric;
    s.orgpos = 0;
    m_host.resetLamps();
    m_ops.points.setLocked(false);
}

// ---- Start, Org and Stop --------------------------------------------------------------------

void PointDrive::startPressed() {
    Drive::markPressed(m_ctx, Ctl::Start, DriveColour::StartPressed);
}

void PointDrive::orgPressed() {
    Drive::markPressed(m_ctx, Ctl::Org, DriveColour::Set);
}

void PointDrive::startClicked() {
    DriveState& s = state();
    Link& link = m_ctx.link;
    if (motionRunning()) {
        m_host.setControlColour(Ctl::Start, DriveColour::Idle);
        return;
    }
    link.operationTitle = QStringLiteral("Return to origin");
    Ops::exchange(m_ctx, Command::QueryORG, {}, 3000);
    const QString reply = link.ReplyText;
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
        if (!askReturnToOrigin() || !s.originDone) {
            restoreAfterStart();
            return;
        }
    }

    link.ReplyTimeoutMs = 22000;
    if (!Drive::askStart(m_ctx, QStringLiteral(" Do you start?")))
        return;
    m_monitor->stop();
    m_host.setControlEnabled(Ctl::Org, true);
    m_host.setControlEnabled(Ctl::Stop, true);
    m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringStart);
    s.orgpos = 1;
    const QString point = QString::number(m_host.currentPointRow());
    Ops::exchange(m_ctx, Command::QueryP, point, 22000);
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
    m_host.setControlEnabled(Ctl::Org, false);
    if (moveToPoint() != Drive::Outcome::NoReply)
        Drive::readCurrentPosition(m_ctx);
    restoreAfterStart();
}

void PointDrive::restoreAfterStart() {
    m_host.setControlColour(Ctl::Start, DriveColour::Idle);
    m_host.setControlColour(Ctl::Stop, std::nullopt);
    m_host.setControlEnabled(Ctl::Setting, true);
    if (!state().operationMode)
        return;
    m_host.setControlEnabled(Ctl::Org, true);
    m_host.setControlEnabled(Ctl::Start, true);
    m_host.setControlEnabled(Ctl::Stop, false);
    m_monitor->start();
}

Drive::Outcome PointDrive::moveToPoint() {
    DriveState& s = state();
    Link& link = m_ctx.link;
    link.operationTitle = QStringLiteral("Point");
    link.setErrorText({});
    s.motionBusy = true;
    Ops::exchange(m_ctx, Command::MOVP, QString::number(m_host.currentPointRow()), 22000);
    s.motionBusy = false;
    const QString& reply = link.ReplyText;
    if (has(reply, "OK"))
        return Drive::Outcome::Done;
    if (has(reply, "STOP"))
        return Drive::Outcome::Stopped;
    if (link.Timeout) {
        link.ReportLinkError(m_ctx.op, m_host);
        return Drive::Outcome::NoReply;
    }
    Ops::reportNg(m_ctx);
    return Drive::Outcome::Refused;
}

void PointDrive::orgClicked() {
    Link& link = m_ctx.link;
    if (!motionRunning()) {
        link.operationTitle = QStringLiteral("Return to origin");
        link.ReplyTimeoutMs = 4000;
        if (Ops::askYesNo(m_ctx, QStringLiteral("Return to origin? Please push stop switch if you "
                                                "stop operating."))) {
            m_host.setControlEnabled(Ctl::Setting, false);
            link.setErrorText({});
            returnToOrigin();
            m_host.setControlEnabled(Ctl::Setting, true);
        }
    }
    m_host.setControlColour(Ctl::Org, DriveColour::Idle);
}

Drive::OriginReturn PointDrive::originReturn() {
    Drive::OriginReturn how;
    // The stop dialog comes with every return to origin: in Setting mode (teaching) the
    // panel has no Stop button of its own.
    how.showStopDialog = true;
    how.strokeParameter = 21;
    how.moving = [this] {
        if (!state().operationMode)
            return;
        m_host.setControlEnabled(Ctl::Start, false);
        m_host.setControlEnabled(Ctl::Stop, true);
        m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringOrigin);
    };
    how.moved = [this] {
        if (!state().operationMode)
            return;
        m_host.setControlEnabled(Ctl::Start, true);
        m_host.setControlEnabled(Ctl::Stop, false);
        m_host.setControlColour(Ctl::Stop, std::nullopt);
    };
    how.teaching = [this](double mm, double shift) { showTeachingPosition(mm, shift); };
    return how;
}

Drive::Outcome PointDrive::returnToOrigin() {
    return Drive::returnToOrigin(m_ctx, originReturn());
}

bool PointDrive::askReturnToOrigin() {
    DriveState& s = state();
    if (!Ops::askYesNo(m_ctx, QStringLiteral("Return to origin? Please push stop switch if you "
                                             "stop operating."))) {
        s.panelMode = DriveState::None;
        // Operation mode keeps its menus locked.
        if (!s.operationMode)
            m_host.enableCommands();
        m_host.setControlText(Ctl::Pos, QStringLiteral("0.00"));
        return false;
    }
    m_ctx.link.setErrorText({});
    return returnToOrigin() == Drive::Outcome::Done;
}

void PointDrive::stopClicked() {
    m_host.setControlEnabled(Ctl::Org, true);
    m_host.setControlEnabled(Ctl::Start, true);
    m_host.setControlEnabled(Ctl::Stop, false);
    m_host.setControlColour(Ctl::Stop, std::nullopt);
    stop(1500);
}

void PointDrive::stopKeyPressed() {
    m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringOrigin);
}

void PointDrive::stop(int timeoutMs) {
    if (Drive::sendStop(m_ctx, timeoutMs) == Drive::StopResult::Failed)
        return;
    m_jogSteps = 0;
    if (!state().operationMode)
        return;
    for (const char* name : {Ctl::Org, Ctl::Start, Ctl::Stop})
        m_host.setControlEnabled(name, true);
}

// ---- Jog ------------------------------------------------------------------------------------

void PointDrive::jogPressed(bool plus) {
    if (state().panelMode != DriveState::TeachingPlayback)
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
    // After a continuous jog the release stops the actuator (300 ms); a shorter press has
    // only made its steps.
    if (m_jogSteps == 4)
        stop(300);
    m_plusHeld = m_minusHeld = false;
    emit jogChanged();
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
        jogStep(direction > 0);
        if (m_closing)
            break;
        Drive::readCurrentPosition(
            m_ctx, [this](double mm, double shift) { showTeachingPosition(mm, shift); });
    }
    if (!m_plusHeld && !m_minusHeld)
        m_jogSteps = 0;
    m_jogRunning = false;
}

void PointDrive::jogStep(bool plus) {
    DriveState& s = state();
    Link& link = m_ctx.link;
    link.operationTitle = QStringLiteral("Parameter");
    ++m_jogSteps;
    const auto endJog = [this] {
        m_plusHeld = m_minusHeld = false;
        m_clickedJog = 0;
        m_jogSteps = 0;
    };
    if (m_jogSteps <= 3) {
        link.operationTitle = QStringLiteral("JOG");
        Ops::exchange(m_ctx, plus ? Command::XPlus : Command::XMinus, {}, 3000);
        const QString reply = link.ReplyText;
        if (has(reply, "OK") || has(reply, "STOP"))
            return;
        if (has(reply, "NG") && has(reply, "37")) {
            link.setErrorText(reply); // at the soft limit: shown, the jog goes on
            return;
        }
        // A reported failure ends the jog: the release may have gone to the message box.
        Ops::reportNg(m_ctx);
        endJog();
        return;
    }
    s.motionBusy = true;
    Ops::exchange(m_ctx, plus ? Command::XINC : Command::XDEC, {}, 20000);
    s.motionBusy = false;
    const QString reply = link.ReplyText;
    if (reply.isEmpty()) {
        link.ReportLinkError(m_ctx.op, m_host);
        endJog();
        return;
    }
    if (has(reply, "NG")) {
        Ops::reportNg(m_ctx);
        endJog();
        return;
    }
    waitForJogRelease();
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
    if (s.motionBusy || m_closing)
        return true; // skipped: the monitor goes on after the motion
    return Drive::readInputsAndOutputs(m_ctx,
                                       s.newModel ? DioLayout::newModel() : DioLayout::oldModel());
}
