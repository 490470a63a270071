#pragma once

// What the benchmarks share: qrx5-sim started on a pseudo-terminal, and a scratch INI file
// whose COM1 leads to it, as an operator would set it up.
#include "files/PrintSurface.h"
#include "link/Profile.h"
#include "operator/OperatorInteraction.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace bench {

// One character on a 9600 bit/s line with odd parity: start, 8 data, parity, stop bits.
constexpr double MsPerChar = 11.0 * 1000.0 / 9600.0;

struct Sim {
    QProcess process;
    QString device;
    bool start(const QString& bin, const QStringList& args) {
        process.start(bin, args);
        if (!process.waitForStarted(5000) || !process.waitForReadyRead(5000))
            return false;
        device = QString::fromLocal8Bit(process.readLine()).trimmed();
        return !device.isEmpty();
    }
    ~Sim() {
        process.terminate();
        process.waitForFinished(2000);
    }
};

inline QString iniFor(const QString& device, const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("QRX5.ini"));
    Profile::WriteSetting(device, QStringLiteral("COM1"), QStringLiteral("Ports"), path);
    return path;
}

// Says Yes to every question and keeps the messages, so a run can be checked afterwards.
class YesOperator final : public OperatorInteraction {
  public:
    QStringList messages;
    void message(const QString& title, const QString& text, Icon) override {
        messages << title + QStringLiteral(": ") + text;
    }
    Answer askYesNo(const QString&, const QString&, Icon) override { return Answer::Yes; }
    Answer askYesNoCancel(const QString&, const QString&, Icon) override { return Answer::Yes; }
    void beep() override {}
    QString openFileName(const FileRequest&) override { return {}; }
    QString saveFileName(const FileRequest&) override { return {}; }
    std::unique_ptr<PrintSurface> choosePrinter(const QString&) override { return nullptr; }
    TypeChoice chooseActuatorType(const QString& current) override { return {current, 1}; }
    QString chooseOperationMode() override { return {}; }
    QString numericKeypad(const QString&) override { return {}; }
    SoftLimits softLimitChange(const SoftLimits& current, const SoftLimits&) override {
        return current;
    }
    void endProgram() override {}
};

// Runs qrx5-cli as a line PC would (no display), its messages dropped; wallMs gets the time
// from start to exit. The exit status, or -1 when it did not end within two minutes.
inline int runCli(const QString& bin, const QStringList& args, qint64* wallMs) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    p.setProcessEnvironment(env);
    p.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(bin, args);
    if (!p.waitForFinished(120000))
        return -1;
    *wallMs = t.elapsed();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace bench
