// The point-input window's Compare report and traffic log as the operator sees them.
#include "ScriptedOperator.h"
#include "link/TrafficLog.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointParameters.h"
#include "pointdata/PointTableModel.h"
#include "pointdata/ui/PointGrid.h"
#include "pointops/ui/frmMain.h"
#include "simulator/SimulatedChannel.h"
#include "simulator/VirtualController.h"
#include "window/ui/TrafficLogWindow.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {
// Window and controller agree except on point 2's speed, point 4's mode and parameter 35.
void differInThreePlaces(frmMain& w, VirtualController& controller) {
    controller.memory().setPoint(2, {"A", "5.00", "30", ""});
    controller.memory().setPoint(4, {"O", "", "5", "3"});
    PointTableData table{};
    table[2] = {"A", "5.00", "35", "", "pick"};
    table[4] = {"C", "", "5", "3", ""};
    w.points().setTable(table);
    w.parameters().setSettingValue(35, "150");
}

// The colour the grid shows at the middle of a cell.
QColor colourAt(QTableView* grid, int row, int column) {
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    return grid->grab().toImage().pixelColor(grid->viewport()->mapTo(grid, cell.center()));
}
} // namespace

class TestCompareWindow : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void compareMarksCellsUntilEditOrTransfer();
    void trafficLogFollowsAndSaves();

  private:
    QTemporaryDir m_dir;
    LinkState m_state;
    ScriptedOperator m_op;
    VirtualController* m_controller = nullptr;
    SimulatedChannel* m_channel = nullptr;
    frmMain* m_window = nullptr;
};

void TestCompareWindow::init() {
    m_op = ScriptedOperator{};
    m_controller = new VirtualController(VirtualController::Kind::Point);
    m_channel = new SimulatedChannel(*m_controller);
    m_window = new frmMain(m_state, m_op, *m_channel, m_dir.filePath("QRX5.ini"));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestCompareWindow::cleanup() {
    delete m_window;
    delete m_channel;
    delete m_controller;
}

void TestCompareWindow::compareMarksCellsUntilEditOrTransfer() {
    differInThreePlaces(*m_window, *m_controller);
    PointGrid* grid = m_window->pointGrid();
    const QColor plain = colourAt(grid, 4, PointRules::ColMode);

    m_window->action("mnuToolsComp")->trigger();
    QCOMPARE(m_op.last().text, QString("Point_No2 NG"));
    QCOMPARE(m_op.last().detailed.count('\n'), 2);
    CellMarks& marks = m_window->cellMarks();
    QVERIFY(marks.isMarked(CompareReport::FirstGrid, 2, PointRules::ColSpeed));
    QVERIFY(marks.isMarked(CompareReport::FirstGrid, 4, PointRules::ColMode));
    QVERIFY(marks.isMarked(CompareReport::ParameterGrid, PointParameters::rowOfParameter(35),
                           ParameterTableModel::ColSetting));
    QVERIFY(colourAt(grid, 4, PointRules::ColMode) != plain);
    QCOMPARE(colourAt(grid, 3, PointRules::ColMode), plain);

    // Locking the grid changes no cell's text: the marks stay. An edit ends them.
    m_window->points().setLocked(true);
    m_window->points().setLocked(false);
    QVERIFY(!marks.isEmpty());
    QVERIFY(m_window->points().setData(m_window->points().index(10, PointRules::ColNote), "x"));
    QVERIFY(marks.isEmpty());
    QTRY_COMPARE(colourAt(grid, 4, PointRules::ColMode), plain);

    // The next transfer ends them too, even one that changes no table.
    m_window->action("mnuToolsComp")->trigger();
    QVERIFY(!marks.isEmpty());
    m_window->action("mnuToolsIniORG")->trigger();
    QVERIFY(marks.isEmpty());
}

void TestCompareWindow::trafficLogFollowsAndSaves() {
    m_state.traffic->clear();
    m_window->action("mnuToolsComp")->trigger();
    m_window->action("mnuViewTraffic")->trigger();
    TrafficLogWindow* log = m_window->trafficLogWindow();
    QVERIFY(log && log->isVisible());
    auto* text = log->findChild<QPlainTextEdit*>("Txt_Traffic");
    QVERIFY(text->toPlainText().contains(" TX @READ PNT ,<CR><LF>\n"));
    QVERIFY(text->toPlainText().contains(" RX OK<CR><LF>"));
    const int lines = text->blockCount();

    m_window->action("mnuToolsComp")->trigger();
    QCOMPARE(text->blockCount(), lines * 2);
    // Asking again shows the same window.
    m_window->action("mnuViewTraffic")->trigger();
    QCOMPARE(m_window->trafficLogWindow(), log);

    const QString path = m_dir.filePath("traffic.txt");
    m_op.fileNames = {path};
    log->findChild<QPushButton*>("Cmd_Save")->click();
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(saved.readAll()), m_state.traffic->text());
    QCOMPARE(m_state.traffic->text().count('\n'), lines * 2);

    // A flood of noise: the window holds what the log holds, within the log's bound.
    m_state.traffic->received(QByteArray(1024 * 1024, '\x80'));
    m_state.traffic->endOfExchange();
    QVERIFY(m_state.traffic->chars() <= TrafficLog::MaxChars);
    QCOMPARE(text->toPlainText(), m_state.traffic->text().chopped(1));
}

QTEST_MAIN(TestCompareWindow)
#include "tst_comparewindow.moc"
