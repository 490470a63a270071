#include "dialogs/ui/frmP.h"

#include "dialogs/ui/DialogButtons.h"
#include "dialogs/ui/PortDevicesDialog.h"

#include "link/LinkState.h"
#include "link/PortName.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int PortCount = 8;

// Where the INI file's port map leads a port now; empty for the port's default.
QString fileTarget(const QString& iniPath, const QString& port) {
    if (iniPath.isEmpty())
        return {};
    const QString target = PortName::target(iniPath, port);
    return target == PortName::defaultTarget(port) ? QString() : target;
}
} // namespace

frmP::frmP(LinkState& state, std::function<void(const QString&)> showPort, QWidget* parent,
           QString iniPath)
    : QDialog(parent), m_state(state), m_showPort(std::move(showPort)),
      m_iniPath(std::move(iniPath)), m_source(&SerialDevices::present) {
    setObjectName(QStringLiteral("frmP"));
    setWindowTitle(QStringLiteral("Com setup"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    if (m_state.PortName.isEmpty())
        m_state.PortName = QStringLiteral("COM1");
    m_remembered = m_state.PortName;

    auto* label = new QLabel(QStringLiteral("Please choose a communication port."), this);
    label->setObjectName(QStringLiteral("Port_select"));

    m_options = new QButtonGroup(this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(14);
    grid->setColumnStretch(1, 1);
    int selected = 0;
    for (int i = 0; i < PortCount; ++i) {
        const QString name = QStringLiteral("COM%1").arg(i + 1);
        auto* option = new QRadioButton(name, this);
        option->setObjectName(QStringLiteral("Opt_1_%1").arg(i));
        m_options->addButton(option, i);
        auto* target = new QLabel(this);
        target->setObjectName(QStringLiteral("Lbl_Target_%1").arg(i));
        target->setTextInteractionFlags(Qt::TextSelectableByMouse);
        auto* presence = new QLabel(this);
        presence->setObjectName(QStringLiteral("Lbl_Presence_%1").arg(i));
        grid->addWidget(option, i, 0);
        grid->addWidget(target, i, 1);
        grid->addWidget(presence, i, 2);
        m_targets << target;
        m_presence << presence;
        if (name == m_state.PortName)
            selected = i;
    }
    // Showing the current port is not a choice: the port name changes only when the
    // operator picks an option.
    m_options->button(selected)->setChecked(true);
    connect(m_options, &QButtonGroup::idClicked, this, [this](int id) {
        m_state.PortName = m_options->button(id)->text();
        m_portNotKeptTold = false;
    });

    auto* buttons = okCancelButtons(this);
    auto* row = new QHBoxLayout;
    if (!m_iniPath.isEmpty()) {
        auto* devices = new QPushButton(QStringLiteral("Devices..."), this);
        devices->setObjectName(QStringLiteral("Cmd_Devices"));
        devices->setToolTip(
            QStringLiteral("List the serial devices present and map the chosen port to one"));
        devices->setAutoDefault(false);
        connect(devices, &QPushButton::clicked, this, &frmP::openDevices);
        row->addWidget(devices);
    }
    row->addStretch(1);
    row->addWidget(buttons);

    m_error = new QLabel(this);
    m_error->setObjectName(QStringLiteral("Lbl_Error"));
    m_error->setStyleSheet(QStringLiteral("color: #a01818;"));
    m_error->setWordWrap(true);
    m_error->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(grid);
    layout->addWidget(m_error);
    layout->addLayout(row);
    refreshDestinations();
}

frmP::~frmP() = default;

void frmP::setDeviceSource(DeviceSource source) {
    m_source = std::move(source);
    refreshDestinations();
}

void frmP::refreshDestinations() {
    const QList<SerialDevices::Device> devices =
        m_source ? m_source() : QList<SerialDevices::Device>();
    for (int i = 0; i < PortCount; ++i) {
        const QString port = QStringLiteral("COM%1").arg(i + 1);
        SerialDevices::Destination d;
        const QString chosen = chosenTarget(port);
        d.target = chosen.isEmpty() ? PortName::defaultTarget(port) : chosen;
        d.presence = SerialDevices::presenceOf(d.target, devices, &d.description);
        m_targets[i]->setText(d.target);
        const bool pending = m_chosen.contains(port) && chosen != fileTarget(m_iniPath, port);
        m_presence[i]->setText(SerialDevices::presenceText(d) +
                               (pending ? QStringLiteral(" (mapped on OK)") : QString()));
        const bool there = d.presence != SerialDevices::Presence::Missing;
        m_presence[i]->setStyleSheet(there ? QStringLiteral("color: #1d6b2c;")
                                           : QStringLiteral("color: #8a8a8a;"));
    }
}

QString frmP::chosenTarget(const QString& port) const {
    const QString name = PortName::normalised(port);
    return m_chosen.contains(name) ? m_chosen.value(name) : fileTarget(m_iniPath, name);
}

PortDevicesDialog* frmP::openDevices() {
    if (m_iniPath.isEmpty())
        return nullptr;
    if (m_devices)
        m_devices->close();
    const QString port = m_options->checkedButton()->text();
    m_devices = new PortDevicesDialog(port, chosenTarget(port),
                                      m_source ? m_source() : QList<SerialDevices::Device>(), this);
    connect(m_devices, &QDialog::accepted, this, &frmP::takeDevicesChoice);
    m_devices->open();
    return m_devices;
}

void frmP::takeDevicesChoice() {
    if (!m_devices)
        return;
    m_chosen.insert(m_devices->port(), m_devices->chosenTarget());
    refreshDestinations();
}

bool frmP::writePortMap() {
    for (auto it = m_chosen.cbegin(); it != m_chosen.cend(); ++it) {
        // A port that still leads where the file says is not written: the file keeps its bytes.
        if (it.value() == fileTarget(m_iniPath, it.key()))
            continue;
        QString why;
        if (!PortName::writeTarget(m_iniPath, it.key(), it.value(), &why)) {
            tell(QStringLiteral("%1 cannot be written (%2); where %3 leads is not changed. "
                                "Cancel leaves every port as it was.")
                     .arg(QDir::toNativeSeparators(m_iniPath), why, it.key()));
            return false;
        }
    }
    m_chosen.clear();
    return true;
}

bool frmP::savePort() {
    // Unchanged, the file keeps its bytes; a port it cannot keep is said once.
    if (m_iniPath.isEmpty() || m_portNotKeptTold ||
        PortName::readFromIni(m_iniPath) == m_state.PortName)
        return true;
    QString why;
    if (PortName::writeToIni(m_iniPath, m_state.PortName, &why))
        return true;
    m_portNotKeptTold = true;
    tell(QStringLiteral("%1 cannot be kept for the next start: %2 cannot be written (%3). OK "
                        "uses %1 until the program ends; Cancel puts %4 back.")
             .arg(m_state.PortName, QDir::toNativeSeparators(m_iniPath), why, m_remembered));
    return false;
}

void frmP::tell(const QString& text) {
    m_error->setText(text);
    m_error->show();
}

void frmP::accept() {
    if (!writePortMap() || !savePort())
        return;
    if (m_showPort)
        m_showPort(m_state.PortName);
    QDialog::accept();
    close();
}

void frmP::reject() {
    // Nothing chosen in Devices... was written: the INI file stays as it was.
    m_chosen.clear();
    m_state.PortName = m_remembered;
    QDialog::reject();
    close();
}
