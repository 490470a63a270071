#include "startup/ui/PortDevicesDialog.h"

#include "link/PortName.h"
#include "link/Profile.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int TargetRole = Qt::UserRole;
}

PortDevicesDialog::PortDevicesDialog(QString iniPath, QString port,
                                     const QList<SerialDevices::Device>& devices, QWidget* parent)
    : QDialog(parent), m_iniPath(std::move(iniPath)), m_port(PortName::normalised(port)) {
    setObjectName(QStringLiteral("PortDevices"));
    setWindowTitle(QStringLiteral("Serial devices"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* intro =
        new QLabel((devices.isEmpty() ? QStringLiteral("The system lists no serial device now.\n")
                                      : QString()) +
                       QStringLiteral("Choose where %1 leads:").arg(m_port),
                   this);
    intro->setObjectName(QStringLiteral("Lbl_Devices"));

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("Lst_Devices"));
    m_list->setAccessibleName(QStringLiteral("Serial devices"));
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setHeaderLabels({QStringLiteral("Device"), QStringLiteral("Description"),
                             QStringLiteral("Manufacturer"), QStringLiteral("Serial number")});
    auto add = [this](const QStringList& columns, const QString& target) {
        auto* item = new QTreeWidgetItem(m_list, columns);
        item->setData(0, TargetRole, target);
    };
    for (const SerialDevices::Device& d : devices)
        add({d.path, d.description, d.manufacturer, d.serialNumber}, d.path);
    add({QStringLiteral("sim:point"),
         QStringLiteral("Built-in virtual controller, point input type")},
        QStringLiteral("sim:point"));
    add({QStringLiteral("sim:pulse"),
         QStringLiteral("Built-in virtual controller, pulse train input type")},
        QStringLiteral("sim:pulse"));
    add({PortName::defaultTarget(m_port), QStringLiteral("Default of %1 (no mapping)").arg(m_port)},
        QString());
    for (int c = 0; c < m_list->columnCount(); ++c)
        m_list->resizeColumnToContents(c);
    m_list->setMinimumWidth(m_list->header()->length() + 24);

    const QString current = Profile::ReadSetting(m_port, QStringLiteral("Ports"), m_iniPath);
    if (current == QLatin1String("ERROR") || !selectTarget(current))
        selectTarget({});

    m_error = new QLabel(this);
    m_error->setObjectName(QStringLiteral("Lbl_Error"));
    m_error->setStyleSheet(QStringLiteral("color: #a01818;"));
    m_error->hide();

    auto* buttons = new QDialogButtonBox(this);
    auto* map =
        buttons->addButton(QStringLiteral("Map %1").arg(m_port), QDialogButtonBox::AcceptRole);
    map->setObjectName(QStringLiteral("Cmd_Map"));
    map->setDefault(true);
    auto* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_error);
    layout->addWidget(buttons);
}

bool PortDevicesDialog::selectTarget(const QString& target) {
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_list->topLevelItem(i);
        if (item->data(0, TargetRole).toString() == target) {
            m_list->setCurrentItem(item);
            return true;
        }
    }
    return false;
}

QString PortDevicesDialog::chosenTarget() const {
    const QTreeWidgetItem* item = m_list->currentItem();
    return item ? item->data(0, TargetRole).toString() : QString();
}

void PortDevicesDialog::accept() {
    if (!PortName::writeTarget(m_iniPath, m_port, chosenTarget())) {
        m_error->setText(QStringLiteral("%1 cannot be written.").arg(m_iniPath));
        m_error->show();
        return;
    }
    QDialog::accept();
}
