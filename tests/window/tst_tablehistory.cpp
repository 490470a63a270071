// Undo and redo of the tables of both main windows: every way a table changes is one step
// that puts back tables and modified flag exactly, and never talks to the controller.
#include "FileBytes.h"
#include "GridTyping.h"
#include "WindowRig.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointdata/SettingsFile.h"
#include "pointdata/ui/PointGrid.h"
#include "pointops/PointDrive.h"
#include "pointops/ui/DrivePanel.h"
#include "pointops/ui/frmMain.h"
#include "pulse/PulseDrive.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/PulseSettingsFile.h"
#include "pulse/ZoneTableModel.h"
#include "pulse/ui/PulsePanel.h"
#include "pulse/ui/ZoneGrid.h"
#include "pulse/ui/frmpulseMaindemo.h"
#include "window/ui/ParameterGrid.h"
#include "window/ui/TableHistory.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using Answer = OperatorInteraction::Answer;

namespace {

// Both tables of a window and its modified flag.
struct Tables {
    QList<GridTableModel::TableImage> images;
    bool modified = false;
    bool operator==(const Tables&) const = default;
};

Tables tablesOf(GridTableModel& first, GridTableModel& parameters) {
    return {{first.image(), parameters.image()}, first.modified()};
}

void type(QTableView* grid, int row, int column, const QString& keys) {
    GridTyping::finish(GridTyping::typeInto(*grid, row, column, keys), Qt::Key_Return);
}

void pasteAt(MainWindowBase& w, QTableView* grid, int row, int column, const QString& text) {
    grid->setCurrentIndex(grid->model()->index(row, column));
    grid->setFocus();
    QGuiApplication::clipboard()->setText(text);
    w.PasteCells();
}

// The actions of the table: each changes the tables of a window once, as the operator does.
using PointRig = WindowRig<frmMain>;
using PulseRig = WindowRig<frmpulseMaindemo>;
using PointAction = std::function<void(PointRig&)>;
using PulseAction = std::function<void(PulseRig&)>;

QHash<QString, PointAction> pointActions() {
    return {
        {"typing", [](PointRig& r) { type(r.window->pointGrid(), 3, PointRules::ColSpeed, "45"); }},
        {"keypad",
         [](PointRig& r) {
             r.op.keypadValues << "12.5";
             auto* g = r.window->pointGrid();
             g->activateCell(g->model()->index(3, PointRules::ColPosition));
         }},
        {"paste",
         [](PointRig& r) {
             pasteAt(*r.window, r.window->pointGrid(), 5, 1, "U\t1\t5\t3\nA\t2\t9");
         }},
        {"parameter typing",
         [](PointRig& r) {
             r.window->ShowParameterGrid();
             type(r.window->parameterGrid(), 3, ParameterRowsModel::ColSetting, "50");
         }},
        {"New File",
         [](PointRig& r) {
             r.op.answers = {Answer::No};
             trigger(*r.window, "mnuFileNew");
         }},
        {"Open",
         [](PointRig& r) {
             PointTableData points{};
             points[9] = {"I", "3.00", "7", "", "from file"};
             const QString path = r.dir.filePath("open.csv");
             QVERIFY(
                 writeFileBytes(path, SettingsFile::write(points, r.window->parameters().table())));
             r.op.answers = {Answer::No};
             r.op.fileNames << path;
             trigger(*r.window, "mnuFileOpen");
         }},
        {"Receive(Points)",
         [](PointRig& r) {
             r.controller->memory().setPoint(7, {"A", "4.00", "20", ""});
             trigger(*r.window, "mnuToolsRecP");
         }},
        {"Init > Points",
         [](PointRig& r) {
             r.op.answers = {Answer::Yes, Answer::No};
             trigger(*r.window, "mnuToolsIniPo");
         }},
        {"teaching SET",
         [](PointRig& r) {
             r.window->pointGrid()->setCurrentIndex(
                 r.window->points().index(3, PointRules::ColPosition));
             r.window->drivePanel()->box("Txt_Pos")->setText("7.5");
             r.window->drive().setClicked();
         }},
    };
}

QHash<QString, PulseAction> pulseActions() {
    return {
        {"typing", [](PulseRig& r) { type(r.window->findChild<ZoneGrid*>(), 1, 1, "12"); }},
        {"Open",
         [](PulseRig& r) {
             ZoneTableData zones{};
             zones[3] = {"4.00", "8.00", "file"};
             const QString path = r.dir.filePath("open.csv");
             QVERIFY(writeFileBytes(
                 path, PulseSettingsFile::write(zones, r.window->parameters().table())));
             r.op.answers = {Answer::No};
             r.op.fileNames << path;
             trigger(*r.window, "mnuFileOpen");
         }},
        {"teaching SET",
         [](PulseRig& r) {
             auto* grid = r.window->findChild<ZoneGrid*>();
             grid->setCurrentIndex(grid->model()->index(0, ZoneRules::ColB));
             r.window->panel()->findChild<QLineEdit*>("Txt_Pos")->setText("6.25");
             r.window->drive().setClicked();
         }},
    };
}

} // namespace

