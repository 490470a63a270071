// Copy and paste of blocks of cells in the grids of both main windows: a paste passes every
// entry check of typing or changes nothing and says why.
#include "WindowRig.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointdata/ui/PointGrid.h"
#include "pointops/ui/frmMain.h"
#include "pulse/ZoneTableModel.h"
#include "pulse/ui/ZoneGrid.h"
#include "pulse/ui/frmpulseMaindemo.h"
#include "window/ui/GridClipboard.h"
#include "window/ui/ParameterGrid.h"
#include "window/ui/TableHistory.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTest>

namespace {
// The grids of both windows by name: "point", "parameter" (point-input), "zone", "pulse
// parameter".
struct Windows {
    WindowRig<frmMain> point;
    WindowRig<frmpulseMaindemo> pulse;

    Windows() {
        point.start(VirtualController::Kind::Point, "COM1");
        pulse.start(VirtualController::Kind::Pulse, "COM2");
        PointTableData points{};
        points[3] = {"A", "10.00", "20", "", ""};
        point.window->points().setTable(points);
        point.window->show();
        pulse.window->show();
    }
    MainWindowBase* window(const QString& grid) {
        return grid.startsWith("p") && grid != "pulse parameter"
                   ? static_cast<MainWindowBase*>(point.window.get())
                   : pulse.window.get();
    }
    TableGrid* grid(const QString& name) {
        if (name == "point")
            return point.window->pointGrid();
        if (name == "parameter") {
            point.window->ShowParameterGrid();
            return point.window->parameterGrid();
        }
        if (name == "zone")
            return pulse.window->findChild<ZoneGrid*>();
        return pulse.window->findChild<ParameterGrid*>();
    }
    ScriptedOperator& op(const QString& grid) {
        return window(grid) == point.window.get() ? point.op : pulse.op;
    }
};

// Pastes text with the grid's cell (row, column) current, through Edit > Paste.
void paste(Windows& w, const QString& name, int row, int column, const QString& text) {
    TableGrid* grid = w.grid(name);
    MainWindowBase* window = w.window(name);
    QApplication::setActiveWindow(window);
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(row, column));
    QGuiApplication::clipboard()->setText(text);
    window->action("mnuEditPaste")->trigger();
}
} // namespace

class TestGridClipboard : public QObject {
    Q_OBJECT
  private slots:
    void refusedCellKeepsTheBlockOut_data();
    void refusedCellKeepsTheBlockOut();
    void goodBlockIsOneStepAndCopiesBack();
};

void TestGridClipboard::refusedCellKeepsTheBlockOut_data() {
    QTest::addColumn<QString>("grid");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("block");
    QTest::addColumn<QString>("listed"); // the informative text beneath the message
    QTest::addColumn<bool>("locked");

    QTest::newRow("speed the check refuses") << "point" << 3 << 1 << "A\t10\t500\n"
                                             << "Point 3, Speed (mm/s): Please set a value "
                                                "within 1 to 120 mm/s."
                                             << false;
    QTest::newRow("a key the filter refuses") << "point" << 2 << 1 << "A\t5\nX"
                                              << "Point 3, Mode: does not take \"X\"" << false;
    QTest::newRow("a position that is no number")
        << "point" << 0 << 1 << "A\t1/2\t5"
        << "Point 0, Position (mm): \"1/2\" is not a number" << false;
    QTest::newRow("a mode longer than the cell takes")
        << "point" << 0 << 1 << "AI"
        << "Point 0, Mode: takes a single character" << false;
    QTest::newRow("a line end inside a note")
        << "point" << 0 << 5 << "\"two\nlines\""
        << "Point 0, Note: holds a line end, a tab or another control character" << false;
    QTest::newRow("another point number") << "point" << 0 << 0 << "0\t\n7\tA"
                                          << "Point 1, PntNo: cannot be edited" << false;
    QTest::newRow("the table locked in Operation mode")
        << "point" << 3 << 1 << "I"
        << "Point 3, Mode: the table is locked in Operation mode" << true;
    QTest::newRow("rows beyond the table")
        << "point" << 63 << 5 << "a\nb\nc"
        << "2 cells lie beyond the table's last row or column" << false;
    QTest::newRow("a parameter outside its range")
        << "parameter" << 2 << 1 << "-5\n150"
        << "Parameter 4, Setting Value: \"150\" is outside the Setting Range \"1 to 100 (%)\""
        << false;
    QTest::newRow("the actuator type row")
        << "parameter" << 0 << 1 << "32"
        << "Parameter 0, Setting Value: cannot be edited" << false;
    QTest::newRow("a zone position out of range")
        << "zone" << 0 << 1 << "1\t2\n3\t41"
        << "Zone 1, Zone position B (mm): Please set a value as -40.00 -- 40.00mm." << false;
}

// One refused cell keeps the whole block out: no table changes, no flag, no undo step, and
// one message lists the cell with its reason.
void TestGridClipboard::refusedCellKeepsTheBlockOut() {
    QFETCH(QString, grid);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, block);
    QFETCH(QString, listed);
    QFETCH(bool, locked);
    Windows w;
    auto* model = qobject_cast<GridTableModel*>(w.grid(grid)->model());
    const bool pulse = w.window(grid) == w.pulse.window.get();
    auto* flag = qobject_cast<GridTableModel*>(w.grid(pulse ? "zone" : "point")->model());
    model->setLocked(locked);
    const GridTableModel::TableImage before = model->image();

    paste(w, grid, row, column, block);

    QCOMPARE(model->image(), before);
    QVERIFY(!flag->modified());
    QCOMPARE(w.window(grid)->history().undoSteps(), 0);
    const ScriptedOperator& op = w.op(grid);
    QCOMPARE(op.prompts.size(), 1);
    QCOMPARE(op.last().title, GridClipboard::PasteTitle);
    QCOMPARE(op.last().text, GridClipboard::NotPastedText);
    QCOMPARE(op.last().icon, OperatorInteraction::Icon::Warning);
    QCOMPARE(op.last().informative, listed);
}

// A block every cell of which passes goes in as typing would put it, as one step, selected;
// copying the selection gives the cells as the table now holds them.
void TestGridClipboard::goodBlockIsOneStepAndCopiesBack() {
    Windows w;
    frmMain& window = *w.point.window;
    paste(w, "point", 5, 1, "a\t7\t50\t3\r\nC\t9\t5\t2\r\n");

    QCOMPARE(w.point.op.prompts.size(), 0);
    QCOMPARE(window.points().point(5), (PointRecord{"A", "7.00", "50", "", ""}));
    QCOMPARE(window.points().point(6), (PointRecord{"C", "", "5", "2", ""}));
    QVERIFY(window.points().modified());
    QCOMPARE(window.history().undoSteps(), 1);
    QCOMPARE(window.history().undoText(), "paste into points 5 and 6");
    QCOMPARE(window.pointGrid()->selectedBlock(), QRect(1, 5, 4, 2));

    QTest::keyClick(window.pointGrid(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), "A\t7.00\t50\t\nC\t\t5\t2\n");

    QTest::keyClick(window.pointGrid(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(window.points().point(5), PointRecord{});
    QCOMPARE(window.points().point(6), PointRecord{});
    QVERIFY(!window.points().modified());
}

QTEST_MAIN(TestGridClipboard)
#include "tst_gridclipboard.moc"
