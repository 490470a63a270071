#include "pulse/ZoneFileCompare.h"

#include "pulse/ZoneRules.h"
#include "tables/FileCompare.h"

namespace ZoneFileCompare {

CompareReport::Findings findings(const ZoneTableData& zones, const PulseParameterData& parameters,
                                 const ZoneTableData& fileZones,
                                 const PulseParameterData& fileParameters) {
    QList<Difference> found;
    for (int n = 0; n < ZoneCount; ++n) {
        const QString item = QStringLiteral("Zone %1").arg(n);
        const ZoneRecord& z = zones[n];
        const ZoneRecord& f = fileZones[n];
        FileCompare::compareCell(found, item, QStringLiteral("Position A"), z.a, f.a, true, n,
                                 ZoneRules::ColA);
        FileCompare::compareCell(found, item, QStringLiteral("Position B"), z.b, f.b, true, n,
                                 ZoneRules::ColB);
        FileCompare::compareCell(found, item, QStringLiteral("Note"), z.note, f.note, false, n,
                                 ZoneRules::ColNote);
    }
    return FileCompare::findings(QStringLiteral("Zone_No"), found, parameters, fileParameters);
}

} // namespace ZoneFileCompare
