#include "dialogs/ui/INPUTKEY.h"
#include "dialogs/ui/frmMode.h"
#include "dialogs/ui/frmP.h"
#include "dialogs/ui/frmType.h"
#include "dialogs/ui/frmbar.h"
#include "dialogs/ui/frmsoft.h"
#include "dialogs/ui/frmstop.h"
#include "link/Command.h"
#include "link/Link.h"
#include "link/LinkState.h"
#include "link/SerialChannel.h"
#include "simulator/SimulatedChannel.h"
#include "simulator/VirtualController.h"

#include "DialogDriving.h"
#include "ScriptedOperator.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A serial line that only records: open or closed as the test sets it.
class RecordingChannel final : public SerialChannel {
  public:
    bool openFlag = false;
    QByteArray written;
    int clears = 0;

    bool open(const QString&) override { return openFlag = true; }
    void close() override { openFlag = false; }
    bool isOpen() const override { return openFlag; }
    void clearBuffers() override { ++clears; }
    qint64 write(const QByteArray& data) override {
        if (!openFlag)
            return -1;
        written += data;
        return data.size();
    }
    QByteArray readAll() override { return {}; }
    QString errorString() const override { return {}; }
};

} // namespace

class TestDialogs final : public QObject {
    Q_OBJECT
  private slots:
    void portDialogCancelRestoresPort();
    void portDialogOkShowsPort();
    void portDialogStartsOnCom1WithoutUsablePort();
    void typeDialogResults();
    void typeDialogGetStringWithEnter();
    void modeDialogResults();
    void keypadDialogByClicks();
    void keypadGetStringCancelAndClose();
    void softLimitDialogRefusesAndAccepts();
    void softLimitDialogCancelReloadsTableRows_data();
    void softLimitDialogCancelReloadsTableRows();
    void softLimitKeyFilters();
    void progressDialogCancelTag();
    void progressDialogUsableWhileOwnerDisabled();
    void stopDialogWithoutOpenPortWritesNothing();
    void stopDialogWritesStopCharacterToOpenPort_data();
    void stopDialogWritesStopCharacterToOpenPort();
};

void TestDialogs::portDialogCancelRestoresPort() {
    LinkState state;
    state.PortName = "COM2";
    int shown = 0;
    QPointer<frmP> dialog = new frmP(state, [&](const QString&) { ++shown; });
    dialog->show();
    QCOMPARE(dialog->windowTitle(), QString("Com setup"));
    QCOMPARE(child<QLabel>(dialog, "Port_select")->text(),
             QString("Please choose a communication port."));
    QVERIFY(child<QRadioButton>(dialog, "Opt_1_1")->isChecked());

    click(dialog, "Opt_1_3");
    QCOMPARE(state.PortName, QString("COM4")); // takes effect at once
    click(dialog, "CancelButton");
    QCOMPARE(state.PortName, QString("COM2"));
    QCOMPARE(shown, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog.isNull()); // a new instance each time

    // Closing the window is a Cancel as well.
    dialog = new frmP(state, [&](const QString&) { ++shown; });
    dialog->show();
    click(dialog, "Opt_1_7");
    dialog->close();
    QCOMPARE(state.PortName, QString("COM2"));
    QCOMPARE(shown, 0);
}

void TestDialogs::portDialogOkShowsPort() {
    LinkState state;
    state.PortName = "COM1";
    QStringList shown;
    QPointer<frmP> dialog = new frmP(state, [&](const QString& p) { shown << p; });
    dialog->show();
    for (int i = 0; i < 8; ++i)
        QCOMPARE(child<QRadioButton>(dialog, QString("Opt_1_%1").arg(i))->text(),
                 QString("COM%1").arg(i + 1));
    click(dialog, "Opt_1_4");
    click(dialog, "OKButton");
    QCOMPARE(state.PortName, QString("COM5"));
    QCOMPARE(shown, QStringList{"COM5"});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog.isNull());
}

