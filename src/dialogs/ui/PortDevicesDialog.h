#pragma once

#include "link/SerialDevices.h"

#include <QDialog>
#include <QList>
#include <QString>

class QLineEdit;
class QTreeWidget;

// "Devices..." of the port dialog: the serial devices present now (with their description,
// manufacturer and serial number where the system knows them), the built-in virtual
// controllers and the port's default. It opens on where the port leads now; a place the
// system does not list (a pseudo-terminal, a device unplugged) gets a row of its own.
// The destination below the list shows the chosen row's place and takes any other typed in
// (a pseudo-terminal, /dev/serial/by-id/...); empty, the port gets its default.
// Accepting only chooses: the port dialog keeps the choice and maps the port in the INI file
// when it is confirmed.
class PortDevicesDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PortDevicesDialog)
  public:
    // current is where the port leads now: a device path, "sim:point", "sim:pulse", or empty
    // for the port's default.
    PortDevicesDialog(QString port, const QString& current,
                      const QList<SerialDevices::Device>& devices, QWidget* parent = nullptr);

    QTreeWidget* list() const { return m_list; }
    // Selects the row of a target ("sim:point", a device path; empty: the default). False
    // when no row has it.
    bool selectTarget(const QString& target);
    // What accepting writes: the destination as chosen or typed (blanks around it dropped): a
    // device path, "sim:point", "sim:pulse", or empty for the default.
    QString chosenTarget() const;
    QLineEdit* destination() const { return m_destination; }

    QString port() const { return m_port; }

  private:
    QString m_port;
    QTreeWidget* m_list;
    QLineEdit* m_destination;
    bool m_typing = false; // a typed destination selects its row without being rewritten
};
