#include "files/CsvRecords.h"

namespace CsvRecords {

namespace {

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

// Whether a note written bare reads back as itself: no line end, and no part of it between
// its commas reads as a quoted field.
bool standsBare(const QString& note) {
    if (note.contains(QLatin1Char('\r')) || note.contains(QLatin1Char('\n')))
        return false;
    if (!note.contains(QLatin1Char('"')))
        return true;
    const QList<QStringList> lines = splitLines(note);
    return lines.size() == 1 && lines.first().join(QLatin1Char(',')) == note;
}

} // namespace

QString quoteField(const QString& field) {
    const bool needsQuotes = field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
                             field.contains(QLatin1Char('\r')) || field.contains(QLatin1Char('\n'));
    if (!needsQuotes)
        return field;
    QString inner = field;
    inner.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QList<QStringList> splitLines(const QString& text, bool* lastLineEnded, bool* bareQuote) {
    QList<QStringList> lines;
    QStringList fields;
    const qsizetype size = text.size();
    qsizetype pos = 0;
    bool ended = true;
    bool quoteInBare = false;
    while (pos < size) {
        ended = false;
        QString field;
        const qsizetype start = pos;
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
            // Anything but a field's end after the closing quote: the field stood bare.
            if (pos < size && text.at(pos) != QLatin1Char(',') && !isLineEnd(text.at(pos))) {
                field.clear();
                pos = start;
            }
        }
        // Unquoted text up to the field's end.
        const qsizetype from = pos;
        while (pos < size && text.at(pos) != QLatin1Char(',') && !isLineEnd(text.at(pos)))
            ++pos;
        const QStringView bare = QStringView(text).mid(from, pos - from);
        quoteInBare = quoteInBare || bare.contains(QLatin1Char('"'));
        field += bare;
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
    if (bareQuote)
        *bareQuote = quoteInBare;
    return lines;
}

QString joinLine(const QStringList& fields, int fieldCount, int bareField) {
    QStringList written;
    written.reserve(fieldCount);
    for (int i = 0; i < fieldCount; ++i) {
        const QString field = fields.value(i);
        written << (i == bareField && standsBare(field) ? field : quoteField(field));
    }
    return written.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

Records::Records(const QByteArray& bytes, int fieldCount, int maxRecords, const NoteFields& notes)
    : m_fieldCount(fieldCount) {
    // The notes of a reading, one to a line: what decides its code page.
    const auto notesOf = [&](const QString& reading) {
        bool bare = false;
        QString text;
        const QList<QStringList> lines = linesOf(reading, maxRecords, notes, bare);
        for (int line = notes.firstLine; line < notes.firstLine + notes.lines; ++line)
            if (line >= 1 && line <= lines.size())
                text += lines.at(line - 1).value(notes.field) + QLatin1Char('\n');
        return text;
    };
    const TextEncoding::Decoded decoded =
        notes.field >= 0 ? TextEncoding::decode(bytes, notesOf) : TextEncoding::decode(bytes);
    m_encoding = decoded.encoding;
    m_lines = linesOf(decoded.text, maxRecords, notes, m_bareNotes);
}

QList<QStringList> Records::linesOf(const QString& text, int maxRecords, const NoteFields& notes,
                                    bool& bareNotes) const {
    bool lastEnded = true;
    QList<QStringList> lines = splitLines(text, &lastEnded, &bareNotes);
    if (!lastEnded && !lines.isEmpty() && lines.last().size() < m_fieldCount)
        lines.removeLast(); // cut short by the end of the file
    if (lines.size() > maxRecords)
        lines.resize(maxRecords);
    const qsizetype after = m_fieldCount - notes.field - 1; // the fields that follow a note
    for (int line = notes.firstLine; notes.field >= 0 && line < notes.firstLine + notes.lines;
         ++line) {
        if (line < 1 || line > lines.size())
            continue;
        QStringList& fields = lines[line - 1];
        if (fields.size() <= m_fieldCount)
            continue;
        bool emptyAfter = true;
        for (qsizetype i = fields.size() - after; i < fields.size(); ++i)
            emptyAfter = emptyAfter && fields.at(i).isEmpty();
        if (!emptyAfter)
            continue;
        const qsizetype end = fields.size() - after;
        const QString joined = fields.mid(notes.field, end - notes.field).join(QLatin1Char(','));
        fields.remove(notes.field, end - notes.field);
        fields.insert(notes.field, joined);
        bareNotes = true;
    }
    return lines;
}

QString Records::field(int line, int f) const {
    if (line < 1 || line > count() || f < 0)
        return {};
    return m_lines.at(line - 1).value(f);
}

QString Records::first() const {
    return m_lines.isEmpty() ? QString() : m_lines.first().value(0);
}

int Records::overlongLine() const {
    for (qsizetype i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].size() > m_fieldCount)
            return int(i) + 1;
    return 0;
}

int Records::overlongFields() const {
    const int line = overlongLine();
    return line > 0 ? int(m_lines[line - 1].size()) : 0;
}

} // namespace CsvRecords
