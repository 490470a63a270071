// The pulse-train main window as the operator uses it, driven through its real menu items and
// toolbar keys, on the in-process virtual controller.
#include "RecordingSurface.h"
#include "ScriptedOperator.h"
#include "WindowRig.h"
#include "pulse/PulseDrive.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/ZoneTableModel.h"
#include "pulse/ui/PulsePanel.h"
#include "pulse/ui/ZoneGrid.h"
#include "pulse/ui/frmpulseMaindemo.h"
#include "simulator/SimulatedChannel.h"
#include "simulator/VirtualController.h"
#include "speedcalc/ui/frmkeisan.h"
#include "window/ui/CarriageFigure.h"
#include "window/ui/IoLamps.h"
#include "window/ui/Lamp.h"
#include "window/ui/PanelWidgets.h"
#include "window/ui/ParameterGrid.h"
#include "window/ui/TrafficLogWindow.h"
#include "window/ui/errorRecord.h"
#include "window/ui/frmVer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

using Answer = OperatorInteraction::Answer;

class TestPulseWindow : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void startsInSettingMode();
    void panelControls_data();
    void panelControls();
    void menusAndToolbarKeys();
    void fileKeysRunTheSequences();
    void printKeyPrintsTheList();
    void viewAndVersion();
    void exitSavesThenStoresThePort();
    void parameterEditShowsOriginShift();
    void toolKeysRunTransfersAndMarkDifferences();
    void errorHistoryAndOriginReset();
    void speedCalculationKeepsTheWindowDisabled();
    void operationModeThroughTheButtons();
    void positionBoxKeys_data();
    void positionBoxKeys();
    void escapeEndsTeaching();
    void fitsTheScreen();

  private:
    QPushButton* button(const QString& name) const { return m_window->panel()->button(name); }

    WindowRig<frmpulseMaindemo> m_rig;
    ScriptedOperator& m_op = m_rig.op;
    frmpulseMaindemo* m_window = nullptr;
};

