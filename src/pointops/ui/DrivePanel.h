#pragma once

#include "drive/Drive.h"
#include "window/ui/ControlPanel.h"

class CarriageFigure;
class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The drive panel of the point-input main window: the Setting and Operation mode buttons,
// the teaching controls, the low-speed movement boxes, the drive buttons and the current
// position with its carriage figure. Every control carries its program name as its object
// name (Cmd_Start, Txt_Pos, Opt_Num_0 ...), so the window finds and wires them by name.
// The panel itself only arranges and colours its controls; the operations live elsewhere.
class DrivePanel final : public ControlPanel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DrivePanel)

  public:
    // Button colours, written as 0xBBGGRR (shared with the pulse-train panel).
    static constexpr quint32 SettingActiveBgr = DriveColour::SettingActive;
    static constexpr quint32 OperationActiveBgr = DriveColour::OperationActive;
    static constexpr quint32 IdleBgr = DriveColour::Idle;
    static constexpr quint32 StartPressedBgr = DriveColour::StartPressed;
    static constexpr quint32 StopDuringStartBgr = DriveColour::StopDuringStart;
    static constexpr quint32 StopDuringOriginBgr = DriveColour::StopDuringOrigin;
    static constexpr quint32 SetBgr = DriveColour::Set;
    static constexpr quint32 JogPlaybackBgr = DriveColour::JogPlayback;
    static constexpr quint32 TargetSelectedBgr = DriveColour::TargetSelected;

    // The four frames: teaching ("Setup"), low-speed movement ("Parameters"), the drive
    // buttons ("Drive") and the position display ("View").
    enum class Frame { Setup, Parameters, Drive, View };

    explicit DrivePanel(QWidget* parent = nullptr);

    // Teaching method options (teachingOption): 0 Numeric Input, 1 Direct Teaching, 2 Teaching
    // Playback.
    QGroupBox* frame(Frame which) const;
    CarriageFigure* carriage() const { return m_carriage; }

    // The panel's side of Setting mode: Setting green, Operation grey and enabled, the
    // teaching buttons and SET enabled, Org, Start and Stop disabled, the Setup and
    // Parameters frames enabled. This is also the state the panel starts in.
    void showSettingMode();
    // The panel's side of entering Operation mode: Operation magenta, Setting grey, the
    // teaching buttons, jog buttons and SET disabled, the Setup and Parameters frames
    // disabled, the Drive and View frames enabled. Org and Start are enabled by the caller
    // once the controller has answered.
    void showOperationMode();
    // Marks which target SET writes: the origin point shift or the selected point.
    void showTargetSelection(bool originShift);

  private:
    QWidget* buildModeButtons();
    QGroupBox* buildSetupFrame();
    QGroupBox* buildParametersFrame();
    QGroupBox* buildDriveFrame();
    QGroupBox* buildViewFrame();

    QPushButton* m_setup = nullptr;
    QPushButton* m_drive = nullptr;
    QPushButton* m_plus = nullptr;
    QPushButton* m_minus = nullptr;
    QPushButton* m_set = nullptr;
    QPushButton* m_setBase = nullptr;
    QPushButton* m_targetP = nullptr;
    QPushButton* m_return = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_stop = nullptr;
    QGroupBox* m_frames[4] = {};
    CarriageFigure* m_carriage = nullptr;
};
