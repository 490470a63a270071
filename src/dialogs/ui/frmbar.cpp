#include "dialogs/ui/frmbar.h"

#include "dialogs/ui/DialogButtons.h"

#include <QEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

frmbar::frmbar(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmbar"));
    setWindowTitle(QStringLiteral("Forwarding"));
    setModal(false);

    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ProgressBar1"));
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setMinimumWidth(300);

    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("Com_Cancel"));
    // With the focus, Enter presses it (as Space does).
    m_cancel->setAutoDefault(true);
    connect(m_cancel, &QPushButton::clicked, this, &frmbar::requestCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addWidget(m_cancel, 0, Qt::AlignHCenter);
}

frmbar::~frmbar() = default;

void frmbar::setRange(int minimum, int maximum) {
    m_bar->setRange(minimum, maximum);
}

void frmbar::setValue(int value) {
    m_bar->setValue(value);
}

void frmbar::showModeless() {
    if (!isEnabled())
        setEnabled(true);
    show();
    raise();
}

void frmbar::hide() {
    QDialog::hide();
}

bool frmbar::isShown() const {
    return isVisible();
}

bool frmbar::cancelRequested() const {
    return m_tag == QLatin1String("1");
}

void frmbar::resetCancel() {
    m_tag = QStringLiteral("0");
}

void frmbar::requestCancel() {
    m_tag = QStringLiteral("1");
    notifyCancelClicked();
}

void frmbar::reject() {
    // Not hidden here: the operation sees the request, ends and hides the dialog; until then
    // it shows that the operation is still under way.
    requestCancel();
}

void frmbar::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    takeKeyboardFocus(this, m_cancel);
}

void frmbar::changeEvent(QEvent* event) {
    // Disabled by the owner window rather than on purpose: enable again (a window may be
    // enabled while its parent is disabled).
    if (event->type() == QEvent::EnabledChange && !isEnabled() &&
        !testAttribute(Qt::WA_ForceDisabled))
        setEnabled(true);
    QDialog::changeEvent(event);
}
