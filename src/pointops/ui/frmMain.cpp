#include "pointops/ui/frmMain.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
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
    : MainWindowBase(state, op, channel, std::move(iniPath), parent) {
    setObjectName("frmMain");
    setWindowTitle(QStringLiteral("QR_Series QRX Support-Software "));
    buildMenus();
    buildToolbar();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    m_grids = new QStackedWidget(central);
    auto* points = new QLabel(QStringLiteral("Points"), m_grids);
    points->setObjectName("Grid1");
    auto* params = new QLabel(QStringLiteral("Parameters"), m_grids);
    params->setObjectName("Grid2");
    m_grids->addWidget(points);
    m_grids->addWidget(params);
    layout->addWidget(m_grids, 1);
    layout->addWidget(createMonitorBoxes(central));
    setCentralWidget(central);
    setPanelText(2, QStringLiteral("Origin point shift: 0.00"));
    resize(1000, 700);
}

QAction* frmMain::addItem(QMenu* menu, const QString& name, const QString& caption) {
    auto* a = menu->addAction(caption);
    a->setObjectName(name);
    m_actions.insert(name, a);
    return a;
}

void frmMain::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File(&F)"));
    file->setObjectName("mnuFile");
    addItem(file, "mnuFileNew", "New File(&N)");
    addItem(file, "mnuFileOpen", "Open(&O)...");
    addItem(file, "mnuFileSave", "Save As(&A)...");
    file->addSeparator()->setObjectName("mnuFileBar1");
    addItem(file, "mnuFilePrint", "Print(&P)...");
    file->addSeparator()->setObjectName("mnuFileBar2");
    connect(addItem(file, "mnuFileExit", "Exit(&X)"), &QAction::triggered, this, &QWidget::close);

    QMenu* view = menuBar()->addMenu(QStringLiteral("View(&V)"));
    view->setObjectName("mnuView");
    auto* g1 = addItem(view, "mnuViewGrid1", "Display Points(&P)");
    auto* g2 = addItem(view, "mnuViewGrid2", "Display Parameters(&R)");
    g1->setCheckable(true);
    g2->setCheckable(true);
    g1->setChecked(true);
    connect(g1, &QAction::triggered, this, [this] {
        m_grids->setCurrentIndex(0);
        action("mnuViewGrid1")->setChecked(true);
        action("mnuViewGrid2")->setChecked(false);
    });
    connect(g2, &QAction::triggered, this, [this] {
        m_grids->setCurrentIndex(1);
        action("mnuViewGrid1")->setChecked(false);
        action("mnuViewGrid2")->setChecked(true);
    });

    QMenu* tools = menuBar()->addMenu(QStringLiteral("Tool(&T)"));
    tools->setObjectName("mnuTools");
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
    init->setObjectName("mnuToolsIniMenu");
    init->menuAction()->setObjectName("mnuToolsIni");
    m_actions.insert("mnuToolsIni", init->menuAction());
    addItem(init, "mnuToolsIniPo", "Points");
    addItem(init, "mnuToolsIniPa", "Parameters");
    addItem(init, "mnuToolsIniORG", "ORG");

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help(&H)"));
    help->setObjectName("mnuHelp");
    addItem(help, "mnuHelpAbout", "Version(&A)");

    // Operations that are not wired yet stay disabled rather than doing nothing.
    for (const char* name :
         {"mnuFileNew", "mnuFileOpen", "mnuFileSave", "mnuFilePrint", "mnuToolsTranP",
          "mnuToolsTranA", "mnuToolsRecP", "mnuToolsRecA", "mnuToolsBag", "mnuToolsComp",
          "mnuToolsIniPo", "mnuToolsIniPa", "mnuToolsIniORG", "mnuHelpAbout"})
        action(name)->setEnabled(false);
}

void frmMain::buildToolbar() {
    m_toolbar = addToolBar(QStringLiteral("Toolbar"));
    m_toolbar->setObjectName("Toolbar1");
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
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
        if (item) {
            QAction* target = action(item);
            a->setEnabled(target->isEnabled());
            connect(a, &QAction::triggered, target, &QAction::trigger);
        } else {
            connect(a, &QAction::triggered, this, [this] {
                action(m_grids->currentIndex() == 0 ? "mnuViewGrid2" : "mnuViewGrid1")->trigger();
            });
        }
    }
}

void frmMain::DisableCommands() {
    DisableToolbar();
    for (const char* name : kLockedItems)
        action(name)->setEnabled(false);
}

void frmMain::EnableCommands() {
    EnableToolbar();
    for (const char* name : kLockedItems)
        action(name)->setEnabled(true);
}

void frmMain::EnableToolbar() {
    m_toolbar->setEnabled(true);
}
void frmMain::DisableToolbar() {
    m_toolbar->setEnabled(false);
}

void frmMain::RestoreWindow() {
    EnableToolbar();
    setEnabled(true);
    hideProgress();
}
