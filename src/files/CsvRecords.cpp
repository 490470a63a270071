#include "files/CsvRecords.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

namespace CsvRecords {

namespace {

const char* const JapaneseCodec = "windows-31j";
const char* const WesternCodec = "windows-1252";

bool isLineEnd(QChar c) {
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// Skips one line end at pos (CR LF and LF CR count as one) and returns the position after it.
qsizetype skipLineEnd(const QString& text, qsizetype pos) {
    const QChar c = text.at(pos);
    if (pos + 1 < text.size()) {
        const QChar next = text.at(pos + 1);
        if (isLineEnd(next) && next != c)
            return pos + 2;
    }
    return pos + 1;
}

// The bytes in a code page, when they are valid there and no byte is lost on the way: a
// lead byte without its second byte at the end reads as nothing.
std::optional<QString> decodeIn(const char* codec, const QByteArray& bytes) {
    QStringDecoder decoder(codec);
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    QStringEncoder encoder(codec);
    const QByteArray again = encoder.encode(text);
    if (again.size() != bytes.size() || encoder.hasError())
        return std::nullopt;
    return text;
}

} // namespace

Decoded decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return {text, bytes.startsWith("\xEF\xBB\xBF") ? Encoding::Utf8WithBom : Encoding::Utf8};
    if (auto japanese = decodeIn(JapaneseCodec, bytes))
        return {*japanese, Encoding::Japanese};
    QStringDecoder western(WesternCodec);
    if (western.isValid()) {
        text = western.decode(bytes);
        if (!western.hasError())
            return {text, Encoding::Western};
    }
    return {QString::fromLatin1(bytes), Encoding::Latin1};
}

QByteArray encode(const QString& text, Encoding encoding) {
    const char* codec = nullptr;
    switch (encoding) {
    case Encoding::Utf8:
        break;
    case Encoding::Utf8WithBom:
        return "\xEF\xBB\xBF" + text.toUtf8();
    case Encoding::Japanese:
        codec = JapaneseCodec;
        break;
    case Encoding::Western:
        codec = WesternCodec;
        break;
    case Encoding::Latin1: {
        bool fits = true;
        for (const QChar c : text)
            fits = fits && c.unicode() < 0x100;
        if (fits)
            return text.toLatin1();
        break;
    }
    }
    if (codec) {
        QStringEncoder encoder(codec);
        if (encoder.isValid()) {
            QByteArray bytes = encoder.encode(text);
            if (!encoder.hasError())
                return bytes;
        }
    }
    return text.toUtf8();
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

QList<QStringList> splitLines(const QString& text, bool* lastLineEnded) {
    QList<QStringList> lines;
    QStringList fields;
    const qsizetype size = text.size();
    qsizetype pos = 0;
    bool ended = true;
    while (pos < size) {
        ended = false;
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
        const qsizetype from = pos;
        while (pos < size && text.at(pos) != QLatin1Char(',') && !isLineEnd(text.at(pos)))
            ++pos;
        field += QStringView(text).mid(from, pos - from);
        fields << field;
        if (pos >= size)
            break;
        if (text.at(pos) == QLatin1Char(',')) {
            ++pos;
            if (pos == size)
                fields << QString(); // the empty last field of a text without a line end
        } else {
            pos = skipLineEnd(text, pos);
            lines << fields;
            fields.clear();
            ended = true;
        }
    }
    if (!fields.isEmpty())
        lines << fields;
    if (lastLineEnded)
        *lastLineEnded = ended;
    return lines;
}

QString joinLine(const QStringList& fields, int fieldCount) {
    QStringList quoted;
    quoted.reserve(fieldCount);
    for (int i = 0; i < fieldCount; ++i)
        quoted << quoteField(fields.value(i));
    return quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

Records::Records(const QByteArray& bytes, int fieldCount, int maxRecords) {
    const Decoded decoded = decode(bytes);
    m_encoding = decoded.encoding;
    bool lastEnded = true;
    m_lines = splitLines(decoded.text, &lastEnded);
    if (!lastEnded && !m_lines.isEmpty() && m_lines.last().size() < fieldCount)
        m_lines.removeLast(); // cut short by the end of the file
    if (m_lines.size() > maxRecords)
        m_lines.resize(maxRecords);
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].size() > fieldCount) {
            m_overlongLine = int(i) + 1;
            m_overlongFields = int(m_lines[i].size());
            break;
        }
    }
}

QString Records::field(int line, int f) const {
    if (line < 1 || line > count() || f < 0)
        return {};
    return m_lines.at(line - 1).value(f);
}

QString Records::first() const {
    return m_lines.isEmpty() ? QString() : m_lines.first().value(0);
}

} // namespace CsvRecords
