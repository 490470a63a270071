#include "DriveRig.h"
#include "PointWindowTest.h"
#include "ScriptedOperator.h"
#include "WindowRig.h"
#include "dialogs/ui/frmbar.h"
#include "link/Profile.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointdata/ui/PointGrid.h"
#include "pointops/ui/DrivePanel.h"
#include "pointops/ui/SizeDetectionPanel.h"
#include "pointops/ui/frmMain.h"
#include "pulse/ui/frmpulseMaindemo.h"
#include "simulator/SimulatedChannel.h"
#include "simulator/VirtualController.h"
#include "window/ui/DialogOperator.h"
#include "window/ui/IoLamps.h"
#include "window/ui/Lamp.h"
#include "window/ui/ParameterGrid.h"
#include "window/ui/errorRecord.h"
#include "window/ui/frmVer.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

// The point-input main window while the actuator moves: the jog buttons and closing the
// window during a motion, on the in-process virtual controller.
class TestMainWindowDrive : public PointWindowTest {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void jogThroughButtons();
    void jogPressLostStops_data();
    void jogPressLostStops();
    void closeDuringMotionStopsIt_data();
    void closeDuringMotionStopsIt();
    void stopLeavesTheFocusInTheDrivePanel();
    void sizeDetectionFailuresAfterSetting_data();
    void sizeDetectionFailuresAfterSetting();
};

void TestMainWindowDrive::init() {
    openWindow();
}

void TestMainWindowDrive::cleanup() {
    closeWindow();
}

void TestMainWindowDrive::jogThroughButtons() {
    DrivePanel* panel = m_window->drivePanel();
    QTest::mouseClick(panel->teachingOption(2), Qt::LeftButton);
    QCOMPARE(m_op.texts("yesno"),
             QStringList{"Return to origin? Please push stop switch if you stop operating."});
    QPushButton* plus = panel->button("Cmd_Op");
    QPushButton* minus = panel->button("Cmd_Cl");
    QVERIFY(plus->isEnabled() && minus->isEnabled());
    QVERIFY(!m_window->toolbar()->isEnabled());

    // Held: three steps, then the continuous jog until the release stops it. The operator
    // lets go once the continuous jog runs (the jog waits in the event loop meanwhile).
    m_controller->clearReceived();
    bool movingAtRelease = false;
    auto release =
        connect(m_controller, &VirtualController::lineHandled, this, [&](const QString& line) {
            if (!line.startsWith("@XINC"))
                return;
            QTimer::singleShot(150, this, [&] {
                movingAtRelease = m_controller->motionRunning();
                QTest::mouseRelease(plus, Qt::LeftButton);
            });
        });
    QTest::mousePress(plus, Qt::LeftButton);
    const QList<QByteArray> step = {"@X+ ,\r\n", "@?POS ,\r\n", "@?PRM 35,\r\n"};
    const QList<QByteArray> held =
        step + step + step +
        QList<QByteArray>{"@XINC ,\r\n", "\x03", "@?POS ,\r\n", "@?PRM 35,\r\n"};
    QTRY_COMPARE(controllerLines(m_controller->received()), held);
    disconnect(release);
    QVERIFY(movingAtRelease);
    QVERIFY(!m_controller->motionRunning());
    QCOMPARE(m_window->drive().jogSteps(), 0);
    const int stoppedAt = m_controller->position();
    QVERIFY(stoppedAt > 30 && stoppedAt < 2000);
    QCOMPARE(panel->box("Txt_Pos")->text(), QString::number(stoppedAt / 100.0, 'f', 2));

    // A short click: one step and no stop character.
    m_controller->clearReceived();
    QTest::mousePress(minus, Qt::LeftButton);
    QTest::mouseRelease(minus, Qt::LeftButton);
    const QList<QByteArray> click = {"@X- ,\r\n", "@?POS ,\r\n", "@?PRM 35,\r\n"};
    QTRY_COMPARE(controllerLines(m_controller->received()), click);
    QTest::qWait(400);
    QCOMPARE(controllerLines(m_controller->received()), click);
    QCOMPARE(m_controller->position(), stoppedAt - 10);
}

