#include "simulator/RoutedChannel.h"

#include "link/PortName.h"
#include "link/QtSerialChannel.h"
#include "simulator/SimulatedChannel.h"
#include "simulator/VirtualController.h"

SimulatorHub::SimulatorHub() = default;
SimulatorHub::~SimulatorHub() = default;

VirtualController& SimulatorHub::point() {
    if (!m_point)
        m_point = std::make_unique<VirtualController>(VirtualController::Kind::Point);
    return *m_point;
}

VirtualController& SimulatorHub::pulse() {
    if (!m_pulse)
        m_pulse = std::make_unique<VirtualController>(VirtualController::Kind::Pulse);
    return *m_pulse;
}

RoutedChannel::RoutedChannel(QString iniPath, SimulatorHub& hub, QObject* parent)
    : SerialChannel(parent), m_iniPath(std::move(iniPath)), m_hub(hub),
      m_serial(new QtSerialChannel(this)), m_simPoint(new SimulatedChannel(hub.point(), this)),
      m_simPulse(new SimulatedChannel(hub.pulse(), this)) {
    for (SerialChannel* c :
         {static_cast<SerialChannel*>(m_serial), static_cast<SerialChannel*>(m_simPoint),
          static_cast<SerialChannel*>(m_simPulse)}) {
        connect(c, &SerialChannel::readyRead, this, [this, c] {
            if (c == m_current)
                emit readyRead();
        });
        connect(c, &SerialChannel::faulted, this, [this, c](const QString& reason) {
            if (c == m_current)
                emit faulted(reason);
        });
    }
}

RoutedChannel::~RoutedChannel() {
    close();
}

bool RoutedChannel::open(const QString& portName) {
    close();
    const QString target =
        m_fixedTarget.isEmpty() ? PortName::target(m_iniPath, portName) : m_fixedTarget;
    m_destination = target;
    if (target == QLatin1String("sim:point"))
        m_current = m_simPoint;
    else if (target == QLatin1String("sim:pulse"))
        m_current = m_simPulse;
    else
        m_current = m_serial;
    m_heldElsewhere = false;
    if (!m_current->open(m_current == m_serial ? target : portName)) {
        m_error = m_current->errorString();
        m_heldElsewhere = m_current->heldElsewhere();
        m_current = nullptr;
        return false;
    }
    m_error.clear();
    return true;
}

void RoutedChannel::close() {
    if (m_current)
        m_current->close();
    m_current = nullptr;
}

bool RoutedChannel::isOpen() const {
    return m_current && m_current->isOpen();
}

void RoutedChannel::clearBuffers() {
    if (m_current)
        m_current->clearBuffers();
}

qint64 RoutedChannel::write(const QByteArray& data) {
    return m_current ? m_current->write(data) : -1;
}

QByteArray RoutedChannel::readAll() {
    return m_current ? m_current->readAll() : QByteArray();
}

QString RoutedChannel::errorString() const {
    return m_error;
}
