#include "startup/StartupSequence.h"

#include "link/Command.h"
#include "link/PortName.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

StartupSequence::StartupSequence(LinkState& state, SerialChannel& channel, QString iniPath,
                                 QObject* parent)
    : QObject(parent), m_state(state), m_link(state, channel, Link::Variant::StartUp, this),
      m_iniPath(std::move(iniPath)) {}

void StartupSequence::run() {
    m_state.PortName = PortName::readFromIni(m_iniPath);
    // An INI file that cannot be read gives the defaults: said at once, without stopping the
    // start, so that a "no answer" that follows is not taken for a controller fault.
    m_iniProblem = PortName::readProblem(m_iniPath, m_state.PortName);
    if (!m_iniProblem.isEmpty())
        emit iniProblemFound(m_iniProblem);
    emit statusText(QStringLiteral("Retrieving controller type"));
    QCoreApplication::processEvents();
    m_state.LinkBusy = false;

    QElapsedTimer sinceQuery;
    sinceQuery.start();
    const KindQuery query = queryKind(m_link);
    m_failure.clear();
    if (!query.value) {
        m_failure = query.failure;
        fallback();
        return;
    }

    m_kindValue = *query.value;
    emit statusText(QStringLiteral("Controller type found"));
    // Keep the label readable for a moment, the event loop running.
    if (const qint64 left = FoundDisplayMs + 1 - sinceQuery.elapsed(); left > 0) {
        QEventLoop wait;
        QTimer::singleShot(int(left), &wait, &QEventLoop::quit);
        wait.exec();
    }

    if (const std::optional<Kind> kind = kindOf(m_kindValue)) {
        emit kindDetected(*kind);
        if (!readTables(*kind))
            return;
        emit openMainWindow(*kind);
    } else {
        m_failure = query.failure;
        fallback();
    }
}

QString StartupSequence::problems() const {
    QStringList said{m_iniProblem, m_failure};
    said.removeAll(QString());
    return said.join(QStringLiteral("; "));
}

StartupSequence::KindQuery StartupSequence::queryKind(Link& link) {
    link.ReplyTimeoutMs = KindQueryTimeoutMs;
    link.ClearCommand();
    link.P_Command = Command::QueryPRM;
    link.P_second = QStringLiteral("13");
    link.BuildCommand();
    const ExchangeResult r = link.Exchange();
    if (r.Timeout())
        return {std::nullopt, r.reason};
    return {Link::ExtractReplyValue(r.ReplyText), r.reason};
}

std::optional<StartupSequence::Kind> StartupSequence::kindOf(const QString& value) {
    if (value.startsWith(QLatin1Char('0')))
        return Kind::PointInput;
    if (value.startsWith(QLatin1Char('1')))
        return Kind::PulseTrain;
    return std::nullopt;
}

void StartupSequence::setProgress(ProgressView& progress) {
    m_progress = &progress;
    m_link.attachProgress(progress);
}

void StartupSequence::setTableReader(OperatorInteraction& op, TablesOf tablesOf) {
    m_op = &op;
    m_tablesOf = std::move(tablesOf);
}

bool StartupSequence::readTables(Kind kind) {
    if (!m_progress || !m_op || !m_tablesOf)
        return true;
    StartupTables tables = m_tablesOf(kind);
    return StartupRead::run(m_link, *m_op, *m_progress, tables) == StartupRead::Result::Done;
}

void StartupSequence::fallback() {
    emit statusText(QStringLiteral("Controller type cannot be obtained"));
    emit manualChoiceOffered();
}

void StartupSequence::choose(Kind kind) {
    emit openMainWindow(kind);
}
