#include "dialogs/ui/PortDevicesDialog.h"

#include "link/PortName.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int TargetRole = Qt::UserRole;
}

PortDevicesDialog::PortDevicesDialog(QString port, const QString& current,
                                     const QList<SerialDevices::Device>& devices, QWidget* parent)
    : QDialog(parent), m_port(PortName::normalised(port)) {
    setObjectName(QStringLiteral("PortDevices"));
    setWindowTitle(QStringLiteral("Serial devices"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* intro =
        new QLabel((devices.isEmpty() ? QStringLiteral("The system lists no serial device now.\n")
                                      : QString()) +
                       QStringLiteral("Choose where %1 leads, or type it below:").arg(m_port),
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
    // Where the port leads now stays choosable (and chosen) even when the system does not
    // list it, so that opening and accepting the list never moves the port elsewhere.
    if (!current.isEmpty() && !selectTarget(current))
        add({current, QStringLiteral("Where %1 leads now (%2)")
                          .arg(m_port, SerialDevices::presenceOf(current, devices) ==
                                               SerialDevices::Presence::Missing
                                           ? QStringLiteral("not present")
                                           : QStringLiteral("not listed as a serial port"))},
            current);
    for (int c = 0; c < m_list->columnCount(); ++c)
        m_list->resizeColumnToContents(c);
    m_list->setMinimumWidth(m_list->header()->length() + 24);

    auto* destinationLabel = new QLabel(QStringLiteral("&Destination:"), this);
    m_destination = new QLineEdit(this);
    m_destination->setObjectName(QStringLiteral("Txt_Target"));
    m_destination->setPlaceholderText(
        QStringLiteral("%1 (the default of %2)").arg(PortName::defaultTarget(m_port), m_port));
    m_destination->setToolTip(
        QStringLiteral("Where %1 leads: a row of the list, or any device path typed in")
            .arg(m_port));
    destinationLabel->setBuddy(m_destination);
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item && !m_typing)
            m_destination->setText(item->data(0, TargetRole).toString());
    });
    connect(m_destination, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_typing = true;
        if (!selectTarget(text.trimmed()))
            m_list->setCurrentItem(nullptr);
        m_typing = false;
    });
    if (!selectTarget(current))
        selectTarget({});
    // As it is mapped now, also when the row selected names it otherwise (a link by its id
    // and the device it leads to): accepting unchanged keeps the mapping's own words.
    m_destination->setText(current);

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

    auto* destinationRow = new QHBoxLayout;
    destinationRow->addWidget(destinationLabel);
    destinationRow->addWidget(m_destination, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_list, 1);
    layout->addLayout(destinationRow);
    layout->addWidget(buttons);
}

bool PortDevicesDialog::selectTarget(const QString& target) {
    // The same place under another spelling counts: letter case on Windows, a symbolic link
    // and the device it names.
    const auto same = [&](const QString& row) {
        if (row == target)
            return true;
        if (row.isEmpty() || target.isEmpty() || row.startsWith(QLatin1String("sim:")))
            return false;
#ifdef Q_OS_WIN
        return row.compare(target, Qt::CaseInsensitive) == 0;
#else
        const QString a = QFileInfo(row).canonicalFilePath();
        return !a.isEmpty() && a == QFileInfo(target).canonicalFilePath();
#endif
    };
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = m_list->topLevelItem(i);
        if (same(item->data(0, TargetRole).toString())) {
            m_list->setCurrentItem(item);
            return true;
        }
    }
    return false;
}

QString PortDevicesDialog::chosenTarget() const {
    return m_destination->text().trimmed();
}
