#include "pulse/ui/frmpulseMaindemo.h"

#include "files/PrintJob.h"
#include "pulse/PulseFileOps.h"
#include "pulse/PulseOpsContext.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/PulsePrintLayout.h"
#include "pulse/PulseSettingsFile.h"
#include "pulse/ZoneFileCompare.h"
#include "pulse/ZoneTableModel.h"
#include "pulse/ui/PulsePanel.h"
#include "pulse/ui/ZoneGrid.h"
#include "pulse/ui/frmpulseMaindemoHost.h"
#include "transfers/CompareFlow.h"
#include "window/ui/IoLamps.h"
#include "window/ui/PanelWidgets.h"
#include "window/ui/ParameterGrid.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

// A grid that shows all its rows and columns when there is room. In a narrower window its
// Note column gives way first (down to a readable width), then the grid scrolls; in a lower
// one it keeps at least minimumRows rows in view and scrolls the rest.
void fitGridToContents(TableGrid* grid, int minimumRows) {
    const int columns = grid->model()->columnCount();
    const int frame = 2 * grid->frameWidth();
    int width = frame;
    for (int c = 0; c < columns; ++c)
        width += grid->columnWidth(c);
    const int note = grid->columnWidth(columns - 1);
    // The zone grid keeps every column in view; the wider parameter grid scrolls sooner.
    const int narrowest = qMin(width - note + qMin(note, 140), 520);
    int height = frame + grid->horizontalHeader()->sizeHint().height();
    int lowest = height + grid->horizontalScrollBar()->sizeHint().height();
    for (int r = 0; r < grid->model()->rowCount(); ++r) {
        height += grid->rowHeight(r);
        if (r < minimumRows)
            lowest += grid->rowHeight(r);
    }
    grid->horizontalHeader()->setSectionResizeMode(columns - 1, QHeaderView::Stretch);
    grid->setPreferredSize({width, height});
    grid->setMaximumSize(width, height);
    grid->setMinimumSize(narrowest, qMin(height, lowest));
    MainWindowBase::keepReadableWhenDisabled(grid);
}

QGroupBox* frameAround(QWidget* content, const QString& name, const QString& caption,
                       QWidget* parent) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(content);
    return frame;
}

} // namespace

namespace {
// Alt and a letter for each panel button; none of the menus' letters (F, T, V, H), none twice,
// the same letter as in the point-input window where both have the button. The servo and
// operation type buttons keep theirs through both of their captions. "スタート" and the
// unused jog buttons have no Latin letter to mark.
const QList<PanelWidgets::Mnemonic> kPanelKeys{
    {"Cmd_Setup", 'g'}, {"Cmd_driv", 'p'},   {"Cmd_SetBase", 'n'}, {"Cmd_TargetP", 'i'},
    {"Cmd_Set", 'e'},   {"Cmd_Return", 'r'}, {"Cmd_Stop", 'o'},    {"Cmd_Srvo", 's'},
    {"Cmd_Brake", 'b'}, {"Cmd_Alarm", 'c'},  {"Cmd_Cclr", 'd'},    {"Cmd_Dousa", 'a'}};
} // namespace

frmpulseMaindemo::frmpulseMaindemo(LinkState& state, OperatorInteraction& op,
                                   SerialChannel& channel, QString iniPath, QWidget* parent)
    : MainWindowBase(state, op, channel, std::move(iniPath), parent) {
    setObjectName("frmpulseMaindemo");
    setWindowTitle(QStringLiteral("QR_Series QRX5 Support-Software "));

    m_zoneModel = new ZoneTableModel(op, this);
    m_paramModel = new PulseParameterModel(op, this);
    m_file = new PulseFileOps(*m_zoneModel, *m_paramModel, this);

    buildMenus();
    buildToolbar({{"Transmit(Parameters)", "mnuToolsTranA"},
                  {"Transmit(Zone)", "mnuToolsTranZ"},
                  {"Receive(Parameters)", "mnuToolsRecA"},
                  {"Receive(Zone)", "mnuToolsRecZ"},
                  {"Cmpare", "mnuToolsComp"},
                  {"Errorhistorydisplay", "mnuToolsBag"},
                  {"SpeedCalculation", "mnuToolsSpeed"},
                  {"Init(Zone)", "mnuToolsIniZo"}});
    setCentralWidget(buildCentral());
    wireOperations();
    wirePanel();
    PanelWidgets::setMnemonics(centralWidget(), kPanelKeys);

    connect(m_paramModel, &ParameterRowsModel::edited, this, [this] {
        m_zoneModel->setModified(true);
        RefreshOriginShift();
    });
    connect(m_file, &PulseFileOps::captionChanged, this, &QWidget::setWindowTitle);
    connect(m_file, &PulseFileOps::tablesReplaced, this, &frmpulseMaindemo::RefreshOriginShift);

    RefreshOriginShift();
    m_zoneModel->setModified(false);
    fitToScreen(QSize(1260, 780));
}

