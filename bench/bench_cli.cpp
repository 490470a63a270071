// qrx5-cli --receive of a full point-input controller against qrx5-sim --pace, as a ratio to
// the line time: every character that went over the line (both directions, counted from the
// traffic log the run writes) at 11 bits a character and 9600 bit/s. The wall time is the
// whole process, from its start to its exit.
// Usage: bench_cli [runs]   (qrx5-cli and qrx5-sim beside this program; 5 runs by default)
#include "pointdata/PointParameters.h"
#include "pointdata/SettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "BenchSim.h"

using bench::MsPerChar;
using bench::Sim;

namespace {

// A full table of a type-33 controller: 64 points of mode U (the longest lines).
QByteArray fullTable() {
    PointTableData points{};
    for (int n = 0; n < PointCount; ++n)
        points[n] = {"U",
                     QStringLiteral("%1.%2").arg(-39 + n).arg(n % 100, 2, 10, QChar('0')),
                     QString::number(100 + n % 20),
                     QString::number(1 + n % 10),
                     {}};
    return SettingsFile::write(points, PointParameters::initialTable("33"));
}

// Characters on the line, from a traffic log: each <NAME> or <HEX> stands for one byte; notes
// ("!!") are not on the line.
qint64 lineCharacters(const QString& logPath) {
    QFile f(logPath);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression control(QStringLiteral("<[0-9A-Z]{2,3}>"));
    qint64 chars = 0;
    for (const QString& line : QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts)) {
        const QString direction = line.mid(13, 2);
        if (direction != QLatin1String("TX") && direction != QLatin1String("RX"))
            continue;
        QString text = line.mid(16);
        text.replace(control, QStringLiteral("."));
        chars += text.size();
    }
    return chars;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 5;
    const QString dir = QCoreApplication::applicationDirPath();
    const QString cli = QDir(dir).filePath(QStringLiteral("qrx5-cli"));
    QTemporaryDir tmp;
    Sim sim;
    if (!sim.start(QDir(dir).filePath(QStringLiteral("qrx5-sim")),
                   {"--kind", "point", "--type", "33", "--pace"})) {
        std::fprintf(stderr, "cannot start qrx5-sim\n");
        return 1;
    }

    // Fill the controller through the command line itself.
    const QString table = tmp.filePath(QStringLiteral("full.csv"));
    QFile f(table);
    f.open(QIODevice::WriteOnly);
    f.write(fullTable());
    f.close();
    qint64 ms = 0;
    if (bench::runCli(cli, {"--port", sim.device, "--transmit", table, "--yes"}, &ms) != 0) {
        std::fprintf(stderr, "transmit failed\n");
        return 1;
    }
    std::printf("transmit of the full table (points and parameters): %lld ms wall\n", ms);

    QList<double> ratios;
    for (int i = 0; i < runs; ++i) {
        const QString out = tmp.filePath(QStringLiteral("backup%1.csv").arg(i));
        const QString log = tmp.filePath(QStringLiteral("traffic%1.txt").arg(i));
        if (bench::runCli(cli, {"--port", sim.device, "--receive", out, "--traffic", log}, &ms) !=
            0) {
            std::fprintf(stderr, "receive failed\n");
            return 1;
        }
        QFile back(out);
        back.open(QIODevice::ReadOnly);
        if (back.readAll() != fullTable()) {
            std::fprintf(stderr, "the backup differs from the table written\n");
            return 1;
        }
        const qint64 chars = lineCharacters(log);
        const double lineMs = chars * MsPerChar;
        ratios << ms / lineMs;
        std::printf("receive %d: %lld characters, line time %.0f ms, wall %lld ms, ratio %.3f "
                    "(%+.1f %%)\n",
                    i + 1, chars, lineMs, ms, ms / lineMs, (ms / lineMs - 1.0) * 100.0);
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("median ratio %.3f, max %.3f (target within 1.05)\n", ratios[ratios.size() / 2],
                ratios.constLast());
    return 0;
}
