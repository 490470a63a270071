// What both main windows share (MainWindowBase), seen on the point-input window as the
// operator uses it: the View menu, closing, command locking, the version query, a port that
// cannot open, the fit on small screens and the keys' shortcuts and tool tips.
#include "PointWindowTest.h"
#include "ScriptedOperator.h"
#include "pointops/ui/frmMain.h"
#include "pulse/ui/frmpulseMaindemo.h"
#include "simulator/SimulatedChannel.h"
#include "simulator/VirtualController.h"
#include "window/ui/frmVer.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace {
// Runs fn on the next modal dialog once it is shown (an exchange may run first).
void onNextModal(QObject* context, std::function<void(QWidget*)> fn) {
    auto* poll = new QTimer(context);
    QObject::connect(poll, &QTimer::timeout, context, [poll, fn] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            fn(w);
        }
    });
    poll->start(10);
}
} // namespace

class TestMainWindowBase : public PointWindowTest {
    Q_OBJECT
  private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void viewTogglesToolbarAndStatusBar();
    void closeWritesPortToIni();
    void commandLocking();
    void aboutShowsControllerVersion();
    void portThatCannotOpenShowsReason();
    void pulseWindowFrame();
    void windowsFitSmallScreens();
    void shortcutsAndKeyTips();
};

void TestMainWindowBase::viewTogglesToolbarAndStatusBar() {
    QAction* sb = m_window->action("mnuViewStatusBar");
    sb->trigger();
    QVERIFY(!sb->isChecked());
    QVERIFY(!m_window->statusBar()->isVisible());
    sb->trigger();
    QVERIFY(m_window->statusBar()->isVisible());
    QAction* tb = m_window->action("mnuViewToolbar");
    tb->trigger();
    QVERIFY(!m_window->toolbar()->isVisible());
    tb->trigger();
    QVERIFY(m_window->toolbar()->isVisible());
}

void TestMainWindowBase::closeWritesPortToIni() {
    QFile f(m_ini);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[Ports]\r\nCOM3=sim:point\r\n");
    f.close();
    // Beside the port name the status bar shows where the port leads.
    const auto target = [this] { return m_window->findChild<QLabel*>("Lbl_PortTarget")->text(); };
    QCOMPARE(target(), QString("\u2192 /dev/ttyS2")); // COM3 with no INI file: its default
    m_window->setPanelText(3, "COM3");
    QCOMPARE(target(), QString("\u2192 sim:point"));
    m_state.PortName = "COM5";
    m_window->close();
    QVERIFY(m_op.prompts.isEmpty());
    QCOMPARE(m_op.endCalls, 1);
    QCOMPARE(iniBytes(), QByteArray("[Ports]\r\nCOM3=sim:point\r\n[Data]\r\nCOM= 5\r\n"));
}

void TestMainWindowBase::commandLocking() {
    m_window->DisableCommands();
    QVERIFY(!m_window->toolbar()->isEnabled());
    QVERIFY(!m_window->action("mnuFileOpen")->isEnabled());
    QVERIFY(!m_window->action("mnuToolsCom")->isEnabled());
    m_window->EnableCommands();
    QVERIFY(m_window->toolbar()->isEnabled());
    QVERIFY(m_window->action("mnuFileOpen")->isEnabled());
    QVERIFY(m_window->toolbarKey("Open")->isEnabled());
    m_window->setEnabled(false);
    m_window->DisableToolbar();
    m_window->restoreWindow();
    QVERIFY(m_window->isEnabled());
    QVERIFY(m_window->toolbar()->isEnabled());
    // Restoring after an operation leaves locked commands locked, keys and items alike.
    m_window->DisableCommands();
    m_window->restoreWindow();
    QVERIFY(!m_window->toolbar()->isEnabled());
    // While anything moves, what opens a window or a dialog stays locked whatever the commands'
    // lock does; Exit (which stops first) does not.
    m_window->lockWhileMoving(true);
    m_window->EnableCommands();
    for (const char* item :
         {"mnuFileCompare", "mnuFileHistory", "mnuFileOpen", "mnuViewTraffic", "mnuHelpAbout"})
        QVERIFY2(!m_window->action(item)->isEnabled(), item);
    QVERIFY(m_window->action("mnuFileExit")->isEnabled());
    m_window->lockWhileMoving(false);
    QVERIFY(m_window->action("mnuFileCompare")->isEnabled());
    QVERIFY(m_window->action("mnuFileOpen")->isEnabled());
}

