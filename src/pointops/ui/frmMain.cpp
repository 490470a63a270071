#include "pointops/ui/frmMain.h"

#include "pointdata/ActuatorTypes.h"
#include "pointdata/DependentDisplays.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointdata/ui/ParameterGrid.h"
#include "pointdata/ui/PointGrid.h"
#include "pointops/PointOpsContext.h"
#include "pointops/ui/DrivePanel.h"
#include "pointops/ui/SizeDetectionPanel.h"
#include "pointops/ui/frmMainHost.h"
#include "startup/ui/IoLamps.h"

#include <QAction>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
// Menu items locked while Operation mode or size detection runs.
const char* const kLockedItems[] = {
    "mnuViewGrid1", "mnuViewGrid2",  "mnuFileNew",    "mnuFileOpen",  "mnuFileSave",
    "mnuFilePrint", "mnuToolsTranP", "mnuToolsTranA", "mnuToolsRecP", "mnuToolsRecA",
    "mnuToolsCom",  "mnuToolsComp",  "mnuToolsIni",   "mnuHelpAbout", "mnuToolsBag"};
} // namespace

frmMain::frmMain(LinkState& state, OperatorInteraction& op, SerialChannel& channel, QString iniPath,
                 QWidget* parent)
    : MainWindowBase(state, op, channel, std::move(iniPath), parent), m_fileOps(op) {
    setObjectName("frmMain");
    setWindowTitle(QStringLiteral("QR_Series QRX Support-Software "));

    // No parameter checks while the grids are filled.
    m_pointModel = new PointTableModel(op, this);
    m_paramModel = new ParameterTableModel(op, this);
    m_paramModel->setReceiving(true);
    m_paramModel->setTable(ActuatorTypes::initialTable(QStringLiteral("30")));

    buildMenus();
    addStandardShortcuts();
    wireOperations();
    buildToolbar();
    setCentralWidget(buildCentral());
    markGrid(m_pointGrid, CompareReport::FirstGrid);
    markGrid(m_paramGrid, CompareReport::ParameterGrid);
    wireDrivePanel();
    wireSizePanel();

    connect(m_paramModel, &ParameterTableModel::edited, this, [this] {
        m_pointModel->setModified(true);
        if (!pointGridShown())
            RefreshDependentDisplays();
    });
    connect(&m_fileOps, &SettingsFileOps::captionChanged, this, &QWidget::setWindowTitle);
    connect(&m_fileOps, &SettingsFileOps::tablesReplaced, this, [this] {
        if (m_runningDoc)
            loadDocument(*m_runningDoc);
    });

    ShowPointGrid();
    setPanelText(2, DependentDisplays::originShiftText(QStringLiteral("0")));
    m_pointModel->setModified(false);
    m_paramModel->setReceiving(false);
    fitToScreen({1360, 800});
}

QAction* frmMain::addItem(QMenu* menu, const QString& name, const QString& caption) {
    auto* a = menu->addAction(caption);
    a->setObjectName(name);
    m_actions.insert(name, a);
    return a;
}

