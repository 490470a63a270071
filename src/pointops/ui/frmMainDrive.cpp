// The point-input main window's side of its drive panel and size detection panel: the host
// the window-free sequences talk to, and the wiring of the panels' buttons and boxes.
#include "dialogs/ui/frmbar.h"
#include "dialogs/ui/frmstop.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointdata/ui/PointGrid.h"
#include "pointops/PointDrive.h"
#include "pointops/PointOpsContext.h"
#include "pointops/SizeDetection.h"
#include "pointops/ui/DrivePanel.h"
#include "pointops/ui/SizeDetectionPanel.h"
#include "pointops/ui/frmMain.h"
#include "pointops/ui/frmMainHost.h"
#include "window/ui/CarriageFigure.h"
#include "window/ui/IoLamps.h"
#include "window/ui/PanelControls.h"

#include <QButtonGroup>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <exception>

namespace {
// A box left for another control of the window; a message box or menu taking the focus for a
// moment is no leaving.
bool leftForGood(QEvent* event) {
    if (event->type() != QEvent::FocusOut)
        return false;
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}
} // namespace

frmMain::~frmMain() {
    // The panel logic goes first: the widgets it drives are destroyed after it.
    delete m_driveOps;
    m_driveOps = nullptr;
}

void frmMain::wireDrivePanel() {
    m_host = std::make_unique<Host>(*this);
    m_ctx.reset(new PointOpsContext{
        {m_link, m_op, progress(), *m_host, operationState()}, *m_pointModel, *m_paramModel});
    m_driveOps = new PointDrive(*m_ctx, *m_host, this);
    PointDrive* d = m_driveOps;
    DrivePanel* panel = m_drive;
    const auto button = [panel](const char* name) { return panel->button(QLatin1String(name)); };

    // Every button starts an operation of the operator's (operatorAction).
    const auto on = [this, d](QPushButton* b, auto signal, void (PointDrive::*handler)()) {
        connect(b, signal, d, operatorAction([d, handler] { (d->*handler)(); }));
    };
    on(button(Ctl::Operation), &QPushButton::clicked, &PointDrive::operationClicked);
    on(button(Ctl::Setting), &QPushButton::clicked, &PointDrive::settingClicked);
    on(button(Ctl::Start), &QPushButton::pressed, &PointDrive::startPressed);
    on(button(Ctl::Start), &QPushButton::clicked, &PointDrive::startClicked);
    on(button(Ctl::Org), &QPushButton::pressed, &PointDrive::orgPressed);
    on(button(Ctl::Org), &QPushButton::clicked, &PointDrive::orgClicked);
    on(button(Ctl::Stop), &QPushButton::clicked, &PointDrive::stopClicked);
    button(Ctl::Stop)->installEventFilter(this);
    for (const bool plus : {true, false}) {
        QPushButton* jog = button(plus ? PointCtl::Plus : PointCtl::Minus);
        connect(jog, &QPushButton::pressed, d, operatorAction([d, plus] { d->jogPressed(plus); }));
        connect(jog, &QPushButton::released, d, [d, plus] { d->jogReleased(plus); });
        // A press can end without its release (a box comes up, the window is left).
        jog->installEventFilter(this);
    }
    connect(panel->teachingOptions(), &QButtonGroup::idClicked, d, [this, d](int method) {
        operatorStarts();
        d->teachingSelected(method);
    });
    connect(button(Ctl::SetBase), &QPushButton::clicked, d,
            operatorAction([d] { d->targetSelected(true); }));
    connect(button(Ctl::TargetP), &QPushButton::clicked, d,
            operatorAction([d] { d->targetSelected(false); }));
    // SET's exchanges and questions run as one undo step: undo and paste wait for it.
    connect(button(Ctl::Set), &QPushButton::clicked, d,
            operatorAction([this, d] { runAsStep([d] { d->setClicked(); }); }));
    for (const char* name : {PointCtl::Speed, PointCtl::Dist, PointCtl::Limit}) {
        QLineEdit* box = panel->box(QLatin1String(name));
        box->installEventFilter(this);
        connect(box, &QLineEdit::returnPressed, d,
                operatorAction([d, name] { d->lowSpeedEdited(name); }));
    }
}

void frmMain::wireSizePanel() {
    m_sizeOps = std::make_unique<SizeDetection>(*m_ctx, *m_host);
    SizeDetection* s = m_sizeOps.get();
    SizeDetectionPanel* panel = m_size;
    const auto run = [this](std::function<void()> fn) {
        return operatorAction([this, fn] { runOperation([fn](const PointOpsContext&) { fn(); }); });
    };
    connect(panel->button(SizeCtl::Valid), &QPushButton::clicked, this,
            run([s] { s->switchFunction(true); }));
    connect(panel->button(SizeCtl::Invalid), &QPushButton::clicked, this,
            run([s] { s->switchFunction(false); }));
    connect(panel->button(SizeCtl::TeachMax), &QPushButton::clicked, this,
            run([s] { s->teach(true); }));
    connect(panel->button(SizeCtl::TeachMin), &QPushButton::clicked, this,
            run([s] { s->teach(false); }));
    connect(panel->button(SizeCtl::Set), &QPushButton::clicked, this,
            run([s] { s->sendPoints(); }));
    connect(panel, &SizeDetectionPanel::keyRefused, this,
            [s](const QString& box) { s->keyRefused(box); });
    connect(panel, &SizeDetectionPanel::edited, this, [s](const QString& box) { s->edited(box); });
    connect(panel, &SizeDetectionPanel::pointLeft, this,
            [s](const QString& box, bool byEnter) { s->pointLeft(box, byEnter); });
}

void frmMain::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && m_driveOps)
        m_driveOps->jogPressLost();
    MainWindowBase::changeEvent(event);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_drive->button(QLatin1String(Ctl::Stop))) {
        if (event->type() == QEvent::KeyPress)
            m_driveOps->stopKeyPressed();
    } else if (watched == m_drive->button(QLatin1String(PointCtl::Plus)) ||
               watched == m_drive->button(QLatin1String(PointCtl::Minus))) {
        if (event->type() == QEvent::FocusOut || event->type() == QEvent::Hide)
            m_driveOps->jogPressLost();
    } else if (auto* box = qobject_cast<QLineEdit*>(watched); box && leftForGood(event)) {
        if (!m_checkingBox) {
            m_checkingBox = true;
            m_driveOps->lowSpeedEdited(box->objectName());
            m_checkingBox = false;
        }
    }
    return MainWindowBase::eventFilter(watched, event);
}
