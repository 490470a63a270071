// The pulse-train main window's side of its operation panel: the host the window-free
// sequences talk to, and the wiring of the panel's buttons and of Txt_Pos.
#include "dialogs/ui/frmbar.h"
#include "pulse/PulseOpsContext.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/ZoneTableModel.h"
#include "pulse/ui/frmpulseMaindemoHost.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

frmpulseMaindemo::~frmpulseMaindemo() {
    // The panel logic goes first: the widgets it drives are destroyed after it.
    delete m_driveOps;
    m_driveOps = nullptr;
}

void frmpulseMaindemo::wirePanel() {
    m_host = std::make_unique<Host>(*this);
    m_driveOps = new PulseDrive({m_link, m_op, progress(), *m_host, operationState()}, *m_host,
                                *m_zoneModel, *m_paramModel, this);
    PulseDrive* d = m_driveOps;
    const auto button = [this](const char* name) {
        return m_panel->button(QString::fromLatin1(name));
    };
    // Every button starts an operation of the operator's (operatorAction).
    const auto on = [&](const char* name, auto signal, void (PulseDrive::*slot)()) {
        connect(button(name), signal, d, operatorAction([d, slot] { (d->*slot)(); }));
    };
    const auto onClick = [&](const char* name, void (PulseDrive::*slot)()) {
        on(name, &QPushButton::clicked, slot);
    };
    onClick(Ctl::Operation, &PulseDrive::operationClicked);
    onClick(Ctl::Setting, &PulseDrive::settingClicked);
    onClick(PulseCtl::Servo, &PulseDrive::servoClicked);
    onClick(PulseCtl::OperationType, &PulseDrive::operationTypeClicked);
    onClick(PulseCtl::Alarm, &PulseDrive::alarmClicked);
    onClick(PulseCtl::Deviation, &PulseDrive::deviationClicked);
    onClick(Ctl::Org, &PulseDrive::orgClicked);
    onClick(Ctl::Start, &PulseDrive::startClicked);
    onClick(Ctl::Stop, &PulseDrive::stopClicked);
    onClick(PulseCtl::EndTeaching, &PulseDrive::endTeachingClicked);
    // SET's exchanges and questions run as one undo step: undo and paste wait for it.
    connect(button(Ctl::Set), &QPushButton::clicked, d,
            operatorAction([this, d] { runAsStep([d] { d->setClicked(); }); }));
    on(Ctl::Org, &QPushButton::pressed, &PulseDrive::orgPressed);
    on(Ctl::Start, &QPushButton::pressed, &PulseDrive::startPressed);
    connect(button(Ctl::TargetP), &QPushButton::clicked, d,
            operatorAction([d] { d->teachClicked(false); }));
    connect(button(Ctl::SetBase), &QPushButton::clicked, d,
            operatorAction([d] { d->teachClicked(true); }));
    button(Ctl::Stop)->installEventFilter(this);

    // The teaching options show the panel mode; the program selects them, a click does not.
    for (int i = 0; i < 3; ++i) {
        QRadioButton* option = m_panel->teachingOption(i);
        option->setAttribute(Qt::WA_TransparentForMouseEvents);
        option->setFocusPolicy(Qt::NoFocus);
    }
    QLineEdit* position = m_panel->box(QString::fromLatin1(Ctl::Pos));
    position->installEventFilter(this);
    // Pasting and dropping would go around the key filter.
    position->setContextMenuPolicy(Qt::NoContextMenu);
    position->setAcceptDrops(false);
    connect(position, &QLineEdit::returnPressed, d, &PulseDrive::positionBoxEdited);
}

bool frmpulseMaindemo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_panel->button(QString::fromLatin1(Ctl::Stop))) {
        if (event->type() == QEvent::KeyPress)
            m_driveOps->stopKeyPressed();
    } else if (watched == m_panel->box(QString::fromLatin1(Ctl::Pos))) {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
            const auto* key = static_cast<QKeyEvent*>(event);
            // Escape types nothing here, and is still "End teaching" while that is offered.
            if (event->type() == QEvent::KeyPress && key->key() == Qt::Key_Escape &&
                key->modifiers() == Qt::NoModifier) {
                if (QPushButton* leave =
                        m_panel->button(QString::fromLatin1(PulseCtl::EndTeaching));
                    leave->isEnabled())
                    leave->click();
                return true;
            }
            if (key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Cut) ||
                !PulseDrive::positionBoxTakesKey(key->key(), key->modifiers(), key->text())) {
                event->accept();
                return event->type() == QEvent::KeyPress; // discarded
            }
        } else if (event->type() == QEvent::MouseButtonRelease &&
                   static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton) {
            return true; // no pasting of the selection
        } else if (event->type() == QEvent::FocusIn) {
            m_driveOps->positionBoxFocused(true);
        } else if (event->type() == QEvent::FocusOut) {
            // A message box or menu taking the focus for a moment is no leaving.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                m_driveOps->positionBoxEdited();
                m_driveOps->positionBoxFocused(false);
            }
        }
    }
    return MainWindowBase::eventFilter(watched, event);
}