void frmMain::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File(&F)"));
    file->menuAction()->setObjectName("mnuFile");
    connect(addItem(file, "mnuFileNew", "New File(&N)"), &QAction::triggered, this,
            &frmMain::NewFile);
    connect(addItem(file, "mnuFileOpen", "Open(&O)..."), &QAction::triggered, this,
            &frmMain::OpenFile);
    connect(addItem(file, "mnuFileSave", "Save As(&A)..."), &QAction::triggered, this,
            &frmMain::SaveAs);
    file->addSeparator()->setObjectName("mnuFileBar1");
    connect(addItem(file, "mnuFilePrint", "Print(&P)..."), &QAction::triggered, this,
            &frmMain::PrintLists);
    file->addSeparator()->setObjectName("mnuFileBar2");
    connect(addItem(file, "mnuFileExit", "Exit(&X)"), &QAction::triggered, this, &frmMain::Exit);

    QMenu* view = menuBar()->addMenu(QStringLiteral("View(&V)"));
    view->menuAction()->setObjectName("mnuView");
    auto* g1 = addItem(view, "mnuViewGrid1", "Display Points(&P)");
    auto* g2 = addItem(view, "mnuViewGrid2", "Display Parameters(&R)");
    g1->setCheckable(true);
    g2->setCheckable(true);
    connect(g1, &QAction::triggered, this, &frmMain::ShowPointGrid);
    connect(g2, &QAction::triggered, this, &frmMain::ShowParameterGrid);
    view->addSeparator();
    auto* tb = addItem(view, "mnuViewToolbar", "Toolbar(&T)");
    auto* sb = addItem(view, "mnuViewStatusBar", "Statusbar(&B)");
    tb->setCheckable(true);
    sb->setCheckable(true);
    tb->setChecked(true);
    sb->setChecked(true);
    connect(tb, &QAction::toggled, this, [this](bool on) { m_toolbar->setVisible(on); });
    connect(sb, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
    view->addSeparator();
    m_actions.insert("mnuViewTraffic", addTrafficLogItem(view));

    QMenu* tools = menuBar()->addMenu(QStringLiteral("Tool(&T)"));
    tools->menuAction()->setObjectName("mnuTools");
    addItem(tools, "mnuToolsTranP", "Transmit(Points)");
    addItem(tools, "mnuToolsTranA", "Transmit(Parameters)");
    addItem(tools, "mnuToolsRecP", "Receive(Points)");
    addItem(tools, "mnuToolsRecA", "Receive(Parameters)");
    tools->addSeparator()->setObjectName("mnuToolsBag1");
    connect(addItem(tools, "mnuToolsCom", "Com_Setup"), &QAction::triggered, this,
            &MainWindowBase::openPortDialog);
    tools->addSeparator()->setObjectName("mnuToolsBag2");
    addItem(tools, "mnuToolsBag", "Error History Display");
    tools->addSeparator()->setObjectName("mnuToolsBag3");
    addItem(tools, "mnuToolsComp", "Compare");
    QMenu* init = tools->addMenu(QStringLiteral("Init"));
    init->menuAction()->setObjectName("mnuToolsIni");
    m_actions.insert("mnuToolsIni", init->menuAction());
    addItem(init, "mnuToolsIniPo", "Points");
    addItem(init, "mnuToolsIniPa", "Parameters");
    addItem(init, "mnuToolsIniORG", "ORG");

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help(&H)"));
    help->menuAction()->setObjectName("mnuHelp");
    connect(addItem(help, "mnuHelpAbout", "Version(&A)"), &QAction::triggered, this,
            &MainWindowBase::About);
}

void frmMain::buildToolbar() {
    m_toolbar = addToolBar(QStringLiteral("Toolbar"));
    m_toolbar->setObjectName("Toolbar1");
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_toolbar->setMovable(false);
    const std::pair<const char*, const char*> keys[] = {
        {"NewFile", "mnuFileNew"},
        {"Open", "mnuFileOpen"},
        {"SaveAS", "mnuFileSave"},
        {"Print", "mnuFilePrint"},
        {"ComSetup", "mnuToolsCom"},
        {"Transmit(Parameters)", "mnuToolsTranA"},
        {"Transmit(Point)", "mnuToolsTranP"},
        {"Receive(Parameters)", "mnuToolsRecA"},
        {"Receive(Point)", "mnuToolsRecP"},
        {"Cmpare", "mnuToolsComp"},
        {"Errorhistorydisplay", "mnuToolsBag"},
        {"Init(Point)", "mnuToolsIniPo"},
        {"Window", nullptr},
        {"Exit", "mnuFileExit"},
    };
    for (const auto& [key, item] : keys) {
        auto* a = m_toolbar->addAction(QString::fromLatin1(key));
        a->setObjectName(QString::fromLatin1(key));
        m_keys.insert(key, a);
        QAction* target = item ? action(item) : nullptr;
        if (target) {
            describeKey(a, target);
            a->setEnabled(target->isEnabled());
            connect(target, &QAction::changed, a,
                    [a, target] { a->setEnabled(target->isEnabled()); });
        }
        // Every toolbar click clears settei and marks a user action before it dispatches.
        connect(a, &QAction::triggered, this, [this, target] {
            m_settei = 0;
            m_userAction = true;
            if (target)
                target->trigger();
            else if (pointGridShown())
                ShowParameterGrid();
            else
                ShowPointGrid();
            m_userAction = false;
        });
    }
}

