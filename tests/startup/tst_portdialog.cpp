// The port dialog's destinations and its devices list, which maps a port in the INI file.
#include "link/LinkState.h"
#include "link/PortName.h"
#include "startup/ui/PortDevicesDialog.h"
#include "startup/ui/frmP.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {
QString text(QWidget* dialog, const QString& name) {
    auto* label = dialog->findChild<QLabel*>(name);
    return label ? label->text() : QStringLiteral("(no %1)").arg(name);
}
} // namespace

class TestPortDialog : public QObject {
    Q_OBJECT
  private slots:
    void showsWhereEachPortLeadsAndMapsOne();
};

void TestPortDialog::showsWhereEachPortLeadsAndMapsOne() {
    QTemporaryDir dir;
    const QString pty = dir.filePath("pty0"); // a device file the system does not list
    QFile(pty).open(QIODevice::WriteOnly);
    const QString ini = dir.filePath("QRX5.ini");
    const QByteArray before =
        "; line PC 4\r\n[Data]\r\nCOM= 2\r\n\r\n[Ports]\r\nCOM2=" + pty.toLocal8Bit() +
        "\r\nCOM3=sim:point\r\nCOM4=/dev/qrx5-none\r\n"
        "COM5=/dev/ttyUSB0\r\n\r\n[Other]\r\nkeep=me\r\n";
    QFile f(ini);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(before);
    f.close();

    LinkState state;
    state.PortName = "COM2";
    QStringList shown;
    QPointer<frmP> dialog = new frmP(
        state, [&](const QString& p) { shown << p; }, nullptr, ini);
    dialog->setDeviceSource([] {
        return QList<SerialDevices::Device>{
            {"/dev/ttyUSB0", "USB-Serial Controller", "Prolific", "A1B2"},
            {"/dev/ttyUSB1", "FT232R USB UART", "FTDI", "FT9X"}};
    });
    dialog->show();

    const QStringList targets{pty, "sim:point", "/dev/qrx5-none", "/dev/ttyUSB0"};
    const QStringList presence{"present (device file, no port details)",
                               "built-in virtual controller", "not present",
                               "present: USB-Serial Controller"};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(text(dialog, QString("Lbl_Target_%1").arg(i + 1)), targets[i]);
        QCOMPARE(text(dialog, QString("Lbl_Presence_%1").arg(i + 1)), presence[i]);
    }
    QCOMPARE(text(dialog, "Lbl_Target_5"), QString("/dev/ttyS5")); // unmapped: the default
    QCOMPARE(dialog->findChild<QRadioButton*>("Opt_1_0")->text(), QString("COM1"));

    // COM6 mapped to the second listed device through Devices...
    dialog->findChild<QRadioButton*>("Opt_1_5")->click();
    dialog->findChild<QPushButton*>("Cmd_Devices")->click();
    PortDevicesDialog* devices = dialog->devicesDialog();
    QVERIFY(devices && devices->isVisible());
    QTreeWidgetItem* second = devices->list()->topLevelItem(1);
    QCOMPARE((QStringList{second->text(0), second->text(1), second->text(2), second->text(3)}),
             (QStringList{"/dev/ttyUSB1", "FT232R USB UART", "FTDI", "FT9X"}));
    QCOMPARE(devices->chosenTarget(), QString()); // not mapped yet: the default row
    devices->list()->setCurrentItem(second);
    devices->findChild<QPushButton*>("Cmd_Map")->click();
    QVERIFY(!devices->isVisible());

    QCOMPARE(text(dialog, "Lbl_Target_5"), QString("/dev/ttyUSB1"));
    QCOMPARE(text(dialog, "Lbl_Presence_5"), QString("present: FT232R USB UART"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QByteArray expected = before;
    expected.replace("COM5=/dev/ttyUSB0\r\n", "COM5=/dev/ttyUSB0\r\nCOM6=/dev/ttyUSB1\r\n");
    QCOMPARE(f.readAll(), expected);
    f.close();

    const QString shots = qEnvironmentVariable("QRX5_SCREENSHOT_DIR");
    if (!shots.isEmpty()) {
        QTest::qWait(50);
        QVERIFY(dialog->grab().save(QDir(shots).filePath("port-dialog.png")));
        devices = dialog->openDevices();
        devices->adjustSize();
        QTest::qWait(50);
        QVERIFY(devices->grab().save(QDir(shots).filePath("port-devices.png")));
        devices->reject();
    }

    // The choice of port itself still works as before.
    dialog->findChild<QPushButton*>("OKButton")->click();
    QCOMPARE(shown, QStringList{"COM6"});
}

QTEST_MAIN(TestPortDialog)
#include "tst_portdialog.moc"
