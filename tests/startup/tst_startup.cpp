#include "FakeChannel.h"
#include "startup/StartupSequence.h"
#include "startup/ui/frmselect.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using Kind = StartupSequence::Kind;
Q_DECLARE_METATYPE(StartupSequence::Kind)

class TestStartup : public QObject {
    Q_OBJECT
  private slots:
    void kindFromReply_data();
    void kindFromReply();
    void answerAfterTwoSecondsIsIgnored();
    void foundLabelStaysAtLeast300ms();
    void portComesFromIni();
    void windowHandsOverAndFallsBack();

  private:
    QTemporaryDir m_dir;
};

void TestStartup::kindFromReply_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("expected"); // 0 point, 1 pulse, -1 manual choice
    // What the main window's status bar says from the start; empty: nothing.
    QTest::addColumn<QString>("problems");
    QTest::newRow("kind 0") << QByteArray("0\r\nOK\r\n") << 0 << "";
    QTest::newRow("kind 1") << QByteArray("1\r\nOK\r\n") << 1 << "";
    QTest::newRow("kind 2") << QByteArray("2\r\nOK\r\n") << -1 << "COM1: unexpected reply \"2 OK\"";
    QTest::newRow("no answer") << QByteArray() << -1 << "COM1: no answer within 2 s";
    QTest::newRow("NG answer") << QByteArray("NG\r\n37:ERR\r\n") << -1
                               << "COM1: unexpected reply \"NG 37:ERR\"";
    QTest::newRow("garbage before") << QByteArray("\xff\xfe 1\r\nOK\r\n") << -1
                                    << QString("COM1: unexpected reply \"\u00ff\u00fe 1 OK\"");
    QTest::newRow("port cannot be opened") << QByteArray("open:/dev/ttyS0: Permission denied") << -1
                                           << "COM1: /dev/ttyS0: Permission denied";
}

void TestStartup::kindFromReply() {
    QFETCH(QByteArray, reply);
    QFETCH(int, expected);
    QFETCH(QString, problems);
    LinkState state;
    FakeChannel channel;
    if (reply.startsWith("open:"))
        channel.openError = QString::fromLatin1(reply.mid(5));
    else if (!reply.isEmpty())
        channel.replies = {{{20, reply}}};
    StartupSequence seq(state, channel, m_dir.filePath("none.ini"));
    QSignalSpy open(&seq, &StartupSequence::openMainWindow);
    QSignalSpy manual(&seq, &StartupSequence::manualChoiceOffered);
    QSignalSpy status(&seq, &StartupSequence::statusText);
    seq.run();
    QCOMPARE(seq.problems(), problems);
    if (!channel.openError.isEmpty())
        return;
    QCOMPARE(channel.written, QByteArray("@?PRM 13,\r\n"));
    QVERIFY(!channel.isOpen());
    if (expected < 0) {
        QCOMPARE(open.count(), 0);
        QCOMPARE(manual.count(), 1);
        QCOMPARE(status.constLast().at(0).toString(),
                 QString("Controller type cannot be obtained"));
    } else {
        QCOMPARE(manual.count(), 0);
        QCOMPARE(open.count(), 1);
        QCOMPARE(open.at(0).at(0).value<Kind>(),
                 expected == 0 ? Kind::PointInput : Kind::PulseTrain);
        QCOMPARE(status.constLast().at(0).toString(), QString("Controller type found"));
    }
    QCOMPARE(status.constFirst().at(0).toString(), QString("Retrieving controller type"));
}

void TestStartup::answerAfterTwoSecondsIsIgnored() {
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{2300, "0\r\nOK\r\n"}}};
    StartupSequence seq(state, channel, m_dir.filePath("none.ini"));
    QSignalSpy open(&seq, &StartupSequence::openMainWindow);
    QSignalSpy manual(&seq, &StartupSequence::manualChoiceOffered);
    QElapsedTimer t;
    t.start();
    seq.run();
    QVERIFY(t.elapsed() >= 2000);
    QCOMPARE(manual.count(), 1);
    QTest::qWait(400); // the late answer arrives at a closed port and changes nothing
    QCOMPARE(open.count(), 0);
}

