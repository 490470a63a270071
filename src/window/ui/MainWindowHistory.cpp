// The controller history of a main window: recording what the Tool menu's operations finished
// on this window's port, and File > History....
#include "files/SettingsFileFlow.h"
#include "history/ControllerHistory.h"
#include "history/ui/HistoryWindow.h"
#include "link/PortName.h"
#include "operator/OperatorInteraction.h"
#include "window/ui/MainWindowBase.h"
#include "window/ui/TableHistory.h"

#include <QDir>

namespace {
// Where a port leads, as status bar panel 3 shows it.
QString leadsTo(const QString& iniPath, const QString& port) {
    return iniPath.isEmpty() ? PortName::defaultTarget(port) : PortName::target(iniPath, port);
}

// A folder as the operator reads it: the home folder as "~".
QString shown(const QString& folder) {
    const QString home = QDir::homePath() + u'/';
    return QDir::toNativeSeparators(
        folder.startsWith(home) ? QStringLiteral("~/") + folder.mid(home.size()) : folder);
}
} // namespace

void MainWindowBase::setUpControllerHistory() {
    m_controllerHistory = new ControllerHistory(ControllerHistory::settingsFrom(m_iniPath), this);
    connect(m_controllerHistory, &ControllerHistory::said, this,
            [this](const QString& text, bool) { setPanelText(1, text); });
}

void MainWindowBase::recordTransfer() {
    const TransferRecorder::Outcome outcome = m_recorder.end();
    if (!m_controllerHistory->keeps())
        return;
    if (!outcome.notRecorded.isEmpty())
        setPanelText(1, outcome.notRecorded);
    if (outcome.finished.isEmpty())
        return;
    const QString port = m_state.PortName;
    m_controllerHistory->record(
        {port, leadsTo(m_iniPath, port), outcome.finished, historySnapshot()});
}

void MainWindowBase::OpenHistory() {
    const QString port = m_state.PortName;
    QString problem;
    QList<HistoryVersion> versions;
    QString place;
    if (!m_controllerHistory->keeps()) {
        place = QStringLiteral("The history is off: [History] Keep=0 in QRX5.ini.");
    } else {
        versions = m_controllerHistory->versions(port, &problem);
        const QString folder = shown(m_controllerHistory->folder());
        place = !versions.isEmpty()
                    ? QStringLiteral("Versions of %1 in %2, newest first.").arg(port, folder)
                : problem.isEmpty()
                    ? QStringLiteral("No version of %1 yet in %2: every finished receive, "
                                     "transmit and initialisation adds one.")
                          .arg(port, folder)
                    : problem;
    }
    HistoryWindow window(QStringLiteral("History of %1").arg(port), place, versions, this);
    const auto fileOf = [this](const HistoryVersion& v) {
        QString why;
        const std::optional<QByteArray> bytes = m_controllerHistory->fileOf(v, &why);
        if (!bytes)
            m_op.informativeMessage(QString(), QStringLiteral("Cannot open file."),
                                    OperatorInteraction::Icon::None, why);
        return bytes;
    };
    connect(&window, &HistoryWindow::compareRequested, this,
            [this, fileOf](const HistoryVersion& v) {
                if (const std::optional<QByteArray> bytes = fileOf(v))
                    compareWithVersion(*bytes);
            });
    connect(&window, &HistoryWindow::openRequested, this,
            [this, fileOf, &window](const HistoryVersion& v) {
                if (const std::optional<QByteArray> bytes = fileOf(v)) {
                    openVersion(*bytes);
                    window.accept();
                }
            });
    window.exec();
}

void MainWindowBase::openVersion(const QByteArray& bytes) {
    // What the version puts into the tables is one step, as Open's is.
    TableHistory::Scope step(m_history, QStringLiteral("table change by History"));
    // The kind's file sequence refreshes the displays that mirror the tables.
    SettingsFileFlow::openUnsaved(m_op, settingsFileKind(), bytes);
}
