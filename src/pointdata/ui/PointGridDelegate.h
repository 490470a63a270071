#pragma once

#include <QStyledItemDelegate>

// Cell editor of the point grid: a line edit whose typed keys pass the column's entry
// filter (mode letters, position characters, digits, anything in the note). Cells are drawn
// on the grid's cell colour.
class PointGridDelegate final : public QStyledItemDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PointGridDelegate)

  public:
    explicit PointGridDelegate(QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    bool eventFilter(QObject* object, QEvent* event) override;
};