void TestMainWindowBase::aboutShowsControllerVersion() {
    m_controller->setVersion("V1.25 2026");
    QString shown;
    onNextModal(this, [&](QWidget* w) {
        auto* box = qobject_cast<frmVer*>(w);
        QVERIFY(box);
        shown = box->findChild<QLabel*>("lblControllerVersion")->text();
        box->accept();
    });
    m_window->About();
    QCOMPARE(m_window->controllerVersion(), QString("V1.2"));
    QCOMPARE(shown, QString("Controller version: V1.2"));
    QVERIFY(m_window->findChild<QLineEdit*>("Txt_ComS")->text().startsWith("@?VER ,"));
}

void TestMainWindowBase::portThatCannotOpenShowsReason() {
    m_channel->setOpenFailure("/dev/ttyS2: No such file or directory");
    onNextModal(this, [](QWidget* box) { box->close(); });
    m_window->About();
    QCOMPARE(m_window->panelText(1), QString("/dev/ttyS2: No such file or directory"));
    QVERIFY(m_window->isEnabled());
}

void TestMainWindowBase::pulseWindowFrame() {
    VirtualController pulse(VirtualController::Kind::Pulse);
    SimulatedChannel channel(pulse);
    m_state.PortName = "COM6";
    frmpulseMaindemo window(m_state, m_op, channel, m_ini);
    QCOMPARE(window.windowTitle(), QString("QR_Series QRX5 Support-Software "));
    QCOMPARE(window.panelText(3), QString("COM6"));
    window.close();
    QCOMPARE(m_op.endCalls, 1);
    QCOMPARE(iniBytes(), QByteArray("[Data]\r\nCOM= 6\r\n"));
}

// Both main windows open fully visible on a 1280x800 screen and stay usable (their layouts
// at or above their minimum size) on 1024x700, window frame included.
void TestMainWindowBase::windowsFitSmallScreens() {
    VirtualController pulse(VirtualController::Kind::Pulse);
    SimulatedChannel channel(pulse);
    frmpulseMaindemo pulseWindow(m_state, m_op, channel, m_ini);
    const QSize frame(MainWindowBase::FrameWidth, MainWindowBase::FrameHeight);
    for (QMainWindow* w :
         {static_cast<QMainWindow*>(m_window), static_cast<QMainWindow*>(&pulseWindow)}) {
        const QSize minimum = w->minimumSizeHint() + frame;
        QVERIFY2(minimum.width() <= 1024 && minimum.height() <= 700,
                 qPrintable(QString("%1: %2x%3")
                                .arg(w->objectName())
                                .arg(minimum.width())
                                .arg(minimum.height())));
        const QRect screen(0, 0, 1280, 800);
        QVERIFY(screen.contains(
            MainWindowBase::fittedFrame({1360, 800}, w->minimumSizeHint(), screen)));
    }
}

// The standard shortcuts stand beside the File captions; every toolbar key says in its tool
// tip which menu item it runs.
void TestMainWindowBase::shortcutsAndKeyTips() {
    for (const char* name : {"mnuFileOpen", "mnuFileSave", "mnuFilePrint", "mnuFileExit"})
        QVERIFY2(!m_window->action(name)->shortcut().isEmpty(), name);
    QCOMPARE(m_window->action("mnuFileOpen")->shortcut(), QKeySequence(QKeySequence::Open));
    const QString saveAs =
        m_window->action("mnuFileSave")->shortcut().toString(QKeySequence::NativeText);
    QCOMPARE(m_window->toolbarKey("SaveAS")->toolTip(), QString("Save As... (%1)").arg(saveAs));
    QCOMPARE(m_window->toolbarKey("Cmpare")->toolTip(), QString("Compare"));
    QCOMPARE(m_window->toolbarKey("Window")->toolTip(), QString("Display Parameters"));
    m_window->toolbarKey("Window")->trigger();
    QCOMPARE(m_window->toolbarKey("Window")->toolTip(), QString("Display Points"));
}

QTEST_MAIN(TestMainWindowBase)
#include "tst_mainwindowbase.moc"
