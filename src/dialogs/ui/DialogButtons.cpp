#include "dialogs/ui/DialogButtons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

QDialogButtonBox* okCancelButtons(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(dialog);
    auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    auto* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

void takeKeyboardFocus(QDialog* dialog, QWidget* button) {
    const auto take = [dialog = QPointer<QDialog>(dialog), button = QPointer<QWidget>(button)] {
        if (!dialog || !dialog->isVisible())
            return;
        dialog->raise();
        dialog->activateWindow();
        if (button)
            button->setFocus(Qt::ActiveWindowFocusReason);
    };
    take();
    // Some window managers map a new window after the show and hand the focus back to the
    // window that had it: ask again once the show has been handled.
    QTimer::singleShot(0, dialog, take);
}
