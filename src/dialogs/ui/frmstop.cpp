#include "dialogs/ui/frmstop.h"

#include "dialogs/ui/DialogButtons.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmstop::frmstop(std::function<void()> requestStop, QWidget* parent)
    : QDialog(parent), m_requestStop(std::move(requestStop)) {
    setObjectName(QStringLiteral("frmstop"));
    setWindowTitle(QStringLiteral("STOP"));
    setModal(false);

    auto* label = new QLabel(QStringLiteral("Press STOP to pause return to origin."), this);
    label->setObjectName(QStringLiteral("Label1"));
    m_button = new QPushButton(QStringLiteral("STOP"), this);
    m_button->setObjectName(QStringLiteral("Command1"));
    m_button->setMinimumHeight(48);
    connect(m_button, &QPushButton::clicked, this, &frmstop::stop);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_button);
}

frmstop::~frmstop() = default;

void frmstop::stop() {
    Command::clear(m_fields);
    m_fields.P_Command = Command::StopChar;
    Command::compose(m_fields);
    // The one stop path of the drive panels; it writes nothing when nothing moves. The dialog
    // stays: the motion state hides it once the stop is under way, and shows it again while
    // the actuator may still be moving.
    if (m_requestStop)
        m_requestStop();
}

void frmstop::reject() {
    // Closing and Escape stop like STOP, and leave the dialog to the motion state as well
    // (a close that leaves the dialog visible is ignored).
    stop();
}

void frmstop::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    takeKeyboardFocus(this, m_button);
}

void frmstop::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled() &&
        !testAttribute(Qt::WA_ForceDisabled))
        setEnabled(true);
    QDialog::changeEvent(event);
}
