#include "FakeChannel.h"
#include "FakeProgress.h"
#include "ScriptedOperator.h"
#include "link/Command.h"
#include "link/Link.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

using Piece = FakeChannel::Piece;

namespace {
struct RecordingHost final : LinkHost {
    bool setteiFlag = false;
    int orgposValue = 0;
    bool numericMode = true;
    QStringList calls;
    bool settei() const override { return setteiFlag; }
    int orgpos() const override { return orgposValue; }
    bool numericInputMode() const override { return numericMode; }
    void focusNumericInputOption() override { calls << "focus"; }
    void clearMotionBusy() override { calls << "motion"; }
    void enableWindow() override { calls << "window"; }
    void hideProgress() override { calls << "progress"; }
    void enableToolbar() override { calls << "toolbar"; }
};
} // namespace

class TestLink : public QObject {
    Q_OBJECT
  private slots:
    void composedLines_data();
    void composedLines();
    void extractReplyValue_data();
    void extractReplyValue();

    void splitReplyEndsAfterLastPiece();
    void ngWaitsForLateDetailLine();
    void ngInsideWordIsAnNgReply();
    void stopReplyFillsErrorBox();
    void noReplyTimesOutAndClosesPort();
    void replyReadAfterDeadlineStillTimesOut();
    void missingDetailLineIsBounded();
    void secondCommandWaitsForPendingExchange();
    void portThatCannotOpenIsAFailure();
    void badPortNameOpensCom1();
    void garbageAndNonAsciiKeptLosslessly();
    void endlessStreamIsBounded();

    void reportLinkError();
    void reportLinkErrorQuietCases();
    void reportReplyError();

    void reportLinkErrorSaysWhy_data();
    void reportLinkErrorSaysWhy();
    void monitorBoxesClearedAtEachExchange();
    void cancelEndsWaitAndLateReplyStaysOut();
    void cancelWhileWaitingForTheLineSendsNothing();
    void cancelledExchangeReportsCancel();
    void linesWithControlCharactersAreNotWritten_data();
    void linesWithControlCharactersAreNotWritten();
    void refusedLineIsAlwaysReported();
};

void TestLink::composedLines_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("version") << 100 << "" << QByteArray("@?VER ,\r\n");
    QTest::newRow("parameter 13") << 103 << "13" << QByteArray("@?PRM 13,\r\n");
    QTest::newRow("read points") << 200 << "" << QByteArray("@READ PNT ,\r\n");
    QTest::newRow("parameter data line") << 301 << "35=100" << QByteArray("PRM35=100\r\n");
    QTest::newRow("point data line") << 300 << "3=A,1000,20" << QByteArray("P3=A,1000,20\r\n");
    QTest::newRow("zone data line") << 302 << "0=1,2" << QByteArray("Z0=1,2\r\n");
    QTest::newRow("stop") << 400 << "ignored" << QByteArray("\x03");
    QTest::newRow("end of data") << 401 << "" << QByteArray("\x1a");
    QTest::newRow("unknown code") << 999 << "x" << QByteArray("x,\r\n");
    QTest::newRow("negative argument") << 2 << "-5" << QByteArray("@MOVP -5,\r\n");
}

void TestLink::composedLines() {
    QFETCH(int, code);
    QFETCH(QString, second);
    QFETCH(QByteArray, expected);
    LinkState state;
    FakeChannel channel;
    Link link(state, channel);
    link.sousinnaiyou = "stale";
    link.P_first = "stale";
    link.ClearCommand();
    link.P_Command = code;
    link.P_second = second;
    link.BuildCommand();
    QCOMPARE(link.sousinnaiyou.toLatin1(), expected);
}

void TestLink::extractReplyValue_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("value");
    QTest::newRow("value OK CRLF") << "1\r\nOK\r\n"
                                   << "1";
    QTest::newRow("longer value") << " 12.30\r\nOK\r\n"
                                  << " 12.30";
    QTest::newRow("OK without CRLF") << "25\r\nOK"
                                     << "25";
    QTest::newRow("OK alone") << "OK"
                              << "";
    QTest::newRow("ends in CR") << "7\r\nOK\r"
                                << "7";
    QTest::newRow("short text whole") << "12345"
                                      << "12345";
    QTest::newRow("empty") << ""
                           << "";
}

