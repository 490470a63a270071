#include "pulse/PulseHistory.h"

#include "pulse/PulseSettingsFile.h"
#include "pulse/ZoneFileCompare.h"
#include "transfers/CompareFlow.h"

namespace PulseHistory {

TablesSnapshot snapshot(const ZoneTableData& zones, const PulseParameterData& parameters,
                        const CsvRecords::FileForm& form) {
    return {QStringLiteral("pulse train input type"), QStringLiteral("zones"),
            parameters.front().setting,
            TablesSnapshots::composer(zones, parameters, form, &PulseSettingsFile::read,
                                      &PulseSettingsFile::ReadResult::zones,
                                      &PulseSettingsFile::ReadResult::parameters,
                                      &PulseSettingsFile::text)};
}

void compare(OperatorInteraction& op, const QByteArray& bytes, const ZoneTableData& zones,
             const PulseParameterData& parameters,
             const std::function<void(const QList<Difference>&)>& mark) {
    PulseSettingsFile::ReadResult file;
    CompareFlow::compareWithBytes(
        op, bytes,
        [&file](const QByteArray& b) -> const SettingsFileFlow::ReadHead& {
            file = PulseSettingsFile::read(b);
            return file;
        },
        [&] { return ZoneFileCompare::findings(zones, parameters, file.zones, file.parameters); },
        mark);
}

} // namespace PulseHistory
