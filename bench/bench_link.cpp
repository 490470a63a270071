// Link benchmarks through a pseudo-terminal against qrx5-sim pacing at 9600 bit/s:
//  (a) overhead of one exchange above the line time of its command and reply,
//  (b) CPU time used while one exchange waits 5 s for a reply that never comes,
//  (c) "@READ PNT " of a full 64-point table, wall time against its line time,
//  (d) Cancel while an exchange waits for a silent controller: time until the wait ends.
// Usage: bench_link [path-to-qrx5-sim]   (default: qrx5-sim beside this program)
#include "link/Command.h"
#include "link/Link.h"
#include "operator/ProgressView.h"
#include "simulator/RoutedChannel.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "BenchSim.h"

using bench::iniFor;
using bench::MsPerChar;
using bench::Sim;

namespace {

double cpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

// A progress dialog whose Cancel the benchmark clicks.
struct ClickableProgress final : ProgressView {
    bool tag = false;
    void setRange(int, int) override {}
    void setValue(int) override {}
    void showModeless() override {}
    void hide() override {}
    bool isShown() const override { return true; }
    bool cancelRequested() const override { return tag; }
    void resetCancel() override { tag = false; }
    void click() {
        tag = true;
        notifyCancelClicked();
    }
};

// One exchange; its milliseconds, and its result in `last`.
ExchangeResult last;
double exchange(Link& link, int code, const QString& second, int timeoutMs) {
    link.ReplyTimeoutMs = timeoutMs;
    link.ClearCommand();
    link.P_Command = code;
    link.P_second = second;
    link.BuildCommand();
    QElapsedTimer t;
    t.start();
    last = link.Exchange();
    return t.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString bin = argc > 1
                            ? QString::fromLocal8Bit(argv[1])
                            : QDir(QCoreApplication::applicationDirPath()).filePath("qrx5-sim");
    LinkState state;
    QTemporaryDir scratch;

    { // (a) exchange overhead
        Sim sim;
        if (!sim.start(bin, {"--kind", "point", "--pace"})) {
            std::fprintf(stderr, "cannot start %s\n", qPrintable(bin));
            return 1;
        }
        SimulatorHub hub;
        RoutedChannel channel(iniFor(sim.device, scratch), hub);
        Link link(state, channel);
        QList<double> overheads;
        QList<double> own;
        QElapsedTimer clock;
        clock.start();
        qint64 writtenNs = 0;
        qint64 lastReadNs = 0;
        QObject::connect(&link, &Link::commandSent, [&] { writtenNs = clock.nsecsElapsed(); });
        QObject::connect(&channel, &SerialChannel::readyRead,
                         [&] { lastReadNs = clock.nsecsElapsed(); });
        for (int i = 0; i < 41; ++i) {
            const qint64 startNs = clock.nsecsElapsed();
            const double ms = exchange(link, Command::QueryPRM, "13", 2000);
            const qint64 endNs = clock.nsecsElapsed();
            // The program's own share: before the line is written, and after the reply end
            // has arrived.
            own << ((writtenNs - startNs) + (endNs - lastReadNs)) / 1e6;
            const double line = (link.sousinnaiyou.size() + last.ReplyText.size()) * MsPerChar;
            if (last.Timeout()) {
                std::fprintf(stderr, "time-out in (a): reply [%s] fault [%s]\n",
                             qPrintable(last.ReplyText), qPrintable(channel.errorString()));
                return 1;
            }
            overheads << ms - line;
        }
        std::sort(overheads.begin(), overheads.end());
        std::sort(own.begin(), own.end());
        std::printf("(a) one exchange \"@?PRM 13,\" (18 characters on the line, %.1f ms) over "
                    "%lld runs: wall above line time median %.2f ms (min %.2f, max %.2f), of "
                    "which the program's own (open, write, close, reply detection) median "
                    "%.2f ms (max %.2f); the rest is the simulator's millisecond timers\n",
                    18 * MsPerChar, qlonglong(overheads.size()), overheads[overheads.size() / 2],
                    overheads.first(), overheads.last(), own[own.size() / 2], own.last());

        // (c) full point table: write 64 points, then read them back.
        exchange(link, Command::WritePNT, {}, 3000);
        for (int n = 0; n < 64; ++n) {
            link.ClearCommand();
            link.P_Command = Command::PointData;
            link.P_second = QStringLiteral("%1=U,%2,120,10")
                                .arg(n)
                                .arg(QString::number(-10.0 + n * 0.25, 'f', 2));
            link.BuildCommand();
            link.ReplyTimeoutMs = 100;
            link.Exchange();
        }
        exchange(link, Command::EndOfData, {}, 3000);
        QList<double> reads;
        qsizetype replyChars = 0;
        for (int i = 0; i < 5; ++i) {
            reads << exchange(link, Command::ReadPNT, {}, 5000);
            replyChars = last.ReplyText.size();
        }
        std::sort(reads.begin(), reads.end());
        const double line = (13 + replyChars) * MsPerChar;
        std::printf("(c) \"@READ PNT \" of 64 points: %lld reply characters, line time %.1f ms, "
                    "wall median %.1f ms (%.1f %% above line time)\n",
                    qlonglong(replyChars), line, reads[reads.size() / 2],
                    100.0 * (reads[reads.size() / 2] - line) / line);
    }

    { // (b) CPU while waiting for a reply that never comes
        Sim sim;
        if (!sim.start(bin, {"--kind", "point", "--silent"}))
            return 1;
        SimulatorHub hub;
        RoutedChannel channel(iniFor(sim.device, scratch), hub);
        Link link(state, channel);
        const double cpu0 = cpuMs();
        const double wall = exchange(link, Command::QueryVER, {}, 5000);
        const double cpu = cpuMs() - cpu0;
        std::printf("(b) 5 s wait for a reply that never comes: wall %.0f ms, CPU %.1f ms "
                    "(%.3f %% of one core), time-out %s\n",
                    wall, cpu, 100.0 * cpu / wall, last.Timeout() ? "set" : "NOT set");

        // (d) Cancel during such a wait, 20 times at different moments.
        ClickableProgress progress;
        link.attachProgress(progress);
        QList<double> latencies;
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 20; ++i) {
            qint64 clickedNs = 0;
            QTimer::singleShot(50 + 10 * i, [&] {
                clickedNs = clock.nsecsElapsed();
                progress.click();
            });
            exchange(link, Command::QueryVER, {}, 1000);
            latencies << (clock.nsecsElapsed() - clickedNs) / 1e6;
            progress.resetCancel();
            // The cancelled exchange keeps the line until its own time-out; wait that out.
            link.ClearCommand();
            link.BuildCommand();
            if (!last.cancelled()) {
                std::fprintf(stderr, "(d) the wait was not cancelled\n");
                return 1;
            }
        }
        std::sort(latencies.begin(), latencies.end());
        std::printf(
            "(d) Cancel while waiting up to 1 s for a silent controller, %lld runs: the wait "
            "ended after median %.2f ms (max %.2f ms)\n",
            qlonglong(latencies.size()), latencies[latencies.size() / 2], latencies.last());
    }
    return 0;
}
