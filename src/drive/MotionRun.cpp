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

using Icon = OperatorInteraction::Icon;
using ReplyRules::isOk;
using ReplyRules::isRefusal;
using ReplyRules::isStop;

// The answer time of a stop asked for with Stop or the stop dialog.
constexpr int StopAnswerMs = 1500;

QString seconds(int ms) {
    return QString::number(ms / 1000.0);
}

QString mayStillMove() {
    return QStringLiteral("The actuator may still be moving.");
}

// A stop whose character never reached the controller: the system's reason beside it.
QString stopNotWritten(const QString& reason, bool mayMove = true) {
    const QString text =
        QStringLiteral("The stop could not be written: the line is gone (%1).").arg(reason);
    return mayMove ? text + QLatin1Char(' ') + mayStillMove() : text;
}

// What became of a motion, told whatever settei says: the fate of an actuator is never
// silenced. The window is usable again afterwards.
void tell(const DriveContext& c, const char* text, Icon icon, const QString& informative) {
    ++c.state.failureReports;
    c.op.beep();
    c.op.informativeMessage(c.title, QString::fromLatin1(text), icon, informative);
    Ops::restore(c);
}

// The stop character as a command of its own (title "Stop"): the note on how it ended, and
// whether the controller answered it ("STOP" while it moved, "OK" when it stood).
bool exchangeStop(const DriveContext& c, int timeoutMs, QString& note) {
    const ExchangeResult r =
        Ops::exchange(Ops::titled(c, QStringLiteral("Stop")), Command::StopChar, {}, timeoutMs);
    const bool answered = !r.Timeout() && (isStop(r.ReplyText) || isOk(r.ReplyText));
    if (answered)
        note = QStringLiteral("The stop command was sent and answered.");
    else if (!r.written)
        note = stopNotWritten(r.reason);
    else
        note = QStringLiteral("The stop command was sent but not answered within %1 s: ")
                   .arg(seconds(timeoutMs)) +
               mayStillMove().toLower();
    return answered;
}

// A motion's exchange ended without its end reply, so the actuator may still be moving: the
// stop character goes out at once (unless the stop written into the exchange has gone
// unanswered already), then the operator learns what happened, under the motion's own title,
// and the window is usable again. The sequence ends: no further move starts.
void motionFailed(const DriveContext& c, const ExchangeResult& r, bool stopUnanswered) {
    Motion& motion = c.drive().motion;
    const bool refusedLine = r.refusedLine();
    const QString why = refusedLine ? Command::visible(r.sent) : r.reason;
    // The command box shows a line only once it was written to an open port.
    const bool written = !refusedLine && !c.link.sentText().isEmpty();
    motion.requestStop();
    motion.setPhase(Motion::Phase::MaybeMoving);

    QString stopNote;
    if (!written) {
        // A motion that never went out leaves nothing moving.
        stopNote = QStringLiteral("The command did not go out, so nothing was started.");
        motion.settle();
    } else if (stopUnanswered) {
        // The stop went into the motion's exchange in time; asking again waits for the
        // operator, who can stop again from the panel.
        stopNote = mayStillMove();
    } else if (exchangeStop(c, motion.stopLimited(StopAnswerMs), stopNote)) {
        motion.settle();
    }
    tell(c, refusedLine ? Ops::LineRefusedText : Ops::LinkErrorText,
         refusedLine ? Icon::Warning : Icon::None, why + QLatin1Char('\n') + stopNote);
}

} // namespace