void TestLink::extractReplyValue() {
    QFETCH(QString, reply);
    QFETCH(QString, value);
    QCOMPARE(Link::ExtractReplyValue(reply), value);
}

void TestLink::splitReplyEndsAfterLastPiece() {
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{10, "0\r\nO"}, {120, "K\r\n"}}};
    Link link(state, channel);
    link.ReplyTimeoutMs = 2000;
    link.P_Command = Command::QueryPRM;
    link.P_second = "13";
    link.BuildCommand();
    QElapsedTimer t;
    t.start();
    link.Exchange();
    QVERIFY(t.elapsed() >= 110);
    QCOMPARE(link.ReplyText, QString("0\r\nOK\r\n"));
    QVERIFY(!link.Timeout);
    QVERIFY(!channel.isOpen());
    QVERIFY(!state.LinkBusy);
    QCOMPARE(link.receivedText(), link.ReplyText);
    QCOMPARE(link.sentText(), QString("@?PRM 13,\r\n"));
}

void TestLink::ngWaitsForLateDetailLine() {
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{5, "NG\r\n"}, {150, "37:RANGE OVER\r\n"}}};
    Link link(state, channel);
    link.ReplyTimeoutMs = 1000;
    link.sousinnaiyou = "PRM1=5\r\n";
    link.Exchange();
    QCOMPARE(link.ReplyText, QString("NG\r\n37:RANGE OVER\r\n"));
    QCOMPARE(link.errorText(), QString("NG\r\n37:RANGE OVER\r\n"));
    QVERIFY(!link.Timeout);
}

void TestLink::ngInsideWordIsAnNgReply() {
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{5, "RANGE\r\nOK\r\n"}}};
    Link link(state, channel);
    link.ReplyTimeoutMs = 500;
    link.sousinnaiyou = "x";
    link.Exchange();
    QVERIFY(!link.Timeout);
    QVERIFY(link.ReplyText.contains("NG"));
    QCOMPARE(link.ReplyText, QString("RANGE\r\nOK\r\n"));
    QCOMPARE(link.errorText(), QString("NGE\r\nOK\r\n"));
}

void TestLink::stopReplyFillsErrorBox() {
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{5, "STOP\r\n"}, {30, "61:STOP COMMAND\r\n"}}};
    Link link(state, channel);
    link.ReplyTimeoutMs = 1000;
    link.sousinnaiyou = "@ORG ,\r\n";
    link.Exchange();
    QCOMPARE(link.ReplyText, QString("STOP\r\n61:STOP COMMAND\r\n"));
    QCOMPARE(link.errorText(), QString("STOP\r\n61:STOP COMMAND\r\n"));
}

void TestLink::noReplyTimesOutAndClosesPort() {
    LinkState state;
    FakeChannel channel;
    Link link(state, channel);
    link.ReplyTimeoutMs = 200;
    link.sousinnaiyou = "@?VER ,\r\n";
    QSignalSpy sent(&link, &Link::commandSent);
    QElapsedTimer t;
    t.start();
    link.Exchange();
    QVERIFY(t.elapsed() >= 200);
    QVERIFY(t.elapsed() < 2000);
    QVERIFY(link.Timeout);
    QVERIFY(link.ReplyText.isEmpty());
    QVERIFY(!channel.isOpen());
    QCOMPARE(channel.closes, 1);
    QVERIFY(!state.LinkBusy);
    QCOMPARE(sent.constLast().at(0).toString(), QString("@?VER ,\r\n"));
}

