#include "window/ui/MainWindowBase.h"

#include "dialogs/ui/frmP.h"
#include "dialogs/ui/frmbar.h"
#include "dialogs/ui/frmstop.h"
#include "link/PortName.h"
#include "operator/OperatorInteraction.h"
#include "transfers/Operation.h"
#include "window/ui/CellMarkOverlay.h"
#include "window/ui/ControlPanel.h"
#include "window/ui/TableGrid.h"
#include "window/ui/TableHistory.h"
#include "window/ui/TrafficLogWindow.h"
#include "window/ui/errorRecord.h"
#include "window/ui/frmVer.h"

#include <QAction>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <exception>

MainWindowBase::MainWindowBase(LinkState& state, OperatorInteraction& op, SerialChannel& channel,
                               QString iniPath, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_op(op),
      m_link(state, channel, Link::Variant::MainWindow, this), m_iniPath(std::move(iniPath)) {
    auto* bar = new QStatusBar(this);
    bar->setObjectName("StatusBar1");
    setStatusBar(bar);
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        m_panels[i]->setFrameShape(QFrame::StyledPanel);
        m_panels[i]->setFrameShadow(QFrame::Sunken);
        m_panels[i]->setMinimumWidth(i == 2 ? 80 : 180);
        m_panels[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    // Beside the port name: where that port leads by the INI file's port map.
    m_portTarget = new QLabel(this);
    m_portTarget->setObjectName(QStringLiteral("Lbl_PortTarget"));
    m_portTarget->setAccessibleName(QStringLiteral("Where the port leads"));
    m_portTarget->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long reason in panel 1 (a path, QRX5.ini that cannot be read) is cut at the window's
    // edge rather than widening the window; its tool tip holds it whole.
    m_panels[0]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    // A controller that stopped answering the I/O monitor, for as long as it does not answer.
    m_silent = new QLabel(this);
    m_silent->setObjectName(QStringLiteral("Lbl_NoAnswer"));
    m_silent->setStyleSheet(QStringLiteral("QLabel { color: #a00000; font-weight: bold; }"));
    m_silent->hide();
    bar->addWidget(m_silent);
    bar->addWidget(m_panels[0], 3);
    bar->addWidget(m_panels[1], 2);
    bar->addPermanentWidget(m_panels[2]);
    bar->addPermanentWidget(m_portTarget);
    setPanelText(3, m_state.PortName);

    // A port that cannot be opened shows the system's reason, so the operator can act on it.
    connect(&m_link, &Link::portFault, this,
            [this](const QString& reason) { setPanelText(1, reason); });
    connect(&m_link, &Link::commandSent, this, [this](const QString& line) {
        if (!line.isEmpty())
            setPanelText(1, {});
    });

    m_history = new TableHistory(this);
    m_history->setRefresh([this] { refreshTableDisplays(); });
    connect(m_history, &TableHistory::changed, this, &MainWindowBase::refreshEditItems);
    setUpControllerHistory();
}

MainWindowBase::~MainWindowBase() {
    // The history outlives this part of the window (it is a child): it tells it nothing more.
    m_history->disconnect(this);
}

frmbar& MainWindowBase::progress() {
    if (!m_progress) {
        m_progress = new frmbar(this);
        // Cancel ends a running wait for the controller at once.
        m_link.attachProgress(*m_progress);
    }
    return *m_progress;
}

frmstop& MainWindowBase::stopDialog() {
    if (!m_stop)
        m_stop = new frmstop(
            [this] {
                if (isVisible())
                    requestStop();
            },
            this);
    return *m_stop;
}

bool MainWindowBase::stopDialogShown() const {
    return m_stop && m_stop->isVisible();
}

void MainWindowBase::About() {
    // Without an answer the box still opens, showing that no version could be read.
    m_controllerVersion = Ops::queryVersion(m_link);
    frmVer box(m_controllerVersion, this);
    box.exec();
}

void MainWindowBase::showErrorRecord(const QStringList& entries) {
    if (m_errorRecord)
        m_errorRecord->close();
    // Saving the record leaves the caption alone: it names the settings file.
    m_errorRecord = new errorRecord(entries, m_op, this);
    m_errorRecord->show();
}

errorRecord* MainWindowBase::errorRecordWindow() const {
    return m_errorRecord;
}

bool MainWindowBase::logoEnabled() const {
    // The About box is modal: not while anything moves.
    return !m_driveState.operationMode && !m_userAction && !m_motionLocked;
}

QPushButton* MainWindowBase::createLogoButton(QWidget* parent) {
    auto* logo = new QPushButton(QStringLiteral("QRX5"), parent);
    logo->setObjectName(QStringLiteral("Command1"));
    logo->setToolTip(QStringLiteral("Version"));
    logo->setAccessibleName(QStringLiteral("Version"));
    logo->setAutoDefault(false);
    logo->setFocusPolicy(Qt::NoFocus);
    QFont font = logo->font();
    font.setBold(true);
    font.setItalic(true);
    font.setPointSizeF(font.pointSizeF() * 1.4);
    logo->setFont(font);
    logo->setStyleSheet(QStringLiteral("QPushButton { color: #1c3f94; border: 1px solid #9aa6c0;"
                                       " border-radius: 3px; padding: 2px 10px; }"));
    connect(logo, &QPushButton::pressed, this, [this, logo] {
        if (!logoEnabled())
            return;
        logo->setDown(false); // the About box takes the mouse before the release comes
        About();
    });
    return logo;
}

void MainWindowBase::markGrid(QTableView* view, int grid) {
    m_marks.watch(view->model(), grid);
    new CellMarkOverlay(view, m_marks, grid);
    m_history->watch(qobject_cast<GridTableModel*>(view->model()));
    if (auto* table = qobject_cast<TableGrid*>(view)) {
        table->setHistory(m_history);
        m_tableGrids.append(table);
    }
}

void MainWindowBase::openTrafficLog() {
    // One window over the program-wide log; asking again brings it to the front.
    if (!m_traffic)
        m_traffic = new TrafficLogWindow(m_state.traffic, m_op, this);
    m_traffic->show();
    m_traffic->raise();
    m_traffic->activateWindow();
}

TrafficLogWindow* MainWindowBase::trafficLogWindow() const {
    return m_traffic;
}

void MainWindowBase::hideProgress() {
    if (m_progress)
        m_progress->hide();
}

void MainWindowBase::setPanelText(int panel, const QString& text) {
    if (panel >= 1 && panel <= 3)
        m_panels[panel - 1]->setText(text);
    if (panel == 1)
        m_panels[0]->setToolTip(text);
    if (panel == 3) {
        const QString target =
            m_iniPath.isEmpty() ? PortName::defaultTarget(text) : PortName::target(m_iniPath, text);
        m_portTarget->setText(QStringLiteral("\u2192 ") + target);
    }
}

void MainWindowBase::showControllerSilent(bool silent, const QString& line) {
    m_silent->setText(silent ? QStringLiteral("The controller does not answer (%1).").arg(line)
                             : QString());
    m_silent->setToolTip(silent ? QStringLiteral("The I/O monitor keeps asking; the lamps show "
                                                 "the signals again once the controller answers.")
                                : QString());
    m_silent->setVisible(silent);
}

QString MainWindowBase::silentNotice() const {
    return m_silent->isHidden() ? QString() : m_silent->text();
}

QString MainWindowBase::panelText(int panel) const {
    return (panel >= 1 && panel <= 3) ? m_panels[panel - 1]->text() : QString();
}

void MainWindowBase::openPortDialog() {
    if (m_state.PortName.isEmpty())
        m_state.PortName = QStringLiteral("COM1");
    auto* dialog = new frmP(
        m_state, [this](const QString& port) { setPanelText(3, port); }, this, m_iniPath);
    dialog->show();
}

bool MainWindowBase::numericInputMode() const {
    const ControlPanel* panel = controlPanel();
    return !panel || panel->numericInputChosen();
}

void MainWindowBase::focusNumericInputOption() {
    if (ControlPanel* panel = controlPanel())
        panel->focusNumericInput();
}

void MainWindowBase::restoreWindow() {
    enableToolbar();
    setEnabled(true);
    hideProgress();
}

void MainWindowBase::runTransfer(const std::function<void()>& operation) {
    m_marks.clear();
    // The whole operation is one step, however often it yields to the event loop.
    TableHistory::Scope step(m_history, stepNameOf(sender()));
    m_recorder.begin();
    try {
        operation();
    } catch (const std::exception&) {
        // A failure inside an operation must never leave the window locked.
    }
    restoreWindow();
    recordTransfer();
}

void MainWindowBase::runAsStep(const std::function<void()>& action) {
    TableHistory::Scope step(m_history, {});
    action();
}

void MainWindowBase::Exit() {
    // Whatever moves stops before anything is asked: the question may wait long.
    requestStop();
    if (!confirmDiscard())
        return;
    clearModified();
    close();
}

void MainWindowBase::closeEvent(QCloseEvent* event) {
    // Whatever moves stops before anything is asked: the question may wait long, and the
    // window may stay open after it.
    requestStop();
    if (!confirmClose()) {
        event->ignore();
        return;
    }
    m_closing = true;
    stopActivities();
    PortName::writeToIni(m_iniPath, m_state.PortName);
    event->accept();
    m_op.endProgram();
}

QWidget* MainWindowBase::createMonitorBoxes(QWidget* parent, QLineEdit** errorBoxOut) {
    auto* box = new QGroupBox(QStringLiteral("Communication"), parent);
    auto* form = new QFormLayout(box);
    auto* sent = new QLineEdit(box);
    sent->setObjectName("Txt_ComS");
    sent->setReadOnly(true);
    auto* received = new QPlainTextEdit(box);
    received->setObjectName("Txt_ComR");
    received->setReadOnly(true);
    received->setMaximumHeight(52);
    auto* error = new QLineEdit(box);
    error->setObjectName("Txt_Error");
    error->setReadOnly(true);
    form->addRow(QStringLiteral("Send"), sent);
    form->addRow(QStringLiteral("Receive"), received);
    if (errorBoxOut) {
        error->setAccessibleName(QStringLiteral("Error"));
        *errorBoxOut = error; // the window places it elsewhere
    } else {
        form->addRow(QStringLiteral("Error"), error);
    }
    // Control characters are shown as their visible pictures so a CR LF or the stop character
    // can be read in the boxes.
    auto visible = [](QString s) {
        s.replace(QLatin1String("\r\n"), QStringLiteral(" \u21b5 "));
        for (QChar& c : s)
            if (c.unicode() < 0x20)
                c = QChar(0x2400 + c.unicode());
        return s;
    };
    connect(&m_link, &Link::commandSent, sent,
            [sent, visible](const QString& t) { sent->setText(visible(t)); });
    connect(&m_link, &Link::replyReceived, received,
            [received](const QString& t) { received->setPlainText(t); });
    connect(&m_link, &Link::errorTextChanged, error,
            [error, visible](const QString& t) { error->setText(visible(t)); });
    return box;
}
