#pragma once

#include "window/ui/ControlPanel.h"

class CarriageFigure;
class IoLamps;
class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The operation panel of the pulse-train main window: the window's logo button, the
// Setting and Operation mode buttons, the frame "Drive" (servo, brake, alarm cancel,
// deviation clear, operation type, Org, start "スタート", Stop), the frame "Display" with
// the I/O lamps and the error box, the current position with the slider picture, and the
// frame "Direct teaching" (Txt_Pos, the three teaching options, the disabled open/close jog
// buttons, Position, Origin point shift, "End teaching" (Escape) and SET). Every control carries
// its program name as its object name (Cmd_Srvo, Cmd_Dousa, Txt_Pos, Opt_Num_0 ...), so the window
// finds and wires them by name. The panel only arranges and colours its controls.
class PulsePanel final : public ControlPanel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PulsePanel)

  public:
    enum class Frame { Drive, Display, Position, Teaching };

    // The lamps of the frame "Display", numbered as the monitor poll numbers them.
    static constexpr int LampNumbers[] = {0, 1, 2, 3, 10, 12, 13};

    // The logo button (the window's version query) heads the panel beside the mode buttons.
    explicit PulsePanel(QWidget* logo = nullptr, QWidget* parent = nullptr);

    // Teaching options (teachingOption): 0 "数値入力" (numeric input), 1 "ダイレクトティーチ"
    // (direct teaching), 2 "ﾃｨｰﾁﾝｸﾞﾌﾟﾚｲﾊﾞｯｸ" (teaching playback, never enabled here).
    QGroupBox* frame(Frame which) const;
    IoLamps* lamps() const { return m_lamps; }
    CarriageFigure* carriage() const { return m_carriage; }

    // Setting mode, the state the panel starts in: "Setting" green, "Operation" grey and
    // enabled, the frame "Direct teaching" with Position, Origin point shift and SET enabled,
    // the frames "Drive" and "Display" disabled with every drive button disabled, numeric
    // input selected, all lamps off.
    void showSettingMode();

  private:
    QWidget* buildModeRow(QWidget* logo);
    QGroupBox* buildDriveFrame();
    QGroupBox* buildPositionFrame();
    QGroupBox* buildTeachingFrame();

    QGroupBox* m_frames[4] = {};
    IoLamps* m_lamps = nullptr;
    CarriageFigure* m_carriage = nullptr;
};
