#include "drive/Drive.h"

#include "drive/IoMonitor.h"
#include "link/Command.h"
#include "operator/ProgressView.h"

#include <QEventLoop>
#include <QTimer>

#include <cmath>

namespace Drive {

namespace {

bool has(const QString& text, const char* marker) {
    return text.contains(QLatin1String(marker));
}

// The value of a one-value reply as a number; 0 when it is not one.
double valueOf(const QString& reply) {
    bool ok = false;
    const double v = Link::ExtractReplyValue(reply).trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

// One "@?PRM " read of the return to origin: the reply must end in "OK".
bool readParameter(DriveContext& c, int number, QString& reply) {
    Ops::exchange(c, Command::QueryPRM, QString::number(number), 3000);
    reply = c.link.ReplyText;
    if (c.link.Timeout || !has(reply, "OK")) {
        c.link.ReportLinkError(c.op, c.host);
        return false;
    }
    return true;
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
    bool ok = false;
    const double mm = positionText.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(mm))
        return std::nullopt;
    return mm;
}

bool carriageShown(double positionMm, double originShift, double stroke) {
    return std::abs(positionMm + originShift / 100.0) < 1.1 * (stroke / 100.0);
}

void pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void markPressed(DriveContext& c, const char* button, quint32 bgr) {
    c.panel.setControlColour(QString::fromLatin1(button), bgr);
    c.link.setErrorText({});
}

void reportEntryFailed(DriveContext& c) {
    c.link.ReportLinkError(c.op, c.host);
    c.link.setSentText({});
}

bool askStart(DriveContext& c, const QString& question, const QString& informative) {
    c.link.operationTitle = QStringLiteral("Start");
    const bool yes =
        c.op.informativeYesNo(c.link.operationTitle, question, OperatorInteraction::Icon::Question,
                              informative) == OperatorInteraction::Answer::Yes;
    if (!yes)
        c.panel.setControlColour(QString::fromLatin1(Ctl::Start), DriveColour::Idle);
    return yes;
}

bool motionRunning(const DriveContext& c) {
    return c.link.motionPending() || !c.panel.drive().motion.idle();
}

bool readInputsAndOutputs(DriveContext& c, const DioLayout& layout) {
    Link& link = c.link;
    link.operationTitle = QStringLiteral("I/O monitor");
    Ops::exchange(c, Command::ReadDIO, {}, 3000);
    if (link.Timeout) {
        c.host.enableWindow();
        link.ReportLinkError(c.op, c.host);
        return false;
    }
    const QString reply = link.ReplyText;
    if (!has(reply, "OK") && !has(reply, "STOP")) {
        Ops::reportNg(c);
        return false;
    }
    for (const auto& [lamp, on] : Dio::lamps(reply, layout))
        c.panel.setLamp(lamp, on);
    const Outcome position = readCurrentPosition(c);
    return position != Outcome::NoReply && position != Outcome::Refused;
}

bool servoOff(DriveContext& c) {
    Ops::exchange(c, Command::SRVO, QStringLiteral("0"), 3000);
    if (has(c.link.ReplyText, "OK"))
        return true;
    if (c.link.ReplyText.isEmpty())
        c.link.ReportLinkError(c.op, c.host);
    else
        Ops::reportNg(c);
    return false;
}

Outcome readCurrentPosition(DriveContext& c, const TeachingDisplay& teaching) {
    DriveState& s = c.drive();
    if (s.motion.busy())
        return Outcome::Done;
    const QString title = QStringLiteral("Receive the current value");
    c.link.operationTitle = title;
    Ops::exchange(c, Command::QueryPOS, {}, 5000);
    if (c.link.Timeout) {
        c.link.ReportLinkError(c.op, c.host);
        return Outcome::NoReply;
    }
    const QString reply = c.link.ReplyText;
    if (!has(reply, "OK") && !has(reply, "STOP")) {
        Ops::reportNg(c);
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
    c.link.operationTitle = title;
    Ops::exchange(c, Command::QueryPRM, QStringLiteral("35"), 5000);
    if (c.link.Timeout) {
        c.link.ReportLinkError(c.op, c.host);
        return Outcome::NoReply;
    }
    if (!has(c.link.ReplyText, "OK")) {
        Ops::reportNg(c);
        return Outcome::Refused;
    }
    s.originShift = valueOf(c.link.ReplyText);
    if (teaching)
        teaching(*mm, s.originShift);
    return Outcome::Done;
}

Outcome returnToOrigin(DriveContext& c, const OriginReturn& how) {
    DriveState& s = c.drive();
    MotionSequence sequence(s.motion, how.stopControl);
    if (!how.title.isEmpty())
        c.link.operationTitle = how.title;
    const QString title = c.link.operationTitle;
    QString reply;
    if (!readParameter(c, 5, reply))
        return Outcome::NoReply;
    s.originDirection = Link::ExtractReplyValue(reply).trimmed() == QLatin1String("1") ? 1 : 0;
    if (stopAsked(c) || !readParameter(c, 35, reply))
        return stopAsked(c) ? Outcome::Stopped : Outcome::NoReply;
    s.originShift = valueOf(reply);
    if (stopAsked(c) || !readParameter(c, how.strokeParameter, reply))
        return stopAsked(c) ? Outcome::Stopped : Outcome::NoReply;
    s.stroke =
        how.strokeOf ? how.strokeOf(Link::ExtractReplyValue(reply).trimmed()) : valueOf(reply);

    s.originDone = false;
    c.link.operationTitle = title;
    const MotionEnd end = runMotion(c, {Command::ORG, {}, {}, how.timeoutMs, {}});
    if (how.moved)
        how.moved();
    if (end == MotionEnd::Cancelled)
        return Outcome::Stopped;
    if (end == MotionEnd::Failed)
        return Outcome::NoReply;

    reply = c.link.ReplyText;
    if (has(reply, "NG") || has(reply, "STOP")) {
        const bool refused = has(reply, "NG");
        Ops::reportNg(c);
        return refused ? Outcome::Refused : Outcome::Stopped;
    }
    if (how.onlyOk && !has(reply, "OK")) {
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

void followMotion(PanelHost& host, IoMonitor& monitor, bool& dialogShown, bool closing) {
    const DriveState& s = host.drive();
    const bool dialog = s.motion.stopDialogWanted(s.operationMode);
    if (dialog != dialogShown) {
        dialogShown = dialog;
        host.setStopDialogShown(dialog);
    }
    const bool poll = s.operationMode && s.motion.idle() && !closing;
    if (poll && !monitor.running())
        monitor.start();
    else if (!poll && monitor.running())
        monitor.stop();
}

} // namespace Drive
