#include "link/QtSerialChannel.h"

#include <QSerialPort>

#include <cerrno>

QtSerialChannel::QtSerialChannel(QObject* parent)
    : SerialChannel(parent), m_port(new QSerialPort(this)) {
    connect(m_port, &QSerialPort::readyRead, this, &SerialChannel::readyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (e == QSerialPort::NoError || !m_port->isOpen())
            return;
        // A line that is lost while open (device unplugged, closed underneath) ends the
        // running exchange; a read time-out or similar soft error does not.
        // A device that vanished (unplugged, its pseudo-terminal closed) is said in plain
        // words, the system's own text beside them.
        if (e == QSerialPort::ResourceError) {
            m_error =
                QStringLiteral("%1: the device is gone (%2)").arg(m_path, m_port->errorString());
            emit faulted(m_error);
        } else if (e == QSerialPort::PermissionError || e == QSerialPort::ReadError ||
                   e == QSerialPort::WriteError) {
            m_error = QStringLiteral("%1: %2").arg(m_path, m_port->errorString());
            emit faulted(m_error);
        }
    });
}

QtSerialChannel::~QtSerialChannel() {
    close();
}

bool QtSerialChannel::open(const QString& path) {
    m_error.clear();
    m_heldElsewhere = false;
    m_path = path;
    m_port->setPortName(path);
    // The line settings are given before the port opens, so they are applied as it opens.
    // (Changing parity on an open pseudo-terminal is refused by its driver.)
    m_port->setBaudRate(QSerialPort::Baud9600);
    m_port->setParity(QSerialPort::OddParity);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite)) {
        m_error = QStringLiteral("%1: %2").arg(path, m_port->errorString());
        // Another program holds the line: its lock file is in place, or it opened the device
        // for its own use only (the system then answers "busy").
        const QString reason = m_port->errorString();
        m_heldElsewhere = m_port->error() == QSerialPort::PermissionError &&
                          (reason == QSerialPort::tr("Permission error while locking the device") ||
                           reason == qt_error_string(EBUSY));
        return false;
    }
    return true;
}

void QtSerialChannel::close() {
    if (m_port->isOpen())
        m_port->close();
}

bool QtSerialChannel::isOpen() const {
    return m_port->isOpen();
}

void QtSerialChannel::clearBuffers() {
    if (m_port->isOpen()) {
        m_port->clear(QSerialPort::AllDirections);
        m_port->readAll();
    }
}

qint64 QtSerialChannel::write(const QByteArray& data) {
    if (!m_port->isOpen())
        return -1;
    // QSerialPort takes the whole line into its buffer or reports how much it took; a
    // failure while draining it is reported as a fault (errorOccurred).
    const qint64 n = m_port->write(data);
    m_port->flush();
    return n;
}

QByteArray QtSerialChannel::readAll() {
    return m_port->isOpen() ? m_port->readAll() : QByteArray();
}

QString QtSerialChannel::errorString() const {
    return m_error;
}
