#include "pointdata/PrintOps.h"

#include "pointdata/PrintLayout.h"

namespace PrintOps {

Result print(OperatorInteraction& op, const PointTableData& points,
             const ParameterTableData& parameters, const QDateTime& at, const QLocale& locale) {
    return PrintJob::run(
        op,
        [&](PrintSurface& surface, const QString& stamp) {
            PrintLayout::render(surface, points, parameters, stamp);
        },
        at, locale);
}

} // namespace PrintOps
