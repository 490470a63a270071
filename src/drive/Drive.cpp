#include "drive/Drive.h"

#include "drive/IoMonitor.h"
#include "link/Command.h"
#include "link/ReplyRules.h"
#include "operator/ProgressView.h"
#include "tables/CellText.h"
#include "transfers/LinkReports.h"

#include <QEventLoop>
#include <QTimer>

#include <cmath>

namespace Drive {

namespace {

using ReplyRules::isOk;
using ReplyRules::isRefusal;
using ReplyRules::isStop;

// One "@?PRM " read of the return to origin: the reply must end in "OK". None when it failed
// (reported).
std::optional<ExchangeResult> readParameter(const DriveContext& c, int number) {
    const ExchangeResult r = Ops::readParameter(c, number);
    if (r.Timeout() || !isOk(r.ReplyText)) {
        Ops::reportLinkError(c, r);
        return std::nullopt;
    }
    return r;
}

} // namespace

QString positionText(const QString& reply) {
    const qsizetype cr = reply.indexOf(QLatin1Char('\r'));
    QString text = cr < 0 ? reply : reply.left(cr);
    if (text.contains(QLatin1String("?-")))
        text.remove(0, 1);
    else if (text.contains(QLatin1Char('?')))
        text.replace(0, 1, QLatin1Char('-'));
    else if (text.startsWith(QLatin1Char(' ')))
        text.remove(0, 1);
    return text;
}

std::optional<double> positionMm(const QString& positionText) {
    return CellText::number(positionText.trimmed());
}

bool carriageShown(double positionMm, double originShift, double stroke) {
    return std::abs(positionMm + originShift / 100.0) < 1.1 * (stroke / 100.0);
}

void pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void markPressed(const DriveContext& c, const char* button, quint32 bgr) {
    c.panel.setControlColour(QString::fromLatin1(button), bgr);
    c.link.setErrorText({});
}

void reportEntryFailed(const DriveContext& c, const ExchangeResult& r) {
    Ops::reportLinkError(c, r);
    c.link.setSentText({});
}

bool askStart(const DriveContext& c, const QString& question, const QString& informative) {
    const bool yes = c.op.informativeYesNo(QStringLiteral("Start"), question,
                                           OperatorInteraction::Icon::Question,
                                           informative) == OperatorInteraction::Answer::Yes;
    if (!yes)
        c.panel.setControlColour(QString::fromLatin1(Ctl::Start), DriveColour::Idle);
    return yes;
}

bool motionRunning(const DriveContext& c) {
    return c.link.motionPending() || !c.drive().motion.idle();
}

bool readInputsAndOutputs(const DriveContext& base, const DioLayout& layout) {
    const DriveContext c = Ops::titled(base, QStringLiteral("I/O monitor"));
    const ExchangeResult r = Ops::exchange(c, Command::ReadDIO, {}, 3000);
    if (r.Timeout()) {
        Ops::reportLinkError(c, r);
        return false;
    }
    const QString& reply = r.ReplyText;
    if (!isOk(reply) && !isStop(reply)) {
        Ops::reportNg(c, r);
        return false;
    }
    for (const auto& [lamp, on] : Dio::lamps(reply, layout))
        c.panel.setLamp(lamp, on);
    const Outcome position = readCurrentPosition(c);
    return position != Outcome::NoReply && position != Outcome::Refused;
}

bool servoOff(const DriveContext& c) {
    const ExchangeResult r = Ops::exchange(c, Command::SRVO, QStringLiteral("0"), 3000);
    if (isOk(r.ReplyText))
        return true;
    if (r.ReplyText.isEmpty())
        Ops::reportLinkError(c, r);
    else
        Ops::reportNg(c, r);
    return false;
}

Outcome readCurrentPosition(const DriveContext& base, const TeachingDisplay& teaching) {
    DriveState& s = base.drive();
    if (s.motion.busy())
        return Outcome::Done;
    const DriveContext c = Ops::titled(base, QStringLiteral("Receive the current value"));
    const ExchangeResult r = Ops::exchange(c, Command::QueryPOS, {}, 5000);
    if (r.Timeout()) {
        Ops::reportLinkError(c, r);
        return Outcome::NoReply;
    }
    const QString& reply = r.ReplyText;
    if (!isOk(reply) && !isStop(reply)) {
        Ops::reportNg(c, r);
        return Outcome::Refused;
    }
    const QString text = positionText(reply);
    if (text == QLatin1String("STOP")) {
        Ops::restore(c);
        return Outcome::Stopped;
    }
    // A reply that holds no number shows nothing rather than some accidental value.
    const std::optional<double> mm = positionMm(text);
    if (!mm)
        return Outcome::Done;
    c.panel.setControlText(Ctl::NowPosi, QString::number(*mm, 'f', 2));
    if (carriageShown(*mm, s.originShift, s.stroke))
        c.panel.showCarriage(*mm + s.originShift / 100.0, s.stroke / 100.0, s.originDirection);

    if (s.operationMode || s.motion.busy())
        return Outcome::Done;
    const ExchangeResult shift = Ops::exchange(c, Command::QueryPRM, QStringLiteral("35"), 5000);
    if (shift.Timeout()) {
        Ops::reportLinkError(c, shift);
        return Outcome::NoReply;
    }
    if (!isOk(shift.ReplyText)) {
        Ops::reportNg(c, shift);
        return Outcome::Refused;
    }
    s.originShift = Ops::numberOf(shift).value_or(0.0);
    if (teaching)
        teaching(*mm, s.originShift);
    return Outcome::Done;
}

Outcome returnToOrigin(const DriveContext& base, const OriginReturn& how) {
    DriveState& s = base.drive();
    MotionSequence sequence(s.motion, how.stopControl);
    const DriveContext c = how.title.isEmpty() ? base : Ops::titled(base, how.title);
    std::optional<ExchangeResult> read = readParameter(c, 5);
    if (!read)
        return Outcome::NoReply;
    s.originDirection = Ops::valueOf(*read).trimmed() == QLatin1String("1") ? 1 : 0;
    if (stopAsked(c) || !(read = readParameter(c, 35)))
        return stopAsked(c) ? Outcome::Stopped : Outcome::NoReply;
    s.originShift = Ops::numberOf(*read).value_or(0.0);
    if (stopAsked(c) || !(read = readParameter(c, how.strokeParameter)))
        return stopAsked(c) ? Outcome::Stopped : Outcome::NoReply;
    s.stroke = how.strokeOf ? how.strokeOf(Ops::valueOf(*read).trimmed())
                            : Ops::numberOf(*read).value_or(0.0);

    s.originDone = false;
    const Moved moved = runMotion(c, {Command::ORG, {}, {}, how.timeoutMs, {}});
    if (how.moved)
        how.moved();
    if (moved.end == MotionEnd::Cancelled)
        return Outcome::Stopped;
    if (moved.end == MotionEnd::Failed)
        return Outcome::NoReply;

    const QString& reply = moved.reply();
    if (isRefusal(reply) || isStop(reply)) {
        Ops::reportNg(c, moved.result);
        return isRefusal(reply) ? Outcome::Refused : Outcome::Stopped;
    }
    if (how.onlyOk && !isOk(reply)) {
        c.link.setErrorText(reply);
        return Outcome::Refused;
    }
    s.originDone = true;
    if (!stopAsked(c))
        readCurrentPosition(c, how.teaching);
    return Outcome::Done;
}

void lockCommands(PanelHost& host, bool& locked, bool lock) {
    if (lock == locked)
        return;
    locked = lock;
    if (lock)
        host.disableCommands();
    else
        host.enableCommands();
}

void followMotion(PanelHost& host, IoMonitor& monitor, bool closing) {
    const DriveState& s = host.drive();
    host.setStopDialogShown(s.motion.stopDialogWanted(s.operationMode));
    host.lockWhileMoving(!s.motion.idle());
    const bool poll = s.operationMode && s.motion.idle() && !closing;
    if (poll && !monitor.running())
        monitor.start();
    else if (!poll)
        monitor.stop(); // outside Operation mode it also forgets a silent controller
}

} // namespace Drive