class TestTableHistory : public QObject {
    Q_OBJECT
  private slots:
    void eachChangeIsOneStep_data();
    void eachChangeIsOneStep();
    void handlerWithQuestionIsOneStep();
    void savedStateClearsTheFlag();
    void lockedTablesAndRunningOperationsRefuseUndo();
};

void TestTableHistory::eachChangeIsOneStep_data() {
    QTest::addColumn<bool>("pulse");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("step"); // the step's name as Edit > Undo shows it
    const QList<std::tuple<QString, QString>> point{
        {"typing", "typing in point 3"},
        {"keypad", "entry in point 3"},
        {"paste", "paste into points 5 and 6"},
        {"parameter typing", "typing in parameter 4"},
        {"New File", "table change by New File"},
        {"Open", "table change by Open"},
        {"Receive(Points)", "table change by Receive(Points)"},
        {"Init > Points", "table change by Init > Points"},
        {"teaching SET", "change of point 3"},
    };
    for (const auto& [action, step] : point)
        QTest::newRow(qPrintable("point: " + action)) << false << action << step;
    const QList<std::tuple<QString, QString>> pulse{
        {"typing", "typing in zone 1"},
        {"Open", "table change by Open"},
        {"teaching SET", "change of zone 0"},
    };
    for (const auto& [action, step] : pulse)
        QTest::newRow(qPrintable("pulse: " + action)) << true << action << step;
}

// Each action from tables that hold unsaved work: one step named for what it changed; undo
// puts back tables and flag as they were before it, redo as it left them, and neither sends
// a byte.
void TestTableHistory::eachChangeIsOneStep() {
    QFETCH(bool, pulse);
    QFETCH(QString, action);
    QFETCH(QString, step);

    auto check = [&](auto& rig, GridTableModel& first, GridTableModel& params, auto act) {
        MainWindowBase& w = *rig.window;
        // Unsaved work before the action: point 3 an A point, the flag set.
        if (!pulse) {
            PointTableData points{};
            points[3] = {"A", "10.00", "20", "", "n"};
            static_cast<PointTableModel&>(first).setTable(points);
        }
        first.setModified(true);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QApplication::setActiveWindow(&w);
        const Tables before = tablesOf(first, params);

        act(rig);
        QTest::qWait(20);
        const Tables after = tablesOf(first, params);
        QVERIFY(after.images != before.images);
        TableHistory& h = w.history();
        QCOMPARE(h.undoSteps(), 1);
        QCOMPARE(h.undoText(), step);
        QCOMPARE(w.action("mnuEditUndo")->text(), "&Undo " + step);

        QSignalSpy sent(&w.link(), &Link::commandSent);
        w.action("mnuEditUndo")->trigger();
        QCOMPARE(tablesOf(first, params), before);
        QCOMPARE(h.undoSteps(), 0);
        w.action("mnuEditRedo")->trigger();
        QCOMPARE(tablesOf(first, params), after);
        w.action("mnuEditUndo")->trigger();
        QCOMPARE(tablesOf(first, params), before);
        QCOMPARE(sent.size(), 0);
    };

    if (pulse) {
        WindowRig<frmpulseMaindemo> rig;
        rig.start(VirtualController::Kind::Pulse, "COM2");
        check(rig, rig.window->zones(), rig.window->parameters(), pulseActions().value(action));
    } else {
        WindowRig<frmMain> rig;
        rig.start(VirtualController::Kind::Point, "COM1");
        check(rig, rig.window->points(), rig.window->parameters(), pointActions().value(action));
    }
}

// A handler that changes a table, waits for a question (a nested event loop) and changes it
// again makes one step: the step is recorded once it has returned to the event loop.
void TestTableHistory::handlerWithQuestionIsOneStep() {
    ScriptedOperator op;
    PointTableModel points(op);
    TableHistory history;
    history.watch(&points);
    history.start();
    QEventLoop main;
    QTimer::singleShot(0, &main, [&] {
        points.teachPosition(1, "1.00");
        QEventLoop question;
        QTimer::singleShot(30, &question, &QEventLoop::quit);
        question.exec();
        points.teachPosition(2, "2.00");
        QTimer::singleShot(30, &main, &QEventLoop::quit);
    });
    main.exec();
    QCOMPARE(history.undoText(), "change of points 1 and 2");
    history.undo();
    QCOMPARE(points.table(), PointTableData{});
}

