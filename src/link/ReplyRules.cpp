#include "link/ReplyRules.h"

namespace ReplyRules {

bool hasReplyEnd(const QString& text) {
    return text.contains(QLatin1String("OK\r\n")) || text.contains(QLatin1String("NG\r\n")) ||
           text.contains(QLatin1String("STOP\r\n")) || text.contains(QLatin1String("READY\r\n"));
}

int detailLineStart(const QString& text) {
    if (const int ng = text.indexOf(QLatin1String("NG")); ng >= 0)
        return qMin(ng + 4, int(text.size()));
    if (const int stop = text.indexOf(QLatin1String("STOP")); stop >= 0)
        return qMin(stop + 6, int(text.size()));
    return -1;
}

namespace {
// From the marker through the LF that ends the line after the marker's own line.
QString partFrom(const QString& text, int at) {
    const int firstLf = text.indexOf(QLatin1Char('\n'), at);
    if (firstLf < 0)
        return text.mid(at);
    const int secondLf = text.indexOf(QLatin1Char('\n'), firstLf + 1);
    return secondLf < 0 ? text.mid(at) : text.mid(at, secondLf + 1 - at);
}
} // namespace

QString errorPart(const QString& text) {
    QString part;
    if (const int stop = text.indexOf(QLatin1String("STOP")); stop >= 0)
        part = partFrom(text, stop);
    if (const int ng = text.indexOf(QLatin1String("NG")); ng >= 0)
        part = partFrom(text, ng);
    return part;
}

QString extractValue(const QString& reply) {
    if (reply.isEmpty())
        return {};
    int drop = 0;
    if (reply.endsWith(QLatin1Char('K')))
        drop = 4;
    else if (reply.endsWith(QLatin1Char('\r')))
        drop = 5;
    else if (reply.size() < 7)
        return reply;
    else
        drop = 6;
    return reply.size() <= drop ? QString() : reply.left(reply.size() - drop);
}

bool isPlainText(const QString& text) {
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if ((c < 32 && c != '\r' && c != '\n') || c > 126)
            return false;
    }
    return true;
}

std::optional<QString> lineAfter(const QString& reply, const QString& marker) {
    const int at = reply.indexOf(marker);
    if (at < 0)
        return std::nullopt;
    const int from = at + marker.size();
    const int cr = reply.indexOf(QLatin1Char('\r'), from);
    return reply.mid(from, cr < 0 ? -1 : cr - from);
}

QStringList parameterValues(const QString& reply) {
    QStringList values;
    int at = reply.indexOf(QLatin1Char('='));
    while (at >= 0) {
        const int cr = reply.indexOf(QLatin1Char('\r'), at + 1);
        if (cr < 0)
            break;
        values << reply.mid(at + 1, cr - at - 1);
        at = reply.indexOf(QLatin1Char('='), cr);
    }
    return values;
}

} // namespace ReplyRules

namespace ReplyRules {

bool isRefusal(const QString& reply) {
    return reply.contains(QLatin1String("NG"));
}

bool isStop(const QString& reply) {
    return reply.contains(QLatin1String("STOP"));
}

bool isOk(const QString& reply) {
    return reply.contains(QLatin1String("OK"));
}

bool isReady(const QString& reply) {
    return reply.contains(QLatin1String("READY"));
}

QString stateValue(const QString& reply) {
    return extractValue(reply).trimmed().left(1);
}

} // namespace ReplyRules
