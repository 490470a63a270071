#include "window/ui/TableGrid.h"

#include "window/ui/Lamp.h"
#include "window/ui/TableHistory.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

namespace {
constexpr char ColumnProperty[] = "gridColumn";

// Ctrl+Tab and Ctrl+Shift+Tab: the way out of a grid whose Tab walks its cells. 0 for other
// keys, 1 forward, -1 backward.
int leaveDirection(const QKeyEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier))
        return 0;
    if (event->key() == Qt::Key_Backtab ||
        (event->key() == Qt::Key_Tab && (event->modifiers() & Qt::ShiftModifier)))
        return -1;
    return event->key() == Qt::Key_Tab ? 1 : 0;
}
} // namespace

int gridColumnPixels(int units, const QString& header, const QFontMetrics& metrics) {
    const int scaled = units * 6 / 5;
    const int headerWidth = metrics.horizontalAdvance(header) + 2 * metrics.averageCharWidth() + 8;
    return std::max(scaled, headerWidth);
}

GridCellDelegate::GridCellDelegate(Look look, QObject* parent)
    : QStyledItemDelegate(parent), m_look(std::move(look)) {}

QString GridCellDelegate::entryRefusal(int column, const QString& text) const {
    for (const QChar c : text) {
        // No key types a control character into a cell (a pasted line end or tab, say).
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QStringLiteral("holds a line end, a tab or another control character");
        if (m_filter && !m_filter(column, QString(c)))
            return QStringLiteral("does not take \"%1\"").arg(c);
    }
    if (m_maxLengths.contains(column) && text.size() > m_maxLengths.value(column)) {
        const int most = m_maxLengths.value(column);
        return most == 1 ? QStringLiteral("takes a single character")
                         : QStringLiteral("takes at most %1 characters").arg(most);
    }
    return {};
}

bool GridCellDelegate::isFixed(const QModelIndex& index) const {
    return m_look.fixedRows.contains(index.row()) || m_look.fixedColumns.contains(index.column());
}

QWidget* GridCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    editor->setProperty(ColumnProperty, index.column());
    if (m_maxLengths.contains(index.column()))
        editor->setMaxLength(m_maxLengths.value(index.column()));
    editor->setAlignment(index.data(Qt::TextAlignmentRole).value<Qt::Alignment>());
    return editor;
}

void GridCellDelegate::initStyleOption(QStyleOptionViewItem* option,
                                       const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (isFixed(index)) {
        if (m_look.fixedBgr) {
            option->backgroundBrush = colourFromBgr(*m_look.fixedBgr);
        } else {
            option->font.setBold(true);
            option->backgroundBrush = option->palette.brush(QPalette::Button);
        }
        return;
    }
    if (m_look.cellBgr)
        option->backgroundBrush = colourFromBgr(*m_look.cellBgr);
}

bool GridCellDelegate::eventFilter(QObject* object, QEvent* event) {
    // Ctrl+Tab in a cell editor is not the cell-to-cell Tab: the grid is left.
    if (event->type() == QEvent::KeyPress) {
        if (const int direction = leaveDirection(static_cast<QKeyEvent*>(event))) {
            for (QObject* up = object->parent(); up; up = up->parent()) {
                if (auto* grid = qobject_cast<TableGrid*>(up)) {
                    grid->leaveGrid(direction > 0);
                    return true;
                }
            }
        }
    }
    if (m_filter && event->type() == QEvent::KeyPress) {
        const QVariant column = object->property(ColumnProperty);
        const QString text = static_cast<QKeyEvent*>(event)->text();
        // Keys that type characters are filtered; navigation and control keys pass.
        const bool typesText = !text.isEmpty() && text.at(0).unicode() >= 0x20;
        if (column.isValid() && typesText && !m_filter(column.toInt(), text))
            return true;
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

TableGrid::TableGrid(QAbstractItemModel* model, const QString& objectName,
                     GridCellDelegate* delegate, QWidget* parent)
    : QTableView(parent), m_delegate(delegate) {
    setObjectName(objectName);
    setModel(model);
    delegate->setParent(this);
    setItemDelegate(delegate);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(true);
    verticalHeader()->hide(); // the number is a column of its own
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    connect(this, &QAbstractItemView::doubleClicked, this, &TableGrid::activateCell);
}

void TableGrid::setColumnUnits(const QList<int>& units) {
    const QFontMetrics metrics(horizontalHeader()->font());
    for (int c = 0; c < units.size() && c < model()->columnCount(); ++c)
        setColumnWidth(c, gridColumnPixels(units.at(c),
                                           model()->headerData(c, Qt::Horizontal).toString(),
                                           metrics));
}

void TableGrid::setHeaderColour(quint32 bgr) {
    horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; color: black; "
                       "border: 1px solid #8080a0; padding: 2px; }")
            .arg(colourFromBgr(bgr).name()));
}

void TableGrid::setActivation(std::function<bool(const QModelIndex&)> activation) {
    m_activation = std::move(activation);
}

bool TableGrid::activateCell(const QModelIndex& index) {
    if (!m_activation || !index.isValid())
        return false;
    TableHistory::Scope step(m_history, QStringLiteral("entry in %1"));
    return m_activation(index);
}

void TableGrid::commitData(QWidget* editor) {
    TableHistory::Scope step(m_history, QStringLiteral("typing in %1"));
    QTableView::commitData(editor);
}

QRect TableGrid::selectedBlock() const {
    QRect block;
    if (selectionModel())
        for (const QModelIndex& index : selectionModel()->selectedIndexes())
            block |= QRect(index.column(), index.row(), 1, 1);
    if (block.isEmpty() && currentIndex().isValid())
        block = QRect(currentIndex().column(), currentIndex().row(), 1, 1);
    return block;
}

void TableGrid::commitOpenEditor() {
    if (state() == QAbstractItemView::EditingState) {
        if (QWidget* editor = indexWidget(currentIndex())) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
}

void TableGrid::leaveGrid(bool forward) {
    // A cell being edited keeps what was typed: it is committed (and checked) first.
    commitOpenEditor();
    // The window's focus chain, not the cell-to-cell walk of the view's own Tab.
    QWidget::focusNextPrevChild(forward);
}

bool TableGrid::event(QEvent* event) {
    // Before any shortcut: Ctrl+Tab belongs to the grid that has the focus.
    if (event->type() == QEvent::ShortcutOverride &&
        leaveDirection(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QTableView::event(event);
}

void TableGrid::keyPressEvent(QKeyEvent* event) {
    if (const int direction = leaveDirection(event)) {
        leaveGrid(direction > 0);
        event->accept();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (m_activation && enter && state() != QAbstractItemView::EditingState &&
        currentIndex().isValid()) {
        activateCell(currentIndex());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}
