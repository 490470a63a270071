// Whole-table transfers of the point-input window through a pseudo-terminal against qrx5-sim
// pacing at 9600 bit/s, run through the operations themselves:
//  (a) Transmit(Points) of a full 64-point table against its protocol floor: 64 data lines
//      at their 100 ms each plus the line time of every other character on the line;
//  (b) Receive(Points) of the full table against its line time; the difference is the
//      exchange overhead.
// Usage: bench_transfer [path-to-qrx5-sim]   (default: qrx5-sim beside this program)
#include "link/Link.h"
#include "operator/ProgressView.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/PointOpsContext.h"
#include "pointops/ReceiveOps.h"
#include "pointops/TransmitPoints.h"
#include "simulator/RoutedChannel.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "BenchSim.h"

using bench::iniFor;
using bench::MsPerChar;
using bench::Sim;
using bench::YesOperator;

namespace {
constexpr double DataLineMs = 100.0; // time-out of each data line

class QuietProgress final : public ProgressView {
  public:
    void setRange(int, int) override {}
    void setValue(int) override {}
    void showModeless() override { m_shown = true; }
    void hide() override { m_shown = false; }
    bool isShown() const override { return m_shown; }
    bool cancelRequested() const override { return false; }
    void resetCancel() override {}

  private:
    bool m_shown = false;
};

class QuietHost final : public OperationHost {
  public:
    void restore() override {}
    void disableWindow() override {}
    void refreshDependentDisplays() override {}
    bool confirmDiscard() override { return true; }
};

// Characters on the line during one operation: data lines of a write block apart.
struct LineCount {
    qsizetype dataLines = 0;
    qsizetype otherChars = 0;
    void reset() { *this = {}; }
};

bool isPointDataLine(const QString& line) {
    return line.size() > 1 && line[0] == QLatin1Char('P') && line[1].isDigit();
}

PointTableData fullTable() {
    PointTableData table;
    for (int n = 0; n < PointCount; ++n)
        table[n] = {QStringLiteral("U"),
                    QString::number(-10.0 + n * 0.25, 'f', 2),
                    QStringLiteral("50"),
                    QStringLiteral("10"),
                    {}};
    return table;
}

double median(QList<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString bin = argc > 1
                            ? QString::fromLocal8Bit(argv[1])
                            : QDir(QCoreApplication::applicationDirPath()).filePath("qrx5-sim");
    Sim sim;
    if (!sim.start(bin, {"--kind", "point", "--pace"})) {
        std::fprintf(stderr, "cannot start %s\n", qPrintable(bin));
        return 1;
    }
    QTemporaryDir dir;
    SimulatorHub hub;
    RoutedChannel channel(iniFor(sim.device, dir), hub);
    LinkState state;
    Link link(state, channel);
    YesOperator op;
    QuietProgress progress;
    QuietHost host;
    OperationState opState;
    PointTableModel points(op);
    ParameterTableModel params(op);
    PointOpsContext ctx{{link, op, progress, host, opState}, points, params};

    LineCount count;
    QObject::connect(&link, &Link::commandSent, [&](const QString& line) {
        if (isPointDataLine(line))
            ++count.dataLines;
        else
            count.otherChars += line.size();
    });
    QObject::connect(&link, &Link::replyReceived,
                     [&](const QString& reply) { count.otherChars += reply.size(); });

    // (a) Transmit(Points)
    const PointTableData table = fullTable();
    QList<double> walls;
    double floorMs = 0;
    for (int run = 0; run < 3; ++run) {
        points.setTable(table);
        op.messages.clear();
        count.reset();
        QElapsedTimer t;
        t.start();
        TransmitPoints::run(ctx);
        walls << t.nsecsElapsed() / 1e6;
        if (op.messages != QStringList{"Transmit Point: Transmitting has finished."} ||
            count.dataLines != PointCount) {
            std::fprintf(stderr, "Transmit(Points) did not finish: %s (%lld data lines)\n",
                         qPrintable(op.messages.join(QStringLiteral(" / "))),
                         qlonglong(count.dataLines));
            return 1;
        }
        floorMs = count.dataLines * DataLineMs + count.otherChars * MsPerChar;
    }
    const double wall = median(walls);
    std::printf("(a) Transmit(Points), 64 points, %lld other characters on the line: protocol "
                "floor %.0f ms (64 x %.0f ms + %.1f ms line time); wall median %.0f ms over "
                "%lld runs (min %.0f, max %.0f), %.1f %% above the floor\n",
                qlonglong(count.otherChars), floorMs, DataLineMs, count.otherChars * MsPerChar,
                wall, qlonglong(walls.size()), *std::min_element(walls.begin(), walls.end()),
                *std::max_element(walls.begin(), walls.end()), 100.0 * (wall - floorMs) / floorMs);

    // (b) Receive(Points) of the table just written
    QList<double> reads;
    double lineMs = 0;
    for (int run = 0; run < 5; ++run) {
        points.clear();
        op.messages.clear();
        count.reset();
        QElapsedTimer t;
        t.start();
        ReceiveOps::receivePoints(ctx);
        reads << t.nsecsElapsed() / 1e6;
        if (points.table() != table) {
            std::fprintf(stderr, "Receive(Points) did not read the table back: %s\n",
                         qPrintable(op.messages.join(QStringLiteral(" / "))));
            return 1;
        }
        lineMs = count.otherChars * MsPerChar;
    }
    const double read = median(reads);
    std::printf("(b) Receive(Points), 64 points, %lld characters on the line: line time "
                "%.1f ms; wall median %.1f ms over %lld runs (min %.1f, max %.1f); exchange "
                "overhead %.1f ms (%.1f %% above line time)\n",
                qlonglong(count.otherChars), lineMs, read, qlonglong(reads.size()),
                *std::min_element(reads.begin(), reads.end()),
                *std::max_element(reads.begin(), reads.end()), read - lineMs,
                100.0 * (read - lineMs) / lineMs);
    return 0;
}
