#pragma once

#include "link/SerialDevices.h"

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QTreeWidget;

// "Devices..." of the port dialog: the serial devices present now (with their description,
// manufacturer and serial number where the system knows them), the built-in virtual
// controllers and the port's default. Accepting maps the port to the chosen one in section
// "Ports" of the INI file; every other line of the file stays as it was.
class PortDevicesDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PortDevicesDialog)
  public:
    PortDevicesDialog(QString iniPath, QString port, const QList<SerialDevices::Device>& devices,
                      QWidget* parent = nullptr);

    QTreeWidget* list() const { return m_list; }
    // Selects the row of a target ("sim:point", a device path; empty: the default). False
    // when no row has it.
    bool selectTarget(const QString& target);
    // What accepting writes: a device path, "sim:point", "sim:pulse", or empty for the default.
    QString chosenTarget() const;

  public slots:
    void accept() override;

  private:
    QString m_iniPath;
    QString m_port;
    QTreeWidget* m_list;
    QLabel* m_error;
};
