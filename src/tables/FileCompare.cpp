#include "tables/FileCompare.h"

#include "tables/CellText.h"
#include "tables/ParameterRowsModel.h"

namespace FileCompare {

bool sameValue(const QString& table, const QString& file) {
    const auto a = CellText::number(table.trimmed());
    const auto b = CellText::number(file.trimmed());
    if (a && b)
        return *a == *b;
    return table == file;
}

void compareCell(QList<Difference>& out, const QString& item, const QString& field,
                 const QString& table, const QString& file, bool value, int row, int column) {
    if (value ? sameValue(table, file) : table == file)
        return;
    out.append({item, field, table, file, CompareReport::FirstGrid, row, column});
}

CompareReport::Findings findings(const QString& firstPrefix, const QList<Difference>& firstTable,
                                 std::span<const ParameterRow> table,
                                 std::span<const ParameterRow> file) {
    CompareReport::Findings out{firstTable, {}};
    if (!firstTable.isEmpty())
        out.first = firstPrefix + QString::number(firstTable.front().row);
    for (size_t row = 0; row < table.size(); ++row) {
        const ParameterRow& r = table[row];
        const int fileRow = ParameterRows::rowOf(file, r.number);
        const QString value = fileRow < 0 ? QString() : file[size_t(fileRow)].setting;
        if (sameValue(r.setting, value))
            continue;
        if (out.first.isEmpty())
            out.first = QStringLiteral("Parameter_No%1").arg(r.number);
        out.differences.append({QStringLiteral("Parameter %1").arg(r.number), r.name, r.setting,
                                value, CompareReport::ParameterGrid, int(row),
                                ParameterRowsModel::ColSetting});
    }
    return out;
}

} // namespace FileCompare
