// The traffic log: what the link writes into it and how far it grows.
#include "FakeChannel.h"
#include "link/Command.h"
#include "link/Link.h"
#include "link/TrafficLog.h"

#include <QRegularExpression>
#include <QTest>
#include <QTimer>

using Piece = FakeChannel::Piece;

namespace {
// The log's lines without their time stamps, after checking that each has one.
QStringList withoutTimes(const TrafficLog& log) {
    static const QRegularExpression stamp(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d "));
    QStringList out;
    for (const QString& line : log.lines()) {
        if (!stamp.match(line).hasMatch())
            return {QStringLiteral("no time stamp: ") + line};
        out << line.mid(13);
    }
    return out;
}

ExchangeResult exchange(Link& link, int code, const QString& argument, int timeoutMs) {
    link.ReplyTimeoutMs = timeoutMs;
    link.ClearCommand();
    link.P_Command = code;
    link.P_second = argument;
    link.BuildCommand();
    return link.Exchange();
}
} // namespace

class TestTrafficLog : public QObject {
    Q_OBJECT
  private slots:
    void linkLogsEveryLineOnce();
    void keepsTheLastLines();
    void floodStaysWithinItsCharacters();
    void stopReplyAfterAFloodIsSeen();
};

// Replies split across reads are logged as whole lines; the stop character written during a
// motion, a time-out and a port that cannot be opened all show.
void TestTrafficLog::linkLogsEveryLineOnce() {
    LinkState state;
    FakeChannel channel;
    channel.path = "/dev/ttyUSB0";
    Link link(state, channel);
    channel.replies = {{{5, "1\r"}, {10, "\nO"}, {15, "K\r\n"}},
                       {},
                       {{20, "STOP\r\n61:STOP"}, {30, " COMMAND\r\n"}},
                       {}};
    QCOMPARE(exchange(link, Command::QueryPRM, "13", 1000).ReplyText, QString("1\r\nOK\r\n"));

    QTimer::singleShot(30, &link, [&] { QVERIFY(link.writeStop() == Link::StopWrite::Written); });
    QVERIFY(exchange(link, Command::ORG, {}, 2000).ReplyText.startsWith("STOP"));

    QVERIFY(exchange(link, Command::QueryVER, {}, 50).Timeout());

    channel.openError = "Permission denied";
    exchange(link, Command::QueryVER, {}, 50);

    QCOMPARE(
        withoutTimes(*state.traffic),
        (QStringList{"TX @?PRM 13,<CR><LF>", "RX 1<CR><LF>", "RX OK<CR><LF>", "TX @ORG ,<CR><LF>",
                     "TX <ETX>", "RX STOP<CR><LF>", "RX 61:STOP COMMAND<CR><LF>",
                     "TX @?VER ,<CR><LF>", "!! COM1 → /dev/ttyUSB0: no reply end within 50 ms",
                     "!! COM1 → /dev/ttyUSB0: Permission denied"}));
}

// The log keeps the last 10 000 lines; a device that streams without line ends cannot grow
// it without limit either.
void TestTrafficLog::keepsTheLastLines() {
    TrafficLog log;
    for (int i = 0; i < TrafficLog::MaxLines + 5; ++i)
        log.received(QByteArray("P") + QByteArray::number(i) + "=\r\n");
    QCOMPARE(log.size(), TrafficLog::MaxLines);
    QVERIFY(log.lines().constFirst().endsWith(" RX P5=<CR><LF>"));
    QVERIFY(log.lines().constLast().endsWith(
        QString(" RX P%1=<CR><LF>").arg(TrafficLog::MaxLines + 4)));

    log.clear();
    log.received(QByteArray(TrafficLog::MaxLineBytes * 2 + 10, 'x'));
    QCOMPARE(log.size(), 2);
    log.endOfExchange();
    QCOMPARE(withoutTimes(log).constLast(), QString("RX ") + QString(10, 'x'));
    log.sent(QByteArray("\x1a\x80\xff"));
    QCOMPARE(withoutTimes(log).constLast(), QString("TX <SUB><80><ff>"));
}

// A megabyte of noise is several megabytes of text once made visible: the log lets its oldest
// lines go so that it never holds more than its bound, and says how many went.
void TestTrafficLog::floodStaysWithinItsCharacters() {
    TrafficLog log;
    log.sent("@?POS ,\r\n");
    int dropped = 0;
    connect(&log, &TrafficLog::linesDropped, this, [&](int n) { dropped += n; });
    QByteArray noise(1024 * 1024, '\x80');
    for (qsizetype i = 0; i < noise.size(); i += 97)
        noise[i] = char(i % 32); // control characters, some of them line ends
    log.received(noise + "STOP\r\n");

    QVERIFY(log.chars() <= TrafficLog::MaxChars);
    QVERIFY(log.text().size() <= TrafficLog::MaxChars + log.size());
    QVERIFY(dropped > 0);
    QVERIFY(!log.text().contains(" TX @?POS"));
    QVERIFY(log.lines().constLast().endsWith("STOP<CR><LF>"));
}

// However much noise comes first, a motion's "STOP" reply that follows it ends the exchange.
void TestTrafficLog::stopReplyAfterAFloodIsSeen() {
    LinkState state;
    FakeChannel channel;
    channel.replies = {{{5, QByteArray(200 * 1024, 'A')}, {20, "STOP\r\n61:STOP COMMAND\r\n"}}};
    Link link(state, channel);
    link.ReplyTimeoutMs = 2000;
    link.P_Command = Command::ORG;
    link.BuildCommand();
    const ExchangeResult r = link.Exchange();
    QVERIFY(!r.Timeout());
    QVERIFY(r.ReplyText.size() <= 64 * 1024);
    QVERIFY(r.ReplyText.endsWith("STOP\r\n61:STOP COMMAND\r\n"));
    QCOMPARE(link.errorText(), QString("STOP\r\n61:STOP COMMAND\r\n"));
}

QTEST_GUILESS_MAIN(TestTrafficLog)
#include "tst_trafficlog.moc"