void TestLink::replyReadAfterDeadlineStillTimesOut() {
    // The window is blocked past the deadline while the complete reply waits at the port:
    // the reply is read whole, but the clock after the read decides the time-out.
    LinkState state;
    FakeChannel channel;
    Link link(state, channel);
    link.ReplyTimeoutMs = 100;
    link.sousinnaiyou = "@?POS ,\r\n";
    QTimer::singleShot(10, &channel, [&] {
        channel.clearBuffers();
        QSignalBlocker block(channel);
        channel.deliver(" 12.30\r\nOK\r\n");
        QThread::msleep(200);
    });
    link.Exchange();
    QCOMPARE(link.ReplyText, QString(" 12.30\r\nOK\r\n"));
    QVERIFY(link.Timeout);
}

void TestLink::missingDetailLineIsBounded() {
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{5, "NG\r\n37:RANGE"}}};
    Link link(state, channel);
    link.ReplyTimeoutMs = 150;
    link.sousinnaiyou = "P1=A,1,1\r\n";
    QElapsedTimer t;
    t.start();
    link.Exchange();
    QVERIFY(t.elapsed() < 2000);
    QCOMPARE(link.ReplyText, QString("NG\r\n37:RANGE"));
    QVERIFY(!state.LinkBusy);
}

void TestLink::secondCommandWaitsForPendingExchange() {
    LinkState state;
    FakeChannel channelA;
    FakeChannel channelB;
    channelA.replies = {{{200, "A\r\nOK\r\n"}}};
    channelB.replies = {{{10, "B\r\nOK\r\n"}}};
    Link a(state, channelA);
    Link b(state, channelB);
    a.ReplyTimeoutMs = b.ReplyTimeoutMs = 2000;
    a.sousinnaiyou = "first";

    QElapsedTimer t;
    qint64 bWrittenAt = -1;
    QString bReply;
    QTimer::singleShot(30, &b, [&] {
        QVERIFY(state.LinkBusy);
        b.P_Command = Command::QueryPOS;
        b.BuildCommand(); // waits here until a's reply has arrived
        QVERIFY(!state.LinkBusy);
        QVERIFY(channelB.written.isEmpty());
        b.Exchange();
        bWrittenAt = t.elapsed();
        bReply = b.ReplyText;
    });
    t.start();
    a.Exchange();
    // The interrupted operation finds its own exchange finished, with its own reply.
    QCOMPARE(a.ReplyText, QString("A\r\nOK\r\n"));
    QVERIFY(!a.Timeout);
    QVERIFY(bWrittenAt >= 200);
    QCOMPARE(channelB.written, QByteArray("@?POS ,\r\n"));
    QCOMPARE(bReply, QString("B\r\nOK\r\n"));
}

void TestLink::portThatCannotOpenIsAFailure() {
    LinkState state;
    FakeChannel channel;
    channel.openError = "/dev/ttyS7: Permission denied";
    Link link(state, channel);
    QSignalSpy fault(&link, &Link::portFault);
    link.ReplyTimeoutMs = 3000;
    link.sousinnaiyou = "@?VER ,\r\n";
    QElapsedTimer t;
    t.start();
    link.Exchange();
    QVERIFY(t.elapsed() < 1000);
    QVERIFY(link.Timeout);
    QVERIFY(!state.LinkBusy);
    QCOMPARE(fault.count(), 1);
    QCOMPARE(fault.at(0).at(0).toString(), QString("/dev/ttyS7: Permission denied"));
}

void TestLink::badPortNameOpensCom1() {
    for (const QString name : {"COM9", "", "COM0", "com3", "COM12"}) {
        LinkState state;
        state.PortName = name;
        FakeChannel channel;
        Link link(state, channel);
        link.ReplyTimeoutMs = 10;
        link.Exchange();
        QCOMPARE(channel.openedPorts, QStringList{"COM1"});
        QCOMPARE(state.PortName, QString("COM1"));
    }
}

void TestLink::garbageAndNonAsciiKeptLosslessly() {
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{5, QByteArray("\x00\xff\xe9z\r\n", 6)}, {10, "OK\r\n"}}};
    Link link(state, channel);
    link.ReplyTimeoutMs = 500;
    link.sousinnaiyou = "x";
    link.Exchange();
    QVERIFY(!link.Timeout);
    QCOMPARE(link.ReplyText.toLatin1(), QByteArray("\x00\xff\xe9z\r\nOK\r\n", 10));
}

