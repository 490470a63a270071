#include "cli/TableCli.h"

#include "cli/CliSession.h"
#include "cli/Console.h"
#include "cli/ConsoleOperator.h"
#include "cli/ConsoleProgress.h"

#include <QFileInfo>

int TableCli::receive(CliSession& s, const QString& file) {
    // The window's save dialog asks before it replaces a file.
    if (QFileInfo::exists(file) && !s.yes) {
        s.console.err(QStringLiteral("%1 exists already.").arg(file));
        s.console.err(QStringLiteral("  refused: add --yes to replace it"));
        return ExitStatus::Refused;
    }
    // Reading changes nothing in the controller: the command line is the confirmation.
    s.op.setConfirmAll(true);
    OperationContext c = s.context();
    for (const Step& step : receiveSteps()) {
        const CliSession::Mark m = s.mark();
        step.run(c);
        if (const int status = s.statusSince(m, step.finishedTitle, step.finishedText);
            status != ExitStatus::Done)
            return status;
    }
    if (!s.writeFile(file, fileBytes()))
        return ExitStatus::Failed;
    s.console.err(QStringLiteral("Tables of the %1 controller written to %2").arg(name(), file));
    return ExitStatus::Done;
}

bool TableCli::loadFile(CliSession& s, const QString& file) {
    QByteArray bytes;
    if (!s.readFile(file, bytes))
        return false;
    const SettingsFileError error = load(bytes);
    if (error == SettingsFileError::None)
        return true;
    s.console.err(error == SettingsFileError::UnsupportedType
                      ? QStringLiteral("%1: Controller type is different.").arg(file)
                      : QStringLiteral("%1: Cannot open file.").arg(file));
    return false;
}

int TableCli::verify(CliSession& s, const QString& file) {
    if (!loadFile(s, file))
        return ExitStatus::Failed;
    s.op.setConfirmAll(true); // comparing changes nothing
    OperationContext c = s.context();
    const CompareFlow::Result result = compare(c);
    switch (result.outcome) {
    case CompareFlow::Outcome::Equal:
        return ExitStatus::Done;
    case CompareFlow::Outcome::Different:
        for (const Difference& d : result.differences)
            s.console.out(CompareReport::line(d));
        return ExitStatus::Different;
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
    s.op.setConfirmAll(s.yes);
    prepareTransmit(s);
    OperationContext c = s.context();
    // The first table, then the parameters, as an operator would in the window: the first
    // table's checks run before the controller is changed at all.
    const QList<Step> steps = transmitSteps();
    for (qsizetype k = 0; k < steps.size(); ++k) {
        const CliSession::Mark m = s.mark();
        steps[k].run(c);
        const int status = s.statusSince(m, steps[k].finishedTitle, steps[k].finishedText);
        if (status == ExitStatus::Done)
            continue;
        if (k > 0)
            s.console.err(QStringLiteral("The %1 were written; the parameters were not.")
                              .arg(firstTableName()));
        return status;
    }
    return ExitStatus::Done;
}