void frmpulseMaindemo::buildMenus() {
    buildFileMenu();

    QMenu* view = addMenu(QStringLiteral("mnuView"), QStringLiteral("View(&V)"));
    addViewToggles(view);

    buildToolMenu(
        {{"mnuToolsTranZ", "Transmit(Zones)"},
         {"mnuToolsTranA", "Transmit(Parameters)"},
         {"mnuToolsRecZ", "Receive(Zones)"},
         {"mnuToolsRecA", "Receive(Parameters)"},
         {"mnuToolsBag1", nullptr},
         {"mnuToolsCom", "Com_Setup"},
         {"mnuToolsBag2", nullptr},
         {"mnuToolsBag", "Error History Display"},
         {"mnuToolsSpeed", "Slider operating speed calculation"},
         {"mnuToolsBag3", nullptr},
         {"mnuToolsComp", "Compare"}},
        {{"mnuToolsIniZo", "Zones"}, {"mnuToolsIniPa", "Parameters"}, {"mnuToolsIniORG", "Org"}});
    buildHelpMenu();
    // What Operation mode and direct teaching lock.
    setLockedItems({"mnuFileNew", "mnuFileOpen", "mnuFileSave", "mnuFilePrint", "mnuToolsTranZ",
                    "mnuToolsTranA", "mnuToolsRecZ", "mnuToolsRecA", "mnuToolsCom", "mnuToolsComp",
                    "mnuToolsIni", "mnuHelpAbout", "mnuToolsBag"});
}

QWidget* frmpulseMaindemo::buildCentral() {
    auto* central = new QWidget(this);
    auto* columns = new QHBoxLayout(central);

    auto* left = new QVBoxLayout;
    m_zoneGrid = new ZoneGrid(m_zoneModel, central);
    m_paramGrid =
        new ParameterGrid(m_paramModel, central, ParameterGrid::Style::LightBlueFixedCells);
    fitGridToContents(m_zoneGrid, ZoneCount);
    fitGridToContents(m_paramGrid, 5);
    left->addWidget(frameAround(m_zoneGrid, QStringLiteral("Frame_Zone"),
                                QStringLiteral("Zone output range setting  (Set as A<B.)"),
                                central));
    left->addWidget(frameAround(m_paramGrid, QStringLiteral("Frame_Parameter"),
                                QStringLiteral("Parameter setting"), central));
    QLineEdit* errorBox = nullptr;
    left->addWidget(createMonitorBoxes(central, &errorBox));
    left->addStretch(1);
    columns->addLayout(left, 0);

    // The panel keeps its own width and scrolls when the window is lower than it is.
    auto* panelColumn = new QWidget(central);
    auto* panelLayout = new QVBoxLayout(panelColumn);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    m_panel = new PulsePanel(createLogoButton(panelColumn), panelColumn);
    panelLayout->addWidget(m_panel);
    // The error box stands by the "ERROR" label of the frame "Display".
    m_panel->lamps()->placeErrorBox(errorBox);
    columns->addWidget(scrollColumn(panelColumn, central), 1);

    // Keypad entry into the zone positions while the teaching SET button is enabled.
    QPushButton* set = m_panel->button(QStringLiteral("Cmd_Set"));
    m_zoneGrid->setKeypadAllowed([set] { return set->isEnabled(); });
    return central;
}

void frmpulseMaindemo::RefreshOriginShift() {
    setPanelText(2, ParameterRows::originShiftText(m_paramModel->settingValue(35)));
}

bool frmpulseMaindemo::SaveAs() {
    return SettingsFileFlow::saveAs(m_op, *m_file);
}

void frmpulseMaindemo::NewFile() {
    SettingsFileFlow::newFile(m_op, *m_file);
}

void frmpulseMaindemo::OpenFile() {
    SettingsFileFlow::open(m_op, *m_file);
}

bool frmpulseMaindemo::confirmDiscard() {
    return SettingsFileFlow::confirmDiscard(m_op, *m_file);
}

void frmpulseMaindemo::CompareWithFile() {
    PulseSettingsFile::ReadResult file;
    CompareFlow::compareWithFile(
        m_op,
        [&file](const QByteArray& bytes) -> const SettingsFileFlow::ReadHead& {
            file = PulseSettingsFile::read(bytes);
            return file;
        },
        [&] {
            return ZoneFileCompare::findings(m_zoneModel->table(), m_paramModel->table(),
                                             file.zones, file.parameters);
        },
        [this](const QList<Difference>& found) { cellMarks().set(found); });
}

void frmpulseMaindemo::PrintLists() {
    const ZoneTableData zones = m_zoneModel->table();
    const PulseParameterData parameters = m_paramModel->table();
    // A failed print reports itself; the window stays usable either way.
    PrintJob::run(m_op, [&](PrintSurface& surface, const QString& stamp) {
        PulsePrintLayout::render(surface, zones, parameters, stamp);
    });
    restoreWindow();
}

void frmpulseMaindemo::clearModified() {
    m_zoneModel->setModified(false);
}

void frmpulseMaindemo::requestStop() {
    if (m_driveOps)
        m_driveOps->stopAsked();
}

void frmpulseMaindemo::stopActivities() {
    // Stops the I/O monitor, the teaching polling and a running motion before the program ends.
    m_driveOps->stopForExit();
}

ControlPanel* frmpulseMaindemo::controlPanel() const {
    return m_panel;
}