void TestPulseWindow::init() {
    m_rig.start(VirtualController::Kind::Pulse, "COM6");
    m_window = m_rig.window.get();
    m_window->resize(1280, 800);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestPulseWindow::cleanup() {
    m_rig.stop();
}

void TestPulseWindow::startsInSettingMode() {
    QCOMPARE(m_window->windowTitle(), QString("QR_Series QRX5 Support-Software "));
    QCOMPARE(m_window->panelText(2), QString("Origin point shift: 0.00"));
    QCOMPARE(m_window->panelText(3), QString("COM6"));
    QVERIFY(!m_window->zones().modified());
    QCOMPARE(m_window->parameters().actuatorType(), QString("30"));
    auto* monitor = m_window->findChild<QTimer*>("Tim_IO_Mon");
    QVERIFY(monitor);
    QCOMPARE(monitor->interval(), 700);
    QVERIFY(!monitor->isActive());
    auto* zoneGrid = m_window->findChild<ZoneGrid*>("Grid1");
    QVERIFY(zoneGrid && m_window->findChild<ParameterGrid*>("Grid2"));
    QCOMPARE(zoneGrid->model()->headerData(0, Qt::Horizontal).toString(), QString("No  "));

    PulsePanel* panel = m_window->panel();
    QCOMPARE(panel->box("Txt_Pos")->text(), QString("0.00"));
    QVERIFY(panel->teachingOption(0)->isChecked());
    QCOMPARE(panel->teachingOption(1)->text(), QString("ダイレクトティーチ"));
    QVERIFY(!panel->teachingOption(2)->isEnabled());
    QVERIFY(!panel->frame(PulsePanel::Frame::Drive)->isEnabled());
    QVERIFY(!panel->frame(PulsePanel::Frame::Display)->isEnabled());
    QVERIFY(panel->frame(PulsePanel::Frame::Teaching)->isEnabled());
    QCOMPARE(panel->frame(PulsePanel::Frame::Drive)->title(), QString("Drive"));
    QCOMPARE(panel->frame(PulsePanel::Frame::Display)->title(), QString("Display"));
    QCOMPARE(panel->frame(PulsePanel::Frame::Teaching)->title(), QString("Direct teaching"));

    // The lamps of the frame "Display", all off; the error box stands beside "ERROR".
    const QMap<int, QString> lamps{{0, "ZONE"},   {1, "INPOS/HOLD"}, {2, "ENABLE"}, {3, "READY"},
                                   {10, "PRESS"}, {12, "CCLR"},      {13, "ALR"}};
    for (int n = 0; n < IoLamps::Count; ++n) {
        QCOMPARE(panel->lamps()->lamp(n) != nullptr, lamps.contains(n));
        if (lamps.contains(n)) {
            QCOMPARE(panel->lamps()->label(n)->text(), lamps.value(n));
            QVERIFY(!panel->lamps()->lamp(n)->isOn());
        }
    }
    auto* error = m_window->findChild<QLineEdit*>("Txt_Error");
    QVERIFY(error && panel->frame(PulsePanel::Frame::Display)->isAncestorOf(error));
}

void TestPulseWindow::panelControls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("colour"); // 0xBBGGRR, -1: the button face
    QTest::newRow("setting") << "Cmd_Setup"
                             << "Setting" << true << 0x00FF00;
    QTest::newRow("operation") << "Cmd_driv"
                               << "Operation" << true << 0xE0E0E0;
    QTest::newRow("servo") << "Cmd_Srvo"
                           << "Servo ON" << false << -1;
    QTest::newRow("brake") << "Cmd_Brake"
                           << "Brake OFF" << false << -1;
    QTest::newRow("alarm") << "Cmd_Alarm"
                           << "Canceling alarm" << false << -1;
    QTest::newRow("deviation") << "Cmd_Cclr"
                               << "Clearing pulse-deviation" << false << -1;
    QTest::newRow("operation type") << "Cmd_Dousa"
                                    << "Pushing operation" << false << -1;
    QTest::newRow("org") << "Cmd_Return"
                         << "Org" << false << 0xE0E0E0;
    QTest::newRow("start") << "Cmd_Start"
                           << "スタート" << false << 0xE0E0E0;
    QTest::newRow("stop") << "Cmd_Stop"
                          << "Stop" << false << -1;
    QTest::newRow("position") << "Cmd_TargetP"
                              << "Position" << true << 0xE0E0E0;
    QTest::newRow("origin shift") << "Cmd_SetBase"
                                  << "Origin point shift" << true << 0xE0E0E0;
    QTest::newRow("set") << "Cmd_Set"
                         << "SET" << true << 0x80C0FF;
    QTest::newRow("jog open") << "Cmd_Op"
                              << "開" << false << -1;
    QTest::newRow("jog close") << "Cmd_Cl"
                               << "閉" << false << -1;
    QTest::newRow("logo") << "Command1"
                          << "QRX5" << true << -1;
}

void TestPulseWindow::panelControls() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(bool, enabled);
    QFETCH(int, colour);
    QPushButton* b = button(name);
    QVERIFY(b);
    QCOMPARE(PanelWidgets::caption(b), caption);
    QCOMPARE(b->isEnabled(), enabled);
    const QColor face = QApplication::palette(b).color(QPalette::Button);
    QCOMPARE(b->palette().color(QPalette::Button), colour < 0 ? face : colourFromBgr(colour));
}

