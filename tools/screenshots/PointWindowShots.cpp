// The point-input window: its grids, Setting and Operation mode, the carriage, the error
// history, Start's question and a motion without its end reply, the status bar's port, a
// controller that does not answer, the Compare report and the traffic log.
#include "PointWindowTest.h"
#include "Shots.h"
#include "dialogs/ui/frmstop.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/ui/DrivePanel.h"
#include "pointops/ui/frmMain.h"
#include "window/ui/DialogOperator.h"
#include "window/ui/IoLamps.h"
#include "window/ui/Lamp.h"
#include "window/ui/TrafficLogWindow.h"
#include "window/ui/errorRecord.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
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
} // namespace

class PointWindowShots final : public PointWindowTest {
    Q_OBJECT
  private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }
    void windowAndPanels();
    void statusBarPort();
    void silentController();
    void compareReportAndTrafficLog();
};

void PointWindowShots::windowAndPanels() {
    m_window->resize(1264, 752); // as it opens on a 1280x800 screen
    QTest::qWait(50);
    Shots::save(m_window, "point-window-points.png");
    m_window->toolbarKey("Window")->trigger();
    QTest::qWait(50);
    Shots::save(m_window, "point-window-parameters.png");
    m_window->toolbarKey("Window")->trigger();

    // Setting mode with a few points.
    PointTableData table;
    table[0] = {"A", "0.00", "50", "", "home"};
    table[1] = {"A", "10.00", "80", "", "pick"};
    table[2] = {"U", "15.00", "30", "5", "press"};
    table[3] = {"O", "", "10", "3", "push back"};
    m_window->points().setTable(table);
    QTest::qWait(50);
    Shots::save(m_window, "point-window-setting.png");

    // Operation mode with lamps lit, mid-stroke.
    m_controller->setServoOn(true);
    m_controller->setOriginDone(true);
    m_controller->setInputs("0000101101");
    m_controller->setPosition(1000);
    DrivePanel* panel = m_window->drivePanel();
    panel->button("Cmd_driv")->click();
    QTRY_COMPARE(panel->box("Txt_NowPosi")->text(), QString("10.00"));
    QVERIFY(m_window->ioLamps()->lamp(3)->isOn());
    Shots::save(m_window, "point-window-operation.png");

    // The carriage at the origin, mid-stroke and full stroke, one under the other.
    QGroupBox* view = panel->frame(DrivePanel::Frame::View);
    QList<QPixmap> shots;
    for (const int position : {0, 1000, 2000}) {
        m_controller->setPosition(position);
        QTRY_COMPARE(panel->box("Txt_NowPosi")->text(), QString::number(position / 100.0, 'f', 2));
        shots << view->grab();
    }
    QPixmap sheet(shots[0].width(), shots[0].height() * 3);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (int i = 0; i < 3; ++i)
        painter.drawPixmap(0, i * shots[0].height(), shots[i]);
    painter.end();
    Shots::save(sheet, "carriage-positions.png");
    panel->button("Cmd_Setup")->click();

    m_controller->setErrorHistory({"E11:OVER CURRENT", "E24:ENCODER ERROR", "E31:OVERLOAD"});
    m_window->ErrorHistoryDisplay();
    QTest::qWait(50);
    Shots::save(m_window->errorRecordWindow(), "error-history.png");

    // Start's question with where the carriage goes, and a motion that got no end reply.
    DialogOperator boxes(m_window);
    const auto grabNext = [&](const char* name) {
        Shots::onNextModal(this, [name](QWidget* box) {
            Shots::save(box, name);
            box->close();
        });
    };
    grabNext("start-question.png");
    boxes.informativeYesNo("Start", " Do you start?", OperatorInteraction::Icon::Question,
                           "Point 2: mode A, position 12.00 mm (as the controller holds it)");
    grabNext("motion-without-end.png");
    boxes.informativeMessage("Point", "The communication error. Please check the connection.",
                             OperatorInteraction::Icon::None,
                             "COM3 \u2192 sim:point: no answer within 22 s\nThe stop command was "
                             "sent and answered.");
    // The STOP dialog over the window, as a teaching's return to origin shows it.
    frmstop& stop = m_window->stopDialog();
    stop.show();
    QTest::qWait(50);
    Shots::save(Shots::over(m_window, stop.grab()), "stop-dialog.png");
    stop.hide();
    grabNext("stop-not-answered.png");
    boxes.informativeMessage("Org", "The communication error. Please check the connection.",
                             OperatorInteraction::Icon::None,
                             "COM3 \u2192 sim:point: the stop command was sent but not answered "
                             "within 1.5 s\nThe actuator may still be moving.");
}

// Beside the port name the status bar shows where the port leads.
void PointWindowShots::statusBarPort() {
    QFile f(m_ini);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[Ports]\r\nCOM3=sim:point\r\n");
    f.close();
    m_window->setPanelText(3, "COM3");
    QCOMPARE(m_window->findChild<QLabel*>("Lbl_PortTarget")->text(), QString("\u2192 sim:point"));
    Shots::save(m_window->statusBar(), "status-bar-port.png");
}

// Operation mode with a controller that stopped answering: told once, then the lamps hatched
// and the notice in the status bar while the monitor asks on quietly.
void PointWindowShots::silentController() {
    m_window->resize(1264, 752);
    m_controller->setServoOn(true);
    m_controller->setInputs("0000101101");
    m_window->drivePanel()->button("Cmd_driv")->click();
    QTRY_VERIFY(m_window->ioLamps()->lamp(3)->isOn());
    m_controller->setSilent(true);
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->silentNotice().isEmpty(), 10000);
    QCOMPARE(m_op.texts("message").size(), 1);
    QTest::qWait(50);
    Shots::save(m_window, "point-window-silent.png");
    m_controller->setSilent(false);
    m_window->drivePanel()->button("Cmd_Setup")->click();
}

// The compare report over the window with its marks, then the traffic log of that Compare.
void PointWindowShots::compareReportAndTrafficLog() {
    m_rig.window.reset(); // the same controller, seen through the real dialogs, on COM1
    m_state.PortName = "COM1";
    DialogOperator op;
    frmMain window(m_state, op, *m_channel, m_ini);
    op.setParentGetter([&window] { return &window; });
    window.resize(1280, 800);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    differInThreePlaces(window, *m_controller);

    const QPixmap box = Shots::messageBoxOf([&window] { window.action("mnuToolsComp")->trigger(); },
                                            "Do you compare data?");
    QVERIFY(!box.isNull());
    Shots::save(Shots::over(&window, box), "compare-report.png");

    window.action("mnuViewTraffic")->trigger();
    window.trafficLogWindow()->resize(760, 420);
    QTest::qWait(50);
    Shots::save(window.trafficLogWindow(), "traffic-log.png");
}

int pointWindowShots(const QStringList& args) {
    PointWindowShots shots;
    return QTest::qExec(&shots, args);
}

#include "PointWindowShots.moc"
