#include "drive/IoMonitor.h"

#include <QTimer>

namespace Dio {

QList<std::pair<int, bool>> lamps(const QString& reply, const DioLayout& layout) {
    QList<std::pair<int, bool>> out;
    if (!reply.startsWith(QLatin1String("DO")) || reply.size() <= layout.longerThan)
        return out;
    for (int i = 0; i < 4; ++i) {
        const QChar ch = reply.at(layout.outputsAt - 1 + i);
        if (ch == QLatin1Char('1'))
            out.append({i, true});
        else if (ch == QLatin1Char('0') || !layout.outputsKeepUnknown)
            out.append({i, false});
    }
    for (int lamp = layout.firstInputLamp; lamp <= 13; ++lamp) {
        const QChar ch = reply.at(layout.inputsAt - 1 + lamp - layout.firstInputLamp);
        out.append({lamp, ch != QLatin1Char('0')});
    }
    return out;
}

bool isNewModel(const QString& reply) {
    return !(reply.size() > 7 && reply.at(7) == QLatin1Char('\r'));
}

} // namespace Dio

IoMonitor::IoMonitor(std::function<bool()> operationMode, Poll poll, QObject* parent)
    : QObject(parent), m_operationMode(std::move(operationMode)), m_poll(std::move(poll)),
      m_timer(new QTimer(this)) {
    m_timer->setObjectName(QStringLiteral("Tim_IO_Mon"));
    m_timer->setInterval(IntervalMs);
    connect(m_timer, &QTimer::timeout, this, &IoMonitor::tick);
}

void IoMonitor::start() {
    m_guard.clear();
    m_timer->start();
}

void IoMonitor::resume() {
    m_timer->start();
}

void IoMonitor::stop() {
    m_timer->stop();
    if (!m_operationMode())
        setSilent(false);
}

bool IoMonitor::running() const {
    return m_timer->isActive();
}

void IoMonitor::tick() {
    if (m_polling || m_guard == QLatin1String("1") || !m_operationMode())
        return;
    m_polling = true;
    m_guard = QStringLiteral("1");
    const PollResult result = m_poll(m_silent);
    m_failed = result == PollResult::Failed;
    m_guard.clear();
    m_polling = false;
    // A poll that ended after Operation mode did says nothing about the next one.
    if (result != PollResult::Skipped && m_operationMode())
        setSilent(m_failed);
}

void IoMonitor::setSilent(bool silent) {
    if (m_silent == silent)
        return;
    m_silent = silent;
    emit silentChanged(silent);
}
