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
#include "window/ui/DialogOperator.h"
#include "window/ui/TrafficLogWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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
    void screenshot();

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

// The compare report over the window with its marks, for the README.
void TestCompareWindow::screenshot() {
    const QString dir = qEnvironmentVariable("QRX5_SCREENSHOT_DIR");
    if (dir.isEmpty())
        QSKIP("set QRX5_SCREENSHOT_DIR to write screenshots");
    delete m_window;
    DialogOperator op;
    m_window = new frmMain(m_state, op, *m_channel, m_dir.filePath("QRX5.ini"));
    op.setParentGetter([this] { return m_window; });
    m_window->resize(1280, 800);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    differInThreePlaces(*m_window, *m_controller);

    QPixmap box;
    auto* poll = new QTimer(m_window);
    connect(poll, &QTimer::timeout, this, [&] {
        auto* message = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!message)
            return;
        if (message->text() == "Do you compare data?") {
            message->button(QMessageBox::Yes)->click();
            return;
        }
        poll->stop();
        for (QAbstractButton* b : message->buttons())
            if (message->buttonRole(b) == QMessageBox::ActionRole)
                b->click(); // Show Details...
        QTimer::singleShot(100, message, [&box, message] {
            box = message->grab();
            message->accept();
        });
    });
    poll->start(20);
    m_window->action("mnuToolsComp")->trigger();
    QVERIFY(!box.isNull());

    QPixmap sheet = m_window->grab();
    QPainter painter(&sheet);
    const QPoint at((sheet.width() - box.width()) / 2, (sheet.height() - box.height()) / 2);
    painter.fillRect(QRect(at, box.size()).adjusted(-1, -1, 1, 1), Qt::darkGray);
    painter.drawPixmap(at, box);
    painter.end();
    QVERIFY(sheet.save(QDir(dir).filePath("compare-report.png")));

    m_window->action("mnuViewTraffic")->trigger();
    m_window->trafficLogWindow()->resize(760, 420);
    QTest::qWait(50);
    QVERIFY(m_window->trafficLogWindow()->grab().save(QDir(dir).filePath("traffic-log.png")));
}

QTEST_MAIN(TestCompareWindow)
#include "tst_comparewindow.moc"
