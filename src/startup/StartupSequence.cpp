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
    emit statusText(QStringLiteral("Retrieving controller type"));
    QCoreApplication::processEvents();
    m_state.LinkBusy = false;

    m_link.ReplyTimeoutMs = KindQueryTimeoutMs;
    m_link.ClearCommand();
    m_link.P_Command = Command::QueryPRM;
    m_link.P_second = QStringLiteral("13");
    m_link.BuildCommand();
    QElapsedTimer sinceQuery;
    sinceQuery.start();
    m_link.Exchange();
    if (m_link.Timeout) {
        fallback();
        return;
    }

    m_kindValue = Link::ExtractReplyValue(m_link.ReplyText);
    emit statusText(QStringLiteral("Controller type found"));
    // Keep the label readable for a moment, the event loop running.
    if (const qint64 left = FoundDisplayMs + 1 - sinceQuery.elapsed(); left > 0) {
        QEventLoop wait;
        QTimer::singleShot(int(left), &wait, &QEventLoop::quit);
        wait.exec();
    }

    if (m_kindValue.startsWith(QLatin1Char('0'))) {
        emit kindDetected(Kind::PointInput);
        emit openMainWindow(Kind::PointInput);
    } else if (m_kindValue.startsWith(QLatin1Char('1'))) {
        emit kindDetected(Kind::PulseTrain);
        emit openMainWindow(Kind::PulseTrain);
    } else {
        fallback();
    }
}

void StartupSequence::fallback() {
    emit statusText(QStringLiteral("Controller type cannot be obtained"));
    emit manualChoiceOffered();
}

void StartupSequence::choose(Kind kind) {
    emit openMainWindow(kind);
}
