// The two reports of a failed exchange, told under the operation's own title, and the one
// restore step that follows them.
#include "FakeChannel.h"
#include "FakeProgress.h"
#include "ScriptedOperator.h"
#include "link/Link.h"
#include "transfers/LinkReports.h"

#include <QTest>

namespace {
struct RecordingHost final : OperationHost {
    bool numericMode = true;
    QStringList calls;
    void restore() override { calls << "restore"; }
    void disableWindow() override { calls << "disable"; }
    bool numericInputMode() const override { return numericMode; }
    void focusNumericInputOption() override { calls << "focus"; }
    void refreshDependentDisplays() override {}
    bool confirmDiscard() override { return true; }
};

// A link on a fake channel with everything a report needs around it.
struct Rig {
    LinkState state;
    FakeChannel channel;
    Link link{state, channel};
    ScriptedOperator op;
    FakeProgress progress;
    RecordingHost host;
    OperationState opState;
    OperationContext context(const QString& title) {
        return {link, op, progress, host, opState, title};
    }
    ExchangeResult exchange(const QString& line, int timeoutMs = 200) {
        link.ReplyTimeoutMs = timeoutMs;
        link.sousinnaiyou = line;
        return link.Exchange();
    }
};
} // namespace

class TestLinkReports : public QObject {
    Q_OBJECT
  private slots:
    void linkErrorTitledByItsOperation();
    void linkErrorQuietCases();
    void replyError();
    void linkErrorSaysWhy_data();
    void linkErrorSaysWhy();
    void cancelTakesTheOperationsOwnMessage();
    void refusedLineIsAlwaysTold();
};

void TestLinkReports::linkErrorTitledByItsOperation() {
    Rig r;
    r.host.numericMode = false;
    const ExchangeResult failed = r.exchange("@READ PNT ,\r\n");
    Ops::reportLinkError(r.context("Point reception"), failed);
    QCOMPARE(r.op.beeps, 1);
    QCOMPARE(r.op.prompts.size(), 1);
    QCOMPARE(r.op.last().title, QString("Point reception"));
    QCOMPARE(r.op.last().text, QString("The communication error. Please check the connection."));
    QCOMPARE(r.op.last().icon, OperatorInteraction::Icon::None);
    QCOMPARE(r.host.calls, (QStringList{"focus", "restore"}));
    QCOMPARE(r.opState.failureReports, 1);
}

// Quiet while settei is set, while a motion's own exchange waits, and for a missing pushing
// object (which the motion tells); the window is put back all the same.
void TestLinkReports::linkErrorQuietCases() {
    ExchangeResult failed;
    failed.end = ExchangeResult::End::NoReplyEnd;
    {
        Rig r;
        r.opState.settei = 1;
        Ops::reportLinkError(r.context("Drive"), failed);
        QCOMPARE(r.op.beeps, 0);
        QVERIFY(r.op.prompts.isEmpty());
        QCOMPARE(r.host.calls, QStringList{"restore"});
    }
    {
        Rig r;
        r.opState.orgpos = 1;
        Ops::reportLinkError(r.context("Org"), failed);
        QCOMPARE(r.op.beeps, 0);
        QVERIFY(r.op.prompts.isEmpty());
        QCOMPARE(r.host.calls, QStringList{"restore"});
    }
    {
        Rig r;
        failed.ReplyText = "STOP\r\n64:NO WORK\r\n";
        Ops::reportLinkError(r.context("Size detection"), failed);
        QCOMPARE(r.op.beeps, 1);
        QVERIFY(r.op.prompts.isEmpty());
    }
}

void TestLinkReports::replyError() {
    Rig r;
    r.channel.replies = {{{5, "NG\r\n37:RANGE OVER\r\n"}}};
    const ExchangeResult refused = r.exchange("PRM1=99999\r\n", 500);
    Ops::reportReplyError(r.context("Parameter"), refused);
    QCOMPARE(r.link.errorText(), QString("NG\r\n37:RANGE OVER\r\n"));
    QCOMPARE(r.op.prompts.size(), 1);
    QCOMPARE(r.op.last().title, QString("Error"));
    QCOMPARE(r.op.last().text, QString("Cannot receive data from controller."));
    QCOMPARE(r.op.last().icon, OperatorInteraction::Icon::Critical);
    QVERIFY(r.link.sousinnaiyou.isEmpty());
    QCOMPARE(r.host.calls, QStringList{"restore"});
}

// Beneath the fixed text: the port, where it leads and why the exchange failed.
void TestLinkReports::linkErrorSaysWhy_data() {
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

void TestLinkReports::linkErrorSaysWhy() {
    QFETCH(QString, openError);
    QFETCH(QByteArray, reply);
    QFETCH(QString, informative);
    Rig r;
    r.state.PortName = "COM4";
    r.channel.path = "/dev/ttyS3";
    r.channel.held = openError.startsWith("held:");
    r.channel.openError = openError.mid(r.channel.held ? 5 : 0);
    if (!reply.isEmpty())
        r.channel.replies = {{{5, reply}}};
    const ExchangeResult result = r.exchange("@READ PRM ,\r\n");
    Ops::reportLinkError(r.context("Compare"), result);
    QCOMPARE(r.op.last().text, QString("The communication error. Please check the connection."));
    QCOMPARE(r.op.last().informative, informative);
}

// A wait the operator cancelled is told with the operation's own Cancel message, which
// belongs to its context and so cannot outlive it.
void TestLinkReports::cancelTakesTheOperationsOwnMessage() {
    Rig r;
    r.link.attachProgress(r.progress);
    QTimer::singleShot(20, [&] { r.progress.clickCancel(); });
    const ExchangeResult cancelled = r.exchange("@READ PRM ,\r\n", 2000);
    QVERIFY(cancelled.cancelled());
    Ops::reportLinkError(Ops::withCancel(r.context("Compare"), "Compare", "Stop"), cancelled);
    QCOMPARE(r.op.last().title, QString("Compare"));
    QCOMPARE(r.op.last().text, QString("Stop"));
    Ops::reportLinkError(r.context("Point reception"), cancelled);
    QCOMPARE(r.op.last().title, QString("Stop"));
    QCOMPARE(r.op.last().text, QString("Data un-transmitting."));
    QCOMPARE(r.opState.failureReports, 0);
}

void TestLinkReports::refusedLineIsAlwaysTold() {
    Rig r;
    const ExchangeResult refused = r.exchange("PRM4=100\r\n@INIT PNT ,\r\n");
    QVERIFY(refused.refusedLine());
    QCOMPARE(r.link.errorText(), QString("PRM4=100<CR><LF>@INIT PNT ,<CR><LF>"));
    // Even where a time-out would pass quietly (settei, a motion under way).
    r.opState.settei = 1;
    r.opState.orgpos = 1;
    Ops::reportLinkError(r.context("Parameter reception"), refused);
    QCOMPARE(r.op.beeps, 0);
    QCOMPARE(r.op.prompts.size(), 1);
    QCOMPARE(r.op.last().title, QString("Parameter reception"));
    QCOMPARE(r.op.last().text, QString(Ops::LineRefusedText));
    QCOMPARE(r.op.last().icon, OperatorInteraction::Icon::Warning);
    QCOMPARE(r.op.last().informative, QString("PRM4=100<CR><LF>@INIT PNT ,<CR><LF>"));
    QCOMPARE(r.host.calls, QStringList{"restore"});
}

QTEST_GUILESS_MAIN(TestLinkReports)
#include "tst_linkreports.moc"