void TestLink::endlessStreamIsBounded() {
    LinkState state;
    FakeChannel channel;
    Link link(state, channel);
    link.ReplyTimeoutMs = 300;
    link.sousinnaiyou = "x";
    QTimer flood;
    connect(&flood, &QTimer::timeout, &channel, [&] { channel.deliver(QByteArray(8192, 'A')); });
    flood.start(1);
    link.Exchange();
    flood.stop();
    QVERIFY(link.Timeout);
    QVERIFY(link.ReplyText.size() <= 64 * 1024);
    QVERIFY(link.ReplyText.size() > 8192);
}

void TestLink::reportLinkError() {
    LinkState state;
    FakeChannel channel;
    Link link(state, channel);
    link.operationTitle = "Point reception";
    ScriptedOperator op;
    RecordingHost host;
    host.numericMode = false;
    link.ReportLinkError(op, host);
    QCOMPARE(op.beeps, 1);
    QCOMPARE(op.prompts.size(), 1);
    QCOMPARE(op.last().title, QString("Point reception"));
    QCOMPARE(op.last().text, QString("The communication error. Please check the connection."));
    QCOMPARE(op.last().icon, OperatorInteraction::Icon::None);
    QCOMPARE(host.calls, (QStringList{"focus", "motion", "window", "progress", "toolbar"}));
}

void TestLink::reportLinkErrorQuietCases() {
    LinkState state;
    FakeChannel channel;
    Link link(state, channel);
    {
        ScriptedOperator op;
        RecordingHost host;
        host.setteiFlag = true;
        link.ReportLinkError(op, host);
        QCOMPARE(op.beeps, 0);
        QVERIFY(host.calls.isEmpty());
    }
    {
        ScriptedOperator op;
        RecordingHost host;
        host.orgposValue = 1;
        link.ReportLinkError(op, host);
        QCOMPARE(op.beeps, 0);
        QVERIFY(op.prompts.isEmpty());
        QCOMPARE(host.calls, (QStringList{"motion", "window", "progress", "toolbar"}));
    }
    {
        ScriptedOperator op;
        RecordingHost host;
        link.ReplyText = "STOP\r\n64:NO WORK\r\n";
        link.ReportLinkError(op, host);
        QCOMPARE(op.beeps, 1);
        QVERIFY(op.prompts.isEmpty());
    }
}

void TestLink::reportReplyError() {
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{5, "NG\r\n37:RANGE OVER\r\n"}}};
    Link link(state, channel);
    link.ReplyTimeoutMs = 500;
    link.sousinnaiyou = "PRM1=99999\r\n";
    link.Exchange();
    ScriptedOperator op;
    RecordingHost host;
    link.ReportReplyError(op, host);
    QCOMPARE(link.errorText(), QString("NG\r\n37:RANGE OVER\r\n"));
    QCOMPARE(op.prompts.size(), 1);
    QCOMPARE(op.last().title, QString("Error"));
    QCOMPARE(op.last().text, QString("Cannot receive data from controller."));
    QCOMPARE(op.last().icon, OperatorInteraction::Icon::Critical);
    QVERIFY(link.ReplyText.isEmpty());
    QVERIFY(link.sousinnaiyou.isEmpty());
    QCOMPARE(host.calls, (QStringList{"motion", "window", "progress", "toolbar"}));
}

// Beneath the fixed text: the port, where it leads and why the exchange failed.
void TestLink::reportLinkErrorSaysWhy_data() {
    QTest::addColumn<QString>("openError");
    QTest::addColumn<QByteArray>("reply"); // sent 5 ms after the command
    QTest::addColumn<QString>("informative");
    QTest::newRow("port cannot be opened")
        << "/dev/ttyS3: No such file or directory" << QByteArray()
        << "COM4 → /dev/ttyS3: No such file or directory";
    QTest::newRow("port held by another program")
        << "held:/dev/ttyS3: Permission error while locking the device" << QByteArray()
        << "COM4 is in use by another program (/dev/ttyS3)";
    QTest::newRow("silent controller")
        << "" << QByteArray() << "COM4 → /dev/ttyS3: no answer within 0.2 s";
    QTest::newRow("reply without an end")
        << "" << QByteArray("3") << "COM4 → /dev/ttyS3: no complete reply within 0.2 s";
    QTest::newRow("reply not the one awaited")
        << "" << QByteArray("NG\r\n37:RANGE OVER\r\n")
        << "COM4 → /dev/ttyS3: unexpected reply \"NG 37:RANGE OVER\"";
}

