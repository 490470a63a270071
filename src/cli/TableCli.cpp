#include "cli/TableCli.h"

#include "cli/CliHistory.h"
#include "cli/CliSession.h"
#include "cli/Console.h"
#include "cli/ConsoleOperator.h"
#include "cli/ConsoleProgress.h"
#include "fileio/AtomicFile.h"
#include "transfers/ParameterTransfer.h"

#include <QFileInfo>

int TableCli::receive(CliSession& s, const QString& file) {
    // Only a regular file is ever replaced, never through a symbolic link: said before the
    // controller is read at all.
    if (const QString why = AtomicFile::notReplaceable(file, AtomicFile::Links::Refuse);
        !why.isEmpty()) {
        s.console.err(QStringLiteral("%1 cannot be saved because it is read only or it is opened.")
                          .arg(file));
        s.console.err(QStringLiteral("  ") + why);
        return ExitStatus::Failed;
    }
    // The window's save dialog asks before it replaces a file.
    if (QFileInfo::exists(file) && !s.yes) {
        s.console.err(QStringLiteral("%1 exists already.").arg(file));
        s.console.err(QStringLiteral("  refused: add --yes to replace it"));
        return ExitStatus::Refused;
    }
    // Reading changes nothing in the controller: the command line is the confirmation.
    s.op.setConfirmAll(true);
    const CliRecord record(s, [this] { return historySnapshot(); });
    for (const Step& step : receiveSteps()) {
        const CliSession::Mark m = s.mark();
        s.progress.setTitle(step.finishedTitle);
        step.run(s.context());
        if (const int status = s.statusSince(m, step.finishedTitle, step.finishedText);
            status != ExitStatus::Done)
            return status;
    }
    const QByteArray bytes = settingsFile().fileBytes();
    if (const ReadRefusal refused = SettingsFileFlow::saveRefusal(settingsFile(), bytes);
        !refused.reason.isEmpty()) {
        s.console.err(QStringLiteral("%1 cannot be saved.").arg(file));
        s.console.err(QStringLiteral("  ") +
                      (refused.value.isEmpty() ? refused.reason : refused.value));
        return ExitStatus::Failed;
    }
    if (!s.writeFile(file, bytes))
        return ExitStatus::Failed;
    s.console.err(QStringLiteral("Tables of the %1 controller written to %2").arg(name(), file));
    return ExitStatus::Done;
}

bool TableCli::loadFile(CliSession& s, const QString& file) {
    QByteArray bytes;
    if (!s.readFile(file, bytes))
        return false;
    SettingsFileKind& kind = settingsFile();
    const SettingsFileFlow::ReadHead& read = kind.checkFile(bytes);
    if (read.error == SettingsFileError::None) {
        kind.takeFile();
        return true;
    }
    CliFiles::tellRefused(s.console, file, read.error, read.reason);
    return false;
}

int TableCli::verify(CliSession& s, const QString& file) {
    if (!loadFile(s, file))
        return ExitStatus::Failed;
    s.op.setConfirmAll(true); // comparing changes nothing
    s.progress.setTitle(QStringLiteral("Compare"));
    const CompareFlow::Result result = compare(s.context());
    switch (result.outcome) {
    case CompareFlow::Outcome::Equal:
        return ExitStatus::Done;
    case CompareFlow::Outcome::Different:
        for (const Difference& d : result.differences)
            s.console.out(CompareReport::line(d));
        if (!result.parametersNotCompared.isEmpty())
            s.console.err(QStringLiteral("  The parameters were not compared: ") +
                          result.parametersNotCompared);
        return s.progress.interrupted() ? ExitStatus::Interrupted : ExitStatus::Different;
    case CompareFlow::Outcome::Cancelled:
        return s.progress.interrupted() ? ExitStatus::Interrupted : ExitStatus::Failed;
    case CompareFlow::Outcome::Failed:
        break;
    }
    return ExitStatus::Failed;
}

int TableCli::transmit(CliSession& s, const QString& file) {
    if (!loadFile(s, file))
        return ExitStatus::Failed;
    // The window refuses these table by table; a file is written whole or not at all.
    if (const std::optional<TableProblem> problem = unsendable()) {
        s.console.err(QStringLiteral("%1: %2: %3")
                          .arg(file, QLatin1String(ParameterTransfer::NotANumberTitle),
                               problem->ruleText.isEmpty()
                                   ? QLatin1String(ParameterTransfer::NotANumber)
                                   : problem->ruleText));
        s.console.err(QStringLiteral("  ") + problem->text());
        s.console.err(QStringLiteral("Nothing was written: the controller's tables are as they "
                                     "were."));
        return ExitStatus::Refused;
    }
    s.op.setConfirmAll(s.yes);
    prepareTransmit(s);
    // The first table, then the parameters, as an operator would in the window: the first
    // table's checks run before the controller is changed at all.
    const CliRecord record(s, [this] { return historySnapshot(); });
    const QList<Step> steps = transmitSteps();
    for (qsizetype k = 0; k < steps.size(); ++k) {
        const CliSession::Mark m = s.mark();
        s.host.forgetBlock();
        s.progress.setTitle(steps[k].finishedTitle);
        steps[k].run(s.context());
        const int status = s.statusSince(m, steps[k].finishedTitle, steps[k].finishedText);
        if (status == ExitStatus::Done)
            continue;
        // Whatever ended the run, its last word is what the controller now holds.
        s.console.err(holdings(s, k, steps.size()));
        return status;
    }
    return ExitStatus::Done;
}

QString TableCli::holdings(const CliSession& s, qsizetype step, qsizetype steps) const {
    const BlockProgress& b = s.host.lastBlock();
    const QString first = firstTableName();
    const bool wroteSomething = s.host.blockSeen() && (b.eraseSent || b.sent > 0 || b.ended);
    if (!wroteSomething)
        return step == 0
                   ? QStringLiteral("Nothing was written: the controller's tables are as "
                                    "they were.")
                   : QStringLiteral("The %1 were written; the parameters were not.").arg(first);
    if (b.ended)
        return step + 1 < steps
                   ? QStringLiteral("The %1 were written; the parameters were not.").arg(first)
                   : QStringLiteral("The controller holds the whole file.");
    if (step == 0)
        return Ops::holdings(b, QStringLiteral("file's"));
    return QStringLiteral("The controller holds the file's %1, and %2 of its %3 %4 (the others "
                          "as they were): transmit again.")
        .arg(first)
        .arg(b.written)
        .arg(b.total)
        .arg(b.records);
}