void TestDialogs::portDialogStartsOnCom1WithoutUsablePort() {
    LinkState state;
    state.PortName.clear();
    auto* dialog = new frmP(state, {});
    QCOMPARE(state.PortName, QString("COM1"));
    QVERIFY(child<QRadioButton>(dialog, "Opt_1_0")->isChecked());
    dialog->close();

    // A port name outside COM1..COM8 shows COM1 without changing the name until a choice.
    state.PortName = "COM9";
    dialog = new frmP(state, {});
    QVERIFY(child<QRadioButton>(dialog, "Opt_1_0")->isChecked());
    QCOMPARE(state.PortName, QString("COM9"));
    dialog->close();
    QCOMPARE(state.PortName, QString("COM9"));
}

void TestDialogs::typeDialogResults() {
    frmType dialog;
    QCOMPARE(dialog.windowTitle(), QString("Actuator type"));
    QCOMPARE(child<QLabel>(&dialog, "TypeSelect")->text(),
             QString("Please input an actuator type."));
    const QStringList captions{"30 : QRX-A20", "31 : QRX-A40", "32 : QRX-B20", "33 : QRX-B40"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(child<QRadioButton>(&dialog, QString("Typename_%1").arg(i))->text(), captions[i]);
    QCOMPARE(dialog.choice().type, QString("30"));

    dialog.selectType("32");
    QCOMPARE(dialog.choice().type, QString("32"));
    dialog.selectType("99"); // no such option: the selection stays
    QCOMPARE(dialog.choice().type, QString("32"));

    dialog.show();
    click(&dialog, "Typename_3");
    int checked = 0;
    for (int i = 0; i < 4; ++i)
        checked += child<QRadioButton>(&dialog, QString("Typename_%1").arg(i))->isChecked();
    QCOMPARE(checked, 1);

    // Cancel still returns the selected type, with the OK flag left at 0.
    click(&dialog, "CancelButton");
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.choice().type, QString("33"));
    QCOMPARE(dialog.choice().okFlag, 0);

    dialog.show();
    click(&dialog, "OKButton");
    QCOMPARE(dialog.choice().okFlag, 1);
}

void TestDialogs::typeDialogGetStringWithEnter() {
    whenModal([](QWidget* w) {
        QCOMPARE(w->objectName(), QString("frmType"));
        auto* option = child<QRadioButton>(w, "Typename_1");
        QVERIFY(option->isChecked()); // the caller's current type
        auto* next = child<QRadioButton>(w, "Typename_2");
        QTest::mouseClick(next, Qt::LeftButton);
        QTest::keyClick(next, Qt::Key_Return); // Enter on an option acts as OK
    });
    const auto choice = frmType::GetString("31");
    QCOMPARE(choice.type, QString("32"));
    QCOMPARE(choice.okFlag, 1);
}

void TestDialogs::modeDialogResults() {
    {
        frmMode dialog;
        QCOMPARE(dialog.windowTitle(), QString("Selection in operation mode"));
        QCOMPARE(child<QLabel>(&dialog, "Mode_select")->text(),
                 QString("Please choose the operation mode."));
        const QStringList captions{
            " A :Positioning operation (Absolute position)",
            " I   :Positioning operation (Increment position)",
            "O :Pushing operation(- side)",
            "C :Pushing operation(+ side)",
            "U :Pushing operation during acceleration / deceleration movement",
        };
        for (int i = 0; i < 5; ++i)
            QCOMPARE(child<QRadioButton>(&dialog, QString("Option1_%1").arg(i))->text(),
                     captions[i]);
        dialog.show();
        QCOMPARE(dialog.result(), QString("A"));
        const QString letters = "AIOCU";
        for (int i = 4; i >= 0; --i) {
            click(&dialog, QString("Option1_%1").arg(i));
            QCOMPARE(dialog.result(), QString(letters[i]));
        }
        click(&dialog, "Option1_3");
        click(&dialog, "CancelButton");
        QCOMPARE(dialog.result(), QString());
    }

    whenModal([](QWidget* w) {
        click(w, "Option1_4");
        click(w, "OKButton");
    });
    QCOMPARE(frmMode::GetString(), QString("U"));

    whenModal([](QWidget* w) {
        click(w, "Option1_2");
        w->close();
    });
    QCOMPARE(frmMode::GetString(), QString());
}

