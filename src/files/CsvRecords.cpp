#include "files/CsvRecords.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace CsvRecords {

namespace {

bool isLineEnd(QChar c) {
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// Skips one line end at pos (CR LF counts as one) and returns the position after it.
qsizetype skipLineEnd(const QString& text, qsizetype pos) {
    if (text.at(pos) == QLatin1Char('\r') && pos + 1 < text.size() &&
        text.at(pos + 1) == QLatin1Char('\n'))
        return pos + 2;
    return pos + 1;
}

} // namespace

QString decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder legacy("windows-1252");
    if (legacy.isValid()) {
        text = legacy.decode(bytes);
        if (!legacy.hasError())
            return text;
    }
    return QString::fromLatin1(bytes);
}

QByteArray encode(const QString& text) {
    QStringEncoder utf8(QStringConverter::Utf8);
    return utf8.encode(text);
}

QString quoteField(const QString& field) {
    const bool needsQuotes = field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
                             field.contains(QLatin1Char('\r')) || field.contains(QLatin1Char('\n'));
    if (!needsQuotes)
        return field;
    QString inner = field;
    inner.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QStringList splitFields(const QString& text) {
    QStringList fields;
    const qsizetype size = text.size();
    qsizetype pos = 0;
    while (pos < size) {
        QString field;
        if (text.at(pos) == QLatin1Char('"')) {
            ++pos;
            while (pos < size) {
                const QChar c = text.at(pos);
                if (c == QLatin1Char('"')) {
                    if (pos + 1 < size && text.at(pos + 1) == QLatin1Char('"')) {
                        field += c;
                        pos += 2;
                        continue;
                    }
                    ++pos; // closing quote
                    break;
                }
                field += c;
                ++pos;
            }
        }
        // Unquoted text, or whatever stands between a closing quote and the field's end.
        while (pos < size && text.at(pos) != QLatin1Char(',') && !isLineEnd(text.at(pos)))
            field += text.at(pos++);
        fields << field;
        if (pos >= size)
            break;
        if (text.at(pos) == QLatin1Char(',')) {
            ++pos;
            if (pos == size)
                fields << QString(); // the empty last field of a text without a line end
        } else {
            pos = skipLineEnd(text, pos);
        }
    }
    return fields;
}

QString joinLine(const QStringList& fields, int fieldCount) {
    QStringList quoted;
    quoted.reserve(fieldCount);
    for (int i = 0; i < fieldCount; ++i)
        quoted << quoteField(fields.value(i));
    return quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

Records::Records(const QByteArray& bytes, int fieldCount, int maxRecords)
    : m_fields(splitFields(decode(bytes))), m_fieldCount(fieldCount),
      m_count(int(std::min<qsizetype>(m_fields.size() / fieldCount, maxRecords))) {}

QString Records::field(int line, int f) const {
    if (line < 1 || line > m_count || f < 0 || f >= m_fieldCount)
        return {};
    return m_fields.at(qsizetype(line - 1) * m_fieldCount + f);
}

} // namespace CsvRecords
