#include "pointdata/PointFileCompare.h"

#include "pointdata/PointRules.h"
#include "tables/FileCompare.h"

namespace PointFileCompare {

CompareReport::Findings findings(const PointTableData& points, const ParameterTableData& parameters,
                                 const PointTableData& filePoints,
                                 const ParameterTableData& fileParameters) {
    struct Field {
        int column;
        const char* name;
        bool value;
    };
    static constexpr Field fields[] = {{PointRules::ColMode, "Mode", false},
                                       {PointRules::ColPosition, "Position", true},
                                       {PointRules::ColSpeed, "Speed", true},
                                       {PointRules::ColPush, "Pushing level", true},
                                       {PointRules::ColNote, "Note", false}};
    QList<Difference> found;
    for (int n = 0; n < PointCount; ++n) {
        const QString item = QStringLiteral("Point %1").arg(n);
        for (const Field& f : fields)
            FileCompare::compareCell(
                found, item, QString::fromLatin1(f.name), *PointRules::field(points[n], f.column),
                *PointRules::field(filePoints[n], f.column), f.value, n, f.column);
    }
    return FileCompare::findings(QStringLiteral("Point_No"), found, parameters, fileParameters);
}

} // namespace PointFileCompare
