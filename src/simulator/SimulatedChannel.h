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

    // Knobs: open() fails with this reason while it is not empty; with heldElsewhere the line
    // counts as held by another program.
    void setOpenFailure(const QString& reason, bool heldElsewhere = false) {
        m_openFailure = reason;
        m_failHeldElsewhere = heldElsewhere;
    }
    // The n-th open from now (1 the next) fails with reason; the others succeed.
    void failOpen(int n, const QString& reason, bool heldElsewhere = false);
    // The n-th write from now (1 the next) takes only its first `taken` bytes (none with 0)
    // and never reaches the controller whole.
    void failWrite(int n, qint64 taken = 0);
    bool heldElsewhere() const override { return m_heldElsewhere; }
    // How many times the line was opened and written so far.
    int opens() const { return m_opens; }
    int writes() const { return m_writes; }
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
    bool m_failHeldElsewhere = false;
    bool m_heldElsewhere = false;
    int m_opens = 0;
    int m_writes = 0;
    int m_failOpenAt = 0; // the open count that fails, 0 when none
    QString m_failOpenReason;
    bool m_failOpenHeld = false;
    int m_failWriteAt = 0; // the write count that fails, 0 when none
    qint64 m_failWriteTaken = 0;
    QString m_portName;
    bool m_open = false;
    bool m_notifyQueued = false;
};
