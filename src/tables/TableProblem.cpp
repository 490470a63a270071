#include "tables/TableProblem.h"

#include "link/Command.h"

QString TableProblem::quoted(const QString& value) {
    constexpr qsizetype Shown = 24;
    QString shown = Command::visible(value.left(Shown));
    if (value.size() > Shown)
        shown += QStringLiteral("...");
    return QLatin1Char('"') + shown + QLatin1Char('"');
}
