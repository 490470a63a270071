#include "pointdata/SettingsFile.h"

#include "files/CsvRecords.h"
#include "pointdata/PointParameters.h"
#include "pointdata/PointRules.h"
#include "tables/CellText.h"
#include "tables/NoteText.h"
#include "tables/ParameterRows.h"

#include <utility>

namespace SettingsFile {

QString text(const PointTableData& points, const ParameterTableData& parameters, bool bareNotes) {
    QList<QStringList> records;
    for (int n = 0; n < PointCount; ++n) {
        const PointRecord& p = points[n];
        records << QStringList{
            QStringLiteral("P%1=").arg(n), p.mode, p.position, p.speed, p.push, p.note};
    }
    return SettingsFileFlow::composeText(FieldCount, records, NoteField, bareNotes, parameters,
                                         CsvRecords::joinLine({}, FieldCount));
}

QByteArray write(const PointTableData& points, const ParameterTableData& parameters,
                 const CsvRecords::FileForm& form) {
    return TextEncoding::encode(text(points, parameters, form.bareNotes), form.encoding);
}

namespace {

// A field that must be empty or a plain number, as read; the problem when it is neither.
std::optional<TableProblem> notPlain(const QString& item, const QString& field,
                                     const QString& text) {
    if (CellText::plainValue(text))
        return std::nullopt;
    return TableProblem{
        item, field, TableProblem::quoted(text) + QStringLiteral(" is not a number"), {}};
}

} // namespace

ReadResult read(const QByteArray& bytes) {
    const SettingsFileFlow::Layout layout{FieldCount,         LineCount,           MinimumRecords,
                                          FirstParameterLine, QStringLiteral("P"), PointCount,
                                          NoteField};
    return SettingsFileFlow::readFile<ReadResult>(
        bytes, layout, [](const CsvRecords::Records& records, ReadResult& result) {
            const auto field = [&](int line, int f) { return records.field(line, f); };
            for (int n = 0; n < PointCount; ++n) {
                const int line = FirstPointLine + n;
                const QString item = QStringLiteral("Point %1").arg(n);
                const QString note = field(line, NoteField);
                for (const auto& [column, name] : {std::pair{2, "Position"}, std::pair{3, "Speed"},
                                                   std::pair{4, "Pushing level"}})
                    if (auto p = notPlain(item, QLatin1String(name), field(line, column)))
                        return SettingsFileFlow::refuseValue(result, line, *p);
                if (auto p = NoteText::problem(item, note))
                    return SettingsFileFlow::refuseValue(result, line, *p);
                PointRecord& p = result.points[n];
                p.mode = field(line, 1);
                if (!p.mode.isEmpty() && PointRules::modeLetter(p.mode).isEmpty())
                    return SettingsFileFlow::refuseValue(
                        result, line,
                        {item,
                         QStringLiteral("Mode"),
                         TableProblem::quoted(p.mode) +
                             QStringLiteral(" is none of A, I, O, C and U"),
                         {}});
                const QString position = *CellText::plainValue(field(line, 2));
                p.position = position.isEmpty() ? QString() : CellText::fixed2(position);
                p.speed = *CellText::plainValue(field(line, 3));
                p.push = *CellText::plainValue(field(line, 4));
                p.note = note;
                PointRules::tidyAsStored(p);
            }
            result.parameters = PointParameters::initialTable(result.actuatorType);
            for (int n = 1; n < ParameterNumbers; ++n) {
                const int row = PointParameters::rowOfParameter(n);
                const int line = FirstParameterLine + n;
                const QString text = field(line, 1);
                if (row < 0 || text == SettingsFileFlow::NotHeld)
                    continue;
                ParameterRow& r = result.parameters[row];
                const auto value = CellText::plainValue(text);
                if (!value)
                    return SettingsFileFlow::refuseValue(
                        result, line,
                        *notPlain(QStringLiteral("Parameter %1").arg(n), r.name, text));
                // A parameter whose line the file leaves out stays empty.
                r.setting = *value;
            }
            return ReadError::None;
        });
}

} // namespace SettingsFile