void TestPulseWindow::menusAndToolbarKeys() {
    const QMap<QString, QString> captions{{"mnuFileOpen", "Open(&O)..."},
                                          {"mnuFileSave", "Save As(&A)..."},
                                          {"mnuFilePrint", "Print(&P)..."},
                                          {"mnuFileExit", "Exit(&X)"},
                                          {"mnuToolsTranZ", "Transmit(Zones)"},
                                          {"mnuToolsSpeed", "Slider operating speed calculation"},
                                          {"mnuToolsIniORG", "Org"},
                                          {"mnuViewStatusBar", "Statusbar(&B)"},
                                          {"mnuViewTraffic", "Traffic Log(&L)..."},
                                          {"mnuHelpAbout", "Version(&A)"}};
    for (auto it = captions.cbegin(); it != captions.cend(); ++it)
        QCOMPARE(m_window->action(it.key())->text(), it.value());
    for (const char* name : {"mnuFileOpen", "mnuFileSave", "mnuFilePrint", "mnuFileExit"})
        QVERIFY2(!m_window->action(name)->shortcut().isEmpty(), name);

    // Each key's tool tip is its menu item's caption; every key is enabled.
    const QList<std::tuple<QString, QString, bool>> keys{
        {"NewFile", "New File", true},
        {"Open", "Open...", true},
        {"SaveAS", "Save As...", true},
        {"Print", "Print...", true},
        {"ComSetup", "Com_Setup", true},
        {"Transmit(Parameters)", "Transmit(Parameters)", true},
        {"Transmit(Zone)", "Transmit(Zones)", true},
        {"Receive(Parameters)", "Receive(Parameters)", true},
        {"Receive(Zone)", "Receive(Zones)", true},
        {"Cmpare", "Compare", true},
        {"Errorhistorydisplay", "Error History Display", true},
        {"SpeedCalculation", "Slider operating speed calculation", true},
        {"Init(Zone)", "Zones", true},
        {"Exit", "Exit", true}};
    QCOMPARE(m_window->toolbar()->actions().size(), keys.size());
    for (const auto& [key, tip, enabled] : keys) {
        QAction* a = m_window->toolbarKey(key);
        QVERIFY2(a, qPrintable(key));
        QCOMPARE(a->text(), key);
        QVERIFY2(a->toolTip().startsWith(tip), qPrintable(a->toolTip()));
        QCOMPARE(a->isEnabled(), enabled);
    }
    // The shortcut follows the caption where the item has one.
    const QString quit =
        m_window->action("mnuFileExit")->shortcut().toString(QKeySequence::NativeText);
    QCOMPARE(m_window->toolbarKey("Exit")->toolTip(), QString("Exit (%1)").arg(quit));
    QCOMPARE(m_window->toolbarKey("NewFile")->toolTip(), QString("New File"));
}

void TestPulseWindow::fileKeysRunTheSequences() {
    const QString saved = m_rig.dir.filePath("saved.csv");
    m_op.fileNames << saved << QFINDTESTDATA("data/known_pulse.csv");
    m_window->zones().setData(m_window->zones().index(1, 1), "12");

    m_window->toolbarKey("SaveAS")->trigger();
    QVERIFY(!m_window->operationState().settei); // a toolbar key clears settei first
    QCOMPARE(m_window->windowTitle(), "QRX Support-Software" + QDir::toNativeSeparators(saved));
    QVERIFY(QFile(saved).size() > 0);
    QVERIFY(!m_window->zones().modified());

    m_window->toolbarKey("Open")->trigger();
    QCOMPARE(m_window->zones().zone(0).note, QString("pick"));
    QCOMPARE(m_window->parameters().actuatorType(), QString("31"));
    QCOMPARE(m_window->panelText(2), QString("Origin point shift: -1.50"));

    m_window->action("mnuFileNew")->trigger();
    QCOMPARE(m_window->zones().zone(0).note, QString());
    QCOMPARE(m_window->parameters().settingValue(4), QString("100"));
    QCOMPARE(m_window->parameters().actuatorType(), QString("31")); // the current type's
    QCOMPARE(m_window->panelText(2), QString("Origin point shift: 0.00"));
    QCOMPARE(m_op.texts("message"), (QStringList{"    Complete.", "    Complete."}));
    QVERIFY(m_window->isEnabled() && m_window->toolbar()->isEnabled());
}

void TestPulseWindow::printKeyPrintsTheList() {
    QList<PrintCall> calls;
    m_op.printerFactory = [&] { return std::make_unique<RecordingSurface>(&calls); };
    m_window->zones().setTable({ZoneRecord{"1.00", "2.00", "first"}});
    m_window->toolbarKey("Print")->trigger();
    const PrintedPage page = printedPages(calls).value(0);
    QCOMPARE(page.value({6000, 1200}), QString("first"));
    QCOMPARE(page.value({3000, 200 * (53 + 15)}), QString("1000"));
    QCOMPARE(calls.last().kind, "end");
    QVERIFY(m_window->isEnabled() && m_window->toolbar()->isEnabled());
}

