#include "simulator/SimulatedChannel.h"

#include "simulator/VirtualController.h"

#include <QMetaObject>

namespace {
// Bytes waiting unread beyond this are dropped, as a real port's input buffer would overflow.
constexpr qsizetype MaxBufferedBytes = 1024 * 1024;
} // namespace

SimulatedChannel::SimulatedChannel(VirtualController& controller, QObject* parent)
    : SerialChannel(parent), m_controller(controller) {
    connect(&m_controller, &VirtualController::transmit, this, &SimulatedChannel::onTransmit);
}

SimulatedChannel::~SimulatedChannel() = default;

void SimulatedChannel::failOpen(int n, const QString& reason, bool heldElsewhere) {
    m_failOpenAt = n > 0 ? m_opens + n : 0;
    m_failOpenReason = reason;
    m_failOpenHeld = heldElsewhere;
}

void SimulatedChannel::failWrite(int n, qint64 taken) {
    m_failWriteAt = n > 0 ? m_writes + n : 0;
    m_failWriteTaken = qMax<qint64>(0, taken);
}

bool SimulatedChannel::open(const QString& portName) {
    ++m_opens;
    m_heldElsewhere = false;
    if (!m_openFailure.isEmpty()) {
        m_error = m_openFailure;
        m_heldElsewhere = m_failHeldElsewhere;
        return false;
    }
    if (m_opens == m_failOpenAt) {
        m_error = m_failOpenReason;
        m_heldElsewhere = m_failOpenHeld;
        return false;
    }
    m_error.clear();
    m_portName = portName;
    m_open = true;
    return true;
}

void SimulatedChannel::close() {
    m_open = false;
    m_buffer.clear();
}

void SimulatedChannel::clearBuffers() {
    m_buffer.clear();
}

qint64 SimulatedChannel::write(const QByteArray& data) {
    if (!m_open) {
        m_error = QStringLiteral("The port is not open.");
        return -1;
    }
    if (++m_writes == m_failWriteAt) {
        // Only the head reaches the line: the controller sees a line without its end.
        const qint64 taken = qMin<qint64>(m_failWriteTaken, data.size());
        if (taken > 0)
            m_controller.receive(data.left(taken));
        return taken;
    }
    m_controller.receive(data);
    return data.size();
}

QByteArray SimulatedChannel::readAll() {
    QByteArray out;
    out.swap(m_buffer);
    return out;
}

void SimulatedChannel::simulateFault(const QString& reason) {
    if (!m_open)
        return;
    close();
    m_error = reason;
    emit faulted(reason);
}

void SimulatedChannel::onTransmit(const QByteArray& bytes) {
    if (!m_open)
        return; // nobody listens on a closed port
    m_buffer += bytes.left(qMax<qsizetype>(0, MaxBufferedBytes - m_buffer.size()));
    if (!m_notifyQueued) {
        m_notifyQueued = true;
        QMetaObject::invokeMethod(this, &SimulatedChannel::notifyReadyRead, Qt::QueuedConnection);
    }
}

void SimulatedChannel::notifyReadyRead() {
    m_notifyQueued = false;
    if (m_open && !m_buffer.isEmpty())
        emit readyRead();
}
