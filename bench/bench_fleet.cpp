// Several controllers at once: qrx5-cli --receive of four full point-input controllers
// (qrx5-sim --pace --fill on pseudo-terminals) in one run, against the same receive of one
// controller alone. The wall time is the whole process, from its start to its exit.
// Usage: bench_fleet [runs]   (qrx5-cli and qrx5-sim beside this program; 5 runs by default)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "BenchSim.h"

using bench::Sim;

namespace {

constexpr int Controllers = 4;

// The wall time of a qrx5-cli run that ended well, else -1.
qint64 runCli(const QString& bin, const QStringList& args) {
    qint64 ms = -1;
    return bench::runCli(bin, args, &ms) == 0 ? ms : -1;
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

double median(QList<qint64> values) {
    std::sort(values.begin(), values.end());
    return double(values[values.size() / 2]);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 5;
    const QString dir = QCoreApplication::applicationDirPath();
    const QString cli = QDir(dir).filePath(QStringLiteral("qrx5-cli"));
    QTemporaryDir tmp;
    std::vector<std::unique_ptr<Sim>> sims;
    QStringList devices;
    for (int i = 0; i < Controllers; ++i) {
        auto sim = std::make_unique<Sim>();
        const QString link = tmp.filePath(QStringLiteral("line%1").arg(i + 1));
        if (!sim->start(QDir(dir).filePath(QStringLiteral("qrx5-sim")),
                        {"--kind", "point", "--type", "33", "--pace", "--fill", "--link", link})) {
            std::fprintf(stderr, "cannot start qrx5-sim\n");
            return 1;
        }
        devices << link;
        sims.push_back(std::move(sim));
    }

    const QString alone = tmp.filePath(QStringLiteral("alone.csv"));
    const QString folder = tmp.filePath(QStringLiteral("folder"));
    QList<qint64> ones;
    QList<qint64> fours;
    for (int i = 0; i < runs; ++i) {
        const qint64 one = runCli(cli, {"--port", devices[0], "--receive", alone, "--yes"});
        const qint64 four =
            runCli(cli, {"--port", devices.join(QLatin1Char(',')), "--receive", folder, "--yes"});
        if (one < 0 || four < 0) {
            std::fprintf(stderr, "receive failed\n");
            return 1;
        }
        // Every controller holds the same full table: each file is the one received alone.
        for (int c = 0; c < Controllers; ++c)
            if (bytesOf(QDir(folder).filePath(QStringLiteral("line%1.csv").arg(c + 1))) !=
                bytesOf(alone)) {
                std::fprintf(stderr, "the file of line%d differs from the one received alone\n",
                             c + 1);
                return 1;
            }
        ones << one;
        fours << four;
        std::printf("run %d: one controller %lld ms, four at once %lld ms, ratio %.3f\n", i + 1,
                    one, four, double(four) / double(one));
    }
    std::printf("median: one %.0f ms, four %.0f ms, ratio %.3f (target within 1.2; four one "
                "after another would be %.1f)\n",
                median(ones), median(fours), median(fours) / median(ones), double(Controllers));
    return 0;
}