// Undoing back to the last saved tables clears the flag; redo sets it again; the state
// before the save is not the saved one.
void TestTableHistory::savedStateClearsTheFlag() {
    WindowRig<frmMain> rig;
    rig.start(VirtualController::Kind::Point, "COM1");
    frmMain& w = *rig.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    type(w.pointGrid(), 0, PointRules::ColNote, "first");
    rig.op.fileNames << rig.dir.filePath("saved.csv");
    trigger(w, "mnuFileSave");
    QVERIFY(!w.points().modified());
    type(w.pointGrid(), 1, PointRules::ColNote, "second");
    QVERIFY(w.points().modified());

    w.Undo();
    QCOMPARE(w.points().point(1).note, "");
    QVERIFY(!w.points().modified());
    w.Redo();
    QVERIFY(w.points().modified());
    w.Undo();
    w.Undo();
    QCOMPARE(w.points().point(0).note, "");
    QVERIFY(w.points().modified());
    // New work after an undo drops the redo steps.
    type(w.pointGrid(), 2, PointRules::ColNote, "third");
    QVERIFY(!w.history().canRedo());

    // A program's write that leaves the flag clear makes no saved state: undoing it comes
    // back to the saved tables, flag clear, and redoing it sets the flag.
    rig.op.fileNames << rig.dir.filePath("saved.csv");
    trigger(w, "mnuFileSave");
    const QString valid = w.parameters().settingValue(33) == "1" ? "0" : "1";
    w.parameters().setSettingValue(33, valid);
    QVERIFY(!w.points().modified());
    w.Undo();
    QVERIFY(w.parameters().settingValue(33) != valid);
    QVERIFY(!w.points().modified());
    w.Redo();
    QVERIFY(w.points().modified());
}

// Operation mode locks the tables and Undo with them; while an operation or a teaching SET
// runs (here: at its question) neither Undo nor Paste is offered.
void TestTableHistory::lockedTablesAndRunningOperationsRefuseUndo() {
    WindowRig<frmMain> rig;
    rig.start(VirtualController::Kind::Point, "COM1");
    frmMain& w = *rig.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    type(w.pointGrid(), 0, PointRules::ColNote, "x");
    QVERIFY(w.action("mnuEditUndo")->isEnabled());

    w.points().setLocked(true);
    QVERIFY(!w.action("mnuEditUndo")->isEnabled());
    w.Undo();
    QCOMPARE(w.points().point(0).note, "x");
    w.points().setLocked(false);

    bool offeredWhileRunning = true;
    rig.op.onPrompt = [&](const ScriptedOperator::Prompt&) {
        offeredWhileRunning =
            w.action("mnuEditUndo")->isEnabled() || w.action("mnuEditPaste")->isEnabled();
    };
    rig.op.answers = {Answer::No};
    trigger(w, "mnuToolsRecP");
    QVERIFY(!offeredWhileRunning);
    QVERIFY(w.action("mnuEditUndo")->isEnabled());

    // Nor while a teaching SET asks and talks to the controller (here: its first question).
    offeredWhileRunning = true;
    w.drivePanel()->button("Cmd_SetBase")->click();
    w.drivePanel()->box("Txt_Pos")->setText("1");
    rig.op.answers = {Answer::No};
    w.drivePanel()->button("Cmd_Set")->click();
    QCOMPARE(rig.op.last().text, "Do you send virtual origin data?");
    QVERIFY(!offeredWhileRunning);
    rig.op.onPrompt = {};

    // Operation mode locks Compare with file, Copy, Paste and the traffic log with the other
    // menu items; Setting gives them back.
    const QStringList items{"mnuFileCompare", "mnuEditCopy", "mnuEditPaste", "mnuViewTraffic"};
    w.drivePanel()->button("Cmd_driv")->click();
    QVERIFY(w.driveState().operationMode);
    for (const QString& item : items)
        QVERIFY2(!w.action(item)->isEnabled(), qPrintable(item));
    w.drivePanel()->button("Cmd_Setup")->click();
    for (const QString& item : items)
        QVERIFY2(w.action(item)->isEnabled(), qPrintable(item));
}

QTEST_MAIN(TestTableHistory)
#include "tst_tablehistory.moc"
