#include "dialogs/ui/frmbar.h"

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
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_tag = QStringLiteral("1");
        notifyCancelClicked();
    });

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

void frmbar::reject() {
    resetCancel();
    QDialog::reject();
}

void frmbar::changeEvent(QEvent* event) {
    // Disabled by the owner window rather than on purpose: enable again (a window may be
    // enabled while its parent is disabled).
    if (event->type() == QEvent::EnabledChange && !isEnabled() &&
        !testAttribute(Qt::WA_ForceDisabled))
        setEnabled(true);
    QDialog::changeEvent(event);
}
