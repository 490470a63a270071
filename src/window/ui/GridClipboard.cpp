#include "window/ui/GridClipboard.h"

#include "files/PrintSurface.h"
#include "operator/OperatorInteraction.h"
#include "tables/CellBlock.h"
#include "tables/GridTableModel.h"
#include "window/ui/TableGrid.h"
#include "window/ui/TableHistory.h"

#include <QItemSelectionModel>

namespace GridClipboard {

namespace {

// The operator a trial copy talks to: it answers nothing and keeps what the checks tell.
class TrialOperator final : public OperatorInteraction {
  public:
    QStringList told;

    void message(const QString&, const QString& text, Icon) override { told << text; }
    Answer askYesNo(const QString&, const QString& text, Icon) override {
        told << text;
        return Answer::No;
    }
    Answer askYesNoCancel(const QString&, const QString& text, Icon) override {
        told << text;
        return Answer::Cancel;
    }
    void beep() override {}
    QString openFileName(const FileRequest&) override { return {}; }
    QString saveFileName(const FileRequest&) override { return {}; }
    std::unique_ptr<PrintSurface> choosePrinter(const QString&) override { return nullptr; }
    TypeChoice chooseActuatorType(const QString& current) override { return {current, 0}; }
    QString chooseOperationMode() override { return {}; }
    QString numericKeypad(const QString&) override { return {}; }
    SoftLimits softLimitChange(const SoftLimits& current, const SoftLimits&) override {
        return current;
    }
    void endProgram() override {}
};

QString heldText(const QAbstractItemModel& model, int row, int column) {
    return model.index(row, column).data(Qt::EditRole).toString();
}

// Why a cell does not take a pasted text; empty when it does. The cell is tried on the trial
// copy, which keeps what it took for the cells after it.
QString tryCell(GridTableModel& trial, TrialOperator& told, const GridCellDelegate* delegate,
                int row, int column, const QString& text) {
    const QModelIndex index = trial.index(row, column);
    if (!(trial.flags(index) & Qt::ItemIsEditable)) {
        if (heldText(trial, row, column) == text)
            return {}; // its own text: nothing to change
        return trial.locked() ? QStringLiteral("the table is locked in Operation mode")
                              : QStringLiteral("cannot be edited");
    }
    if (delegate) {
        if (const QString refusal = delegate->entryRefusal(column, text); !refusal.isEmpty())
            return refusal;
    }
    told.told.clear();
    trial.setData(index, text);
    if (!told.told.isEmpty())
        return told.told.join(QLatin1Char(' '));
    return trial.pasteRefusal(index, text);
}

} // namespace

QString copyText(const TableGrid& grid) {
    const QRect block = grid.selectedBlock();
    if (!block.isValid() || !grid.model())
        return {};
    CellBlock::Rows rows;
    for (int row = block.top(); row <= block.bottom(); ++row) {
        QStringList cells;
        for (int column = block.left(); column <= block.right(); ++column)
            cells << heldText(*grid.model(), row, column);
        rows << cells;
    }
    return CellBlock::toText(rows);
}

PasteResult paste(TableGrid& grid, const QString& text, OperatorInteraction& op) {
    PasteResult result;
    auto* model = qobject_cast<GridTableModel*>(grid.model());
    if (!model)
        return result;
    grid.commitOpenEditor();
    if (text.size() > MaxPasteChars) {
        op.informativeMessage(PasteTitle, NotPastedText, OperatorInteraction::Icon::Warning,
                              QStringLiteral("The clipboard holds more text than any table."));
        return result;
    }
    const CellBlock::Rows rows = CellBlock::fromText(text);
    if (rows.isEmpty())
        return result;
    const QRect selected = grid.selectedBlock();
    const int top = selected.isValid() ? selected.top() : 0;
    const int left = selected.isValid() ? selected.left() : 0;

    // The whole block on a trial copy first.
    TrialOperator told;
    const std::unique_ptr<GridTableModel> trial = model->trialCopy(told);
    struct Cell {
        int row;
        int column;
        QString text;
    };
    QList<Cell> cells;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        for (qsizetype j = 0; j < rows[i].size(); ++j) {
            const int row = top + int(i);
            const int column = left + int(j);
            if (row >= model->rowCount() || column >= model->columnCount()) {
                ++result.outside;
                continue;
            }
            result.block |= QRect(column, row, 1, 1);
            const QString& cell = rows[i][j];
            const QString reason = tryCell(*trial, told, grid.cellDelegate(), row, column, cell);
            if (!reason.isEmpty())
                result.refused.append({row, column, reason});
            else
                cells.append({row, column, cell});
        }
    }
    if (!result.refused.isEmpty() || result.outside > 0) {
        op.informativeMessage(PasteTitle, NotPastedText, OperatorInteraction::Icon::Warning,
                              refusalText(grid, result));
        return result;
    }

    // Every cell passed: the same edits on the table, one step.
    {
        TableHistory::Scope step(grid.history(), QStringLiteral("paste into %1"));
        for (const Cell& cell : std::as_const(cells)) {
            const QModelIndex index = model->index(cell.row, cell.column);
            if (model->flags(index) & Qt::ItemIsEditable)
                model->setData(index, cell.text);
        }
    }
    result.applied = true;
    if (QItemSelectionModel* selection = grid.selectionModel()) {
        const QModelIndex first = model->index(result.block.top(), result.block.left());
        selection->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
        selection->select(
            QItemSelection(first, model->index(result.block.bottom(), result.block.right())),
            QItemSelectionModel::ClearAndSelect);
    }
    return result;
}

QString refusalText(const TableGrid& grid, const PasteResult& result) {
    const auto* model = qobject_cast<const GridTableModel*>(grid.model());
    QStringList lines;
    for (const Refusal& r : result.refused) {
        if (lines.size() == ListedRefusals) {
            lines << QStringLiteral("... and %1 more cells")
                         .arg(result.refused.size() - ListedRefusals);
            break;
        }
        lines << QStringLiteral("%1, %2: %3")
                     .arg(model ? model->rowName(r.row) : QString::number(r.row),
                          model ? model->columnName(r.column) : QString::number(r.column),
                          r.reason);
    }
    if (result.outside == 1)
        lines << QStringLiteral("1 cell lies beyond the table's last row or column");
    else if (result.outside > 1)
        lines << QStringLiteral("%1 cells lie beyond the table's last row or column")
                     .arg(result.outside);
    return lines.join(QLatin1Char('\n'));
}

} // namespace GridClipboard
