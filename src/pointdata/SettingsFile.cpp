#include "pointdata/SettingsFile.h"

#include "files/CsvRecords.h"
#include "pointdata/ActuatorTypes.h"
#include "tables/CellText.h"
#include "tables/NoteText.h"

namespace SettingsFile {

QByteArray write(const PointTableData& points, const ParameterTableData& parameters) {
    QList<QStringList> records;
    for (int n = 0; n < PointCount; ++n) {
        const PointRecord& p = points[n];
        records << QStringList{
            QStringLiteral("P%1=").arg(n), p.mode, p.position, p.speed, p.push, p.note};
    }
    return SettingsFileFlow::composeFile(FieldCount, records, parameters,
                                         CsvRecords::joinLine({}, FieldCount));
}

ReadResult read(const QByteArray& bytes) {
    const SettingsFileFlow::Layout layout{FieldCount, LineCount, MinimumRecords,
                                          FirstParameterLine};
    return SettingsFileFlow::readFile<ReadResult>(
        bytes, layout, [](const CsvRecords::Records& records, ReadResult& result) {
            const auto field = [&](int line, int f) { return records.field(line, f); };
            for (int n = 0; n < PointCount; ++n) {
                const int line = FirstPointLine + n;
                const auto position = CellText::plainValue(field(line, 2));
                const auto speed = CellText::plainValue(field(line, 3));
                const auto push = CellText::plainValue(field(line, 4));
                const QString note = field(line, 5);
                if (!position || !speed || !push || !NoteText::fits(note))
                    return ReadError::BadValue;
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
                const QString text = field(FirstParameterLine + n, 1);
                if (row < 0 || text == SettingsFileFlow::NotHeld)
                    continue;
                const auto value = CellText::plainValue(text);
                if (!value)
                    return ReadError::BadValue;
                result.parameters[row].setting = *value;
            }
            return ReadError::None;
        });
}

} // namespace SettingsFile
