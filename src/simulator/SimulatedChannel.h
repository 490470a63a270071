#pragma once

#include "link/SerialChannel.h"

#include <QByteArray>
#include <QString>

class VirtualController;

// A serial line to an in-process virtual controller. Like a real port: the controller's bytes
// are kept only while the channel is open, readyRead() is signalled from the event loop (never
// from inside write()), and writing to a closed channel fails. Several channels may share one
// controller; each open one receives everything the controller sends.
class SimulatedChannel final : public SerialChannel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SimulatedChannel)
  public:
    explicit SimulatedChannel(VirtualController& controller, QObject* parent = nullptr);
    ~SimulatedChannel() override;

    bool open(const QString& portName) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    void clearBuffers() override;
    qint64 write(const QByteArray& data) override;
    QByteArray readAll() override;
    QString errorString() const override { return m_error; }

    // Knobs: open() fails with this reason while it is not empty.
    void setOpenFailure(const QString& reason) { m_openFailure = reason; }
    // Loses the line while open: closes the channel and signals faulted(reason).
    void simulateFault(const QString& reason);

    VirtualController& controller() { return m_controller; }
    QString portName() const { return m_portName; }

  private:
    void onTransmit(const QByteArray& bytes);
    void notifyReadyRead();

    VirtualController& m_controller;
    QByteArray m_buffer;
    QString m_error;
    QString m_openFailure;
    QString m_portName;
    bool m_open = false;
    bool m_notifyQueued = false;
};
