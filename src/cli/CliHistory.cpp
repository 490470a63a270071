#include "cli/CliHistory.h"

#include "cli/CliSession.h"
#include "cli/Console.h"
#include "history/ControllerHistory.h"

#include <QFileInfo>
#include <QObject>
#include <QRegularExpression>
#include <algorithm>

CliRecord::CliRecord(CliSession& session, std::function<TablesSnapshot()> tables)
    : m_s(session), m_tables(std::move(tables)) {
    m_s.host.recorder().begin();
}

CliRecord::~CliRecord() {
    const TransferRecorder::Outcome outcome = m_s.host.recorder().end();
    if (!m_s.history || !m_s.history->keeps())
        return;
    if (!outcome.notRecorded.isEmpty())
        m_s.console.err(outcome.notRecorded);
    if (!outcome.finished.isEmpty())
        m_s.history->record({m_s.historyPort, m_s.historyLeadsTo, outcome.finished, m_tables()});
}

namespace CliHistory {

namespace {
const QRegularExpression& versionPattern() {
    static const QRegularExpression pattern(
        QStringLiteral("^([^@/\\\\]+)@(~[0-9]+|[0-9a-fA-F]+)$"));
    return pattern;
}
} // namespace

int list(Console& console, const ControllerHistory& history, const QString& port) {
    QString problem;
    const QList<HistoryVersion> versions = history.versions(port, &problem);
    if (versions.isEmpty()) {
        if (!problem.isEmpty() && QFileInfo::exists(history.folder())) {
            console.err(QStringLiteral("The history cannot be read: ") + problem);
            return ExitStatus::Failed;
        }
        console.err(
            port.isEmpty()
                ? QStringLiteral("The history in %1 holds no version yet.").arg(history.folder())
                : QStringLiteral("The history in %1 holds no version of %2.")
                      .arg(history.folder(), port));
        return ExitStatus::Done;
    }
    QList<QStringList> rows;
    for (const HistoryVersion& v : versions)
        rows.append({v.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                     v.operation, v.port, v.kind, v.shortId()});
    QList<qsizetype> widths(rows.first().size(), 0);
    for (const QStringList& row : rows)
        for (qsizetype c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], row[c].size());
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype c = 0; c < row.size(); ++c)
            line += c + 1 < row.size() ? row[c].leftJustified(widths[c] + 2) : row[c];
        console.out(line);
    }
    return ExitStatus::Done;
}

bool namesVersion(const QString& operand) {
    return versionPattern().match(operand).hasMatch() && !QFileInfo::exists(operand);
}

std::optional<QByteArray> read(Console& console, const ControllerHistory& history,
                               const QString& operand) {
    const QRegularExpressionMatch m = versionPattern().match(operand);
    QString problem;
    std::optional<QByteArray> bytes;
    if (const auto version = history.find(m.captured(1), m.captured(2), &problem))
        bytes = history.fileOf(*version, &problem);
    if (!bytes) {
        console.err(QStringLiteral("%1: Cannot open file.").arg(operand));
        console.err(QStringLiteral("  ") + problem);
    }
    return bytes;
}

void finish(Console& console, ControllerHistory& history, int timeoutMs) {
    const QMetaObject::Connection said =
        QObject::connect(&history, &ControllerHistory::said, &history,
                         [&console](const QString& text, bool) { console.err(text); });
    if (!history.waitDone(timeoutMs))
        console.err(QStringLiteral("The history is still being pushed; what is not pushed now "
                                   "is pushed with the next record."));
    QObject::disconnect(said);
}

} // namespace CliHistory
