#include "cli/PointCli.h"

#include "cli/CliSession.h"
#include "cli/Console.h"
#include "cli/ConsoleOperator.h"
#include "cli/ConsoleProgress.h"
#include "pointdata/SettingsFile.h"
#include "pointops/CompareOps.h"
#include "pointops/PointOpsContext.h"
#include "pointops/ReceiveOps.h"
#include "pointops/TransmitParameters.h"
#include "pointops/TransmitPoints.h"

#include <QFileInfo>

PointCli::PointCli(OperatorInteraction& op) : m_points(op), m_params(op) {}

int PointCli::receive(CliSession& s, const QString& file) {
    // The window's save dialog asks before it replaces a file.
    if (QFileInfo::exists(file) && !s.yes) {
        s.console.err(QStringLiteral("%1 exists already.").arg(file));
        s.console.err(QStringLiteral("  refused: add --yes to replace it"));
        return ExitStatus::Refused;
    }
    // Reading changes nothing in the controller: the command line is the confirmation.
    s.op.setConfirmAll(true);
    PointOpsContext c{s.context(), m_points, m_params};

    CliSession::Mark m = s.mark();
    ReceiveOps::receivePoints(c);
    if (const int status = s.statusSince(m, QStringLiteral("Receive Point"),
                                         QStringLiteral("Receiving has finished."));
        status != ExitStatus::Done)
        return status;
    m = s.mark();
    ReceiveOps::receiveParameters(c);
    if (const int status = s.statusSince(m, QStringLiteral("Receive Parameter"),
                                         QStringLiteral("Receiving has finished."));
        status != ExitStatus::Done)
        return status;

    if (!s.writeFile(file, SettingsFile::write(m_points.table(), m_params.table())))
        return ExitStatus::Failed;
    s.console.err(QStringLiteral("Tables of the %1 controller written to %2").arg(name(), file));
    return ExitStatus::Done;
}

bool PointCli::load(CliSession& s, const QString& file) {
    QByteArray bytes;
    if (!s.readFile(file, bytes))
        return false;
    SettingsFile::ReadResult r = SettingsFile::read(bytes);
    if (!r.ok) {
        s.console.err(r.error == SettingsFile::ReadError::UnsupportedType
                          ? QStringLiteral("%1: Controller type is different.").arg(file)
                          : QStringLiteral("%1: Cannot open file.").arg(file));
        return false;
    }
    m_points.setTable(r.points);
    m_params.setTable(r.parameters);
    return true;
}

int PointCli::verify(CliSession& s, const QString& file) {
    if (!load(s, file))
        return ExitStatus::Failed;
    s.op.setConfirmAll(true); // comparing changes nothing
    PointOpsContext c{s.context(), m_points, m_params};
    const CompareOps::Result result = CompareOps::compareTables(c);
    switch (result.outcome) {
    case CompareOps::Outcome::Equal:
        return ExitStatus::Done;
    case CompareOps::Outcome::Different:
        for (const Difference& d : result.differences)
            s.console.out(CompareReport::line(d));
        return ExitStatus::Different;
    case CompareOps::Outcome::Cancelled:
        return s.progress.interrupted() ? ExitStatus::Interrupted : ExitStatus::Failed;
    case CompareOps::Outcome::Failed:
        break;
    }
    return ExitStatus::Failed;
}

int PointCli::transmit(CliSession& s, const QString& file) {
    if (!load(s, file))
        return ExitStatus::Failed;
    s.op.setConfirmAll(s.yes);
    // The file's soft limits are written as they stand unless asked to move them with a
    // changed origin, as the window's soft limit dialog would suggest.
    s.op.setAnswer(
        QLatin1String(TransmitParameters::SoftLimitQuestion),
        s.moveSoftLimits ? OperatorInteraction::Answer::Yes : OperatorInteraction::Answer::No,
        s.moveSoftLimits ? QString()
                         : QStringLiteral("the file's soft limits are written as they stand "
                                          "(--move-soft-limits moves them with the origin)"));
    PointOpsContext c{s.context(), m_points, m_params};

    // The points first, as an operator would in the window: their checks run before the
    // controller is changed at all; the parameters' checks then see the points written.
    CliSession::Mark m = s.mark();
    TransmitPoints::run(c);
    if (const int status = s.statusSince(m, QLatin1String(TransmitPoints::Title),
                                         QLatin1String(TransmitPoints::Finished));
        status != ExitStatus::Done)
        return status;
    m = s.mark();
    TransmitParameters::run(c);
    const int status = s.statusSince(m, QLatin1String(TransmitParameters::FinishedTitle),
                                     QLatin1String(TransmitParameters::Finished));
    if (status != ExitStatus::Done)
        s.console.err(QStringLiteral("The points were written; the parameters were not."));
    return status;
}
