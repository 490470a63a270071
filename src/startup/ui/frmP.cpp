#include "startup/ui/frmP.h"

#include "startup/ui/DialogButtons.h"
#include "startup/ui/PortDevicesDialog.h"

#include "link/LinkState.h"
#include "link/PortName.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int PortCount = 8;
}

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
    connect(m_options, &QButtonGroup::idClicked, this,
            [this](int id) { m_state.PortName = m_options->button(id)->text(); });

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

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(grid);
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
        const SerialDevices::Destination d =
            SerialDevices::describe(m_iniPath, QStringLiteral("COM%1").arg(i + 1), devices);
        m_targets[i]->setText(d.target);
        m_presence[i]->setText(SerialDevices::presenceText(d));
        const bool there = d.presence != SerialDevices::Presence::Missing;
        m_presence[i]->setStyleSheet(there ? QStringLiteral("color: #1d6b2c;")
                                           : QStringLiteral("color: #8a8a8a;"));
    }
}

PortDevicesDialog* frmP::openDevices() {
    if (m_iniPath.isEmpty())
        return nullptr;
    if (m_devices)
        m_devices->close();
    const QString port = m_options->checkedButton()->text();
    m_devices = new PortDevicesDialog(m_iniPath, port,
                                      m_source ? m_source() : QList<SerialDevices::Device>(), this);
    connect(m_devices, &QDialog::accepted, this, &frmP::refreshDestinations);
    m_devices->open();
    return m_devices;
}

void frmP::accept() {
    if (m_showPort)
        m_showPort(m_state.PortName);
    QDialog::accept();
    close();
}

void frmP::reject() {
    m_state.PortName = m_remembered;
    QDialog::reject();
    close();
}
