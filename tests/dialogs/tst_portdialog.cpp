// The port dialog's destinations and its devices list, which maps a port in the INI file.
#include "dialogs/ui/PortDevicesDialog.h"
#include "dialogs/ui/frmP.h"
#include "link/LinkState.h"
#include "link/PortName.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
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
    void portNotKeptIsSaid();
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

    // The choice of port itself still works as before; it and the mapping are written on OK.
    dialog->findChild<QPushButton*>("OKButton")->click();
    QCOMPARE(shown, QStringList{"COM6"});
    QByteArray expected = before;
    expected.replace("COM5=/dev/ttyUSB0\r\n", "COM5=/dev/ttyUSB0\r\nCOM6=/dev/ttyUSB1\r\n");
    expected.replace("COM= 2", "COM= 6");
    QCOMPARE(bytesOf(ini), expected);
}

// Devices... chooses where a port leads, from its list or typed in; the INI file changes only
// when the port dialog is confirmed, and only where a port now leads elsewhere. The list
// opens on where the port leads now, also a place the system does not list (PTY).
void TestPortDialog::devicesChoiceTakesEffectOnOk_data() {
    QTest::addColumn<int>("option");     // the port chosen in the port dialog (0 = COM1)
    QTest::addColumn<QString>("preset"); // the row Devices... opens on
    // the row accepted ("-": Devices... cancelled; "typed ...": a destination typed in)
    QTest::addColumn<QString>("choose");
    QTest::addColumn<QString>("closeBy"); // "ok", "cancel" or "close"
    QTest::addColumn<QString>("ports");   // section "Ports" afterwards
    const QString kept = "COM1=sim:point\nCOM2=PTY\n";
    const auto row = [](const char* name, int option, const char* preset, const char* choose,
                        const char* closeBy, const QString& ports) {
        QTest::newRow(name) << option << preset << choose << closeBy << ports;
    };
    row("mapped port, Cancel", 0, "sim:point", "/dev/ttyUSB0", "cancel", kept);
    row("mapped port, window closed", 0, "sim:point", "sim:pulse", "close", kept);
    row("mapped port, OK", 0, "sim:point", "sim:pulse", "ok", "COM1=sim:pulse\nCOM2=PTY\n");
    row("mapped back to default, OK", 0, "sim:point", "", "ok", "COM1=\nCOM2=PTY\n");
    row("unlisted device opens on itself, OK", 1, "PTY", "PTY", "ok", kept);
    row("unmapped port, OK", 2, "", "sim:point", "ok", kept + "COM3=sim:point\n");
    row("unmapped port kept on default, OK", 2, "", "", "ok", kept);
    row("devices list cancelled, OK", 0, "sim:point", "-", "ok", kept);
    row("path typed in, OK", 2, "", "typed /dev/serial/by-id/usb-QRX_5-if00", "ok",
        kept + "COM3=/dev/serial/by-id/usb-QRX_5-if00\n");
}

void TestPortDialog::devicesChoiceTakesEffectOnOk() {
    QFETCH(int, option);
    QFETCH(QString, preset);
    QFETCH(QString, choose);
    QFETCH(QString, closeBy);
    QFETCH(QString, ports);
    QTemporaryDir dir;
    const QString pty = dir.filePath("pty7");
    QVERIFY(writeBytes(pty, {}));
    for (QString* text : {&preset, &choose, &ports})
        text->replace("PTY", pty);
    const QString ini = dir.filePath("QRX5.ini");
    // A comment, blanks and LF-only lines: nothing the profile writer would write itself.
    const QByteArray head = "; kept\n[Data]\nCOM = 1\n[Ports]\n";
    const QByteArray before = head + "COM1=sim:point\nCOM2=" + pty.toLocal8Bit() + "\n";
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
    QCOMPARE(devices->chosenTarget(), preset);
    if (choose == "-") {
        devices->reject();
    } else {
        if (choose.startsWith("typed ")) {
            choose = choose.mid(6);
            devices->destination()->clear();
            QTest::keyClicks(devices->destination(), choose);
        } else {
            QTreeWidgetItem* chosen = rowOf(devices, choose);
            QVERIFY(chosen);
            devices->list()->setCurrentItem(chosen);
        }
        devices->accept();
        QCOMPARE(bytesOf(ini), before);
        // Opened again before OK, the list shows the choice made.
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
    // OK keeps the port chosen at once; an unchanged one leaves its line as it was.
    QByteArray expected = head + ports.toLocal8Bit();
    if (closeBy == "ok" && option != 0)
        expected.replace("COM = 1\n", "COM= " + QByteArray::number(option + 1) + "\n");
    QCOMPARE(bytesOf(ini), expected);
}

// The port chosen is kept in the INI file on OK (devicesChoiceTakesEffectOnOk sees it written).
// When it cannot be kept, the dialog says why and stays open; OK again uses the port until
// the program ends.
void TestPortDialog::portNotKeptIsSaid() {
    QTemporaryDir dir;
    const QString ini = dir.filePath("QRX5.ini");
    QVERIFY(QDir().mkpath(ini));
    LinkState state;
    state.PortName = "COM2";
    QStringList shown;
    QPointer<frmP> dialog = new frmP(
        state, [&](const QString& p) { shown << p; }, nullptr, ini);
    dialog->show();
    dialog->findChild<QRadioButton*>("Opt_1_3")->click();
    auto* ok = dialog->findChild<QPushButton*>("OKButton");
    ok->click();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(text(dialog, "Lbl_Error"),
             "COM4 cannot be kept for the next start: " + ini +
                 " cannot be written (it is a folder). OK uses COM4 until the program ends; "
                 "Cancel puts COM2 back.");
    QVERIFY(shown.isEmpty());
    ok->click();
    QTRY_VERIFY(!dialog);
    QCOMPARE(shown, QStringList{"COM4"});
    QCOMPARE(state.PortName, QString("COM4"));
}

QTEST_MAIN(TestPortDialog)
#include "tst_portdialog.moc"
