// The start-up to a filled main window against qrx5-sim --pace holding full tables (64 points
// of mode U, or 4 zones, and the parameters), through the serial port class on a
// pseudo-terminal, with the program's real start-up window and main windows (run it under the
// offscreen platform). The floor is the line time of what went over the line: the reads after
// the kind is known (every character both ways, counted from the traffic log, at 11 bits a
// character and 9600 bit/s), plus the 300 ms for which the start-up window shows "Controller
// type found" from the kind query's sending on (the kind query's own line time lies inside it).
// Usage: QT_QPA_PLATFORM=offscreen bench_startup [runs]   (qrx5-sim beside it; 5 runs)
#include "link/LinkState.h"
#include "link/TrafficLog.h"
#include "pointdata/PointTableModel.h"
#include "pointops/ui/frmMain.h"
#include "pulse/ZoneTableModel.h"
#include "pulse/ui/frmpulseMaindemo.h"
#include "simulator/RoutedChannel.h"
#include "startup/StartupSequence.h"
#include "startup/ui/frmselect.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "BenchSim.h"

using bench::MsPerChar;
using bench::Sim;

namespace {

// Characters on the line in log lines from `from` on: each <NAME> or <HEX> stands for one
// byte; notes ("!!") are not on the line.
qint64 lineCharacters(const QStringList& lines, int from) {
    static const QRegularExpression control(QStringLiteral("<[0-9A-Za-z]{2,3}>"));
    qint64 chars = 0;
    for (int i = from; i < lines.size(); ++i) {
        const QString direction = lines[i].mid(13, 2);
        if (direction != QLatin1String("TX") && direction != QLatin1String("RX"))
            continue;
        QString text = lines[i].mid(16);
        text.replace(control, QStringLiteral("."));
        chars += text.size();
    }
    return chars;
}

struct Run {
    qint64 totalMs = 0; // from the start-up window's start to the main window shown
    qint64 readMs = 0;  // from the kind known to the main window shown
    qint64 chars = 0;   // characters of the reads
    int rows = 0;       // points or zones filled when the window was shown
};

Run startOnce(const QString& ini, bool pulse) {
    LinkState state;
    SimulatorHub hub;
    RoutedChannel pointPort(ini, hub);
    RoutedChannel pulsePort(ini, hub);
    bench::YesOperator op;
    frmMain pointWindow(state, op, pointPort, ini);
    frmpulseMaindemo pulseWindow(state, op, pulsePort, ini);
    StartupSequence sequence(state, pointPort, ini);
    sequence.setTableReader(op, [&](StartupSequence::Kind kind) {
        return kind == StartupSequence::Kind::PointInput ? pointWindow.startupTables()
                                                         : pulseWindow.startupTables();
    });
    Run run;
    QElapsedTimer clock;
    qint64 kindKnownMs = 0;
    int kindLines = 0;
    QObject::connect(&sequence, &StartupSequence::kindDetected, [&] {
        kindKnownMs = clock.elapsed();
        kindLines = state.traffic->size();
    });
    frmselect select(
        sequence,
        [&](StartupSequence::Kind) {
            run.totalMs = clock.elapsed();
            run.readMs = run.totalMs - kindKnownMs;
            if (pulse) {
                for (const ZoneRecord& z : pulseWindow.zones().table())
                    run.rows += !z.a.isEmpty();
                pulseWindow.show();
            } else {
                for (const PointRecord& p : pointWindow.points().table())
                    run.rows += !p.mode.isEmpty();
                pointWindow.show();
            }
        },
        {});
    clock.start();
    select.start();
    run.chars = lineCharacters(state.traffic->lines(), kindLines);
    return run;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 5;
    const QString dir = QCoreApplication::applicationDirPath();
    for (const bool pulse : {false, true}) {
        QTemporaryDir tmp;
        Sim sim;
        if (!sim.start(QDir(dir).filePath(QStringLiteral("qrx5-sim")),
                       {"--kind", pulse ? "pulse" : "point", "--type", "33", "--pace", "--fill"})) {
            std::fprintf(stderr, "cannot start qrx5-sim\n");
            return 1;
        }
        const QString ini = bench::iniFor(sim.device, tmp);
        QList<double> ratios;
        QList<double> totals;
        for (int i = 0; i < runs; ++i) {
            const Run r = startOnce(ini, pulse);
            const double lineMs = r.chars * MsPerChar;
            const double floorMs = 300.0 + lineMs;
            ratios << r.readMs / lineMs;
            totals << r.totalMs / floorMs;
            std::printf("%s %d: %d rows, reads %lld characters, line time %.0f ms; reads %lld ms "
                        "(ratio %.3f); start-up %lld ms against a floor of %.0f ms (ratio %.3f)\n",
                        pulse ? "pulse" : "point", i + 1, r.rows, r.chars, lineMs, r.readMs,
                        r.readMs / lineMs, r.totalMs, floorMs, r.totalMs / floorMs);
        }
        std::sort(ratios.begin(), ratios.end());
        std::sort(totals.begin(), totals.end());
        std::printf("%s: reads median ratio %.3f (max %.3f); start-up median ratio %.3f (max "
                    "%.3f); target within 1.05\n",
                    pulse ? "pulse" : "point", ratios[ratios.size() / 2], ratios.constLast(),
                    totals[totals.size() / 2], totals.constLast());
    }
    return 0;
}
