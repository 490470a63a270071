#pragma once

#include <QCoreApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

// Typing into a table grid as the operator does.
namespace GridTyping {

// The cell editor still open in the grid, if any (closed editors are deleted first).
inline QLineEdit* openEditor(QTableView& grid) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return grid.findChild<QLineEdit*>();
}

// Starts editing cell (row, column) by typing keys into the grid: the first key opens the
// editor, the rest go to it. Returns the editor.
inline QLineEdit* typeInto(QTableView& grid, int row, int column, const QString& keys) {
    grid.setCurrentIndex(grid.model()->index(row, column));
    grid.setFocus();
    if (openEditor(grid))
        return nullptr; // an editor left open from before
    QTest::keyClick(&grid, keys.at(0).toLatin1());
    auto* editor = openEditor(grid);
    if (!editor)
        return nullptr;
    QTest::keyClicks(editor, keys.mid(1));
    return editor;
}

// Ends an edit with Enter or Escape; the view commits and closes the editor on the next turn
// of the event loop.
inline void finish(QLineEdit* editor, Qt::Key key) {
    if (!editor)
        return;
    QTest::keyClick(editor, key);
    QCoreApplication::processEvents();
}

} // namespace GridTyping
