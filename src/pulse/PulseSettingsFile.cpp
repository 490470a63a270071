#include "pulse/PulseSettingsFile.h"

#include "files/CsvRecords.h"
#include "files/SettingsFileFlow.h"
#include "pulse/PulseParameters.h"
#include "tables/ActuatorType.h"
#include "tables/CellText.h"
#include "tables/NoteText.h"

namespace PulseSettingsFile {

namespace {

// The zones and parameters of a file whose head passed; a value that cannot be right refuses
// the whole file.
ReadError readTables(const CsvRecords::Records& records, ReadResult& result) {
    for (int n = 0; n < ZoneCount; ++n) {
        const int line = FirstZoneLine + n;
        const auto a = CellText::plainValue(records.field(line, 1));
        const auto b = CellText::plainValue(records.field(line, 2));
        const QString note = records.field(line, 3);
        if (!a || !b || !NoteText::fits(note))
            return ReadError::BadValue;
        result.zones[n] = {*a, b->isEmpty() ? QString() : CellText::fixed2(*b), note};
    }
    result.parameters = PulseParameters::initialTable(result.actuatorType);
    for (ParameterRow& row : result.parameters) {
        if (row.number == 0)
            continue;
        const auto value = CellText::plainValue(records.field(FirstParameterLine + row.number, 1));
        if (!value || value->isEmpty())
            return ReadError::BadValue;
        row.setting = *value;
    }
    return ReadError::None;
}

} // namespace

QByteArray write(const ZoneTableData& zones, const PulseParameterData& parameters) {
    QList<QStringList> records;
    for (int n = 0; n < ZoneCount; ++n)
        records << QStringList{QStringLiteral("Z%1=").arg(n), zones[n].a, zones[n].b,
                               zones[n].note};
    // One further line end follows the last parameter line.
    return SettingsFileFlow::composeFile(FieldCount, records, parameters, QStringLiteral("\r\n"));
}

ReadResult read(const QByteArray& bytes) {
    const SettingsFileFlow::Layout layout{FieldCount, LineCount, MinimumRecords,
                                          FirstParameterLine};
    return SettingsFileFlow::readFile<ReadResult>(bytes, layout, &readTables);
}

} // namespace PulseSettingsFile
