#include "pulse/PulseSettingsFile.h"

#include "pulse/PulseParameters.h"
#include "startup/ActuatorType.h"
#include "startup/CellText.h"
#include "startup/CsvRecords.h"
#include "startup/SettingsFileFlow.h"

namespace PulseSettingsFile {

namespace {

bool isNumber(const QString& text) {
    return CellText::number(text.trimmed()).has_value();
}

// The zones and parameters of a file whose head passed; a value that cannot be right refuses
// the whole file.
ReadError readTables(const CsvRecords::Records& records, ReadResult& result) {
    for (int n = 0; n < ZoneCount; ++n) {
        const int line = FirstZoneLine + n;
        ZoneRecord& z = result.zones[n];
        z.a = records.field(line, 1);
        z.b = records.field(line, 2);
        z.note = records.field(line, 3);
        const bool positionsOk =
            (z.a.isEmpty() || isNumber(z.a)) && (z.b.isEmpty() || isNumber(z.b));
        if (!positionsOk || z.note.size() > SettingsFileFlow::MaximumNoteLength)
            return ReadError::BadValue;
        if (!z.b.isEmpty())
            z.b = CellText::fixed2(z.b.trimmed());
    }
    result.parameters = PulseParameters::initialTable(result.actuatorType);
    for (ParameterRow& row : result.parameters) {
        if (row.number == 0)
            continue;
        row.setting = records.field(FirstParameterLine + row.number, 1);
        if (!isNumber(row.setting))
            return ReadError::BadValue;
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