void TestPulseWindow::viewAndVersion() {
    m_window->action("mnuViewToolbar")->trigger();
    QVERIFY(!m_window->toolbar()->isVisible());
    m_window->action("mnuViewStatusBar")->trigger();
    QVERIFY(!m_window->statusBar()->isVisible());
    m_window->action("mnuViewStatusBar")->trigger();
    QVERIFY(m_window->statusBar()->isVisible());

    m_rig.controller->setVersion("P2.07 build");
    QString shown;
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [&, poll] {
        if (auto* box = qobject_cast<frmVer*>(QApplication::activeModalWidget())) {
            poll->stop();
            shown = box->findChild<QLabel*>("lblControllerVersion")->text();
            box->accept();
        }
    });
    poll->start(10);
    m_window->action("mnuHelpAbout")->trigger();
    QCOMPARE(shown, QString("Controller version: P2.0"));
    QCOMPARE(m_rig.controller->received(), QByteArray("@?VER ,\r\n"));

    // The traffic log of the View menu shows this window's exchange.
    m_window->action("mnuViewTraffic")->trigger();
    QVERIFY(m_window->trafficLogWindow() && m_window->trafficLogWindow()->isVisible());
    const QString log =
        m_window->trafficLogWindow()->findChild<QPlainTextEdit*>("Txt_Traffic")->toPlainText();
    QVERIFY2(log.contains(" TX @?VER ,<CR><LF>\n") && log.contains(" RX OK<CR><LF>"),
             qPrintable(log));
}

void TestPulseWindow::exitSavesThenStoresThePort() {
    m_window->zones().setModified(true);
    m_op.answers = {Answer::Cancel, Answer::Yes};
    m_window->toolbarKey("Exit")->trigger();
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_op.endCalls, 0);
    QVERIFY(m_rig.iniBytes().isEmpty());

    // Yes and a completed save: the port is stored and the program ends.
    const QString saved = m_rig.dir.filePath("on_exit.csv");
    m_op.fileNames << saved;
    m_rig.state.PortName = "COM4";
    m_window->action("mnuFileExit")->trigger();
    QCOMPARE(m_op.texts("yesnocancel").size(), 2); // asked once each time
    QVERIFY(QFile::exists(saved));
    QCOMPARE(m_op.endCalls, 1);
    QCOMPARE(m_rig.iniBytes(), QByteArray("[Data]\r\nCOM= 4\r\n"));
}

void TestPulseWindow::parameterEditShowsOriginShift() {
    PulseParameterModel& params = m_window->parameters();
    QVERIFY(params.setData(params.index(5, ParameterRowsModel::ColSetting), "9999"));
    QCOMPARE(m_window->panelText(2), QString("Origin point shift: 99.99"));
    QCOMPARE(m_window->zones().tagText(), QString("Change"));
    QVERIFY(params.setData(params.index(5, ParameterRowsModel::ColSetting), "-150"));
    QCOMPARE(m_window->panelText(2), QString("Origin point shift: -1.50"));
}

// Operation and Setting clicked as the operator does: the monitor lights the lamps and moves
// the slider picture; the logo asks nothing while the panel drives.
void TestPulseWindow::operationModeThroughTheButtons() {
    VirtualController& c = *m_rig.controller;
    c.setServoOn(true);
    c.setPosition(1000); // mid-stroke of a 20 mm slider
    c.setInputs("0000001011");
    QTest::mouseClick(button("Cmd_driv"), Qt::LeftButton);
    PulsePanel* panel = m_window->panel();
    QVERIFY(m_window->driveState().operationMode);
    QCOMPARE(button("Cmd_driv")->palette().color(QPalette::Button), colourFromBgr(0xFF00FF));
    QCOMPARE(PanelWidgets::caption(button("Cmd_Srvo")), QString("Servo OFF"));
    QVERIFY(panel->frame(PulsePanel::Frame::Drive)->isEnabled());
    QVERIFY(!panel->frame(PulsePanel::Frame::Teaching)->isEnabled());
    QVERIFY(!m_window->action("mnuFileOpen")->isEnabled() && !m_window->toolbar()->isEnabled());
    QTRY_VERIFY(panel->lamps()->lamp(3)->isOn()); // READY, at the monitor's next tick
    QVERIFY(panel->lamps()->lamp(13)->isOn());
    QTRY_COMPARE(panel->box("Txt_NowPosi")->text(), QString("10.00"));
    QCOMPARE(panel->carriage()->carriageLeft(), 1380 + 510);

    c.clearReceived();
    QTest::mousePress(m_window->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QVERIFY(!c.received().contains("@?VER"));

    QTest::mouseClick(button("Cmd_Setup"), Qt::LeftButton);
    QVERIFY(!m_window->driveState().operationMode);
    QVERIFY(!panel->lamps()->lamp(3)->isOn());
    QVERIFY(!m_window->findChild<QTimer*>("Tim_IO_Mon")->isActive());
    QVERIFY(m_window->action("mnuFileOpen")->isEnabled() && m_window->toolbar()->isEnabled());
}

void TestPulseWindow::positionBoxKeys_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key"); // then pressed; 0: none
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text"); // the box afterwards, still with the focus
    QTest::newRow("characters") << "a1/2.5x" << 0 << 0 << "12.5";
    QTest::newRow("Backspace") << "12" << int(Qt::Key_Backspace) << 0 << "1";
    QTest::newRow("Enter") << "7.5" << int(Qt::Key_Return) << 0 << "7.50";
    QTest::newRow("Tab") << "1" << int(Qt::Key_Tab) << 0 << "1";
    QTest::newRow("Escape") << "1" << int(Qt::Key_Escape) << 0 << "1";
    QTest::newRow("Ctrl+V") << "1" << int(Qt::Key_V) << int(Qt::ControlModifier) << "1";
    QTest::newRow("Shift+Insert") << "1" << int(Qt::Key_Insert) << int(Qt::ShiftModifier) << "1";
}

