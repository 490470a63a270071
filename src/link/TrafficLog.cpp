#include "link/TrafficLog.h"

#include "link/Command.h"

#include <QTime>

TrafficLog::TrafficLog(QObject* parent) : QObject(parent) {}

QString TrafficLog::visible(const QByteArray& bytes) {
    return Command::visible(QString::fromLatin1(bytes));
}

void TrafficLog::add(const char* direction, const QString& text) {
    const QString line = QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) +
                         QLatin1Char(' ') + QLatin1String(direction) + QLatin1Char(' ') + text;
    m_lines.append(line);
    m_chars += line.size();
    emit lineAdded(line);
    qsizetype drop = 0;
    while (m_lines.size() - drop > 1 && (m_lines.size() - drop > MaxLines || m_chars > MaxChars)) {
        m_chars -= m_lines.at(drop).size();
        ++drop;
    }
    if (drop > 0) {
        m_lines.remove(0, drop);
        emit linesDropped(int(drop));
    }
}

void TrafficLog::sent(const QByteArray& bytes) {
    qsizetype from = 0;
    while (from < bytes.size()) {
        const qsizetype lf = bytes.indexOf('\n', from);
        const qsizetype to = lf < 0 ? bytes.size() : lf + 1;
        add("TX", visible(bytes.mid(from, to - from)));
        from = to;
    }
}

void TrafficLog::received(const QByteArray& bytes) {
    m_partial += bytes;
    qsizetype from = 0;
    for (;;) {
        const qsizetype lf = m_partial.indexOf('\n', from);
        if (lf >= 0 && lf - from < MaxLineBytes) {
            add("RX", visible(m_partial.mid(from, lf + 1 - from)));
            from = lf + 1;
        } else if (m_partial.size() - from >= MaxLineBytes) {
            // A device streaming without line ends must not grow the log's memory.
            add("RX", visible(m_partial.mid(from, MaxLineBytes)));
            from += MaxLineBytes;
        } else {
            break;
        }
    }
    m_partial.remove(0, from);
}

void TrafficLog::endOfExchange() {
    if (m_partial.isEmpty())
        return;
    add("RX", visible(m_partial));
    m_partial.clear();
}

void TrafficLog::note(const QString& text) {
    endOfExchange();
    add("!!", text);
}

QString TrafficLog::text(const QString& lineEnd) const {
    QString out;
    for (const QString& line : m_lines)
        out += line + lineEnd;
    return out;
}

void TrafficLog::clear() {
    m_lines.clear();
    m_chars = 0;
    m_partial.clear();
    emit cleared();
}