void TestDialogs::keypadDialogByClicks() {
    INPUTKEY dialog;
    QCOMPARE(dialog.windowTitle(), QString("Input a numerical value."));
    dialog.show();
    auto* display = child<QLineEdit>(&dialog, "Text1");
    QCOMPARE(display->text(), QString("0"));
    const QStringList captions{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", ".", "CLR", "-"};
    for (int k = 0; k < 13; ++k)
        QCOMPARE(child<QPushButton>(&dialog, QString("TENKEY_%1").arg(k))->text(), captions[k]);

    for (int k : {12, 5, 10, 2, 10, 0})
        click(&dialog, QString("TENKEY_%1").arg(k));
    QCOMPARE(display->text(), QString("-5.20"));
    click(&dialog, "TENKEY_11");
    QCOMPARE(display->text(), QString("0"));
    for (int k : {10, 7})
        click(&dialog, QString("TENKEY_%1").arg(k));
    QCOMPARE(display->text(), QString("0.7"));

    click(&dialog, "kettei");
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), QString("0.7"));
}

void TestDialogs::keypadGetStringCancelAndClose() {
    whenModal([](QWidget* w) {
        click(w, "TENKEY_4");
        click(w, "TENKEY_2");
        click(w, "kettei");
    });
    QCOMPARE(INPUTKEY::GetString(), QString("42"));

    // Opened on a cell: its text shows selected and the typed keys replace it.
    bool selected = false;
    QColor shownIn;
    whenModal([&](QWidget* w) {
        selected = static_cast<INPUTKEY*>(w)->valueSelected();
        shownIn = w->findChild<QLineEdit*>("Text1")->palette().color(QPalette::Base);
        QTest::keyClicks(w, "5.55");
        QTest::keyClick(w, Qt::Key_Return);
    });
    QCOMPARE(INPUTKEY::GetString("-17.75"), QString("5.55"));
    QVERIFY(selected);
    QCOMPARE(shownIn, QApplication::palette().color(QPalette::Highlight));

    whenModal([](QWidget* w) {
        click(w, "TENKEY_4");
        click(w, "CancelButton");
    });
    QCOMPARE(INPUTKEY::GetString(), QString());

    whenModal([](QWidget* w) {
        click(w, "TENKEY_4");
        w->close();
    });
    QCOMPARE(INPUTKEY::GetString(), QString());

    // By keyboard: Enter on a Cancel that has the focus cancels, and so does Escape.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        whenModal([key](QWidget* w) {
            QTest::keyClicks(w, "42");
            if (key == Qt::Key_Return)
                child<QPushButton>(w, "CancelButton")->setFocus(Qt::TabFocusReason);
            QTest::keyClick(QApplication::focusWidget(), key);
        });
        QCOMPARE(INPUTKEY::GetString("7"), QString());
    }
}

void TestDialogs::softLimitDialogRefusesAndAccepts() {
    ScriptedOperator op;
    frmsoft dialog(op, {2000, -100}, {4000, -200});
    QCOMPARE(dialog.windowTitle(), QString("Soft limit change"));
    dialog.show();
    auto* text1 = child<QLineEdit>(&dialog, "Text1");
    auto* text2 = child<QLineEdit>(&dialog, "Text2");
    QCOMPARE(text1->text(), QString("2000"));
    QCOMPARE(text2->text(), QString("-100"));

    text2->setText("5");
    click(&dialog, "Command1");
    QVERIFY(dialog.isVisible());
    QCOMPARE(op.prompts.size(), 1);
    QCOMPARE(op.last().title, QString("Error"));
    QCOMPARE(op.last().text, QString("Please set a value within 0 to -9999"));
    QCOMPARE(op.last().icon, OperatorInteraction::Icon::None);

    text1->setText("10000");
    click(&dialog, "Command1");
    QCOMPARE(op.last().text, QString("Please set a value within 0 to 9999"));
    QVERIFY(dialog.isVisible());
    // Nothing was stored by the refusals.
    QCOMPARE(dialog.result().plus, 2000.0);
    QCOMPARE(dialog.result().minus, -100);

    text1->setText("1500");
    text2->setText("-0");
    click(&dialog, "Command1");
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result().plus, 1500.0);
    QCOMPARE(dialog.result().minus, 0);
    QCOMPARE(op.prompts.size(), 2);
}

