#include "pulse/ui/PulsePanel.h"

#include "drive/Drive.h"
#include "window/ui/CarriageFigure.h"
#include "window/ui/IoLamps.h"
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

// The buttons of the frame "Drive", disabled in Setting mode.
const char* const kDriveButtons[] = {"Cmd_Srvo",  "Cmd_Brake",  "Cmd_Alarm", "Cmd_Cclr",
                                     "Cmd_Dousa", "Cmd_Return", "Cmd_Start", "Cmd_Stop"};

// The slider picture's ends in this window's layout units.
constexpr CarriageGeometry kCarriage{1380, 2400};

IoLamps::Layout lampLayout() {
    IoLamps::Layout::Row outputs;
    for (const auto& [index, caption] :
         {std::pair{0, "ZONE"}, {1, "INPOS/HOLD"}, {2, "ENABLE"}, {3, "READY"}})
        outputs.lamps.append({index, QString::fromLatin1(caption)});
    IoLamps::Layout::Row inputs;
    for (const auto& [index, caption] : {std::pair{10, "PRESS"}, {12, "CCLR"}, {13, "ALR"}})
        inputs.lamps.append({index, QString::fromLatin1(caption)});
    return {QStringLiteral("Display"), {outputs, inputs}};
}

} // namespace

PulsePanel::PulsePanel(QWidget* logo, QWidget* parent) : ControlPanel(parent) {
    setObjectName(QStringLiteral("PulsePanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(buildModeRow(logo));
    layout->addWidget(buildDriveFrame());
    m_lamps = new IoLamps(lampLayout(), this);
    m_frames[int(Frame::Display)] = m_lamps->findChild<QGroupBox*>(QStringLiteral("Frame_IO"));
    layout->addWidget(m_lamps);
    layout->addWidget(buildPositionFrame());
    layout->addWidget(buildTeachingFrame());
    layout->addStretch(1);
    showSettingMode();
}

QWidget* PulsePanel::buildModeRow(QWidget* logo) {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    if (logo) {
        logo->setParent(row);
        layout->addWidget(logo);
    }
    for (const auto& [name, caption] :
         {std::pair{"Cmd_Setup", "Setting"}, std::pair{"Cmd_driv", "Operation"}}) {
        QPushButton* mode =
            PanelWidgets::button(QString::fromLatin1(name), QString::fromLatin1(caption), row);
        mode->setMinimumHeight(28);
        layout->addWidget(mode, 1);
    }
    return row;
}

QGroupBox* PulsePanel::buildDriveFrame() {
    QGroupBox* frame =
        PanelWidgets::frame(QStringLiteral("Frame_Drive"), QStringLiteral("Drive"), this);
    m_frames[int(Frame::Drive)] = frame;
    auto* grid = new QGridLayout(frame);
    grid->setSpacing(4);
    grid->addWidget(
        PanelWidgets::button(QStringLiteral("Cmd_Srvo"), QStringLiteral("Servo ON"), frame), 0, 0);
    grid->addWidget(
        PanelWidgets::button(QStringLiteral("Cmd_Brake"), QStringLiteral("Brake OFF"), frame), 0,
        1);
    grid->addWidget(
        PanelWidgets::button(QStringLiteral("Cmd_Alarm"), QStringLiteral("Canceling alarm"), frame),
        1, 0);
    grid->addWidget(PanelWidgets::button(QStringLiteral("Cmd_Cclr"),
                                         QStringLiteral("Clearing pulse-deviation"), frame),
                    1, 1);
    grid->addWidget(PanelWidgets::button(QStringLiteral("Cmd_Dousa"),
                                         QStringLiteral("Pushing operation"), frame),
                    2, 0, 1, 2);
    auto* motions = new QHBoxLayout;
    const QString start = QStringLiteral("スタート");
    for (const auto& [name, caption] :
         {std::pair{QStringLiteral("Cmd_Return"), QStringLiteral("Org")},
          std::pair{QStringLiteral("Cmd_Start"), start},
          std::pair{QStringLiteral("Cmd_Stop"), QStringLiteral("Stop")}}) {
        QPushButton* b = PanelWidgets::button(name, caption, frame);
        b->setMinimumHeight(34);
        motions->addWidget(b);
    }
    grid->addLayout(motions, 3, 0, 1, 2);
    return frame;
}

QGroupBox* PulsePanel::buildPositionFrame() {
    QGroupBox* frame =
        PanelWidgets::frame(QStringLiteral("Frame_View"), QStringLiteral("Current position"), this);
    m_frames[int(Frame::Position)] = frame;
    auto* column = new QVBoxLayout(frame);
    column->setSpacing(2);
    QLineEdit* now = PanelWidgets::box(QStringLiteral("Txt_NowPosi"), QString(),
                                       QStringLiteral("-000.00"), frame);
    now->setReadOnly(true);
    now->setFocusPolicy(Qt::NoFocus);
    now->setAccessibleName(QStringLiteral("Current position"));
    auto* row = new QHBoxLayout;
    row->addWidget(now);
    row->addWidget(new QLabel(QStringLiteral("mm"), frame));
    m_carriage = new CarriageFigure(kCarriage, frame);
    row->addWidget(m_carriage, 1);
    column->addLayout(row);
    return frame;
}

QGroupBox* PulsePanel::buildTeachingFrame() {
    QGroupBox* frame =
        PanelWidgets::frame(QStringLiteral("Frame_Teach"), QStringLiteral("Direct teaching"), this);
    m_frames[int(Frame::Teaching)] = frame;
    auto* grid = new QGridLayout(frame);
    grid->setVerticalSpacing(4);

    QLineEdit* position = PanelWidgets::box(QStringLiteral("Txt_Pos"), QStringLiteral("0.00"),
                                            QStringLiteral("-00.000"), frame);
    auto* positionRow = new QHBoxLayout;
    positionRow->addWidget(
        PanelWidgets::label(QStringLiteral("Setting position (mm)"), position, frame));
    positionRow->addWidget(position);
    positionRow->addStretch(1);
    for (const auto& [name, caption] :
         {std::pair{QStringLiteral("Cmd_Op"), QStringLiteral("開")},
          std::pair{QStringLiteral("Cmd_Cl"), QStringLiteral("閉")}}) {
        QPushButton* jog = PanelWidgets::button(name, caption, frame);
        jog->setAccessibleName(name == u"Cmd_Op" ? QStringLiteral("Jog open")
                                                 : QStringLiteral("Jog close"));
        jog->setFixedWidth(40);
        jog->setEnabled(false); // shown, never used in this window
        positionRow->addWidget(jog);
    }
    grid->addLayout(positionRow, 0, 0, 1, 3);

    grid->addLayout(makeTeachingOptions(frame, {QStringLiteral("数値入力"),
                                                QStringLiteral("ダイレクトティーチ"),
                                                QStringLiteral("ﾃｨｰﾁﾝｸﾞﾌﾟﾚｲﾊﾞｯｸ")}),
                    1, 0, 1, 3);
    teachingOption(2)->setEnabled(false); // teaching playback is not offered here

    auto* targetRow = new QHBoxLayout;
    targetRow->addWidget(
        PanelWidgets::button(QStringLiteral("Cmd_TargetP"), QStringLiteral("Position"), frame));
    targetRow->addWidget(PanelWidgets::button(QStringLiteral("Cmd_SetBase"),
                                              QStringLiteral("Origin point shift"), frame));
    targetRow->addStretch(1);
    // The way out of teaching that writes nothing (Escape as well); usable while the slider is
    // taught.
    QPushButton* leave =
        PanelWidgets::button(QStringLiteral("Cmd_EndTeach"), QStringLiteral("End teaching"), frame);
    leave->setShortcut(QKeySequence(Qt::Key_Escape));
    leave->setToolTip(QStringLiteral("End direct teaching without writing the position (Esc)"));
    leave->setEnabled(false);
    targetRow->addWidget(leave);
    QPushButton* set =
        PanelWidgets::button(QStringLiteral("Cmd_Set"), QStringLiteral("SET"), frame);
    set->setMinimumWidth(72);
    targetRow->addWidget(set);
    grid->addLayout(targetRow, 2, 0, 1, 3);
    return frame;
}

QGroupBox* PulsePanel::frame(Frame which) const {
    return m_frames[int(which)];
}

void PulsePanel::showSettingMode() {
    setButtonColour(button(QStringLiteral("Cmd_Setup")), DriveColour::SettingActive);
    setButtonColour(button(QStringLiteral("Cmd_driv")), DriveColour::Idle);
    for (const char* name : kDriveButtons)
        resetButtonColour(button(QString::fromLatin1(name)));
    for (const char* name : {"Cmd_Return", "Cmd_Start"})
        setButtonColour(button(QString::fromLatin1(name)), DriveColour::Idle);
    for (const char* name : {"Cmd_TargetP", "Cmd_SetBase"})
        setButtonColour(button(QString::fromLatin1(name)), DriveColour::Idle);
    setButtonColour(button(QStringLiteral("Cmd_Set")), DriveColour::Set);

    button(QStringLiteral("Cmd_Setup"))->setEnabled(true);
    button(QStringLiteral("Cmd_driv"))->setEnabled(true);
    for (const char* name : kDriveButtons)
        button(QString::fromLatin1(name))->setEnabled(false);
    for (const char* name : {"Cmd_TargetP", "Cmd_SetBase", "Cmd_Set"})
        button(QString::fromLatin1(name))->setEnabled(true);
    frame(Frame::Teaching)->setEnabled(true);
    frame(Frame::Drive)->setEnabled(false);
    frame(Frame::Display)->setEnabled(false);
    teachingOption(0)->setChecked(true);
    m_lamps->resetLamps();
}