void TestMainWindowDrive::jogPressLostStops_data() {
    QTest::addColumn<bool>("windowLeft"); // the window deactivated, else the button's focus lost
    QTest::newRow("focus lost") << false;
    QTest::newRow("window left") << true;
}

// A held jog button whose press ends without a release (a box takes the focus, the window is
// left) stops the continuous jog as a release would.
void TestMainWindowDrive::jogPressLostStops() {
    QFETCH(bool, windowLeft);
    DrivePanel* panel = m_window->drivePanel();
    QTest::mouseClick(panel->teachingOption(2), Qt::LeftButton);
    QPushButton* plus = panel->button("Cmd_Op");
    QVERIFY(plus->isEnabled());
    m_controller->setParameter(24, "5"); // a continuous jog of a few seconds
    m_controller->clearReceived();
    auto lose =
        connect(m_controller, &VirtualController::lineHandled, this, [&](const QString& line) {
            if (!line.startsWith("@XINC"))
                return;
            QTimer::singleShot(150, this, [&] {
                if (windowLeft) {
                    QEvent deactivated(QEvent::ActivationChange);
                    QApplication::sendEvent(m_window, &deactivated);
                } else {
                    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
                    QApplication::sendEvent(plus, &out);
                }
            });
        });
    // Should the press not be lost, the button is let go later, so the test cannot hang.
    QTimer::singleShot(3000, plus, [plus] { QTest::mouseRelease(plus, Qt::LeftButton); });
    QTest::mousePress(plus, Qt::LeftButton);
    QTRY_VERIFY(m_controller->received().contains("@XINC ,\r\n"));
    QElapsedTimer clock;
    clock.start();
    QTRY_VERIFY(m_controller->received().contains("@XINC ,\r\n\x03"));
    QVERIFY(clock.elapsed() < 2000);
    disconnect(lose);
    QTRY_VERIFY(!m_controller->motionRunning() && m_window->drive().jogSteps() == 0);
    QVERIFY(!m_window->drive().jogHeld());
    QTest::mouseRelease(plus, Qt::LeftButton);
}

void TestMainWindowDrive::closeDuringMotionStopsIt_data() {
    QTest::addColumn<bool>("exit"); // File > Exit instead of closing the window
    QTest::addColumn<OperatorInteraction::Answer>("save");
    QTest::newRow("close, save cancelled") << false << OperatorInteraction::Answer::Cancel;
    QTest::newRow("Exit, save cancelled") << true << OperatorInteraction::Answer::Cancel;
    QTest::newRow("close, not saved") << false << OperatorInteraction::Answer::No;
}

// Closing asks about unsaved edits only once the actuator has been told to stop; a Cancel
// keeps the window, stopped and usable.
void TestMainWindowDrive::closeDuringMotionStopsIt() {
    QFETCH(bool, exit);
    QFETCH(OperatorInteraction::Answer, save);
    DrivePanel* panel = m_window->drivePanel();
    panel->button("Cmd_driv")->click();
    QVERIFY(panel->button("Cmd_Return")->isEnabled());
    m_window->points().setModified(true);
    m_controller->setMotionDuration(5000);
    m_controller->clearReceived();
    bool stoppedBeforeQuestion = false;
    m_op.onPrompt = [&](const ScriptedOperator::Prompt& p) {
        if (p.kind == "yesnocancel")
            stoppedBeforeQuestion = m_controller->received().contains("@ORG ,\r\n\x03");
    };
    m_op.answers = {OperatorInteraction::Answer::Yes, save};
    QTimer::singleShot(300, m_window, [this, exit] {
        if (exit)
            m_window->action("mnuFileExit")->trigger();
        else
            m_window->close();
    });
    QElapsedTimer clock;
    clock.start();
    panel->button("Cmd_Return")->click();
    m_op.onPrompt = nullptr;
    QVERIFY(clock.elapsed() < 2500);
    QCOMPARE(m_op.texts("yesnocancel"), QStringList{"Do you save data?"});
    QVERIFY(stoppedBeforeQuestion);
    QVERIFY(!m_controller->motionRunning());
    const bool closes = save == OperatorInteraction::Answer::No;
    QCOMPARE(m_op.endCalls, closes ? 1 : 0);
    if (closes)
        return;
    QVERIFY(m_window->isVisible());
    QVERIFY(panel->button("Cmd_Return")->isEnabled() && panel->button("Cmd_Setup")->isEnabled());
    QVERIFY(!panel->button("Cmd_Stop")->isEnabled());
}

