// The motions of both kinds and their one stop path: a motion command's exchange inside the
// window's motion state, the stop asked for at any moment of a sequence, and what follows a
// motion whose exchange ended without its end reply.
#include "drive/Drive.h"
#include "link/Command.h"
#include "link/ReplyRules.h"
#include "transfers/LinkReports.h"

#include <QTimer>

namespace Drive {

namespace {

using ReplyRules::isOk;
using ReplyRules::isStop;

// The stop character as a command of its own. True when the controller answered it ("STOP"
// while it moved, "OK" when it stood).
bool exchangeStop(const DriveContext& c, int timeoutMs, QString& reason) {
    const ExchangeResult r =
        Ops::exchange(Ops::titled(c, QStringLiteral("Stop")), Command::StopChar, {}, timeoutMs);
    reason = r.reason;
    return !r.Timeout() && (isStop(r.ReplyText) || isOk(r.ReplyText));
}

// A motion's exchange ended without its end reply, so the actuator may still be moving: the
// stop character goes out at once, then the operator learns what happened, under the motion's
// own title, and the window is usable again. The sequence ends: no further move starts.
void motionFailed(const DriveContext& c, const ExchangeResult& r) {
    Motion& motion = c.drive().motion;
    const bool refusedLine = r.refusedLine();
    const QString why = refusedLine ? Command::visible(r.sent) : r.reason;
    // The command box shows a line only once it was written to an open port.
    const bool written = !refusedLine && !c.link.sentText().isEmpty();
    motion.requestStop();
    motion.setPhase(Motion::Phase::MaybeMoving);

    QString stopFailure;
    const bool answered = exchangeStop(c, motion.limited(1500), stopFailure);
    QString stopNote = answered ? QStringLiteral("The stop command was sent and answered.")
                                : QStringLiteral("The stop command was sent but not answered "
                                                 "(%1): the actuator may still be moving.")
                                      .arg(stopFailure);
    if (!written)
        stopNote = QStringLiteral("The command did not go out, so nothing was started.");
    // A motion that never went out, or a stop the controller answered, leaves nothing moving.
    if (answered || !written)
        motion.settle();

    c.op.beep();
    c.op.informativeMessage(
        c.title, QString::fromLatin1(refusedLine ? Ops::LineRefusedText : Ops::LinkErrorText),
        refusedLine ? OperatorInteraction::Icon::Warning : OperatorInteraction::Icon::None,
        why + QLatin1Char('\n') + stopNote);
    Ops::restore(c);
}

} // namespace

Moved runMotion(const DriveContext& c, const MotionCommand& command) {
    Link& link = c.link;
    DriveState& s = c.drive();
    // The line must be free before the move command goes out: a stop asked for while waiting
    // for it cancels the move, and once it is free the command is written at once.
    link.waitForEnd();
    if (s.motion.stopRequested())
        return {MotionEnd::Cancelled, {}};

    QString line = command.asWritten;
    if (line.isEmpty() && !command.tail.isEmpty()) {
        Command::Fields f;
        f.P_Command = command.code;
        f.P_second = command.argument;
        f.P_third = command.tail;
        Command::compose(f);
        line = f.sousinnaiyou;
    }
    s.motion.setPhase(Motion::Phase::Moving);
    c.state.orgpos = 1;
    const int timeoutMs = s.motion.limited(command.timeoutMs);
    const ExchangeResult r = line.isEmpty()
                                 ? Ops::exchange(c, command.code, command.argument, timeoutMs)
                                 : Ops::exchangeAsWritten(c, command.code, line, timeoutMs);
    c.state.orgpos = 0;

    if (r.Timeout() || r.ReplyText.isEmpty()) {
        motionFailed(c, r);
        return {MotionEnd::Failed, r};
    }
    s.motion.setPhase(Motion::Phase::Starting);
    return {MotionEnd::Replied, r};
}

StopAsk requestStop(const DriveContext& c) {
    Motion& motion = c.drive().motion;
    switch (motion.phase()) {
    case Motion::Phase::Idle:
        return StopAsk::Idle;
    case Motion::Phase::Starting:
        motion.requestStop();
        return StopAsk::Cancelled;
    case Motion::Phase::Moving:
    case Motion::Phase::Stopping:
        motion.requestStop();
        if (c.link.writeStop() != Link::StopWrite::Written)
            return StopAsk::Cancelled; // its exchange has ended meanwhile
        motion.setPhase(Motion::Phase::Stopping);
        return StopAsk::Written;
    case Motion::Phase::MaybeMoving:
        motion.requestStop();
        // While the failed motion's own stop is under way it has been asked for already.
        if (motion.running())
            return StopAsk::Cancelled;
        sendStop(c, motion.limited(1500), false);
        return StopAsk::Exchanged;
    }
    return StopAsk::Idle;
}

StopSent sendStop(const DriveContext& base, int timeoutMs, bool quietTimeout) {
    const DriveContext c = Ops::titled(base, QStringLiteral("Stop"));
    const ExchangeResult r = Ops::exchange(c, Command::StopChar, {}, timeoutMs);
    const QString& reply = r.ReplyText;
    if (!r.Timeout() || quietTimeout) {
        if (isStop(reply) || isOk(reply) || reply.isEmpty()) {
            if (!reply.isEmpty() && c.drive().motion.leftMoving())
                c.drive().motion.settle();
            return {StopResult::Stopped, reply};
        }
    }
    Ops::reportLinkError(c, r);
    return {StopResult::Failed, reply};
}

void stopForExit(const DriveContext& c, std::initializer_list<QTimer*> timers) {
    for (QTimer* timer : timers)
        timer->stop();
    c.link.closeKeptPort(); // a poll's port, between its reads
    requestStop(c);
}

} // namespace Drive
