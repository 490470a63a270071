#include "pointops/ui/frmMain.h"

#include "pointdata/DependentDisplays.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointFileOps.h"
#include "pointdata/PointParameters.h"
#include "pointdata/PointTableModel.h"
#include "pointdata/ui/PointGrid.h"
#include "pointops/PointOpsContext.h"
#include "pointops/ui/DrivePanel.h"
#include "pointops/ui/SizeDetectionPanel.h"
#include "pointops/ui/frmMainHost.h"
#include "window/ui/IoLamps.h"
#include "window/ui/PanelWidgets.h"
#include "window/ui/ParameterGrid.h"

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
const QStringList kLockedItems{"mnuViewGrid1", "mnuViewGrid2", "mnuFileNew",    "mnuFileOpen",
                               "mnuFileSave",  "mnuFilePrint", "mnuToolsTranP", "mnuToolsTranA",
                               "mnuToolsRecP", "mnuToolsRecA", "mnuToolsCom",   "mnuToolsComp",
                               "mnuToolsIni",  "mnuHelpAbout", "mnuToolsBag"};

// Alt and a letter for each panel button; none of the menus' letters (F, T, V, H), none twice.
// The jog buttons "+" and "-" are held, not clicked, and have no letter to mark.
const QList<PanelWidgets::Mnemonic> kPanelKeys{
    {"Cmd_Setup", 'g'},   {"Cmd_driv", 'p'},          {"Cmd_SetBase", 'n'},
    {"Cmd_TargetP", 'i'}, {"Cmd_Set", 'e'},           {"Cmd_Return", 'r'},
    {"Cmd_Start", 'a'},   {"Cmd_Stop", 'o'},          {"size_yuukou", 'l'},
    {"size_mukou", 'd'},  {"size_saidaisettei", 'm'}, {"size_saisyousettei", 'u'},
    {"size_set", 's'}};
} // namespace

frmMain::frmMain(LinkState& state, OperatorInteraction& op, SerialChannel& channel, QString iniPath,
                 QWidget* parent)
    : MainWindowBase(state, op, channel, std::move(iniPath), parent) {
    setObjectName("frmMain");
    setWindowTitle(QStringLiteral("QR_Series QRX Support-Software "));

    // No parameter checks while the grids are filled.
    m_pointModel = new PointTableModel(op, this);
    m_paramModel = new ParameterTableModel(op, this);
    m_file = new PointFileOps(*m_pointModel, *m_paramModel, this);
    m_paramModel->setReceiving(true);
    m_paramModel->setTable(PointParameters::initialTable(QStringLiteral("30")));

    buildMenus();
    wireOperations();
    buildToolbar({{"Transmit(Parameters)", "mnuToolsTranA"},
                  {"Transmit(Point)", "mnuToolsTranP"},
                  {"Receive(Parameters)", "mnuToolsRecA"},
                  {"Receive(Point)", "mnuToolsRecP"},
                  {"Cmpare", "mnuToolsComp"},
                  {"Errorhistorydisplay", "mnuToolsBag"},
                  {"Init(Point)", "mnuToolsIniPo"},
                  {"Window", nullptr}});
    setCentralWidget(buildCentral());
    markGrid(m_pointGrid, CompareReport::FirstGrid);
    markGrid(m_paramGrid, CompareReport::ParameterGrid);
    wireDrivePanel();
    wireSizePanel();
    PanelWidgets::setMnemonics(centralWidget(), kPanelKeys);

    connect(m_paramModel, &ParameterTableModel::edited, this, [this] {
        m_pointModel->setModified(true);
        if (!pointGridShown())
            RefreshDependentDisplays();
    });
    connect(m_file, &PointFileOps::captionChanged, this, &QWidget::setWindowTitle);
    connect(m_file, &PointFileOps::tablesReplaced, this, &frmMain::RefreshDependentDisplays);

    ShowPointGrid();
    setPanelText(2, DependentDisplays::originShiftText(QStringLiteral("0")));
    m_pointModel->setModified(false);
    m_paramModel->setReceiving(false);
    fitToScreen({1360, 800});
}

void frmMain::buildMenus() {
    buildFileMenu();

    QMenu* view = addMenu(QStringLiteral("mnuView"), QStringLiteral("View(&V)"));
    auto* g1 = addItem(view, "mnuViewGrid1", "Display Points(&P)");
    auto* g2 = addItem(view, "mnuViewGrid2", "Display Parameters(&R)");
    g1->setCheckable(true);
    g2->setCheckable(true);
    connect(g1, &QAction::triggered, this, &frmMain::ShowPointGrid);
    connect(g2, &QAction::triggered, this, &frmMain::ShowParameterGrid);
    view->addSeparator();
    addViewToggles(view);

    buildToolMenu(
        {{"mnuToolsTranP", "Transmit(Points)"},
         {"mnuToolsTranA", "Transmit(Parameters)"},
         {"mnuToolsRecP", "Receive(Points)"},
         {"mnuToolsRecA", "Receive(Parameters)"},
         {"mnuToolsBag1", nullptr},
         {"mnuToolsCom", "Com_Setup"},
         {"mnuToolsBag2", nullptr},
         {"mnuToolsBag", "Error History Display"},
         {"mnuToolsBag3", nullptr},
         {"mnuToolsComp", "Compare"}},
        {{"mnuToolsIniPo", "Points"}, {"mnuToolsIniPa", "Parameters"}, {"mnuToolsIniORG", "ORG"}});
    buildHelpMenu();
    setLockedItems(kLockedItems);
}

void frmMain::runOwnKey(const QString& key) {
    if (key != u"Window")
        return;
    if (pointGridShown())
        ShowParameterGrid();
    else
        ShowPointGrid();
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

void frmMain::lockOwnControls(bool locked) {
    for (QPushButton* b : m_size->buttons())
        b->setEnabled(!locked);
    if (QPushButton* set = m_drive->button("Cmd_Set"); set && !locked)
        set->setEnabled(true);
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

ControlPanel* frmMain::controlPanel() const {
    return m_drive;
}

void frmMain::requestStop() {
    if (m_driveOps)
        m_driveOps->stopAsked();
}

void frmMain::stopActivities() {
    // Stops the I/O monitor and a running motion before the program ends.
    m_driveOps->stopForExit();
}
