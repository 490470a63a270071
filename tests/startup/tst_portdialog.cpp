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

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The row of the devices list that leads to target (empty: the port's default).
QTreeWidgetItem* rowOf(PortDevicesDialog* devices, const QString& target) {
    QTreeWidget* list = devices->list();
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->data(0, Qt::UserRole).toString() == target)
            return list->topLevelItem(i);
    return nullptr;
}
} // namespace

class TestPortDialog : public QObject {
    Q_OBJECT
  private slots:
    void showsWhereEachPortLeadsAndMapsOne();
    void devicesChoiceTakesEffectOnOk_data();
    void devicesChoiceTakesEffectOnOk();
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

    // Shown at once, written when the port dialog is confirmed.
    QCOMPARE(text(dialog, "Lbl_Target_5"), QString("/dev/ttyUSB1"));
    QCOMPARE(text(dialog, "Lbl_Presence_5"), QString("present: FT232R USB UART (mapped on OK)"));
    QCOMPARE(bytesOf(ini), before);

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

    // The choice of port itself still works as before; the mapping is written on OK.
    dialog->findChild<QPushButton*>("OKButton")->click();
    QCOMPARE(shown, QStringList{"COM6"});
    QByteArray expected = before;
    expected.replace("COM5=/dev/ttyUSB0\r\n", "COM5=/dev/ttyUSB0\r\nCOM6=/dev/ttyUSB1\r\n");
    QCOMPARE(bytesOf(ini), expected);
}

// Devices... chooses where a port leads; the INI file changes only when the port dialog is
// confirmed, and only where a port now leads elsewhere. The list opens on where the port
// leads now, also a place the system does not list.
void TestPortDialog::devicesChoiceTakesEffectOnOk_data() {
    QTest::addColumn<int>("option");      // the port chosen in the port dialog (0 = COM1)
    QTest::addColumn<QString>("preset");  // the row Devices... opens on
    QTest::addColumn<QString>("choose");  // the row accepted ("-": Devices... cancelled)
    QTest::addColumn<QString>("closeBy"); // "ok", "cancel" or "close"
    QTest::addColumn<QString>("line");    // the COM line afterwards, "" when none is written

    QTest::newRow("mapped port, Cancel") << 0 << "sim:point"
                                         << "/dev/ttyUSB0"
                                         << "cancel"
                                         << "COM1=sim:point";
    QTest::newRow("mapped port, window closed") << 0 << "sim:point"
                                                << "sim:pulse"
                                                << "close"
                                                << "COM1=sim:point";
    QTest::newRow("mapped port, OK") << 0 << "sim:point"
                                     << "sim:pulse"
                                     << "ok"
                                     << "COM1=sim:pulse";
    QTest::newRow("mapped back to default, OK") << 0 << "sim:point"
                                                << ""
                                                << "ok"
                                                << "COM1=";
    QTest::newRow("unlisted device opens on itself, OK keeps the file") << 1 << "PTY"
                                                                        << "PTY"
                                                                        << "ok"
                                                                        << "COM2=PTY";
    QTest::newRow("unmapped port, Cancel") << 2 << ""
                                           << "sim:point"
                                           << "cancel"
                                           << "";
    QTest::newRow("unmapped port, OK") << 2 << ""
                                       << "sim:point"
                                       << "ok"
                                       << "COM3=sim:point";
    QTest::newRow("unmapped port kept on default, OK") << 2 << ""
                                                       << ""
                                                       << "ok"
                                                       << "";
    QTest::newRow("devices list cancelled, OK") << 0 << "sim:point"
                                                << "-"
                                                << "ok"
                                                << "COM1=sim:point";
}

void TestPortDialog::devicesChoiceTakesEffectOnOk() {
    QFETCH(int, option);
    QFETCH(QString, preset);
    QFETCH(QString, choose);
    QFETCH(QString, closeBy);
    QFETCH(QString, line);
    QTemporaryDir dir;
    const QString pty = dir.filePath("pty7");
    QVERIFY(writeBytes(pty, {}));
    preset.replace("PTY", pty);
    choose.replace("PTY", pty);
    line.replace("PTY", pty);
    const QString ini = dir.filePath("QRX5.ini");
    // A comment, blanks and LF-only lines: nothing the profile writer would write itself.
    const QByteArray before =
        "; kept\n[Data]\nCOM = 1\n[Ports]\nCOM1=sim:point\nCOM2=" + pty.toLocal8Bit() + "\n";
    QVERIFY(writeBytes(ini, before));

    LinkState state;
    state.PortName = "COM1";
    QPointer<frmP> dialog = new frmP(state, {}, nullptr, ini);
    dialog->setDeviceSource([] {
        return QList<SerialDevices::Device>{{"/dev/ttyUSB0", "USB", "", ""}};
    });
    dialog->show();
    dialog->findChild<QRadioButton*>(QString("Opt_1_%1").arg(option))->click();
    PortDevicesDialog* devices = dialog->openDevices();
    QVERIFY(devices);
    QCOMPARE(devices->chosenTarget(), preset);
    if (choose == "-") {
        devices->reject();
    } else {
        QTreeWidgetItem* row = rowOf(devices, choose);
        QVERIFY(row);
        devices->list()->setCurrentItem(row);
        devices->accept();
    }
    QCOMPARE(bytesOf(ini), before);
    // Devices... opened again shows the choice made, even before OK.
    if (choose != "-") {
        devices = dialog->openDevices();
        QCOMPARE(devices->chosenTarget(), choose);
        devices->reject();
    }

    if (closeBy == "ok")
        dialog->findChild<QPushButton*>("OKButton")->click();
    else if (closeBy == "cancel")
        dialog->findChild<QPushButton*>("CancelButton")->click();
    else
        dialog->close();
    QTRY_VERIFY(!dialog);
    QCOMPARE(state.PortName, closeBy == "ok" ? QString("COM%1").arg(option + 1) : "COM1");

    const QByteArray after = bytesOf(ini);
    const QString com = QString("COM%1").arg(option + 1);
    if (closeBy != "ok" || line.isEmpty() || before.contains(line.toLocal8Bit() + "\n")) {
        QCOMPARE(after, before); // byte for byte
        return;
    }
    // Only the port's own line changes (or is added to section "Ports").
    QByteArray expected = before;
    const int at = expected.indexOf("\n" + com.toLatin1() + "=");
    if (at >= 0) {
        const int end = expected.indexOf('\n', at + 1);
        expected.replace(at + 1, end - at - 1, line.toLocal8Bit());
    } else {
        expected += line.toLocal8Bit() + "\n";
    }
    QCOMPARE(after, expected);
}

QTEST_MAIN(TestPortDialog)
#include "tst_portdialog.moc"
