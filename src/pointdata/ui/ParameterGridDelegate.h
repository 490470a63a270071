#pragma once

#include <QStyledItemDelegate>

// Cells of the parameter grid: drawn on the grid's cell colour, the fixed actuator type row
// drawn like a header row. The Setting Value is edited in a plain line edit; the model checks
// the result.
class ParameterGridDelegate final : public QStyledItemDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ParameterGridDelegate)

  public:
    explicit ParameterGridDelegate(QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
