// The motions of both kinds and their one stop path: a motion command's exchange inside the
// window's motion state, the stop asked for at any moment of a sequence, and what follows a
// motion whose exchange ended without its end reply.
#include "drive/Drive.h"
#include "link/Command.h"

#include <QTimer>

namespace Drive {

namespace {

bool has(const QString& text, const char* marker) {
    return text.contains(QLatin1String(marker));
}

const QString CommunicationError =
    QStringLiteral("The communication error. Please check the connection.");

// The stop character as a command of its own. True when the controller answered it ("STOP"
// while it moved, "OK" when it stood).
bool exchangeStop(DriveContext& c, int timeoutMs) {
    Link& link = c.link;
    const QString title = link.operationTitle;
    link.operationTitle = QStringLiteral("Stop");
    Ops::exchange(c, Command::StopChar, {}, timeoutMs);
    link.operationTitle = title;
    return !link.Timeout && (has(link.ReplyText, "STOP") || has(link.ReplyText, "OK"));
}

// A motion's exchange ended without its end reply, so the actuator may still be moving: the
// stop character goes out at once, then the operator learns what happened, under the motion's
// own title, and the window is usable again. The sequence ends: no further move starts.
void motionFailed(DriveContext& c) {
    Link& link = c.link;
    Motion& motion = c.drive().motion;
    const QString title = link.operationTitle;
    const bool refusedLine = link.LineRefused;
    const QString why = refusedLine ? Command::visible(link.sousinnaiyou) : link.lineFailure();
    // The command box shows a line only once it was written to an open port.
    const bool written = !refusedLine && !link.sentText().isEmpty();
    motion.requestStop();
    motion.setPhase(Motion::Phase::MaybeMoving);

    const bool answered = exchangeStop(c, motion.limited(1500));
    QString stopNote = answered ? QStringLiteral("The stop command was sent and answered.")
                                : QStringLiteral("The stop command was sent but not answered "
                                                 "(%1): the actuator may still be moving.")
                                      .arg(link.lineFailure());
    if (!written)
        stopNote = QStringLiteral("The command did not go out, so nothing was started.");
    // A motion that never went out, or a stop the controller answered, leaves nothing moving.
    if (answered || !written)
        motion.settle();

    link.operationTitle = title;
    c.op.beep();
    c.op.informativeMessage(
        title, refusedLine ? QString::fromLatin1(Link::LineRefusedText) : CommunicationError,
        refusedLine ? OperatorInteraction::Icon::Warning : OperatorInteraction::Icon::None,
        why + QLatin1Char('\n') + stopNote);
    Ops::restore(c);
}

} // namespace

MotionEnd runMotion(DriveContext& c, const MotionCommand& command) {
    Link& link = c.link;
    DriveState& s = c.drive();
    // The line must be free before the move command goes out: a stop asked for while waiting
    // for it cancels the move, and once it is free the command is written at once.
    link.waitForEnd();
    if (s.motion.stopRequested())
        return MotionEnd::Cancelled;

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
    s.orgpos = 1;
    const int timeoutMs = s.motion.limited(command.timeoutMs);
    if (line.isEmpty())
        Ops::exchange(c, command.code, command.argument, timeoutMs);
    else
        Ops::exchangeAsWritten(c, command.code, line, timeoutMs);
    s.orgpos = 0;

    if (link.Timeout || link.ReplyText.isEmpty()) {
        motionFailed(c);
        return MotionEnd::Failed;
    }
    s.motion.setPhase(Motion::Phase::Starting);
    return MotionEnd::Replied;
}

StopAsk requestStop(DriveContext& c) {
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
        if (!c.link.writeStop())
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

StopResult sendStop(DriveContext& c, int timeoutMs, bool quietTimeout) {
    Link& link = c.link;
    link.operationTitle = QStringLiteral("Stop");
    Ops::exchange(c, Command::StopChar, {}, timeoutMs);
    const QString& reply = link.ReplyText;
    if (!link.Timeout || quietTimeout) {
        if (has(reply, "STOP") || has(reply, "OK") || reply.isEmpty()) {
            if (!reply.isEmpty() && c.drive().motion.leftMoving())
                c.drive().motion.settle();
            return StopResult::Stopped;
        }
    }
    if (link.Timeout)
        c.host.enableWindow();
    link.ReportLinkError(c.op, c.host);
    return StopResult::Failed;
}

void stopForExit(DriveContext& c, std::initializer_list<QTimer*> timers) {
    for (QTimer* timer : timers)
        timer->stop();
    requestStop(c);
}

} // namespace Drive
