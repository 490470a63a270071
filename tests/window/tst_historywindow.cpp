// File > History... of a main window: a finished Receive becomes a version of the window's
// port, which compares with the tables on screen and opens as new unsaved tables (one undo
// step); a transmit that ended part-way says so in the status bar.
#include "DialogDriving.h"
#include "WindowRig.h"
#include "history/ControllerHistory.h"
#include "pointdata/PointTableModel.h"
#include "pointops/ui/frmMain.h"

#include <QAction>
#include <QTreeWidget>

class TestHistoryWindow final : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void versionComparesAndOpens();
    void partWayTransmitIsSaid();

  private:
    QTemporaryDir m_data;
};

void TestHistoryWindow::initTestCase() {
    // This test's own history, empty at its start.
    qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
}

void TestHistoryWindow::versionComparesAndOpens() {
    WindowRig<frmMain> rig;
    rig.start(VirtualController::Kind::Point, "COM1");
    frmMain& w = *rig.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    rig.controller->memory().setPoint(2, {"A", "5.00", "30", ""});
    w.action("mnuToolsRecP")->trigger();
    QVERIFY(w.controllerHistory().waitDone(5000));
    QVERIFY2(w.panelText(1).startsWith("Recorded in the history: COM1 Receive(Points)"),
             qPrintable(w.panelText(1)));

    PointTableData edited = w.points().table();
    edited[2].speed = "35";
    w.points().setTable(edited);
    rig.op.answers = {OperatorInteraction::Answer::No}; // "Do you save data?" before the Open
    int rows = -1;
    whenModal([&](QWidget* dialog) {
        rows = child<QTreeWidget>(dialog, "Lst_Versions")->topLevelItemCount();
        click(dialog, "Cmd_HistoryCompare");
        click(dialog, "Cmd_HistoryOpen");
    });
    w.action("mnuFileHistory")->trigger();

    QCOMPARE(rows, 1);
    QVERIFY(rig.op.texts("message").contains("Point_No2 NG"));
    QCOMPARE(w.points().table()[2].speed, QString("30"));
    QVERIFY(w.points().modified());
    w.Undo();
    QCOMPARE(w.points().table()[2].speed, QString("35"));
    rig.stop();
}

void TestHistoryWindow::partWayTransmitIsSaid() {
    WindowRig<frmMain> rig;
    rig.start(VirtualController::Kind::Point, "COM2");
    frmMain& w = *rig.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    PointTableData table{};
    table[0] = {"A", "1.00", "10", "", ""};
    table[1] = {"A", "2.00", "10", "", ""};
    table[2] = {"A", "3.00", "10", "", ""};
    w.points().setTable(table);
    // A refusal may be the late answer to the line before it: line 2 is not counted as held.
    rig.controller->setNgForDataLine(3);
    w.action("mnuToolsTranP")->trigger();
    QVERIFY(w.controllerHistory().waitDone(5000));
    QCOMPARE(w.panelText(1), QString("The history was not updated: the points were written only "
                                     "in part (1 of 3), so what the controller holds is not "
                                     "known."));
    QVERIFY(w.controllerHistory().versions("COM2").isEmpty());
    rig.stop();
}

QTEST_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
