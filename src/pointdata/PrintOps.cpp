#include "pointdata/PrintOps.h"

#include "pointdata/PrintLayout.h"
#include "startup/PrintSurface.h"

namespace PrintOps {

QString dialogTitle() {
    return QStringLiteral("Print");
}

QString failureText() {
    return QStringLiteral("Printing could not be completed. Please check the printer.");
}

Result print(OperatorInteraction& op, const PointTableData& points,
             const ParameterTableData& parameters, const QDateTime& at, const QLocale& locale) {
    std::unique_ptr<PrintSurface> surface = op.choosePrinter(dialogTitle());
    if (!surface)
        return Result::Cancelled;
    PrintLayout::render(*surface, points, parameters, PrintLayout::timeStamp(at, locale));
    if (!surface->endDoc()) {
        op.message(dialogTitle(), failureText(), OperatorInteraction::Icon::Warning);
        return Result::Failed;
    }
    return Result::Printed;
}

} // namespace PrintOps
