// Keyboard use of both main windows: the way out of a grid whose Tab walks the cells, and the
// Alt keys of the panel buttons.
#include "DialogDriving.h"
#include "GridTyping.h"
#include "WindowRig.h"
#include "pointdata/PointTableModel.h"
#include "pointops/ui/frmMain.h"
#include "pulse/ZoneTableModel.h"
#include "pulse/ui/frmpulseMaindemo.h"
#include "window/ui/PanelWidgets.h"
#include "window/ui/TableGrid.h"

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {
bool inside(const QWidget* w, const QWidget* container) {
    for (; w; w = w->parentWidget())
        if (w == container)
            return true;
    return false;
}
} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
  private slots:
    void cleanup();
    void ctrlTabLeavesTheGrid_data();
    void ctrlTabLeavesTheGrid();
    void panelButtonsHaveAltKeys_data();
    void panelButtonsHaveAltKeys();

  private:
    QMainWindow* open(bool pulse);

    WindowRig<frmMain> m_point;
    WindowRig<frmpulseMaindemo> m_pulse;
};

void TestKeyboard::cleanup() {
    m_point.stop();
    m_pulse.stop();
}

QMainWindow* TestKeyboard::open(bool pulse) {
    QMainWindow* w = nullptr;
    if (pulse) {
        m_pulse.start(VirtualController::Kind::Pulse, "COM1");
        w = m_pulse.window.get();
    } else {
        m_point.start(VirtualController::Kind::Point, "COM1");
        w = m_point.window.get();
    }
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w))
        return nullptr;
    return w;
}

void TestKeyboard::ctrlTabLeavesTheGrid_data() {
    QTest::addColumn<bool>("pulse");
    QTest::addColumn<bool>("editing"); // a cell is being edited when Ctrl+Tab comes
    QTest::addColumn<int>("column");   // a position column
    QTest::newRow("point grid") << false << false << int(PointRules::ColPosition);
    QTest::newRow("point grid, cell being edited") << false << true << int(PointRules::ColPosition);
    QTest::newRow("zone grid") << true << false << int(ZoneRules::ColA);
    QTest::newRow("zone grid, cell being edited") << true << true << int(ZoneRules::ColA);
}

void TestKeyboard::ctrlTabLeavesTheGrid() {
    QFETCH(bool, pulse);
    QFETCH(bool, editing);
    QFETCH(int, column);
    QMainWindow* w = open(pulse);
    QVERIFY(w);
    auto* grid = w->findChild<TableGrid*>("Grid1");
    QVERIFY(grid && grid->isVisible());

    // Tab walks the cells and stays in the grid.
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(1, column));
    QTest::keyClick(grid, Qt::Key_Tab);
    QCOMPARE(grid->currentIndex().column(), column + 1);
    QVERIFY(grid->hasFocus());

    QWidget* target = grid;
    if (editing) {
        QLineEdit* editor = GridTyping::typeInto(*grid, 1, column, "7");
        QVERIFY(editor);
        target = editor;
    }
    QTest::keyClick(target, Qt::Key_Tab, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QWidget* next = QApplication::focusWidget();
    QVERIFY2(next && !inside(next, grid), next ? qPrintable(next->objectName()) : "no focus");
    QVERIFY(!GridTyping::openEditor(*grid));
    // What was typed is kept, checked as any edit.
    if (editing)
        QCOMPARE(grid->model()->index(1, column).data().toString(), QString("7.00"));

    // Ctrl+Shift+Tab leaves it the other way.
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QWidget* previous = QApplication::focusWidget();
    QVERIFY(previous && !inside(previous, grid) && previous != next);
}

void TestKeyboard::panelButtonsHaveAltKeys_data() {
    QTest::addColumn<bool>("pulse");
    QTest::addColumn<QStringList>("names"); // buttons that must have an Alt key
    QTest::newRow("point-input window")
        << false
        << QStringList{"Cmd_Setup",   "Cmd_driv",   "Cmd_SetBase",       "Cmd_TargetP",
                       "Cmd_Set",     "Cmd_Return", "Cmd_Start",         "Cmd_Stop",
                       "size_yuukou", "size_mukou", "size_saidaisettei", "size_saisyousettei",
                       "size_set"};
    QTest::newRow("pulse-train window")
        << true << QStringList{"Cmd_Setup", "Cmd_driv",   "Cmd_SetBase", "Cmd_TargetP",
                               "Cmd_Set",   "Cmd_Return", "Cmd_Stop",    "Cmd_Srvo",
                               "Cmd_Brake", "Cmd_Alarm",  "Cmd_Cclr",    "Cmd_Dousa"};
}

void TestKeyboard::panelButtonsHaveAltKeys() {
    QFETCH(bool, pulse);
    QFETCH(QStringList, names);
    QMainWindow* w = open(pulse);
    QVERIFY(w);
    // The menus' own letters.
    QSet<QKeySequence> taken;
    for (const char letter : {'F', 'T', 'V', 'H'})
        taken << QKeySequence(Qt::ALT | Qt::Key(letter));
    for (const QString& name : names) {
        auto* button = w->centralWidget()->findChild<QPushButton*>(name);
        QVERIFY2(button, qPrintable(name));
        const QKeySequence key = QKeySequence::mnemonic(button->text());
        QVERIFY2(!key.isEmpty(), qPrintable(name));
        QVERIFY2(!taken.contains(key), qPrintable(name + " " + key.toString()));
        taken << key;
        // The name a screen reader gives is the caption as it reads, without the mark.
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
        QCOMPARE(accessible->text(QAccessible::Name), button->accessibleName().isEmpty()
                                                          ? PanelWidgets::caption(button)
                                                          : button->accessibleName());
    }

    // The Alt key clicks its button.
    auto* setting = w->centralWidget()->findChild<QPushButton*>("Cmd_Setup");
    QVERIFY(setting->isEnabled());
    QSignalSpy pressed(setting, &QAbstractButton::pressed);
    QTest::keyClick(w, QKeySequence::mnemonic(setting->text())[0].key(), Qt::AltModifier);
    QCOMPARE(pressed.size(), 1);
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
