#pragma once

#include "link/SerialChannel.h"

class QSerialPort;

// A real serial line through QSerialPort: 9600 bit/s, odd parity, 8 data bits, 1 stop bit,
// no flow control. open() takes the device path the port name leads to.
class QtSerialChannel final : public SerialChannel {
    Q_OBJECT
  public:
    explicit QtSerialChannel(QObject* parent = nullptr);
    ~QtSerialChannel() override;

    // Opens the device at path (not a port name: the caller resolves the port map).
    bool open(const QString& path) override;
    void close() override;
    bool isOpen() const override;
    void clearBuffers() override;
    qint64 write(const QByteArray& data) override;
    QByteArray readAll() override;
    QString errorString() const override;
    QString destination() const override { return m_path; }
    bool heldElsewhere() const override { return m_heldElsewhere; }

  private:
    QSerialPort* m_port;
    QString m_path;
    QString m_error;
    bool m_heldElsewhere = false;
};
