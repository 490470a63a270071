#include "DriveRig.h"
#include "FileBytes.h"
#include "PointWindowTest.h"
#include "ScriptedOperator.h"
#include "WindowRig.h"
#include "dialogs/ui/frmbar.h"
#include "link/Profile.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointdata/SettingsFile.h"
#include "pointdata/ui/PointGrid.h"
#include "pointops/ui/DrivePanel.h"
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
#include <QStringEncoder>
#include <QTemporaryDir>
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

// The point-input main window as the operator uses it, on the in-process virtual controller.
class TestMainWindow : public PointWindowTest {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void captionsAndStart();
    void windowKeySwitchesGrids();
    void viewTogglesToolbarAndStatusBar();
    void exitWithUnsavedChangesCancelKeepsWindow();
    void exitWithUnsavedChangesNoWritesIniAndEnds();
    void closeWritesPortToIni();
    void commandLocking();
    void parameterEditRefreshesDependentDisplays();
    void aboutShowsControllerVersion();
    void portThatCannotOpenShowsReason();
    void toolbarRunsTransfers();
    void progressCancelEndsASilentWait();
    void pulseWindowFrame();
    void errorHistoryFromToolbar();
    void saveAsKeepsTheFilesCodePage();
    void screenshots();
    void windowsFitSmallScreens();
    void shortcutsAndKeyTips();
    void screenshotsOfTheScreen();
};

void TestMainWindow::init() {
    openWindow();
}

void TestMainWindow::cleanup() {
    closeWindow();
}

void TestMainWindow::captionsAndStart() {
    QCOMPARE(m_window->windowTitle(), QString("QR_Series QRX Support-Software "));
    QCOMPARE(m_window->panelText(3), QString("COM3"));
    QCOMPARE(m_window->panelText(2), QString("Origin point shift: 0.00"));
    QVERIFY(m_window->pointGridShown());
    QVERIFY(m_window->action("mnuViewGrid1")->isChecked());
    QVERIFY(!m_window->points().modified());
    QCOMPARE(m_window->parameters().actuatorType(), QString("30"));
    QCOMPARE(m_window->drivePanel()->box("Txt_spd")->text(), QString("10"));
    QCOMPARE(m_window->drivePanel()->box("Txt_Dist")->text(), QString("2.00"));
    QCOMPARE(m_window->drivePanel()->box("Txt_Limit")->text(), QString("2.00"));
    QCOMPARE(m_window->drivePanel()->box("Txt_Pos")->text(), QString("0.00"));
    const QStringList keys = {"NewFile",
                              "Open",
                              "SaveAS",
                              "Print",
                              "ComSetup",
                              "Transmit(Parameters)",
                              "Transmit(Point)",
                              "Receive(Parameters)",
                              "Receive(Point)",
                              "Cmpare",
                              "Exit",
                              "Errorhistorydisplay",
                              "Init(Point)",
                              "Window"};
    for (const QString& key : keys)
        QVERIFY2(m_window->toolbarKey(key), qPrintable(key));
    QCOMPARE(m_window->action("mnuFileSave")->text(), QString("Save As(&A)..."));
    QCOMPARE(m_window->action("mnuHelpAbout")->text(), QString("Version(&A)"));
    QCOMPARE(m_window->action("mnuViewStatusBar")->text(), QString("Statusbar(&B)"));
}

void TestMainWindow::windowKeySwitchesGrids() {
    QAction* key = m_window->toolbarKey("Window");
    key->trigger();
    QVERIFY(!m_window->pointGridShown());
    QVERIFY(m_window->parameterGrid()->isVisible());
    QVERIFY(m_window->action("mnuViewGrid2")->isChecked());
    QVERIFY(!m_window->action("mnuViewGrid1")->isChecked());
    key->trigger();
    QVERIFY(m_window->pointGridShown());
    QVERIFY(m_window->pointGrid()->isVisible());
    QVERIFY(m_window->action("mnuViewGrid1")->isChecked());
}

