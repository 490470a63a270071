#pragma once

#include "drive/DriveBase.h"
#include "pointops/PointOpsContext.h"

#include <QObject>

// Object names of the point-input drive panel's own controls.
namespace PointCtl {
inline constexpr char Plus[] = "Cmd_Op";
inline constexpr char Minus[] = "Cmd_Cl";
inline constexpr char Numeric[] = "Opt_Num_0";
inline constexpr char Direct[] = "Opt_Num_1";
inline constexpr char Playback[] = "Opt_Num_2";
inline constexpr char Speed[] = "Txt_spd";
inline constexpr char Dist[] = "Txt_Dist";
inline constexpr char Limit[] = "Txt_Limit";
inline constexpr char SetupFrame[] = "Frame_Setup";
inline constexpr char ParametersFrame[] = "Frame_Parameters";
inline constexpr char DriveFrame[] = "Frame_Drive";
inline constexpr char ViewFrame[] = "Frame_View";
} // namespace PointCtl

// The point-input window as its drive panel sees it.
class PointDriveHost : public PanelHost {
  public:
    using PanelHost::PanelHost;
    virtual void showPointGrid() = 0;
    // The point table's current row: the point that Start moves to and SET teaches.
    virtual int currentPointRow() const = 0;
    // Shows or hides an I/O lamp (the older controller has no lamp 8).
    virtual void setLampShown(int index, bool shown) = 0;
};

// The drive panel of the point-input window: Setting and Operation mode, return to origin,
// Start, Stop, jog, the three teaching methods, SET with the origin point shift, the
// low-speed movement boxes and the I/O monitor. What both kinds share is DriveBase's; this
// class holds what only the point-input kind has.
//
// Teaching Playback is idle until a jog button is pressed, a held jog waits for its release
// in the event loop, and Direct Teaching polls the position one exchange after the other.
class PointDrive final : public DriveBase {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PointDrive)
  public:
    PointDrive(const PointOpsContext& ops, PointDriveHost& host, QObject* parent = nullptr);

    // Buttons of the panel (PointDrive.cpp).
    void startClicked();
    void stopClicked();
    // The jog (PointJog.cpp).
    void jogPressed(bool plus);
    void jogReleased(bool plus);
    // A jog button lost its press without a release (the window lost the focus, a box came
    // up): the same as letting go of it.
    void jogPressLost();
    // Teaching (PointTeaching.cpp).
    void teachingSelected(int method); // 0 Numeric Input, 1 Direct Teaching, 2 Playback
    void targetSelected(bool originShift);
    void setClicked();
    // A low-speed movement box lost the focus or took Enter: its check.
    void lowSpeedEdited(const QString& box);

    // Exit and closing: DriveBase's, and a held jog is let go.
    void stopForExit();

    // Jog state, for tests and the window.
    int jogSteps() const { return m_jogSteps; }
    bool jogHeld() const { return m_plusHeld || m_minusHeld; }
    bool jogRunning() const { return m_jogRunning; }
    bool teachingOpen() const { return m_teachingOpen; }
    bool targetIsOriginShift() const { return m_targetOrigin; }

  signals:
    // A jog button was pressed or released.
    void jogChanged();

  private:
    // DriveBase (PointDrive.cpp).
    void applyPanelState() override;
    void prepareOperation() override;
    std::optional<ExchangeResult> readOperationValues(const DriveContext& c) override;
    void enteredOperation() override;
    bool settingRefused() const override;
    bool settingEndsTeaching() override;
    void prepareSetting() override {}
    Drive::Outcome returnToOrigin(const DriveContext& c, bool showStopDialog) override;
    bool pollInputsAndOutputs(const DriveContext& c) override;
    void servoOffDeclined() override;

    // Start (PointDrive.cpp).
    QString pointToGo(const QString& reply, int row);
    void restoreAfterStart();
    Drive::Outcome moveToPoint();
    bool askReturnToOrigin(const DriveContext& c);
    void stop(int timeoutMs);
    Drive::OriginReturn originReturn();

    // The jog (PointJog.cpp). The stop after a release may take this long to be answered.
    static constexpr int ReleaseStopMs = 300;
    bool jogUsable() const;
    void runJog();
    // One jog step; false when the jog ended (failed, refused or stopped).
    bool jogStep(bool plus);
    void waitForJogRelease();

    // Teaching, SET and the low-speed boxes (PointTeaching.cpp).
    void selectNumericInput();
    void endTeaching();
    void runDirectTeaching();
    void runTeachingPlayback();
    void showTeachingPosition(double positionMm, double originShift);
    enum class ShiftSend { Sent, Declined, Failed };
    ShiftSend sendOriginShift(const QString& position);

    const PointOpsContext& m_ops;
    PointDriveHost& m_pointHost;

    bool m_teachingOpen = false;
    bool m_playbackReady = false; // Teaching Playback's jog buttons drive the actuator
    bool m_targetOrigin = false;  // SET writes the origin point shift, else the point
    bool m_plusHeld = false;
    bool m_minusHeld = false;
    int m_jogSteps = 0;
    int m_clickedJog = 0; // +1 / -1: a press that the jog has not served yet
    bool m_jogRunning = false;
};
