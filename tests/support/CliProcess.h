#pragma once

// qrx5-cli and qrx5-sim as processes, as an engineer's script runs them: the binaries named by
// QRX5_CLI_BIN and QRX5_SIM_BIN, no display at all.
#include "pointdata/PointParameters.h"
#include "pointdata/SettingsFile.h"
#include "pulse/PulseParameters.h"
#include "pulse/PulseSettingsFile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>
#endif

namespace cliprocess {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

// qrx5-sim serving one controller until the test ends it; what it received is in record.
// With a link name its device is also reached through that link in dir.
struct Sim {
    QProcess process;
    QString device;
    QString record;
    bool start(const QTemporaryDir& dir, QStringList args, const QString& link = {}) {
        record = dir.filePath((link.isEmpty() ? QStringLiteral("received") : link) + ".bin");
        if (!link.isEmpty())
            args << "--link" << dir.filePath(link);
        process.start(qEnvironmentVariable("QRX5_SIM_BIN"), args + QStringList{"--record", record});
        if (!process.waitForStarted(5000) || !process.waitForReadyRead(5000))
            return false;
        device = link.isEmpty() ? QString::fromLocal8Bit(process.readLine()).trimmed()
                                : dir.filePath(link);
        return !device.isEmpty();
    }
    // Ends the controller and returns every byte it received.
    QByteArray stop() {
        process.terminate();
        process.waitForFinished(5000);
        QFile f(record);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(no record)");
    }
    ~Sim() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(2000);
        }
    }
};

// Runs qrx5-cli (or a copy of it at program) to its end; with interruptAfterMs, the
// interrupt key is pressed once that long after the start: as from a terminal, the signal
// goes to the whole process group the run was started in.
inline Run cli(const QStringList& args, int interruptAfterMs = 0, const QString& program = {}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
#ifdef Q_OS_UNIX
    if (interruptAfterMs > 0)
        p.setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
    p.start(program.isEmpty() ? qEnvironmentVariable("QRX5_CLI_BIN") : program, args);
    Run r;
    if (!p.waitForStarted(5000)) {
        r.err = QStringLiteral("qrx5-cli did not start");
        return r;
    }
#ifdef Q_OS_UNIX
    if (interruptAfterMs > 0 && !p.waitForFinished(interruptAfterMs))
        ::kill(-pid_t(p.processId()), SIGINT);
#endif
    if (p.state() != QProcess::NotRunning && !p.waitForFinished(30000)) {
        p.kill();
        r.err = QStringLiteral("qrx5-cli did not end");
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// A type-31 table with points of every mode and two parameters away from the defaults.
inline QByteArray settingsFile(const QString& point5Position = "5.00") {
    PointTableData points{};
    points[0] = {"A", "0.00", "50", "", ""};
    points[5] = {"U", point5Position, "30", "4", ""};
    points[7] = {"O", "", "5", "3", ""};
    points[63] = {"I", "-2.50", "12", "", ""};
    ParameterTableData params = PointParameters::initialTable("31");
    params[PointParameters::rowOfParameter(4)].setting = "80";
    params[PointParameters::rowOfParameter(30)].setting = "90";
    return SettingsFile::write(points, params);
}

// A type-32 pulse-train table: three zones set, two parameters away from the defaults.
inline QByteArray pulseFile(const QString& zone2B = "-30.00") {
    ZoneTableData zones{};
    zones[0] = {"-10.00", "-20.00", ""};
    zones[2] = {"-25.00", zone2B, ""};
    zones[3] = {"0.00", "5.00", ""};
    PulseParameterData params = PulseParameters::initialTable("32");
    params[PulseParameters::rowOfParameter(35)].setting = "-150";
    params[PulseParameters::rowOfParameter(53)].setting = "1999";
    return PulseSettingsFile::write(zones, params);
}

} // namespace cliprocess
