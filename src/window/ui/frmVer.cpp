#include "window/ui/frmVer.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

frmVer::frmVer(const QString& controllerVersion, QWidget* parent) : QDialog(parent) {
    setObjectName("frmVer");
    setWindowTitle(QStringLiteral("Version"));
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(QStringLiteral("QRX5 Support-Software"), this);
    QFont f = name->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    name->setFont(f);
    auto* program = new QLabel(QStringLiteral("Version ") + QStringLiteral(QRX5_VERSION), this);
    program->setObjectName("lblVersion");
    auto* controller = new QLabel(
        QStringLiteral("Controller version: ") +
            (controllerVersion.isEmpty() ? QStringLiteral("(no answer)") : controllerVersion),
        this);
    controller->setObjectName("lblControllerVersion");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(name);
    layout->addWidget(program);
    layout->addWidget(controller);
    layout->addWidget(buttons);
    layout->setContentsMargins(24, 20, 24, 16);
}