void TestDialogs::softLimitDialogCancelReloadsTableRows_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<double>("plus");
    QTest::addColumn<int>("minus");
    // Every way of cancelling takes the values back from the table rows (4000, -200).
    QTest::newRow("Cancel clicked") << "click Command2" << 4000.0 << -200;
    QTest::newRow("Enter on a focused Cancel") << "Enter on Command2" << 4000.0 << -200;
    QTest::newRow("Escape") << "Escape" << 4000.0 << -200;
    QTest::newRow("title bar close") << "close" << 4000.0 << -200;
    // OK by mouse or by Enter in a box stores what was typed.
    QTest::newRow("OK clicked") << "click Command1" << 2000.0 << -9999;
    QTest::newRow("Enter in a box") << "Enter in Text2" << 2000.0 << -9999;
}

void TestDialogs::softLimitDialogCancelReloadsTableRows() {
    QFETCH(QString, how);
    QFETCH(double, plus);
    QFETCH(int, minus);
    ScriptedOperator op;
    whenModal([how](QWidget* w) {
        auto* text2 = child<QLineEdit>(w, "Text2");
        text2->setText("-9999");
        if (how.startsWith("click "))
            click(w, how.mid(6));
        else if (how == "close")
            w->close();
        else if (how == "Escape")
            QTest::keyClick(text2, Qt::Key_Escape);
        else if (how == "Enter in Text2")
            QTest::keyClick(text2, Qt::Key_Return);
        else {
            auto* cancel = child<QPushButton>(w, "Command2");
            cancel->setFocus(Qt::TabFocusReason);
            QTest::keyClick(cancel, Qt::Key_Return);
        }
    });
    const auto r = frmsoft::GetString(op, {2000, -100}, {4000, -200});
    QCOMPARE(r.plus, plus);
    QCOMPARE(r.minus, minus);
    QVERIFY(op.prompts.isEmpty());
}

void TestDialogs::softLimitKeyFilters() {
    ScriptedOperator op;
    frmsoft dialog(op, {0, 0}, {0, 0});
    dialog.show();
    auto* text1 = child<QLineEdit>(&dialog, "Text1");
    auto* text2 = child<QLineEdit>(&dialog, "Text2");
    text1->clear();
    text2->clear();
    QTest::keyClicks(text1, "1a-2.3");
    QCOMPARE(text1->text(), QString("123"));
    QTest::keyClicks(text2, "-4x5+");
    QCOMPARE(text2->text(), QString("-45"));
    QTest::keyClick(text2, Qt::Key_Backspace);
    QCOMPARE(text2->text(), QString("-4"));
    // Enter in a box presses OK.
    QTest::keyClick(text2, Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result().plus, 123.0);
    QCOMPARE(dialog.result().minus, -4);
}

void TestDialogs::progressDialogCancelTag() {
    frmbar bar;
    ProgressView& view = bar;
    QCOMPARE(bar.windowTitle(), QString("Forwarding"));
    view.setRange(0, 63);
    view.setValue(10);
    auto* progress = child<QProgressBar>(&bar, "ProgressBar1");
    QCOMPARE(progress->maximum(), 63);
    QCOMPARE(progress->value(), 10);

    view.showModeless();
    QVERIFY(view.isShown());
    QVERIFY(!bar.isModal());
    QCOMPARE(bar.tag(), QString("0"));
    auto* cancel = child<QPushButton>(&bar, "Com_Cancel");
    QCOMPARE(cancel->text(), QString("Cancel"));
    QTest::mouseClick(cancel, Qt::LeftButton);
    QVERIFY(view.cancelRequested());
    QCOMPARE(bar.tag(), QString("1"));

    // Hiding keeps the request for the operation to read; the operation resets it.
    view.hide();
    QVERIFY(!view.isShown());
    QVERIFY(view.cancelRequested());
    view.resetCancel();
    QVERIFY(!view.cancelRequested());

    // Closing the window is a Cancel: the dialog stays until the operation hides it.
    view.showModeless();
    bar.close();
    QVERIFY(view.isShown());
    QCOMPARE(bar.tag(), QString("1"));
}

