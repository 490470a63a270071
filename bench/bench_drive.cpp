// CPU of the main windows while their drive panels wait for the operator, through a
// pseudo-terminal against qrx5-sim pacing at 9600 bit/s:
//  (a) point-input window: 10 s of Teaching Playback with no jog button held (nothing should
//      run at all);
//  (b) point-input window: 10 s of Direct Teaching polling the position: one "@?POS " and one
//      "@?PRM 35" after the other, so the rate is set by the line time, not by the CPU;
//  (c) pulse-train window: 10 s of its direct teaching polling, the same two exchanges with a
//      20 ms pause between cycles.
// Usage: bench_drive [path-to-qrx5-sim] [--pulse]   (default: qrx5-sim beside this program;
// --pulse runs (c) alone)
#include "link/LinkState.h"
#include "pointops/PointDrive.h"
#include "pointops/ui/DrivePanel.h"
#include "pointops/ui/frmMain.h"
#include "pulse/PulseDrive.h"
#include "pulse/ui/PulsePanel.h"
#include "pulse/ui/frmpulseMaindemo.h"
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
#include <memory>

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

// Lets the event loop run for ms and reports the polling's CPU and rate: one cycle is
// "@?POS ," CR LF and " 0.00" CR LF "OK" CR LF, then "@?PRM 35," CR LF and "0" CR LF "OK" CR LF
// on the line, plus pauseMs.
void measurePolling(const char* what, Link& link, int ms, double pauseMs) {
    int positionReads = 0;
    const auto counter = QObject::connect(&link, &Link::commandSent, [&](const QString& line) {
        if (line.startsWith(QLatin1String("@?POS")))
            ++positionReads;
    });
    QElapsedTimer wall;
    wall.start();
    const double cpu = cpuDuring(ms);
    const double elapsed = wall.elapsed();
    QObject::disconnect(counter);
    const double cycleLineMs = (9 + 11 + 11 + 7) * MsPerChar + pauseMs;
    const double cycleMs = elapsed / qMax(1, positionReads);
    std::printf("%s: %.1f ms CPU in %.0f ms (%.2f %% of one core); %d position reads, %.1f ms "
                "per cycle against %.1f ms line time and pause (%.1f ms above)\n",
                what, cpu, elapsed, 100.0 * cpu / elapsed, positionReads, cycleMs, cycleLineMs,
                cycleMs - cycleLineMs);
}

void settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

constexpr int MeasureMs = 10000;

// A main window of the kind on its own qrx5-sim, pacing at 9600 bit/s.
template <typename Window> struct Bench {
    Sim sim;
    QTemporaryDir scratch;
    SimulatorHub hub;
    LinkState state;
    YesOperator op;
    std::unique_ptr<RoutedChannel> channel;
    std::unique_ptr<Window> window;

    bool start(const QString& bin, const char* kind) {
        if (!sim.start(bin, {"--kind", kind, "--pace"})) {
            std::fprintf(stderr, "cannot start %s\n", qPrintable(bin));
            return false;
        }
        const QString ini = iniFor(sim.device, scratch);
        channel = std::make_unique<RoutedChannel>(ini, hub);
        window = std::make_unique<Window>(state, op, *channel, ini);
        window->show();
        return true;
    }
    int failed(const char* what) const {
        std::fprintf(stderr, "%s did not start: %s\n", what, qPrintable(op.messages.join("; ")));
        return 1;
    }
};

int pointPanel(const QString& bin) {
    Bench<frmMain> b;
    if (!b.start(bin, "point"))
        return 1;
    frmMain& window = *b.window;
    DrivePanel* panel = window.drivePanel();

    // (a) Teaching Playback: after its return to origin the panel waits for a jog button.
    panel->teachingOption(2)->click();
    if (!panel->button("Cmd_Op")->isEnabled())
        return b.failed("Teaching Playback");
    int exchanges = 0;
    const auto counter = QObject::connect(&window.link(), &Link::commandSent, [&] { ++exchanges; });
    const double idleCpu = cpuDuring(MeasureMs);
    QObject::disconnect(counter);
    std::printf("(a) Teaching Playback, no button held: %.1f ms CPU in %d ms (%.3f %% of one "
                "core), %d exchanges\n",
                idleCpu, MeasureMs, 100.0 * idleCpu / MeasureMs, exchanges);
    window.drive().settingClicked(); // closes the teaching method

    // (b) Direct Teaching: return to origin, servo off, then the position polling.
    panel->teachingOption(1)->click();
    settle(500);
    if (window.driveState().panelMode != DriveState::DirectTeaching)
        return b.failed("Direct Teaching");
    measurePolling("(b) Direct Teaching polling", window.link(), MeasureMs, 0);
    window.drive().teachingSelected(0); // back to Numeric Input: the polling ends
    return 0;
}

int pulseTeaching(const QString& bin) {
    Bench<frmpulseMaindemo> b;
    if (!b.start(bin, "pulse"))
        return 1;
    frmpulseMaindemo& window = *b.window;

    // (c) "Position": return to origin, parameter 35, servo off, then the polling.
    window.panel()->button("Cmd_TargetP")->click();
    settle(500);
    if (!window.drive().teaching())
        return b.failed("direct teaching");
    measurePolling("(c) pulse-train direct teaching polling", window.link(), MeasureMs, 20);
    window.drive().settingClicked(); // ends the teaching
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool pulseOnly = args.removeAll(QStringLiteral("--pulse")) > 0;
    const QString bin = !args.isEmpty()
                            ? args.first()
                            : QDir(QCoreApplication::applicationDirPath()).filePath("qrx5-sim");
    if (!pulseOnly && pointPanel(bin) != 0)
        return 1;
    return pulseTeaching(bin);
}
