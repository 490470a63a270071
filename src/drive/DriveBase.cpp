#include "drive/DriveBase.h"

#include "drive/DirectTeachingPoll.h"
#include "drive/IoMonitor.h"
#include "link/Command.h"
#include "link/ReplyRules.h"
#include "tables/ParameterRows.h"
#include "tables/ParameterRowsModel.h"
#include "transfers/LinkReports.h"

#include <QTimer>

DriveBase::DriveBase(const OperationContext& ops, PanelHost& host, ParameterRowsModel& params,
                     QObject* parent)
    : QObject(parent), m_ctx{{ops.link, ops.op, ops.progress, host, ops.state}, host}, m_host(host),
      m_params(params),
      m_monitor(new IoMonitor([this] { return state().operationMode; },
                              [this](bool quiet) { return ioPoll(quiet); }, this)) {
    connect(&state().motion, &Motion::changed, this, [this] { applyPanelState(); });
    connect(m_monitor, &IoMonitor::silentChanged, this,
            [this](bool silent) { m_host.showControllerSilent(silent, m_ctx.link.lineName()); });
}

DriveBase::~DriveBase() {
    m_closing = true;
    disconnect(&state().motion, nullptr, this, nullptr);
}

void DriveBase::makeTeachingPoll(int pauseMs, std::function<bool()> active,
                                 Drive::TeachingDisplay show, std::function<void()> ended) {
    m_poll = new DirectTeachingPoll(
        m_ctx, {pauseMs, std::move(active), std::move(show), std::move(ended)}, this);
}

bool DriveBase::motionRunning() const {
    return Drive::motionRunning(m_ctx);
}

void DriveBase::stopAsked() {
    Drive::requestStop(m_ctx);
}

void DriveBase::stopForExit() {
    m_closing = true;
    Drive::stopForExit(m_ctx, {m_monitor->timer(), m_poll ? m_poll->timer() : nullptr});
}

IoMonitor::PollResult DriveBase::ioPoll(bool quiet) {
    using Result = IoMonitor::PollResult;
    if (!state().motion.idle() || m_closing)
        return Result::Skipped; // the monitor goes on after the motion
    return pollInputsAndOutputs(quiet ? Ops::quietly(m_ctx) : m_ctx) ? Result::Answered
                                                                     : Result::Failed;
}

// ---- Operation and Setting ------------------------------------------------------------------

void DriveBase::operationClicked() {
    DriveState& s = state();
    operationPressed();
    if (s.operationMode || m_entering || !s.motion.idle() || !operationAllowed())
        return;
    const DriveContext c = Ops::titled(m_ctx, QStringLiteral("Drive"));
    m_entering = true;
    m_host.setControlText(Ctl::Pos, QStringLiteral("0.00"));
    m_host.setControlColour(Ctl::Operation, DriveColour::OperationActive);
    m_host.setControlColour(Ctl::Setting, DriveColour::Idle);
    prepareOperation();
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
    s.operationMode = true;
    enteredOperation();
}

void DriveBase::settingClicked() {
    DriveState& s = state();
    // Never while a sequence runs: the button is disabled then, and a click that still came
    // through must not take the panel from under a moving actuator.
    if (m_entering || s.motion.running() || settingRefused())
        return;
    // After a stop that got no answer the operator has been told; Setting puts it behind.
    if (s.motion.leftMoving())
        s.motion.settle();
    returnToSetting();
}

void DriveBase::returnToSetting() {
    DriveState& s = state();
    m_params.setReceiving(false);
    if (settingEndsTeaching())
        return;
    m_host.setControlColour(Ctl::Setting, DriveColour::SettingActive);
    m_host.setControlColour(Ctl::Operation, DriveColour::Idle);
    m_host.setControlColour(Ctl::Stop, std::nullopt);
    m_ctx.link.setErrorText({});
    s.operationMode = false;
    s.panelMode = DriveState::Numeric;
    m_ctx.state.settei = 1;
    m_ctx.state.orgpos = 0;
    m_host.resetLamps();
    prepareSetting();
    applyPanelState();
}

// ---- Org, Start and Stop --------------------------------------------------------------------

void DriveBase::orgPressed() {
    Drive::markPressed(m_ctx, Ctl::Org, DriveColour::Set);
}

void DriveBase::startPressed() {
    Drive::markPressed(m_ctx, Ctl::Start, DriveColour::StartPressed);
}

void DriveBase::stopKeyPressed() {
    m_host.setControlColour(Ctl::Stop, DriveColour::StopDuringOrigin);
}

void DriveBase::orgClicked() {
    if (state().motion.idle() && orgAllowed()) {
        const DriveContext c = Ops::titled(m_ctx, QStringLiteral("Return to origin"));
        if (Ops::askYesNo(c, QStringLiteral("Return to origin? Please push stop switch if you "
                                            "stop operating."))) {
            c.link.setErrorText({});
            // Operation mode has its own Stop button: no stop dialog.
            originReturned(returnToOrigin(c, false));
        }
    }
    m_host.setControlColour(Ctl::Org, DriveColour::Idle);
}

// ---- Teaching -------------------------------------------------------------------------------

bool DriveBase::readShiftToStatusBar(const DriveContext& c, int timeoutMs) {
    const ExchangeResult r = Ops::exchange(c, Command::QueryPRM, QStringLiteral("35"), timeoutMs);
    if (r.Timeout() || !ReplyRules::isOk(r.ReplyText)) {
        Ops::reportLinkError(c, r);
        return false;
    }
    state().originShift = Ops::numberOf(r).value_or(0.0);
    m_host.setStatusText(2, ParameterRows::originShiftText(Ops::valueOf(r).trimmed()));
    return true;
}

bool DriveBase::servoOff(const DriveContext& base) {
    const DriveContext c = Ops::titled(base, QStringLiteral("Servo"));
    if (!Ops::askYesNo(c, QStringLiteral("Do you turn off the power of motor? Cannot change "
                                         "the mode during turning off the power of motor."))) {
        servoOffDeclined();
        return false;
    }
    return Drive::servoOff(c);
}
