#include "dialogs/ui/frmType.h"

#include "dialogs/ui/DialogButtons.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
const char* const TypeCaptions[] = {"30 : QRX-A20", "31 : QRX-A40", "32 : QRX-B20", "33 : QRX-B40"};
}

frmType::frmType(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmType"));
    setWindowTitle(QStringLiteral("Actuator type"));

    auto* label = new QLabel(QStringLiteral("Please input an actuator type."), this);
    label->setObjectName(QStringLiteral("TypeSelect"));

    auto* frame = new QGroupBox(QStringLiteral("QRX5"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* frameLayout = new QVBoxLayout(frame);
    m_options = new QButtonGroup(this); // exclusive: selecting one clears the others
    int id = 0;
    for (const char* caption : TypeCaptions) {
        auto* option = new QRadioButton(QString::fromLatin1(caption), frame);
        option->setObjectName(QStringLiteral("Typename_%1").arg(id));
        m_options->addButton(option, id++);
        frameLayout->addWidget(option);
    }
    m_options->button(0)->setChecked(true);

    // Enter on an option presses the default button: OK.
    auto* buttons = okCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(frame);
    layout->addWidget(buttons);
}

frmType::~frmType() = default;

void frmType::selectType(const QString& type) {
    for (QAbstractButton* option : m_options->buttons()) {
        if (!type.isEmpty() && option->text().left(2) == type) {
            option->setChecked(true);
            return;
        }
    }
}

OperatorInteraction::TypeChoice frmType::choice() const {
    const QAbstractButton* selected = m_options->checkedButton();
    return {selected ? selected->text().left(2) : QString(), m_okFlag};
}

void frmType::accept() {
    m_okFlag = 1;
    QDialog::accept();
}

OperatorInteraction::TypeChoice frmType::GetString(const QString& currentType, QWidget* parent) {
    frmType dialog(parent);
    if (!dialog.isEnabled()) // a disabled owner window must not make the dialog unusable
        dialog.setEnabled(true);
    dialog.selectType(currentType);
    dialog.exec();
    return dialog.choice();
}
