#include "pointdata/PointHistory.h"

#include "pointdata/PointFileCompare.h"
#include "pointdata/SettingsFile.h"
#include "transfers/CompareFlow.h"

namespace PointHistory {

TablesSnapshot snapshot(const PointTableData& points, const ParameterTableData& parameters,
                        const CsvRecords::FileForm& form) {
    return {QStringLiteral("point input type"), QStringLiteral("points"),
            parameters.front().setting,
            TablesSnapshots::composer(points, parameters, form, &SettingsFile::read,
                                      &SettingsFile::ReadResult::points,
                                      &SettingsFile::ReadResult::parameters, &SettingsFile::text)};
}

void compare(OperatorInteraction& op, const QByteArray& bytes, const PointTableData& points,
             const ParameterTableData& parameters,
             const std::function<void(const QList<Difference>&)>& mark) {
    SettingsFile::ReadResult file;
    CompareFlow::compareWithBytes(
        op, bytes,
        [&file](const QByteArray& b) -> const SettingsFileFlow::ReadHead& {
            file = SettingsFile::read(b);
            return file;
        },
        [&] {
            return PointFileCompare::findings(points, parameters, file.points, file.parameters);
        },
        mark);
}

} // namespace PointHistory
