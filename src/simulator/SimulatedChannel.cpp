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

bool SimulatedChannel::open(const QString& portName) {
    if (!m_openFailure.isEmpty()) {
        m_error = m_openFailure;
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