void TestLink::reportLinkErrorSaysWhy() {
    QFETCH(QString, openError);
    QFETCH(QByteArray, reply);
    QFETCH(QString, informative);
    LinkState state;
    state.PortName = "COM4";
    FakeChannel channel;
    channel.path = "/dev/ttyS3";
    channel.held = openError.startsWith("held:");
    channel.openError = openError.mid(channel.held ? 5 : 0);
    if (!reply.isEmpty())
        channel.replies = {{{5, reply}}};
    Link link(state, channel);
    link.operationTitle = "Compare";
    link.ReplyTimeoutMs = 200;
    link.sousinnaiyou = "@READ PRM ,\r\n";
    link.Exchange();
    ScriptedOperator op;
    RecordingHost host;
    link.ReportLinkError(op, host);
    QCOMPARE(op.last().text, QString("The communication error. Please check the connection."));
    QCOMPARE(op.last().informative, informative);
}

// A port that cannot be opened leaves no earlier command or "OK" in the boxes.
void TestLink::monitorBoxesClearedAtEachExchange() {
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{5, "OK\r\n"}}};
    Link link(state, channel);
    link.ReplyTimeoutMs = 500;
    link.sousinnaiyou = "@INIT ORG ,\r\n";
    link.Exchange();
    QCOMPARE(link.receivedText(), QString("OK\r\n"));
    channel.openError = "/dev/ttyS0: Permission denied";
    link.Exchange();
    QVERIFY(link.sentText().isEmpty());
    QVERIFY(link.receivedText().isEmpty());
}

// Cancel ends a wait at once. The controller's late answer is swallowed by the cancelled
// exchange, and the next command goes out only after it: the next reply is its own.
void TestLink::cancelEndsWaitAndLateReplyStaysOut() {
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{600, "30\r\nOK\r\n"}}, {{800, "2000\r\nOK\r\n"}}};
    FakeProgress progress;
    Link link(state, channel);
    link.attachProgress(progress);
    link.ReplyTimeoutMs = 3000;
    link.sousinnaiyou = "@?PRM 0,\r\n";
    QTimer::singleShot(50, [&] { progress.clickCancel(); });
    link.Exchange();
    QVERIFY(link.cancelled());
    QVERIFY(link.Timeout);
    QVERIFY(link.ReplyText.isEmpty());

    link.ReplyTimeoutMs = 3000;
    link.ClearCommand();
    link.P_Command = Command::QueryPRM;
    link.P_second = "21";
    link.BuildCommand();
    link.Exchange();
    QVERIFY(!link.cancelled());
    QVERIFY(!link.Timeout);
    QCOMPARE(link.ReplyText, QString("2000\r\nOK\r\n"));
    QCOMPARE(link.receivedText(), QString("2000\r\nOK\r\n"));
    QVERIFY(!state.LinkBusy);
}

// A Cancel while an exchange waits for another one to end: nothing is written.
void TestLink::cancelWhileWaitingForTheLineSendsNothing() {
    LinkState state;
    FakeChannel channelA;
    FakeChannel channelB;
    channelA.replies = {{{600, "OK\r\n"}}};
    FakeProgress progress;
    Link a(state, channelA);
    Link b(state, channelB);
    b.attachProgress(progress);
    a.ReplyTimeoutMs = b.ReplyTimeoutMs = 3000;
    a.sousinnaiyou = "@ORG ,\r\n";
    b.sousinnaiyou = "@?POS ,\r\n";
    QTimer::singleShot(20, [&] {
        QTimer::singleShot(50, [&] { progress.clickCancel(); });
        b.Exchange();
        QVERIFY(b.cancelled());
        QVERIFY(channelB.written.isEmpty());
    });
    a.Exchange();
    QVERIFY(!a.cancelled());
    QCOMPARE(a.ReplyText, QString("OK\r\n"));
}