void TestStartup::foundLabelStaysAtLeast300ms() {
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{5, "1\r\nOK\r\n"}}};
    StartupSequence seq(state, channel, m_dir.filePath("none.ini"));
    QElapsedTimer t;
    qint64 foundAt = -1;
    qint64 openAt = -1;
    connect(&seq, &StartupSequence::statusText, this, [&](const QString& s) {
        if (s == "Controller type found")
            foundAt = t.elapsed();
    });
    connect(&seq, &StartupSequence::openMainWindow, this, [&] { openAt = t.elapsed(); });
    t.start();
    seq.run();
    QVERIFY(foundAt >= 0);
    QVERIFY(openAt >= 300);
}

void TestStartup::portComesFromIni() {
    const QString ini = m_dir.filePath("QRX5.ini");
    QFile f(ini);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[Data]\r\nCOM= 8\r\n");
    f.close();
    LinkState state;
    FakeChannel channel;
    StartupSequence seq(state, channel, ini);
    seq.link().ReplyTimeoutMs = 10;
    seq.run();
    QCOMPARE(state.PortName, QString("COM8"));
    QCOMPARE(channel.openedPorts, QStringList{"COM8"});
}

void TestStartup::windowHandsOverAndFallsBack() {
    LinkState state;
    FakeChannel channel; // silent: manual choice
    channel.path = "/dev/ttyS0";
    // A QRX5.ini that cannot be read gives COM1, as a missing one does, and is said at once.
    const QString ini = m_dir.filePath("folder.ini");
    QVERIFY(QDir().mkpath(ini));
    StartupSequence seq(state, channel, ini);
    QList<Kind> shown;
    int ended = 0;
    frmselect window(
        seq, [&](Kind k) { shown << k; }, [&] { ++ended; });
    QCOMPARE(window.windowTitle(), QString("QRX5 Support-Software"));
    window.start();
    auto* frame = window.findChild<QGroupBox*>("Frame1");
    auto* ok = window.findChild<QPushButton*>("Command1");
    QVERIFY(frame->isVisible());
    QVERIFY(ok->isVisible());
    // What happened stays readable above the choice, with the port that was tried.
    auto* label = window.findChild<QLabel*>("Label1");
    QVERIFY(label->isVisible());
    QCOMPARE(label->text(), QString("Controller type cannot be obtained"));
    QCOMPARE(window.findChild<QLabel*>("lblPortTried")->text(),
             QString("COM1 \u2192 /dev/ttyS0: no answer within 2 s"));
    QVERIFY(window.findChild<QLabel*>("lblIniProblem")->isVisible());
    QCOMPARE(window.findChild<QLabel*>("lblIniProblem")->text(),
             "QRX5.ini cannot be read; the port is COM1 (/dev/ttyS0). " + ini + ": it is a folder");
    QCOMPARE(seq.iniProblem(), window.findChild<QLabel*>("lblIniProblem")->text());
    QCOMPARE(frame->title(), QString("Select controller type."));
    const QByteArray sentBefore = channel.written;
    // An option has the focus and Enter confirms, without a Tab first.
    auto* pulse = window.findChild<QRadioButton*>("Option1_1");
    QCOMPARE(window.focusWidget(), window.findChild<QRadioButton*>("Option1_0"));
    pulse->setChecked(true);
    QTest::keyClick(window.focusWidget(), Qt::Key_Return);
    QCOMPARE(shown, QList<Kind>{Kind::PulseTrain});
    QVERIFY(!window.isVisible());
    QCOMPARE(channel.written, sentBefore); // nothing more is sent with the manual choice
    QCOMPARE(ended, 0);
    window.close();
    QCOMPARE(ended, 1);
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