// While the actuator moves nothing that opens a window or a dialog is usable; Stop, once it has
// stopped the motion and is disabled, hands the focus to the drive panel's next button.
void TestMainWindowDrive::stopLeavesTheFocusInTheDrivePanel() {
    DrivePanel* panel = m_window->drivePanel();
    panel->button("Cmd_driv")->click();
    m_controller->setMotionDuration(5000);
    QStringList usableWhileMoving;
    QTimer::singleShot(300, this, [&] {
        for (const char* item : {"mnuFileHistory", "mnuFileCompare", "mnuFileOpen"})
            if (m_window->action(item)->isEnabled())
                usableWhileMoving << item;
        QTest::mouseClick(panel->button("Cmd_Stop"), Qt::LeftButton);
    });
    m_op.answers = {OperatorInteraction::Answer::Yes};
    panel->button("Cmd_Return")->click();
    QVERIFY(usableWhileMoving.isEmpty());
    QVERIFY(!m_controller->motionRunning());
    QWidget* focus = m_window->focusWidget();
    QVERIFY2(focus == panel->button("Cmd_Start") || focus == panel->button("Cmd_Return"),
             focus ? qPrintable(focus->objectName()) : "no focus");
    // Operation mode itself locks Compare; History... is usable again.
    QVERIFY(m_window->action("mnuFileHistory")->isEnabled());
}

void TestMainWindowDrive::sizeDetectionFailuresAfterSetting_data() {
    QTest::addColumn<QString>("silent"); // not answered once the push was measured
    QTest::addColumn<QString>("refused");
    QTest::newRow("taught value not read") << "@?PRM"
                                           << "";
    QTest::newRow("return to origin refused") << ""
                                              << "@ORG";
}

// Setting leaves settei set; a size detection started afterwards still tells its failures.
void TestMainWindowDrive::sizeDetectionFailuresAfterSetting() {
    QFETCH(QString, silent);
    QFETCH(QString, refused);
    QTest::mouseClick(m_window->drivePanel()->button("Cmd_Setup"), Qt::LeftButton);
    QCOMPARE(m_window->operationState().settei, 1);
    SizeDetectionPanel* size = m_window->sizePanel();
    size->box("size_houkou")->setText("C");
    size->box("size_sokudo")->setText("5");
    size->box("size_tikara")->setText("3");
    connect(m_controller, &VirtualController::lineHandled, this, [&](const QString& line) {
        if (line.startsWith("@GMAX") && !silent.isEmpty())
            m_controller->setSilentFor(silent);
    });
    if (!refused.isEmpty())
        m_controller->setNgFor(refused);
    QTest::mouseClick(size->button("size_saidaisettei"), Qt::LeftButton);
    QCOMPARE(m_op.texts("message"),
             QStringList{"The communication error. Please check the connection."});
    QCOMPARE(m_op.last().title, QString("Size detection"));
}

QTEST_MAIN(TestMainWindowDrive)
#include "tst_mainwindowdrive.moc"
