#include "cli/CliSession.h"

#include "cli/Console.h"
#include "cli/ConsoleOperator.h"
#include "cli/ConsoleProgress.h"
#include "fileio/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// A settings file is a few kilobytes; anything far larger is not one.
constexpr qint64 MaximumFileSize = 16 * 1024 * 1024;

QString native(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}
} // namespace

OperationContext CliSession::context() {
    return {link, op, progress, host};
}

CliSession::Mark CliSession::mark() const {
    return {op.messageCount(), link.failureReports()};
}

int CliSession::statusSince(const Mark& m, const QString& title, const QString& text) const {
    if (progress.interrupted())
        return ExitStatus::Interrupted;
    if (op.shownSince(m.messages, title, text))
        return ExitStatus::Done;
    if (op.endRequested() || link.failureReports() > m.failures)
        return ExitStatus::Failed;
    return ExitStatus::Refused;
}

bool CliSession::readFile(const QString& path, QByteArray& bytes) const {
    QFile file(path);
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > MaximumFileSize || !file.open(QIODevice::ReadOnly)) {
        console.err(QStringLiteral("%1: Cannot open file.").arg(native(path)));
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        console.err(QStringLiteral("%1: Cannot open file.").arg(native(path)));
        return false;
    }
    return true;
}

bool CliSession::writeFile(const QString& path, const QByteArray& bytes) const {
    if (AtomicFile::writeWhole(path, bytes))
        return true;
    console.err(native(path) +
                QStringLiteral(" cannot be saved because it is read only or it is opened."));
    return false;
}
