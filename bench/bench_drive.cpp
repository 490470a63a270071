// CPU of the point-input window while its drive panel waits for the operator, through a
// pseudo-terminal against qrx5-sim pacing at 9600 bit/s:
//  (a) 10 s of Teaching Playback with no jog button held (nothing should run at all);
//  (b) 10 s of Direct Teaching polling the position: one "@?POS " and one "@?PRM 35" after
//      the other, so the rate is set by the line time, not by the CPU.
// Usage: bench_drive [path-to-qrx5-sim]   (default: qrx5-sim beside this program)
#include "link/LinkState.h"
#include "pointops/PointDrive.h"
#include "pointops/ui/DrivePanel.h"
#include "pointops/ui/frmMain.h"
#include "simulator/RoutedChannel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <ctime>

#include "BenchSim.h"

using bench::iniFor;
using bench::MsPerChar;
using bench::Sim;
using bench::YesOperator;

namespace {

double cpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

// Lets the event loop run for ms and returns the CPU time the program used meanwhile.
double cpuDuring(int ms) {
    const double before = cpuMs();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return cpuMs() - before;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString bin = argc > 1
                            ? QString::fromLocal8Bit(argv[1])
                            : QDir(QCoreApplication::applicationDirPath()).filePath("qrx5-sim");
    Sim sim;
    if (!sim.start(bin, {"--kind", "point", "--pace"})) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(bin));
        return 1;
    }
    QTemporaryDir scratch;
    const QString ini = iniFor(sim.device, scratch);
    SimulatorHub hub;
    RoutedChannel channel(ini, hub);
    LinkState state;
    YesOperator op;
    frmMain window(state, op, channel, ini);
    window.show();
    DrivePanel* panel = window.drivePanel();
    constexpr int MeasureMs = 10000;

    // (a) Teaching Playback: after its return to origin the panel waits for a jog button.
    panel->teachingOption(2)->click();
    if (!panel->button("Cmd_Op")->isEnabled()) {
        std::fprintf(stderr, "Teaching Playback did not start: %s\n",
                     qPrintable(op.messages.join("; ")));
        return 1;
    }
    int exchanges = 0;
    QObject::connect(&window.link(), &Link::commandSent, [&] { ++exchanges; });
    const double idleCpu = cpuDuring(MeasureMs);
    std::printf("(a) Teaching Playback, no button held: %.1f ms CPU in %d ms (%.3f %% of one "
                "core), %d exchanges\n",
                idleCpu, MeasureMs, 100.0 * idleCpu / MeasureMs, exchanges);
    window.drive().settingClicked(); // closes the teaching method

    // (b) Direct Teaching: return to origin, servo off, then the position polling.
    panel->teachingOption(1)->click();
    QEventLoop settle;
    QTimer::singleShot(500, &settle, &QEventLoop::quit);
    settle.exec();
    if (window.driveState().panelMode != DriveState::DirectTeaching) {
        std::fprintf(stderr, "Direct Teaching did not start: %s\n",
                     qPrintable(op.messages.join("; ")));
        return 1;
    }
    int positionReads = 0;
    QObject::connect(&window.link(), &Link::commandSent, [&](const QString& line) {
        if (line.startsWith(QLatin1String("@?POS")))
            ++positionReads;
    });
    QElapsedTimer wall;
    wall.start();
    const double pollCpu = cpuDuring(MeasureMs);
    const double elapsed = wall.elapsed();
    // One cycle on the line: "@?POS ," CR LF and " 0.00" CR LF "OK" CR LF, then "@?PRM 35,"
    // CR LF and "0" CR LF "OK" CR LF.
    const double cycleLineMs = (9 + 11 + 11 + 7) * MsPerChar;
    const double cycleMs = elapsed / qMax(1, positionReads);
    std::printf("(b) Direct Teaching polling: %.1f ms CPU in %.0f ms (%.2f %% of one core); "
                "%d position reads, %.1f ms per cycle against %.1f ms line time (%.1f ms "
                "above)\n",
                pollCpu, elapsed, 100.0 * pollCpu / elapsed, positionReads, cycleMs, cycleLineMs,
                cycleMs - cycleLineMs);
    window.drive().teachingSelected(0); // back to Numeric Input: the polling ends
    return 0;
}
