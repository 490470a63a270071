#include "link/LineFailure.h"

namespace LineFailure {

QString compactReply(const QString& reply) {
    QString out;
    for (QChar ch : reply) {
        if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n'))
            ch = QLatin1Char(' ');
        else if (ch.unicode() < 0x20 || ch.unicode() == 0x7f)
            continue;
        out += ch;
    }
    out = out.simplified();
    return out.size() > 40 ? out.left(39) + QChar(0x2026) : out;
}

QString lineName(const Line& line) {
    if (line.destination.isEmpty())
        return line.port;
    if (!line.portNameShown)
        return line.destination;
    return line.port + QStringLiteral(" \u2192 ") + line.destination;
}

QString heldElsewhere(const Line& line) {
    const QString port =
        line.portNameShown || line.destination.isEmpty() ? line.port : line.destination;
    QString text = port + QStringLiteral(" is in use by another program");
    if (line.portNameShown && !line.destination.isEmpty())
        text += QStringLiteral(" (") + line.destination + QLatin1Char(')');
    return text;
}

QString describe(const Line& line, const QString& problem, bool timedOut, const QString& incoming,
                 int timeoutMs) {
    QString what = problem;
    if (what.isEmpty()) {
        const QString seconds = QString::number(timeoutMs / 1000.0);
        if (timedOut && incoming.isEmpty())
            what = QStringLiteral("no answer within %1 s").arg(seconds);
        else if (timedOut)
            what = QStringLiteral("no complete reply within %1 s").arg(seconds);
        else if (!incoming.isEmpty())
            what = QStringLiteral("unexpected reply \"%1\"").arg(compactReply(incoming));
        else
            what = QStringLiteral("no reply");
    }
    // The system's reason may already name the device ("/dev/ttyS3: Permission denied").
    if (!line.destination.isEmpty() && what.startsWith(line.destination + QStringLiteral(": ")))
        what = what.mid(line.destination.size() + 2);
    return lineName(line) + QStringLiteral(": ") + what;
}

} // namespace LineFailure
