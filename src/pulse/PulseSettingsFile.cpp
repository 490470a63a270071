#include "pulse/PulseSettingsFile.h"

#include "files/CsvRecords.h"
#include "files/SettingsFileFlow.h"
#include "pulse/PulseParameters.h"
#include "tables/CellText.h"
#include "tables/NoteText.h"
#include "tables/ParameterRows.h"

namespace PulseSettingsFile {

namespace {

QString notANumber(const QString& text) {
    return TableProblem::quoted(text) + QStringLiteral(" is not a number");
}

// The zones and parameters of a file whose head passed; a value that is no number refuses the
// whole file, and result.reason says where.
ReadError readTables(const CsvRecords::Records& records, ReadResult& result) {
    for (int n = 0; n < ZoneCount; ++n) {
        const int line = FirstZoneLine + n;
        const QString item = QStringLiteral("Zone %1").arg(n);
        const auto a = CellText::plainValue(records.field(line, 1));
        const auto b = CellText::plainValue(records.field(line, 2));
        const QString note = records.field(line, NoteField);
        if (!a)
            return SettingsFileFlow::refuseValue(result, line,
                                                 {item,
                                                  QStringLiteral("Zone position A (mm)"),
                                                  notANumber(records.field(line, 1)),
                                                  {}});
        if (!b)
            return SettingsFileFlow::refuseValue(result, line,
                                                 {item,
                                                  QStringLiteral("Zone position B (mm)"),
                                                  notANumber(records.field(line, 2)),
                                                  {}});
        if (auto p = NoteText::problem(item, note))
            return SettingsFileFlow::refuseValue(result, line, *p);
        result.zones[n] = {*a, b->isEmpty() ? QString() : CellText::fixed2(*b), note};
    }
    result.parameters = PulseParameters::initialTable(result.actuatorType);
    for (ParameterRow& row : result.parameters) {
        if (row.number == 0)
            continue;
        const int line = FirstParameterLine + row.number;
        const QString text = records.field(line, 1);
        const auto value = CellText::plainValue(text);
        if (!value || value->isEmpty())
            return SettingsFileFlow::refuseValue(
                result, line,
                {QStringLiteral("Parameter %1").arg(row.number), row.name, notANumber(text), {}});
        row.setting = *value;
    }
    return ReadError::None;
}

} // namespace

QString text(const ZoneTableData& zones, const PulseParameterData& parameters, bool bareNotes) {
    QList<QStringList> records;
    for (int n = 0; n < ZoneCount; ++n)
        records << QStringList{QStringLiteral("Z%1=").arg(n), zones[n].a, zones[n].b,
                               zones[n].note};
    // One further line end follows the last parameter line.
    return SettingsFileFlow::composeText(FieldCount, records, NoteField, bareNotes, parameters,
                                         QStringLiteral("\r\n"));
}

QByteArray write(const ZoneTableData& zones, const PulseParameterData& parameters,
                 const CsvRecords::FileForm& form) {
    return TextEncoding::encode(text(zones, parameters, form.bareNotes), form.encoding);
}

ReadResult read(const QByteArray& bytes) {
    const SettingsFileFlow::Layout layout{FieldCount,         LineCount,           MinimumRecords,
                                          FirstParameterLine, QStringLiteral("Z"), ZoneCount,
                                          NoteField};
    return SettingsFileFlow::readFile<ReadResult>(bytes, layout, &readTables);
}

} // namespace PulseSettingsFile