// An operation's own cancel message does not outlive it: the next operation that is
// cancelled shows the shared one.
void TestLink::cancelledExchangeReportsCancel() {
    LinkState state;
    FakeChannel channel;
    FakeProgress progress;
    Link link(state, channel);
    link.attachProgress(progress);
    link.operationTitle = "Compare";
    link.setCancelMessage("Compare", "Stop");
    link.ReplyTimeoutMs = 2000;
    QTimer::singleShot(20, [&] { progress.clickCancel(); });
    link.Exchange();
    ScriptedOperator op;
    RecordingHost host;
    link.ReportLinkError(op, host);
    QCOMPARE(op.last().title, QString("Compare"));
    QCOMPARE(op.last().text, QString("Stop"));
    link.operationTitle = "Point reception";
    link.ReportLinkError(op, host);
    QCOMPARE(op.last().title, QString("Stop"));
    QCOMPARE(op.last().text, QString("Data un-transmitting."));
}

void TestLink::linesWithControlCharactersAreNotWritten_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("sendable");
    QTest::newRow("command") << "@?PRM 13,\r\n" << true;
    QTest::newRow("stop character") << "\x03" << true;
    QTest::newRow("end of data") << "\x1a" << true;
    QTest::newRow("raw line without line end") << "@?SRVO" << true;
    QTest::newRow("CR LF inside a data line") << "PRM4=100\r\n@INIT PNT ,\r\n" << false;
    QTest::newRow("LF in an argument") << "@MOVP 1\n,\r\n" << false;
    QTest::newRow("CR without LF at the end") << "PRM4=100\r" << false;
    QTest::newRow("NUL") << QString("P1=A") + QChar(0) + ",5\r\n" << false;
    QTest::newRow("stop character inside") << "@ORG \x03,\r\n" << false;
    QTest::newRow("beyond ASCII") << "PRM4=1\u00e9\r\n" << false;
}

void TestLink::linesWithControlCharactersAreNotWritten() {
    QFETCH(QString, line);
    QFETCH(bool, sendable);
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{1, "OK\r\n"}}};
    Link link(state, channel);
    link.ReplyTimeoutMs = 300;
    link.sousinnaiyou = line;
    link.Exchange();
    QCOMPARE(link.LineRefused, !sendable);
    QCOMPARE(link.Timeout, !sendable);
    QCOMPARE(channel.written, sendable ? line.toLatin1() : QByteArray());
    QCOMPARE(channel.opens, sendable ? 1 : 0);
    QCOMPARE(link.writeToOpenPort(line), false); // the port is closed again either way
}

void TestLink::refusedLineIsAlwaysReported() {
    LinkState state;
    FakeChannel channel;
    Link link(state, channel);
    link.operationTitle = "Parameter reception";
    link.sousinnaiyou = "PRM4=100\r\n@INIT PNT ,\r\n";
    link.Exchange();
    QCOMPARE(link.errorText(), QString("PRM4=100<CR><LF>@INIT PNT ,<CR><LF>"));
    // Even where a time-out would pass quietly (settei, a motion under way).
    ScriptedOperator op;
    RecordingHost host;
    host.setteiFlag = true;
    host.orgposValue = 1;
    link.ReportLinkError(op, host);
    QCOMPARE(op.beeps, 0);
    QCOMPARE(op.prompts.size(), 1);
    QCOMPARE(op.last().title, QString("Parameter reception"));
    QCOMPARE(op.last().text, QString(Link::LineRefusedText));
    QCOMPARE(op.last().icon, OperatorInteraction::Icon::Warning);
    QCOMPARE(op.last().informative, QString("PRM4=100<CR><LF>@INIT PNT ,<CR><LF>"));
    QCOMPARE(host.calls, (QStringList{"motion", "window", "progress", "toolbar"}));
}

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
