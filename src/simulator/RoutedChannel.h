#pragma once

#include "link/SerialChannel.h"

#include <QString>
#include <memory>

class QtSerialChannel;
class SimulatedChannel;
class VirtualController;

// The built-in virtual controllers that "sim:point" and "sim:pulse" ports lead to: one per
// kind for the whole program, so their state persists across exchanges and windows.
class SimulatorHub final {
  public:
    SimulatorHub();
    ~SimulatorHub();
    Q_DISABLE_COPY_MOVE(SimulatorHub)
    VirtualController& point();
    VirtualController& pulse();

  private:
    std::unique_ptr<VirtualController> m_point;
    std::unique_ptr<VirtualController> m_pulse;
};

// A main window's serial port: opens whatever the port name leads to by the port map of the
// INI file (a device path, or the built-in virtual controller).
class RoutedChannel final : public SerialChannel {
    Q_OBJECT
  public:
    RoutedChannel(QString iniPath, SimulatorHub& hub, QObject* parent = nullptr);
    ~RoutedChannel() override;

    // Every port leads here instead of where the port map says (a device path, "sim:point" or
    // "sim:pulse"); an empty target follows the port map again.
    void setFixedTarget(const QString& target) { m_fixedTarget = target; }

    bool open(const QString& portName) override;
    void close() override;
    bool isOpen() const override;
    void clearBuffers() override;
    qint64 write(const QByteArray& data) override;
    QByteArray readAll() override;
    QString errorString() const override;
    QString destination() const override { return m_destination; }
    bool heldElsewhere() const override { return m_heldElsewhere; }
    bool portNameShown() const override { return m_fixedTarget.isEmpty(); }

  private:
    SerialChannel* m_current = nullptr;
    QString m_iniPath;
    SimulatorHub& m_hub;
    QtSerialChannel* m_serial;
    SimulatedChannel* m_simPoint;
    SimulatedChannel* m_simPulse;
    QString m_error;
    QString m_destination;
    QString m_fixedTarget;
    bool m_heldElsewhere = false;
};
