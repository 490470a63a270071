// The Edit menu of both main windows: undo and redo of the window's tables, copy and paste
// of a block of cells.
#include "window/ui/GridClipboard.h"
#include "window/ui/MainWindowBase.h"
#include "window/ui/TableGrid.h"
#include "window/ui/TableHistory.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QRegularExpression>
#include <QShowEvent>

namespace {
// A caption as a step name says it: without its access key, "(&N)" or "&", and without a
// closing "...".
QString plainCaption(QString caption) {
    static const QRegularExpression accessKey(QStringLiteral("\\(&.\\)"));
    caption.remove(accessKey);
    caption.remove(QLatin1Char('&'));
    if (caption.endsWith(QLatin1String("...")))
        caption.chop(3);
    return caption.trimmed();
}

// "&" in a step name is shown as it is, not as an access key.
QString shown(QString text) {
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

const QString UndoTip = QStringLiteral(
    "Puts the window's tables back as they were before the last change. Nothing is sent to "
    "the controller, and values it has taken (size detection, a taught origin shift, soft "
    "limits sent) stay as it holds them.");
const QString RedoTip = QStringLiteral(
    "Makes the undone change to the window's tables again. Nothing is sent to the controller, "
    "and values it has taken stay as it holds them.");
} // namespace

QString MainWindowBase::stepNameOf(const QObject* source) {
    QString caption;
    if (const auto* item = qobject_cast<const QAction*>(source)) {
        caption = plainCaption(item->text());
        // An item of a submenu names its submenu too: "Init > Points".
        if (const auto* menu = qobject_cast<const QMenu*>(item->parent());
            menu && qobject_cast<const QMenu*>(menu->parentWidget()))
            caption = plainCaption(menu->title()) + QStringLiteral(" > ") + caption;
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(source)) {
        caption = plainCaption(button->text());
    }
    return caption.isEmpty() ? QStringLiteral("table change")
                             : QStringLiteral("table change by ") + caption;
}

void MainWindowBase::buildEditMenu() {
    // No access key of its own: every letter of "Edit" is a panel button's Alt key.
    QMenu* edit = addMenu(QStringLiteral("mnuEdit"), QStringLiteral("Edit"));
    QAction* undo = addItem(edit, "mnuEditUndo", "&Undo");
    undo->setShortcut(QKeySequence::Undo);
    undo->setStatusTip(UndoTip);
    undo->setToolTip(UndoTip);
    QAction* redo = addItem(edit, "mnuEditRedo", "&Redo");
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    redo->setStatusTip(RedoTip);
    redo->setToolTip(RedoTip);
    edit->addSeparator()->setObjectName("mnuEditBar1");
    QAction* copy = addItem(edit, "mnuEditCopy", "&Copy");
    copy->setShortcut(QKeySequence::Copy);
    QAction* paste = addItem(edit, "mnuEditPaste", "&Paste");
    paste->setShortcut(QKeySequence::Paste);
    for (QAction* item : {undo, redo, copy, paste})
        item->setShortcutVisibleInContextMenu(true);
    connect(undo, &QAction::triggered, this, &MainWindowBase::Undo);
    connect(redo, &QAction::triggered, this, &MainWindowBase::Redo);
    connect(copy, &QAction::triggered, this, &MainWindowBase::CopyCells);
    connect(paste, &QAction::triggered, this, &MainWindowBase::PasteCells);
    // A change not yet recorded is named in the menu too.
    connect(edit, &QMenu::aboutToShow, m_history, &TableHistory::settle);

    // Copy and paste work on the grid that has, or last had, the focus.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        for (QWidget* w = now; w; w = w->parentWidget())
            for (const QPointer<TableGrid>& grid : std::as_const(m_tableGrids))
                if (grid == w) {
                    m_focusGrid = grid;
                    return;
                }
    });
    refreshEditItems();
}

void MainWindowBase::refreshEditItems() {
    QAction* undo = action(QStringLiteral("mnuEditUndo"));
    QAction* redo = action(QStringLiteral("mnuEditRedo"));
    QAction* paste = action(QStringLiteral("mnuEditPaste"));
    if (!undo || !redo || !paste)
        return;
    const bool canUndo = m_history->canUndo();
    const bool canRedo = m_history->canRedo();
    undo->setEnabled(canUndo);
    redo->setEnabled(canRedo);
    undo->setText(canUndo ? QStringLiteral("&Undo ") + shown(m_history->undoText())
                          : QStringLiteral("&Undo"));
    redo->setText(canRedo ? QStringLiteral("&Redo ") + shown(m_history->redoText())
                          : QStringLiteral("&Redo"));
    // Nothing is pasted while an operation changes the tables, nor while the commands are
    // locked (Operation mode, teaching).
    paste->setEnabled(!m_history->busy() && !m_commandsLocked);
}

void MainWindowBase::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The tables the window opens with (the start-up read's) are where undo ends.
    if (!m_history->started())
        m_history->start();
}

void MainWindowBase::Undo() {
    if (TableGrid* grid = activeGrid())
        grid->commitOpenEditor();
    m_history->undo();
}

void MainWindowBase::Redo() {
    if (TableGrid* grid = activeGrid())
        grid->commitOpenEditor();
    m_history->redo();
}

TableGrid* MainWindowBase::activeGrid() const {
    if (m_focusGrid && m_focusGrid->isVisible())
        return m_focusGrid;
    for (const QPointer<TableGrid>& grid : m_tableGrids)
        if (grid && grid->isVisible())
            return grid;
    return nullptr;
}

void MainWindowBase::CopyCells() {
    if (TableGrid* grid = activeGrid()) {
        grid->commitOpenEditor();
        if (QClipboard* clipboard = QGuiApplication::clipboard())
            clipboard->setText(GridClipboard::copyText(*grid));
    }
}

void MainWindowBase::PasteCells() {
    TableGrid* grid = activeGrid();
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!grid || !clipboard || m_history->busy() || m_commandsLocked)
        return;
    GridClipboard::paste(*grid, clipboard->text(), m_op);
}