void TestMainWindow::viewTogglesToolbarAndStatusBar() {
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

void TestMainWindow::exitWithUnsavedChangesCancelKeepsWindow() {
    m_window->points().setModified(true);
    m_op.answers = {OperatorInteraction::Answer::Cancel};
    m_window->toolbarKey("Exit")->trigger();
    QCOMPARE(m_op.texts("yesnocancel"), QStringList{"Do you save data?"});
    QCOMPARE(m_op.last().icon, OperatorInteraction::Icon::Question);
    QVERIFY(m_window->isVisible());
    QVERIFY(m_window->points().modified());
    QCOMPARE(m_op.endCalls, 0);
    QVERIFY(iniBytes().isEmpty());
}

void TestMainWindow::exitWithUnsavedChangesNoWritesIniAndEnds() {
    m_window->points().setModified(true);
    m_op.answers = {OperatorInteraction::Answer::No};
    m_window->action("mnuFileExit")->trigger();
    QCOMPARE(m_op.texts("yesnocancel"), QStringList{"Do you save data?"}); // asked once only
    QCOMPARE(m_op.endCalls, 1);
    QCOMPARE(iniBytes(), QByteArray("[Data]\r\nCOM= 3\r\n"));
}

void TestMainWindow::closeWritesPortToIni() {
    QFile f(m_ini);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[Ports]\r\nCOM3=sim:point\r\n");
    f.close();
    // Beside the port name the status bar shows where the port leads.
    const auto target = [this] { return m_window->findChild<QLabel*>("Lbl_PortTarget")->text(); };
    QCOMPARE(target(), QString("\u2192 /dev/ttyS2")); // COM3 with no INI file: its default
    m_window->setPanelText(3, "COM3");
    QCOMPARE(target(), QString("\u2192 sim:point"));
    if (const QString shots = qEnvironmentVariable("QRX5_SCREENSHOT_DIR"); !shots.isEmpty())
        QVERIFY(m_window->statusBar()->grab().save(QDir(shots).filePath("status-bar-port.png")));
    m_state.PortName = "COM5";
    m_window->close();
    QVERIFY(m_op.prompts.isEmpty());
    QCOMPARE(m_op.endCalls, 1);
    QCOMPARE(iniBytes(), QByteArray("[Ports]\r\nCOM3=sim:point\r\n[Data]\r\nCOM= 5\r\n"));
}

void TestMainWindow::commandLocking() {
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
    m_window->RestoreWindow();
    QVERIFY(m_window->isEnabled());
    QVERIFY(m_window->toolbar()->isEnabled());
}

void TestMainWindow::parameterEditRefreshesDependentDisplays() {
    m_window->ShowParameterGrid();
    ParameterTableModel& params = m_window->parameters();
    const int row35 = 18; // the origin point shift's row
    QVERIFY(params.setData(params.index(row35, 1), "-1250"));
    QCOMPARE(m_window->panelText(2), QString("Origin point shift: -12.50"));
    QVERIFY(m_window->points().modified());
    QCOMPARE(m_window->points().tagText(), QString("Change"));
}

void TestMainWindow::aboutShowsControllerVersion() {
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

void TestMainWindow::portThatCannotOpenShowsReason() {
    m_channel->setOpenFailure("/dev/ttyS2: No such file or directory");
    onNextModal(this, [](QWidget* box) { box->close(); });
    m_window->About();
    QCOMPARE(m_window->panelText(1), QString("/dev/ttyS2: No such file or directory"));
    QVERIFY(m_window->isEnabled());
}

void TestMainWindow::toolbarRunsTransfers() {
    PointTableData table;
    table[2] = {"A", "5.00", "30", "", "note"};
    m_window->points().setTable(table);
    m_window->toolbarKey("Transmit(Point)")->trigger();
    QCOMPARE(m_op.texts("message").constLast(), QString("Transmitting has finished."));
    QVERIFY(m_window->isEnabled());
    QVERIFY(m_window->toolbar()->isEnabled());
    m_window->points().clear();
    m_window->toolbarKey("Receive(Point)")->trigger();
    QCOMPARE(m_op.texts("message").constLast(), QString("Receiving has finished."));
    QCOMPARE(m_window->points().point(2).position, QString("5.00"));
    QVERIFY(m_window->isEnabled());
    QVERIFY(m_window->points().modified());
    // A silent controller: the time-out is reported with the operation's title and the
    // window is usable again.
    m_controller->setSilent(true);
    m_window->toolbarKey("Receive(Parameters)")->trigger();
    QCOMPARE(m_op.last().title, QString("Parameter reception"));
    QCOMPARE(m_op.last().text, QString("The communication error. Please check the connection."));
    QCOMPARE(m_op.last().informative, QString("COM3: no answer within 5 s"));
    QVERIFY(m_window->isEnabled());
    QVERIFY(m_window->toolbar()->isEnabled());
}

// The Cancel button of the progress dialog reaches the exchange that waits for a silent
// controller: the operation ends on its cancel path at once.
void TestMainWindow::progressCancelEndsASilentWait() {
    m_controller->setSilentFor("@READ PNT");
    QTimer::singleShot(200, this, [this] {
        QTest::mouseClick(m_window->progress().findChild<QPushButton*>("Com_Cancel"),
                          Qt::LeftButton);
    });
    QElapsedTimer t;
    t.start();
    m_window->toolbarKey("Receive(Point)")->trigger();
    QVERIFY(t.elapsed() < 5000);
    QCOMPARE(m_op.texts("message"), QStringList{"Data un-transmitting."});
    QCOMPARE(m_window->progress().tag(), QString("0"));
    QVERIFY(!m_window->progress().isVisible());
    QVERIFY(m_window->isEnabled());
}

void TestMainWindow::pulseWindowFrame() {
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

void TestMainWindow::errorHistoryFromToolbar() {
    m_controller->setErrorHistory({"E12:OVERLOAD", "E13:ENCODER"});
    QVERIFY(m_window->action("mnuToolsBag")->isEnabled());
    m_window->toolbarKey("Errorhistorydisplay")->trigger();
    errorRecord* record = m_window->errorRecordWindow();
    QVERIFY(record && record->isVisible());
    QCOMPARE(record->entries().mid(0, 3), (QStringList{"E12:OVERLOAD", "E13:ENCODER", ""}));
    QVERIFY(m_window->isEnabled() && m_window->toolbar()->isEnabled());
    // Saving the record leaves the main window's caption to the settings file.
    const QString caption = m_window->windowTitle();
    const QString path = m_rig.dir.filePath("errors.txt");
    m_op.fileNames = {path};
    record->save();
    QVERIFY(QFile::exists(path));
    QCOMPARE(m_window->windowTitle(), caption);
    // A second display replaces the first window.
    m_window->action("mnuToolsBag")->trigger();
    QTRY_VERIFY(m_window->findChildren<errorRecord*>().size() == 1);
}

// A file written on a Japanese system, opened and saved again through the File menu, keeps
// every byte: the window's Save As writes in the code page Open found.
void TestMainWindow::saveAsKeepsTheFilesCodePage() {
    PointTableData points{};
    points[0] = {"A", "10.00", "50", "", QString::fromUtf8("位置決め①")};
    points[9] = {"C", "", "5", "3", QString::fromUtf8("ﾜｰｸ押し当て")};
    QStringEncoder japanese("windows-31j");
    const QByteArray original = japanese.encode(
        QString::fromUtf8(SettingsFile::write(points, m_window->parameters().table())));
    QVERIFY(!japanese.hasError());
    const QString in = m_rig.dir.filePath("japanese.csv");
    const QString out = m_rig.dir.filePath("again.csv");
    QVERIFY(writeFileBytes(in, original));
    m_op.fileNames = {in, out};

    m_window->action("mnuFileOpen")->trigger();
    QCOMPARE(m_window->points().point(0).note, points[0].note);
    m_window->action("mnuFileSave")->trigger();

    QCOMPARE(fileBytes(out), original);
    QCOMPARE(m_window->windowTitle(), "QRX5 Support-Software" + QDir::toNativeSeparators(out));
    QCOMPARE(m_op.texts("message"), (QStringList{"    Complete.", "    Complete."}));
}

void TestMainWindow::screenshots() {
    const QString dir = qEnvironmentVariable("QRX5_SCREENSHOT_DIR");
    if (dir.isEmpty())
        QSKIP("set QRX5_SCREENSHOT_DIR to write screenshots");
    const auto save = [&](QWidget* w, const char* name) {
        QVERIFY(w->grab().save(QDir(dir).filePath(QLatin1String(name))));
    };
    m_window->resize(1264, 752); // as it opens on a 1280x800 screen
    QTest::qWait(50);
    save(m_window, "point-window-points.png");
    m_window->toolbarKey("Window")->trigger();
    QTest::qWait(50);
    save(m_window, "point-window-parameters.png");
    m_window->toolbarKey("Window")->trigger();

    // Setting mode with a few points.
    PointTableData table;
    table[0] = {"A", "0.00", "50", "", "home"};
    table[1] = {"A", "10.00", "80", "", "pick"};
    table[2] = {"U", "15.00", "30", "5", "press"};
    table[3] = {"O", "", "10", "3", "push back"};
    m_window->points().setTable(table);
    QTest::qWait(50);
    save(m_window, "point-window-setting.png");

    // Operation mode with lamps lit, mid-stroke.
    m_controller->setServoOn(true);
    m_controller->setOriginDone(true);
    m_controller->setInputs("0000101101");
    m_controller->setPosition(1000);
    DrivePanel* panel = m_window->drivePanel();
    panel->button("Cmd_driv")->click();
    QTRY_COMPARE(panel->box("Txt_NowPosi")->text(), QString("10.00"));
    QVERIFY(m_window->ioLamps()->lamp(3)->isOn());
    save(m_window, "point-window-operation.png");

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
    QVERIFY(sheet.save(QDir(dir).filePath("carriage-positions.png")));
    panel->button("Cmd_Setup")->click();

    m_controller->setErrorHistory({"E11:OVER CURRENT", "E24:ENCODER ERROR", "E31:OVERLOAD"});
    m_window->ErrorHistoryDisplay();
    QTest::qWait(50);
    save(m_window->errorRecordWindow(), "error-history.png");

    // Start's question with where the carriage goes, and a motion that got no end reply.
    DialogOperator boxes(m_window);
    const auto grabNext = [&](const char* name) {
        onNextModal(this, [&, name](QWidget* box) {
            save(box, name);
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
}

// Both main windows open fully visible on a 1280x800 screen and stay usable (their layouts
// at or above their minimum size) on 1024x700, window frame included.
void TestMainWindow::windowsFitSmallScreens() {
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
void TestMainWindow::shortcutsAndKeyTips() {
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

// Under X (Xvfb with a window manager) the whole screen is saved: run once per screen size.
void TestMainWindow::screenshotsOfTheScreen() {
    const QString dir = qEnvironmentVariable("QRX5_SCREENSHOT_DIR");
    if (dir.isEmpty() || QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("run under X with QRX5_SCREENSHOT_DIR to save screen shots");
    QScreen* screen = QGuiApplication::primaryScreen();
    const QString size = QString("%1x%2").arg(screen->size().width()).arg(screen->size().height());
    const auto shot = [&](const QString& name) {
        QTest::qWait(400);
        QVERIFY(screen->grabWindow(0).save(QDir(dir).filePath(name + "-" + size + ".png")));
    };
    PointTableData table;
    table[0] = {"A", "0.00", "50", "", "home"};
    table[1] = {"A", "10.00", "80", "", "pick"};
    table[2] = {"U", "15.00", "30", "5", "press"};
    table[3] = {"O", "", "10", "3", "push back"};
    m_window->points().setTable(table);
    shot("point-window");
    // During a transfer the window is disabled: the table stays readable.
    m_window->setEnabled(false);
    m_window->progress().showModeless();
    shot("point-window-transfer");
    m_window->progress().hide();
    m_window->setEnabled(true);
    DialogOperator op(m_window);
    QTimer::singleShot(0, this, [&] {
        shot("message-box");
        QApplication::activeModalWidget()->close();
    });
    op.informativeMessage(
        "Point reception", "The communication error. Please check the connection.",
        OperatorInteraction::Icon::None, "COM1 \u2192 /dev/ttyS0: no answer within 5 s");
    // A short text under a long title: the box is as wide as its title.
    QTimer::singleShot(0, this, [&] {
        shot("message-box-short");
        QApplication::activeModalWidget()->close();
    });
    op.message("Parameter initialization", "Stop", OperatorInteraction::Icon::Warning);
    m_window->hide();
    VirtualController pulse(VirtualController::Kind::Pulse);
    SimulatedChannel channel(pulse);
    frmpulseMaindemo pulseWindow(m_state, m_op, channel, m_ini);
    pulseWindow.show();
    shot("pulse-window");
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
