#include "pointdata/ui/ParameterGridDelegate.h"

#include "pointdata/ParameterTableModel.h"

#include <QLineEdit>
#include <QPalette>

ParameterGridDelegate::ParameterGridDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QWidget* ParameterGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                             const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setAlignment(index.data(Qt::TextAlignmentRole).value<Qt::Alignment>());
    return editor;
}

void ParameterGridDelegate::initStyleOption(QStyleOptionViewItem* option,
                                            const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.row() == 0) {
        // The actuator type row is fixed: shown like a header row.
        option->font.setBold(true);
        option->backgroundBrush = option->palette.brush(QPalette::Button);
        return;
    }
    const unsigned bgr = ParameterTableModel::CellColourBgr;
    option->backgroundBrush = QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}
