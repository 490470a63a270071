#include "pointdata/ui/PointGridDelegate.h"

#include "pointdata/PointRules.h"
#include "pointdata/PointTableModel.h"
#include "startup/NoteText.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {
constexpr char ColumnProperty[] = "pointColumn";
}

PointGridDelegate::PointGridDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QWidget* PointGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                         const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setProperty(ColumnProperty, index.column());
    if (index.column() == PointRules::ColMode)
        editor->setMaxLength(1); // the mode is one letter
    else if (index.column() == PointRules::ColNote)
        editor->setMaxLength(int(NoteText::MaxChars));
    const auto align = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    editor->setAlignment(align);
    return editor;
}

void PointGridDelegate::initStyleOption(QStyleOptionViewItem* option,
                                        const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const unsigned bgr = PointTableModel::CellColourBgr;
    option->backgroundBrush = QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

bool PointGridDelegate::eventFilter(QObject* object, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const QVariant column = object->property(ColumnProperty);
        const QString text = static_cast<QKeyEvent*>(event)->text();
        // Keys that type characters are filtered; navigation and control keys pass.
        if (column.isValid() && !text.isEmpty() && !PointRules::acceptsText(column.toInt(), text))
            return true;
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
