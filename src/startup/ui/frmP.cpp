#include "startup/ui/frmP.h"

#include "startup/ui/DialogButtons.h"

#include "link/LinkState.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int PortCount = 8;
}

frmP::frmP(LinkState& state, std::function<void(const QString&)> showPort, QWidget* parent)
    : QDialog(parent), m_state(state), m_showPort(std::move(showPort)) {
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
    int selected = 0;
    for (int i = 0; i < PortCount; ++i) {
        const QString name = QStringLiteral("COM%1").arg(i + 1);
        auto* option = new QRadioButton(name, this);
        option->setObjectName(QStringLiteral("Opt_1_%1").arg(i));
        m_options->addButton(option, i);
        grid->addWidget(option, i % 4, i / 4);
        if (name == m_state.PortName)
            selected = i;
    }
    // Showing the current port is not a choice: the port name changes only when the
    // operator picks an option.
    m_options->button(selected)->setChecked(true);
    connect(m_options, &QButtonGroup::idClicked, this,
            [this](int id) { m_state.PortName = m_options->button(id)->text(); });

    auto* buttons = okCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

frmP::~frmP() = default;

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
