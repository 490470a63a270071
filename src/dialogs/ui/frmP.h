#pragma once

#include "dialogs/ui/PortDevicesDialog.h"
#include "link/SerialDevices.h"

#include <QDialog>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QString>
#include <functional>

struct LinkState;
class QButtonGroup;
class QLabel;

// The port dialog "Com setup": eight options "COM1".."COM8". Choosing an option sets the
// program-wide port name at once; OK keeps it in the INI file for the next start, shows it in
// the main window's status bar and closes; Cancel (and closing the window) puts back the port
// that was set when the dialog opened. Modeless, created anew for each opening and deleted
// when closed.
//
// A port that cannot be kept (the INI file or its folder cannot be written) is said in the
// dialog with the reason; OK then uses the port until the program ends, Cancel puts the
// previous one back.
//
// Beside each option stands where the port leads by the INI file's port map (a device path
// or the built-in virtual controller) and whether that device is there now. "Devices..."
// lists the serial devices present and chooses where the selected port leads; like the port
// itself the choice takes effect when the dialog is confirmed: OK maps the ports in the INI
// file (only those whose destination changed), Cancel leaves the file as it was.
class frmP final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmP)
  public:
    using DeviceSource = std::function<QList<SerialDevices::Device>()>;

    // showPort is called with the port name on OK (status bar panel 3 of the main window),
    // after the port map has been written.
    // iniPath is the INI file that holds the port map; without it every port shows its
    // default destination and Devices... is not offered.
    frmP(LinkState& state, std::function<void(const QString&)> showPort, QWidget* parent = nullptr,
         QString iniPath = {});
    ~frmP() override;

    // The port name remembered on open, restored by Cancel.
    QString rememberedPort() const { return m_remembered; }
    // Where the serial devices come from (the system's list by default); shows them anew.
    void setDeviceSource(DeviceSource source);
    // Reads the port map and the devices again and shows them beside the options.
    void refreshDestinations();
    // The devices dialog for the selected port (Devices...), open until it is answered; it
    // opens on where that port leads now (a choice not yet confirmed included).
    PortDevicesDialog* openDevices();
    PortDevicesDialog* devicesDialog() const { return m_devices; }
    // Where a port leads once the dialog is confirmed: the choice made in Devices..., else the
    // INI file's port map (empty: the port's default).
    QString chosenTarget(const QString& port) const;

  public slots:
    void accept() override;
    void reject() override;

  private:
    void takeDevicesChoice();
    // Writes the choices of Devices... that change where a port leads; false when the file
    // could not be written (the operator is told in the dialog).
    bool writePortMap();
    // Keeps the chosen port in the INI file when it differs from the file's; false, with the
    // reason told in the dialog, the first time it cannot be kept.
    bool savePort();
    void tell(const QString& text);

    LinkState& m_state;
    std::function<void(const QString&)> m_showPort;
    QString m_iniPath;
    QString m_remembered;
    DeviceSource m_source;
    QButtonGroup* m_options = nullptr;
    QList<QLabel*> m_targets;
    QList<QLabel*> m_presence;
    QLabel* m_error = nullptr;
    QMap<QString, QString> m_chosen; // port -> target chosen in Devices..., not yet written
    bool m_portNotKeptTold = false;  // the operator knows the chosen port cannot be kept
    QPointer<PortDevicesDialog> m_devices;
};