QWidget* frmMain::buildCentral() {
    auto* central = new QWidget(this);
    auto* columns = new QHBoxLayout(central);
    auto* left = new QVBoxLayout;
    m_grids = new QStackedWidget(central);
    m_pointGrid = new PointGrid(m_pointModel, m_grids);
    m_paramGrid = new ParameterGrid(m_paramModel, m_grids);
    m_grids->addWidget(m_pointGrid);
    m_grids->addWidget(m_paramGrid);
    keepReadableWhenDisabled(m_pointGrid);
    keepReadableWhenDisabled(m_paramGrid);
    left->addWidget(m_grids, 1);
    left->addWidget(createMonitorBoxes(central));
    columns->addLayout(left, 1);

    // The panels scroll when the window is lower than they are (a small screen).
    auto* panels = new QWidget(central);
    auto* right = new QVBoxLayout(panels);
    right->setContentsMargins(0, 0, 0, 0);
    m_drive = new DrivePanel(panels);
    m_size = new SizeDetectionPanel(panels);
    m_lamps = new IoLamps(IoLamps::Layout::pointInput(), panels);
    right->addWidget(m_drive);
    right->addWidget(m_size);
    right->addWidget(m_lamps);
    right->addStretch(1);
    auto* logoRow = new QHBoxLayout;
    logoRow->addStretch(1);
    logoRow->addWidget(createLogoButton(panels));
    right->addLayout(logoRow);
    // The panels keep their own width; the grids take the rest.
    columns->addWidget(scrollColumn(panels, central), 0);
    return central;
}

bool frmMain::pointGridShown() const {
    return m_grids->currentWidget() == m_pointGrid;
}

void frmMain::ShowPointGrid() {
    m_grids->setCurrentWidget(m_pointGrid);
    action("mnuViewGrid1")->setChecked(true);
    action("mnuViewGrid2")->setChecked(false);
    // The Window key shows the other grid.
    if (QAction* key = toolbarKey("Window"))
        key->setToolTip(toolTipOf(action("mnuViewGrid2")));
}

void frmMain::ShowParameterGrid() {
    m_grids->setCurrentWidget(m_paramGrid);
    action("mnuViewGrid1")->setChecked(false);
    action("mnuViewGrid2")->setChecked(true);
    if (QAction* key = toolbarKey("Window"))
        key->setToolTip(toolTipOf(action("mnuViewGrid1")));
}

void frmMain::DisableCommands() {
    m_commandsLocked = true;
    DisableToolbar();
    for (const char* name : kLockedItems)
        action(name)->setEnabled(false);
    for (QPushButton* b : m_size->buttons())
        b->setEnabled(false);
}

void frmMain::EnableCommands() {
    m_commandsLocked = false;
    EnableToolbar();
    for (const char* name : kLockedItems)
        action(name)->setEnabled(true);
    for (QPushButton* b : m_size->buttons())
        b->setEnabled(true);
    if (QPushButton* set = m_drive->button("Cmd_Set"))
        set->setEnabled(true);
}

void frmMain::EnableToolbar() {
    m_toolbar->setEnabled(true);
}

void frmMain::enableToolbar() {
    if (!m_commandsLocked)
        EnableToolbar();
}
void frmMain::DisableToolbar() {
    m_toolbar->setEnabled(false);
}

void frmMain::RestoreWindow() {
    EnableToolbar();
    setEnabled(true);
    hideProgress();
}

void frmMain::RefreshDependentDisplays() {
    const DependentDisplays d = DependentDisplays::compute(m_paramModel->table());
    m_drive->box("Txt_spd")->setText(d.pushingSpeed);
    m_drive->box("Txt_Dist")->setText(d.distance);
    m_drive->box("Txt_Limit")->setText(d.limitWidth);
    m_size->box("size_dai")->setText(d.maxPoint);
    m_size->box("size_syou")->setText(d.minPoint);
    m_size->showFunctionValid(d.sizeDetectionValid);
    setPanelText(2, d.originShift);
}

bool frmMain::numericInputMode() const {
    const QRadioButton* numeric = m_drive->teachingOption(0);
    return numeric && numeric->isChecked();
}

void frmMain::focusNumericInputOption() {
    if (QRadioButton* numeric = m_drive->teachingOption(0)) {
        numeric->setEnabled(true);
        numeric->setFocus();
    }
}

void frmMain::stopActivities() {
    m_closing = true;
    // Stops the I/O monitor and a running motion before the program ends.
    m_driveOps->stopForExit();
}

bool frmMain::logoEnabled() const {
    return !m_driveState.operationMode && !m_userAction;
}
