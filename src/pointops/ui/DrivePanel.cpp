#include "pointops/ui/DrivePanel.h"

#include "window/ui/CarriageFigure.h"
#include "window/ui/Lamp.h"
#include "window/ui/PanelWidgets.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
// The shared panel controls under the names this panel was written with.
auto* const makeButton = &PanelWidgets::button;
auto* const makeBox = &PanelWidgets::box;
auto* const makeLabel = &PanelWidgets::label;
auto* const makeFrame = &PanelWidgets::frame;
} // namespace

DrivePanel::DrivePanel(QWidget* parent) : ControlPanel(parent) {
    setObjectName(QStringLiteral("DrivePanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(buildModeButtons());
    layout->addWidget(buildSetupFrame());
    layout->addWidget(buildParametersFrame());

    auto* lower = new QHBoxLayout;
    lower->setSpacing(4);
    lower->addWidget(buildDriveFrame());
    lower->addWidget(buildViewFrame(), 1);
    layout->addLayout(lower);

    teachingOption(0)->setChecked(true);
    showTargetSelection(false);
    showSettingMode();
}

QWidget* DrivePanel::buildModeButtons() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_setup = makeButton(QStringLiteral("Cmd_Setup"), QStringLiteral("Setting"), row);
    m_drive = makeButton(QStringLiteral("Cmd_driv"), QStringLiteral("Operation"), row);
    for (QPushButton* mode : {m_setup, m_drive}) {
        mode->setMinimumHeight(28);
        layout->addWidget(mode, 1);
    }
    return row;
}

QGroupBox* DrivePanel::buildSetupFrame() {
    QGroupBox* frame = makeFrame(QStringLiteral("Frame_Setup"), QStringLiteral("Setup"), this);
    m_frames[int(Frame::Setup)] = frame;
    auto* grid = new QGridLayout(frame);
    grid->setVerticalSpacing(4);

    // The three teaching methods; the trailing blanks belong to the captions.
    grid->addLayout(makeTeachingOptions(frame, {QStringLiteral("Numeric Input "),
                                                QStringLiteral("Direct Teaching "),
                                                QStringLiteral("Teaching Playback")}),
                    0, 0, 1, 4);

    auto* position = makeBox(QStringLiteral("Txt_Pos"), QStringLiteral("0.00"),
                             QStringLiteral("-00.000"), frame);
    m_minus = makeButton(QStringLiteral("Cmd_Cl"), QStringLiteral("-"), frame);
    m_plus = makeButton(QStringLiteral("Cmd_Op"), QStringLiteral("+"), frame);
    for (QPushButton* jog : {m_minus, m_plus})
        jog->setFixedWidth(40);
    auto* positionRow = new QHBoxLayout;
    positionRow->addWidget(makeLabel(QStringLiteral("Setting position (mm)"), position, frame));
    positionRow->addWidget(position);
    positionRow->addStretch(1);
    positionRow->addWidget(m_minus);
    positionRow->addWidget(m_plus);
    grid->addLayout(positionRow, 1, 0, 1, 4);

    m_setBase =
        makeButton(QStringLiteral("Cmd_SetBase"), QStringLiteral("Origin point shift"), frame);
    m_targetP = makeButton(QStringLiteral("Cmd_TargetP"), QStringLiteral("Position"), frame);
    m_set = makeButton(QStringLiteral("Cmd_Set"), QStringLiteral("SET"), frame);
    m_set->setMinimumWidth(72);
    auto* targetRow = new QHBoxLayout;
    targetRow->addWidget(m_setBase);
    targetRow->addWidget(m_targetP);
    targetRow->addStretch(1);
    targetRow->addWidget(m_set);
    grid->addLayout(targetRow, 2, 0, 1, 4);
    return frame;
}

QGroupBox* DrivePanel::buildParametersFrame() {
    QGroupBox* frame =
        makeFrame(QStringLiteral("Frame_Parameters"), QStringLiteral("Low-speed movement"), this);
    m_frames[int(Frame::Parameters)] = frame;
    auto* row = new QHBoxLayout(frame);
    row->setSpacing(3);
    struct Entry {
        const char* name;
        const char* label;
        const char* text;
        const char* unit;
        const char* sample;
    };
    const Entry entries[] = {{"Txt_spd", "Speed", "10", "mm/s", "000"},
                             {"Txt_Dist", "Dist", "2.00", "mm", "00.00"},
                             {"Txt_Limit", "Limit width", "2.00", "mm", "00.00"}};
    bool first = true;
    for (const Entry& entry : entries) {
        if (!first)
            row->addSpacing(10);
        first = false;
        auto* box = makeBox(QLatin1String(entry.name), QLatin1String(entry.text),
                            QLatin1String(entry.sample), frame);
        row->addWidget(makeLabel(QLatin1String(entry.label), box, frame));
        row->addWidget(box);
        row->addWidget(new QLabel(QLatin1String(entry.unit), frame));
    }
    row->addStretch(1);
    return frame;
}

QGroupBox* DrivePanel::buildDriveFrame() {
    QGroupBox* frame = makeFrame(QStringLiteral("Frame_Drive"), QStringLiteral("Drive"), this);
    m_frames[int(Frame::Drive)] = frame;
    auto* row = new QHBoxLayout(frame);
    m_return = makeButton(QStringLiteral("Cmd_Return"), QStringLiteral("Org"), frame);
    m_start = makeButton(QStringLiteral("Cmd_Start"), QStringLiteral("Start"), frame);
    m_stop = makeButton(QStringLiteral("Cmd_Stop"), QStringLiteral("Stop"), frame);
    for (QPushButton* drive : {m_return, m_start, m_stop}) {
        drive->setFixedSize(56, 34);
        row->addWidget(drive);
    }
    return frame;
}

QGroupBox* DrivePanel::buildViewFrame() {
    QGroupBox* frame =
        makeFrame(QStringLiteral("Frame_View"), QStringLiteral("Position monitor"), this);
    m_frames[int(Frame::View)] = frame;
    auto* column = new QVBoxLayout(frame);
    column->setSpacing(2);
    auto* now = makeBox(QStringLiteral("Txt_NowPosi"), QString(), QStringLiteral("-000.00"), frame);
    now->setReadOnly(true);
    now->setFocusPolicy(Qt::NoFocus);
    auto* row = new QHBoxLayout;
    row->addWidget(makeLabel(QStringLiteral("Current position"), now, frame));
    row->addWidget(now);
    row->addWidget(new QLabel(QStringLiteral("mm"), frame));
    row->addStretch(1);
    column->addLayout(row);
    m_carriage = new CarriageFigure(frame);
    column->addWidget(m_carriage);
    return frame;
}

QGroupBox* DrivePanel::frame(Frame which) const {
    return m_frames[int(which)];
}

void DrivePanel::showSettingMode() {
    setButtonColour(m_setup, SettingActiveBgr);
    setButtonColour(m_drive, IdleBgr);
    setButtonColour(m_return, IdleBgr);
    setButtonColour(m_start, IdleBgr);
    setButtonColour(m_set, SetBgr);
    resetButtonColour(m_stop);
    resetButtonColour(m_plus);
    resetButtonColour(m_minus);
    m_setup->setEnabled(true);
    m_drive->setEnabled(true);
    for (QPushButton* teach : {m_setBase, m_targetP, m_set})
        teach->setEnabled(true);
    for (QPushButton* jog : {m_plus, m_minus})
        jog->setEnabled(false);
    for (QPushButton* drive : {m_return, m_start, m_stop})
        drive->setEnabled(false);
    // Leaving Operation mode must give teaching and the low-speed boxes back, otherwise
    // they would stay locked until the window is reopened.
    frame(Frame::Setup)->setEnabled(true);
    frame(Frame::Parameters)->setEnabled(true);
}

void DrivePanel::showOperationMode() {
    setButtonColour(m_drive, OperationActiveBgr);
    setButtonColour(m_setup, IdleBgr);
    setButtonColour(m_return, IdleBgr);
    setButtonColour(m_start, IdleBgr);
    setButtonColour(m_set, SetBgr);
    resetButtonColour(m_stop);
    resetButtonColour(m_plus);
    resetButtonColour(m_minus);
    for (QPushButton* teach : {m_setBase, m_targetP, m_plus, m_minus, m_set})
        teach->setEnabled(false);
    teachingOption(0)->setEnabled(true);
    frame(Frame::Setup)->setEnabled(false);
    frame(Frame::Parameters)->setEnabled(false);
    frame(Frame::Drive)->setEnabled(true);
    frame(Frame::View)->setEnabled(true);
}

void DrivePanel::showTargetSelection(bool originShift) {
    setButtonColour(m_targetP, originShift ? IdleBgr : TargetSelectedBgr);
}
