#include "pointdata/SettingsFile.h"

#include "pointdata/ActuatorTypes.h"
#include "pointdata/PointRules.h"
#include "startup/NoteText.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

namespace SettingsFile {

namespace {

const QString kHeader = QStringLiteral("QRX");
const QString kNotHeld = QStringLiteral("**");
const QString kLineEnd = QStringLiteral("\r\n");

QString joinLine(const QStringList& fields) {
    QStringList quoted;
    quoted.reserve(FieldCount);
    for (int i = 0; i < FieldCount; ++i)
        quoted << quoteField(fields.value(i));
    return quoted.join(QLatin1Char(',')) + kLineEnd;
}

// A value field of the file: empty, or a plain decimal number with the blanks around it
// dropped. nullopt for anything else.
std::optional<QString> plainValue(const QString& field) {
    const QString text = field.trimmed();
    if (text.isEmpty() || CellText::number(text))
        return text;
    return std::nullopt;
}

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

QByteArray write(const PointTableData& points, const ParameterTableData& parameters) {
    QString text;
    text.reserve(8 * 1024);
    text += joinLine({kHeader});
    for (int n = 0; n < PointCount; ++n) {
        const PointRecord& p = points[n];
        text +=
            joinLine({QStringLiteral("P%1=").arg(n), p.mode, p.position, p.speed, p.push, p.note});
    }
    text += joinLine({});
    for (int n = 0; n < ParameterNumbers; ++n) {
        const int row = ActuatorTypes::rowOfParameter(n);
        const QString value = row >= 0 ? parameters[row].setting : kNotHeld;
        text += joinLine({QStringLiteral("PRM%1=").arg(n), value});
    }
    text += joinLine({});
    return encode(text);
}

ReadResult read(const QByteArray& bytes) {
    ReadResult result;
    const QStringList fields = splitFields(decode(bytes));

    if (fields.isEmpty() || fields.first() != kHeader) {
        result.error = ReadError::NotSettingsFile;
        return result;
    }
    result.records = int(std::min<qsizetype>(fields.size() / FieldCount, LineCount));
    if (result.records < MinimumRecords) {
        result.error = ReadError::TooFewRecords;
        return result;
    }
    // Field f (0-based) of the record on 1-based line `line`, empty when that line is missing.
    const auto field = [&](int line, int f) -> QString {
        if (line > result.records)
            return {};
        return fields.at(qsizetype(line - 1) * FieldCount + f);
    };

    result.actuatorType = field(FirstParameterLine, 1);
    if (!ActuatorTypes::isSupported(result.actuatorType)) {
        result.error = ReadError::UnsupportedType;
        return result;
    }

    const auto refuse = [&result] {
        result.error = ReadError::BadValue;
        result.points = {};
        result.parameters = {};
        return result;
    };
    for (int n = 0; n < PointCount; ++n) {
        const int line = FirstPointLine + n;
        const auto position = plainValue(field(line, 2));
        const auto speed = plainValue(field(line, 3));
        const auto push = plainValue(field(line, 4));
        const QString note = field(line, 5);
        if (!position || !speed || !push || !NoteText::fits(note))
            return refuse();
        PointRecord& p = result.points[n];
        p.mode = field(line, 1);
        p.position = position->isEmpty() ? QString() : CellText::fixed2(*position);
        p.speed = *speed;
        p.push = *push;
        p.note = note;
    }

    result.parameters = ActuatorTypes::initialTable(result.actuatorType);
    for (int n = 1; n < ParameterNumbers; ++n) {
        const int row = ActuatorTypes::rowOfParameter(n);
        if (row < 0)
            continue;
        const QString text = field(FirstParameterLine + n, 1);
        if (text == kNotHeld)
            continue;
        const auto value = plainValue(text);
        if (!value)
            return refuse();
        result.parameters[row].setting = *value;
    }

    result.ok = true;
    return result;
}

} // namespace SettingsFile
