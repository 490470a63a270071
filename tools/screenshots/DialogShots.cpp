// The port dialog and its devices list, the Alt keys of both windows' panels and the start-up
// window's choice of kind.
#include "FakeChannel.h"
#include "Shots.h"
#include "WindowRig.h"
#include "dialogs/ui/PortDevicesDialog.h"
#include "dialogs/ui/frmP.h"
#include "link/LinkState.h"
#include "pointops/ui/frmMain.h"
#include "pulse/ui/frmpulseMaindemo.h"
#include "startup/StartupSequence.h"
#include "startup/ui/frmselect.h"

#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

class DialogShots final : public QObject {
    Q_OBJECT
  private slots:
    void cleanup();
    void portDialogAndDevices();
    void panelKeys_data();
    void panelKeys();
    void startupManualChoice();

  private:
    WindowRig<frmMain> m_point;
    WindowRig<frmpulseMaindemo> m_pulse;
};

void DialogShots::cleanup() {
    m_point.stop();
    m_pulse.stop();
}

// COM2 to COM5 mapped (a device file the system does not list, the virtual controller, a
// missing device, a listed one), COM6 mapped to the second listed device through Devices...
void DialogShots::portDialogAndDevices() {
    QTemporaryDir dir;
    const QString pty = dir.filePath("pty0");
    QFile(pty).open(QIODevice::WriteOnly);
    const QString ini = dir.filePath("QRX5.ini");
    QFile f(ini);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("; line PC 4\r\n[Data]\r\nCOM= 2\r\n\r\n[Ports]\r\nCOM2=" + pty.toLocal8Bit() +
            "\r\nCOM3=sim:point\r\nCOM4=/dev/qrx5-none\r\n"
            "COM5=/dev/ttyUSB0\r\n\r\n[Other]\r\nkeep=me\r\n");
    f.close();

    LinkState state;
    state.PortName = "COM2";
    QPointer<frmP> dialog = new frmP(
        state, [](const QString&) {}, nullptr, ini);
    dialog->setDeviceSource([] {
        return QList<SerialDevices::Device>{
            {"/dev/ttyUSB0", "USB-Serial Controller", "Prolific", "A1B2"},
            {"/dev/ttyUSB1", "FT232R USB UART", "FTDI", "FT9X"}};
    });
    dialog->show();
    dialog->findChild<QRadioButton*>("Opt_1_5")->click();
    dialog->findChild<QPushButton*>("Cmd_Devices")->click();
    PortDevicesDialog* devices = dialog->devicesDialog();
    QVERIFY(devices && devices->isVisible());
    devices->list()->setCurrentItem(devices->list()->topLevelItem(1));
    devices->findChild<QPushButton*>("Cmd_Map")->click();
    QCOMPARE(dialog->findChild<QLabel*>("Lbl_Target_5")->text(), QString("/dev/ttyUSB1"));

    QTest::qWait(50);
    Shots::save(dialog, "port-dialog.png");
    devices = dialog->openDevices();
    devices->adjustSize();
    QTest::qWait(50);
    Shots::save(devices, "port-devices.png");
    devices->reject();
    dialog->close();
}

void DialogShots::panelKeys_data() {
    QTest::addColumn<bool>("pulse");
    QTest::newRow("point-input window") << false;
    QTest::newRow("pulse-train window") << true;
}

// The panel column of each window with the underlined letters of its Alt keys.
void DialogShots::panelKeys() {
    QFETCH(bool, pulse);
    QMainWindow* w = nullptr;
    if (pulse) {
        m_pulse.start(VirtualController::Kind::Pulse, "COM1");
        w = m_pulse.window.get();
    } else {
        m_point.start(VirtualController::Kind::Point, "COM1");
        w = m_point.window.get();
    }
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::qWait(50);
    QWidget* panel = w->centralWidget()->findChild<QWidget*>(pulse ? "PulsePanel" : "DrivePanel");
    if (panel && !pulse)
        panel = panel->parentWidget(); // with the size detection panel beneath
    Shots::save(panel ? panel : w, pulse ? "panel-keys-pulse.png" : "panel-keys-point.png");
}

// No answer from the controller: the port tried and the choice of kind.
void DialogShots::startupManualChoice() {
    QTemporaryDir dir;
    LinkState state;
    FakeChannel channel; // silent: manual choice
    channel.path = "/dev/ttyS0";
    StartupSequence seq(state, channel, dir.filePath("none.ini"));
    frmselect window(
        seq, [](StartupSequence::Kind) {}, [] {});
    window.start();
    QVERIFY(window.findChild<QLabel*>("lblPortTried")->isVisible());
    Shots::save(&window, "startup-manual-choice.png");
    window.hide();
}

int dialogShots(const QStringList& args) {
    DialogShots shots;
    return QTest::qExec(&shots, args);
}

#include "DialogShots.moc"