Moved runMotion(const DriveContext& c, const MotionCommand& command) {
    Link& link = c.link;
    Motion& motion = c.drive().motion;
    // The line must be free before the move command goes out: a stop asked for while waiting
    // for it cancels the move, and once it is free the command is written at once.
    link.waitForEnd();
    if (motion.stopRequested())
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
    motion.setPhase(Motion::Phase::Moving);
    c.state.orgpos = 1;
    // A reply that can no longer end well ends the wait early: noise at once, an "NG" whose
    // detail line does not follow within a stop's answer time.
    QString cut;
    const auto watch = QObject::connect(&link, &Link::receiving, &link, [&](const QString& soFar) {
        if (!cut.isEmpty())
            return;
        if (!ReplyRules::isPlainText(soFar)) {
            cut = QLatin1String(Ops::NoiseReasonText);
            link.endWaitWithin(0);
        } else if (isRefusal(soFar) && ReplyRules::hasReplyEnd(soFar)) {
            cut = QStringLiteral("\"NG\" came without its detail line");
            link.endWaitWithin(motion.stopLimited(StopAnswerMs));
        }
    });
    const int timeoutMs = motion.limited(command.timeoutMs);
    ExchangeResult r = line.isEmpty() ? Ops::exchange(c, command.code, command.argument, timeoutMs)
                                      : Ops::exchangeAsWritten(c, command.code, line, timeoutMs);
    QObject::disconnect(watch);
    c.state.orgpos = 0;

    const bool stopWritten = motion.phase() == Motion::Phase::Stopping;
    if (r.Timeout() || r.ReplyText.isEmpty()) {
        // An early end says why, in place of the shortened time-out.
        const QString where = link.lineName() + QStringLiteral(": ");
        const bool endedEarly = r.end == ExchangeResult::End::NoReplyEnd;
        const bool stopUnanswered = endedEarly && stopWritten;
        if (endedEarly && !cut.isEmpty()) {
            r.reason = where + cut;
        } else if (stopUnanswered) {
            r.reason = where + QStringLiteral("the stop command was sent but not answered "
                                              "within %1 s")
                                   .arg(seconds(motion.stopAnswerMs()));
        } else if (endedEarly && !motion.stopFailure().isEmpty()) {
            r.reason = where + QStringLiteral("the stop character could not be written: ") +
                       motion.stopFailure();
        }
        motionFailed(c, r, stopUnanswered);
        return {MotionEnd::Failed, r};
    }
    motion.setPhase(Motion::Phase::Starting);
    // The controller ended the move as if no stop had come: the operator asked for one and
    // must learn that it was not obeyed. A short jog step may end before its release's stop.
    if (stopWritten && isOk(r.ReplyText) && !isStop(r.ReplyText) && !isRefusal(r.ReplyText) &&
        !command.mayEndBeforeStop)
        c.op.message(c.title,
                     QStringLiteral("The stop was not acknowledged; the move ran to its end."),
                     Icon::Warning);
    return {MotionEnd::Replied, r};
}

StopAsk requestStop(const DriveContext& c, int answerMs) {
    Motion& motion = c.drive().motion;
    switch (motion.phase()) {
    case Motion::Phase::Idle:
        return StopAsk::Idle;
    case Motion::Phase::Starting:
        motion.requestStop();
        return StopAsk::Cancelled;
    case Motion::Phase::Moving:
    case Motion::Phase::Stopping: {
        motion.requestStop();
        const int ms = motion.stopLimited(answerMs);
        switch (c.link.writeStop()) {
        case Link::StopWrite::Written:
            // The motion's exchange collects the answer; unanswered in time, the stop is told
            // at once and the operator can stop again.
            motion.stopWritten(ms);
            c.link.endWaitWithin(ms);
            return StopAsk::Written;
        case Link::StopWrite::LineGone:
            // Nothing will answer on that line: the motion's wait ends now and its failure
            // is told with the reason.
            motion.setStopFailure(c.link.stopWriteFailure());
            c.link.endWaitWithin(0);
            return StopAsk::Cancelled;
        case Link::StopWrite::NothingPending:
            return StopAsk::Cancelled; // its exchange has ended meanwhile
        }
        return StopAsk::Cancelled;
    }
    case Motion::Phase::MaybeMoving:
        motion.requestStop();
        // While the failed motion's own stop is under way it has been asked for already.
        if (motion.running())
            return StopAsk::Cancelled;
        sendStop(c, motion.stopLimited(answerMs), false);
        return StopAsk::Exchanged;
    }
    return StopAsk::Idle;
}

StopSent sendStop(const DriveContext& base, int timeoutMs, bool quietTimeout) {
    const DriveContext c = Ops::titled(base, QStringLiteral("Stop"));
    Motion& motion = c.drive().motion;
    const bool wasMoving = motion.leftMoving();
    const ExchangeResult r = Ops::exchange(c, Command::StopChar, {}, timeoutMs);
    const QString& reply = r.ReplyText;
    const bool silent = r.end == ExchangeResult::End::NoReplyEnd && reply.isEmpty();
    if ((!r.Timeout() && (isStop(reply) || isOk(reply))) || (quietTimeout && silent)) {
        if (!reply.isEmpty() && wasMoving)
            motion.settle();
        return {StopResult::Stopped, reply};
    }
    QString informative = stopNotWritten(r.reason, wasMoving);
    if (r.written)
        informative = wasMoving ? r.reason + QLatin1Char('\n') + mayStillMove() : r.reason;
    tell(c, Ops::LinkErrorText, Icon::None, informative);
    return {StopResult::Failed, reply};
}

void stopForExit(const DriveContext& c, std::initializer_list<QTimer*> timers) {
    for (QTimer* timer : timers)
        timer->stop();
    c.link.closeKeptPort(); // a poll's port, between its reads
    requestStop(c);
}

} // namespace Drive
