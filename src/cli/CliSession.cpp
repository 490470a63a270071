#include "cli/CliSession.h"

#include "cli/Console.h"
#include "cli/ConsoleOperator.h"
#include "cli/ConsoleProgress.h"
#include "fileio/AtomicFile.h"
#include "fileio/BoundedFile.h"

#include <QDir>
#include <QFileInfo>

namespace {
QString native(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}
} // namespace

OperationContext CliSession::context() {
    state.settei = 0;
    return {link, op, progress, host, state};
}

CliSession::Mark CliSession::mark() const {
    return {op.messageCount(), state.failureReports};
}

int CliSession::statusSince(const Mark& m, const QString& title, const QString& text) const {
    if (progress.interrupted())
        return ExitStatus::Interrupted;
    if (op.shownSince(m.messages, title, text))
        return ExitStatus::Done;
    if (op.endRequested() || state.failureReports > m.failures)
        return ExitStatus::Failed;
    return ExitStatus::Refused;
}

void CliSession::interrupt() {
    ++interrupts;
    if (interrupts == 1 && host.inWriteBlock()) {
        progress.markInterrupted();
        console.err(QStringLiteral("Interrupted: the %1 being written are finished first, so that "
                                   "the controller keeps a whole table; interrupt again to stop "
                                   "at once.")
                        .arg(host.lastBlock().records.isEmpty() ? QStringLiteral("lines")
                                                                : host.lastBlock().records));
        return;
    }
    progress.requestCancel();
}

bool CliSession::readFile(const QString& path, QByteArray& bytes) const {
    return CliFiles::read(console, path, bytes);
}

bool CliSession::writeFile(const QString& path, const QByteArray& bytes) const {
    // Unattended, perhaps as root: a link found where the file goes is refused, so that one
    // planted in an output folder cannot lead the write anywhere else.
    const AtomicFile::Result saved = AtomicFile::writeWhole(path, bytes, AtomicFile::Links::Refuse);
    if (saved)
        return true;
    console.err(native(path) +
                QStringLiteral(" cannot be saved because it is read only or it is opened."));
    console.err(QStringLiteral("  ") + saved.reason);
    return false;
}

namespace CliFiles {

bool read(Console& console, const QString& path, QByteArray& bytes) {
    const BoundedFile::Result file = BoundedFile::read(path, BoundedFile::SettingsFileMaxBytes);
    if (!file.ok()) {
        console.err(QStringLiteral("%1: Cannot open file.").arg(native(path)));
        console.err(QStringLiteral("  ") + file.reason);
        return false;
    }
    bytes = file.bytes;
    return true;
}

void tellRefused(Console& console, const QString& path, SettingsFileError error,
                 const QString& reason) {
    console.err(error == SettingsFileError::UnsupportedType
                    ? QStringLiteral("%1: Controller type is different.").arg(path)
                    : QStringLiteral("%1: Cannot open file.").arg(path));
    if (!reason.isEmpty())
        console.err(QStringLiteral("  ") + reason);
}

} // namespace CliFiles