// Txt_Pos takes digits, "-", ".", Backspace and Enter only (no pasting, no Tab or Escape), and
// shows its number when left.
void TestPulseWindow::positionBoxKeys() {
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QGuiApplication::clipboard()->setText("99");
    QLineEdit* box = m_window->panel()->box("Txt_Pos");
    box->setFocus();
    QVERIFY(box->hasFocus());
    box->clear();
    QTest::keyClicks(box, typed);
    if (key)
        QTest::keyClick(box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(box->text(), text);
    QVERIFY(box->hasFocus());
    m_window->findChild<ZoneGrid*>("Grid1")->setFocus();
    QCOMPARE(box->text(), QString::number(text.toDouble(), 'f', 2));
}

// The keys run the transfers with this window as their host: the tables follow the
// controller, Compare marks the differing cells until the next transfer.
void TestPulseWindow::toolKeysRunTransfersAndMarkDifferences() {
    m_rig.controller->memory().setZone(1, {"-1.00", "-2.00", ""});
    m_rig.controller->setParameter(35, "-150");
    m_window->toolbarKey("Receive(Zone)")->trigger();
    m_window->toolbarKey("Receive(Parameters)")->trigger();
    QCOMPARE(m_window->zones().zone(1).b, QString("-2.00"));
    QCOMPARE(m_window->panelText(2), QString("Origin point shift: -1.50"));
    QVERIFY(m_window->zones().modified());

    m_rig.controller->memory().setZone(1, {"-1.00", "-3.00", ""});
    m_window->toolbarKey("Cmpare")->trigger();
    QCOMPARE(m_op.last().text, QString("Zone_No1 NG"));
    QVERIFY(m_window->cellMarks().isMarked(CompareReport::FirstGrid, 1, ZoneRules::ColB));
    QVERIFY(m_window->isEnabled() && m_window->toolbar()->isEnabled());

    m_window->toolbarKey("Transmit(Zone)")->trigger();
    QCOMPARE(m_op.last().text, QString("Transmitting has finished."));
    QVERIFY(m_window->cellMarks().isEmpty());
    QCOMPARE(m_rig.controller->memory().zone(1).b, QString("-2.00"));
}

void TestPulseWindow::errorHistoryAndOriginReset() {
    m_rig.controller->setErrorHistory({"E01 OVERLOAD", "E05 ENCODER"});
    m_window->toolbarKey("Errorhistorydisplay")->trigger();
    QVERIFY(m_window->errorRecordWindow() && m_window->errorRecordWindow()->isVisible());

    // Not while the actuator moves.
    m_rig.controller->clearReceived();
    m_window->driveState().motion.begin(Motion::StopControl::Button);
    m_window->action("mnuToolsIniORG")->trigger();
    QVERIFY(m_rig.controller->received().isEmpty());
    m_window->driveState().motion.end();
    m_window->action("mnuToolsIniORG")->trigger();
    QCOMPARE(m_rig.controller->received(), QByteArray("@INIT ORG ,\r\n"));
    QVERIFY(button("Cmd_Setup")->isEnabled());
}

void TestPulseWindow::speedCalculationKeepsTheWindowDisabled() {
    m_rig.controller->setActuatorType(32);
    m_window->action("mnuToolsRecA")->trigger();
    m_window->toolbarKey("SpeedCalculation")->trigger();
    frmkeisan* tool = m_window->speedCalculationWindow();
    QVERIFY(tool && tool->isVisible());
    QVERIFY(!m_window->isEnabled());
    QVERIFY(tool->isEnabled()); // disabling its opener leaves the tool usable
    QCOMPARE(tool->selectedOption(), 2);

    QTest::mouseClick(tool->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QCOMPARE(tool->speedText(), QString("120.0"));
    QCOMPARE(tool->accelerationText(), QString("1400"));
    QTest::mouseClick(tool->findChild<QPushButton*>("Command2"), Qt::LeftButton);
    QVERIFY(!tool->isVisible());
    QVERIFY(m_window->isEnabled());
    QCOMPARE(tool->selectedOption(), 0);
    QVERIFY(tool->speedText().isEmpty() && tool->accelerationText().isEmpty());
}

// Direct teaching can be left without SET: Escape (the "End teaching" button) ends it as
// "Terminate teaching setting?" Yes does, writing nothing. While its return to origin moves,
// nothing that opens a window or a dialog is usable.
void TestPulseWindow::escapeEndsTeaching() {
    VirtualController& c = *m_rig.controller;
    QStringList usableWhileMoving;
    connect(&c, &VirtualController::lineHandled, this, [&](const QString& line) {
        if (line.startsWith("@ORG"))
            for (const char* item : {"mnuFileCompare", "mnuToolsSpeed", "mnuViewTraffic"})
                if (m_window->action(item)->isEnabled())
                    usableWhileMoving << item;
    });
    m_op.answers = {Answer::Yes, Answer::Yes, Answer::No}; // origin, servo off; none at the end
    QTest::mouseClick(button("Cmd_TargetP"), Qt::LeftButton);
    QTRY_VERIFY(button("Cmd_EndTeach")->isEnabled());
    QVERIFY(usableWhileMoving.isEmpty());
    QVERIFY(m_window->action("mnuToolsSpeed")->isEnabled()); // nothing moves now
    c.clearReceived();
    QLineEdit* position = m_window->panel()->box("Txt_Pos");
    position->setFocus();
    QTest::keyClick(position, Qt::Key_Escape);
    QTRY_VERIFY(!m_window->drive().teaching());
    QCOMPARE(m_op.last().text, QString("Execute return to origin? If stopping in operations "
                                       "required, press Pop-up button."));
    QVERIFY(!c.received().contains("@WRITE") && !m_window->zones().modified());
    QVERIFY(!button("Cmd_EndTeach")->isEnabled() && button("Cmd_TargetP")->isEnabled());
}

// The window opens whole on a 1280 x 800 screen and keeps every control reachable on a
// smaller one.
void TestPulseWindow::fitsTheScreen() {
    const QSize frame(MainWindowBase::FrameWidth, MainWindowBase::FrameHeight);
    const QRect screen(0, 0, 1280, 800);
    const QRect opened =
        MainWindowBase::fittedFrame({1260, 780}, m_window->minimumSizeHint(), screen);
    QVERIFY(screen.contains(opened));
    m_window->resize(opened.size() - frame);
    QTest::qWait(20);
    // Nothing cut off: both grids show every row and column, the panel needs no scrolling.
    for (auto* grid : m_window->findChildren<QTableView*>())
        QCOMPARE(grid->size(), grid->maximumSize());
    auto* column = m_window->findChild<QScrollArea*>();
    QVERIFY(column && column->isAncestorOf(m_window->panel()));
    QVERIFY(!column->verticalScrollBar()->isVisible());

    // On a 1024 x 700 screen the panel column scrolls down to its last button.
    m_window->resize(QSize(1024, 700) - frame);
    QTest::qWait(20);
    QPushButton* set = button("Cmd_Set");
    column->ensureWidgetVisible(set);
    QTest::qWait(20);
    const QRect onScreen(set->mapTo(column->viewport(), QPoint(0, 0)), set->size());
    QVERIFY(column->viewport()->rect().contains(onScreen));
    QVERIFY(
        m_window->rect().contains(QRect(column->mapTo(m_window, QPoint(0, 0)), column->size())));
}

QTEST_MAIN(TestPulseWindow)
#include "tst_pulsewindow.moc"