void TestDialogs::progressDialogUsableWhileOwnerDisabled() {
    QWidget owner;
    owner.show();
    auto* bar = new frmbar(&owner);
    auto* stop = new frmstop([] {}, &owner);
    owner.setEnabled(false);
    bar->showModeless();
    stop->show();
    QVERIFY(bar->isEnabled());
    QVERIFY(stop->isEnabled());
    QTest::mouseClick(child<QPushButton>(bar, "Com_Cancel"), Qt::LeftButton);
    QVERIFY(bar->cancelRequested());

    // Disabled after being shown, too.
    owner.setEnabled(true);
    owner.setEnabled(false);
    QVERIFY(bar->isEnabled());
    QVERIFY(stop->isEnabled());
}

void TestDialogs::stopDialogWithoutOpenPortWritesNothing() {
    LinkState state;
    RecordingChannel channel;
    Link link(state, channel);
    frmstop dialog([&] { link.writeStop(); });
    QCOMPARE(dialog.windowTitle(), QString("STOP"));
    QVERIFY(dialog.findChild<QLabel*>()->text() == "Press STOP to pause return to origin.");
    QCOMPARE(child<QPushButton>(&dialog, "Command1")->text(), QString("STOP"));
    dialog.show();
    click(&dialog, "Command1");
    QVERIFY(dialog.isVisible()); // only its window's motion state hides it
    QVERIFY(channel.written.isEmpty());
    QCOMPARE(link.sentText(), QString());

    // No visible main window at all.
    frmstop orphan([] {});
    orphan.show();
    click(&orphan, "Command1");
    QVERIFY(orphan.isVisible());
}

void TestDialogs::stopDialogWritesStopCharacterToOpenPort_data() {
    QTest::addColumn<int>("key"); // 0: a click on STOP
    QTest::newRow("STOP clicked") << 0;
    // The dialog has the keyboard focus on STOP once it appears.
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Space") << int(Qt::Key_Space);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

void TestDialogs::stopDialogWritesStopCharacterToOpenPort() {
    QFETCH(int, key);
    // A return to origin holds the port open: STOP writes the stop character at once and the
    // return to origin's own exchange ends with the controller's STOP reply.
    VirtualController controller;
    controller.setMotionDuration(3000);
    SimulatedChannel channel(controller);
    LinkState state;
    Link link(state, channel);
    QStringList sent;
    connect(&link, &Link::commandSent, this, [&](const QString& s) { sent << s; });
    frmstop dialog([&] { link.writeStop(); });
    dialog.show();
    QByteArray receivedAtStop;
    QWidget* focused = nullptr;
    QTimer::singleShot(150, this, [&] {
        receivedAtStop = controller.received();
        focused = QApplication::focusWidget();
        if (key == 0)
            click(&dialog, "Command1");
        else if (focused)
            QTest::keyClick(focused, Qt::Key(key));
    });
    link.ReplyTimeoutMs = 30000;
    link.ClearCommand();
    link.P_Command = Command::ORG;
    link.BuildCommand();
    QElapsedTimer clock;
    clock.start();
    const ExchangeResult r = link.Exchange();
    QVERIFY(clock.elapsed() < 2000);
    QCOMPARE(focused, child<QWidget>(&dialog, "Command1"));
    QCOMPARE(receivedAtStop, QByteArray("@ORG ,\r\n"));
    QCOMPARE(controller.received(), QByteArray("@ORG ,\r\n\x03"));
    QCOMPARE(r.ReplyText, QString("STOP\r\n61:STOP COMMAND\r\n"));
    sent.removeAll(QString()); // the boxes are emptied as each exchange sets up
    QCOMPARE(sent, (QStringList{"@ORG ,\r\n", QString(QChar(3))}));
    QCOMPARE(dialog.fields().P_Command, 400);
    QCOMPARE(dialog.fields().sousinnaiyou, QString(QChar(3)));
    QVERIFY(dialog.isVisible());

    // With no motion pending (a query's port is open, or none) STOP writes nothing.
    RecordingChannel recording;
    recording.openFlag = true;
    Link idle(state, recording);
    frmstop other([&] { idle.writeStop(); });
    other.show();
    click(&other, "Command1");
    QVERIFY(recording.written.isEmpty());
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
