#pragma once

#include "drive/Drive.h"
#include "pointops/PointOpsContext.h"

#include <QObject>

class IoMonitor;
class QTimer;

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
// low-speed movement boxes and the I/O monitor. The window forwards its buttons' events here;
// everything the sequences change on screen goes through the host.
//
// Nothing here waits by spinning: motions and queries wait in their exchange, Teaching
// Playback is idle until a jog button is pressed, a held jog waits for its release in the
// event loop, and Direct Teaching polls the position one exchange after the other.
class PointDrive final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PointDrive)
  public:
    PointDrive(const PointOpsContext& ops, PointDriveHost& host, QObject* parent = nullptr);
    ~PointDrive() override;

    DriveState& state() { return m_host.drive(); }
    IoMonitor& monitor() { return *m_monitor; }
    const DriveContext& context() { return m_ctx; }

    // Buttons of the panel.
    void operationClicked(); // Cmd_driv
    void settingClicked();   // Cmd_Setup
    void startPressed();
    void startClicked();
    void orgPressed();
    void orgClicked();
    void stopClicked();
    void stopKeyPressed();
    void jogPressed(bool plus);
    void jogReleased(bool plus);
    void teachingSelected(int method); // 0 Numeric Input, 1 Direct Teaching, 2 Playback
    void targetSelected(bool originShift);
    void setClicked();
    // A low-speed movement box lost the focus or took Enter: its check.
    void lowSpeedEdited(const QString& box);

    // The stop dialog's STOP (and its closing or Escape), Exit and closing the window: the
    // one stop path; nothing is sent when nothing moves.
    void stopAsked();
    // A jog button lost its press without a release (the window lost the focus, a box came
    // up): the same as letting go of it.
    void jogPressLost();

    // Whether a motion runs or may (the panel's motion state is not idle).
    bool motionRunning() const;
    // Exit and closing: stops the I/O monitor and, when a motion runs, stops it.
    void stopForExit();

    // Jog state, for tests and the window.
    int jogSteps() const { return m_jogSteps; }
    bool jogHeld() const { return m_plusHeld || m_minusHeld; }
    bool jogRunning() const { return m_jogRunning; }
    bool teachingOpen() const { return m_teachingOpen; }
    bool targetIsOriginShift() const { return m_targetOrigin; }

    // One I/O monitor poll; false when it failed (already reported).
    bool ioPoll();

  signals:
    // A jog button was pressed or released.
    void jogChanged();

  private:
    // Modes and motions (PointDrive.cpp).
    // Enables Stop, Setting, Operation, Org, Start, the teaching options, SET and the menus,
    // shows the stop dialog and runs the I/O monitor as the motion state and the modes say.
    void applyPanelState();
    // The values Operation mode reads on entering it; the failed exchange when one failed.
    std::optional<ExchangeResult> readOperationValues(const DriveContext& c);
    QString pointToGo(const QString& reply, int row);
    void restoreAfterStart();
    Drive::Outcome moveToPoint();
    Drive::Outcome returnToOrigin(const DriveContext& c);
    bool askReturnToOrigin(const DriveContext& c);
    void stop(int timeoutMs);
    void runJog();
    // One jog step; false when the jog ended (failed, refused or stopped).
    bool jogStep(bool plus);
    void waitForJogRelease();
    void showTeachingPosition(double positionMm, double originShift);
    Drive::OriginReturn originReturn();

    // Teaching, SET and the low-speed boxes (PointTeaching.cpp).
    void selectNumericInput();
    void endTeaching();
    void runDirectTeaching();
    void pollDirectTeaching();
    void runTeachingPlayback();
    bool readShiftToStatusBar(const DriveContext& c);
    bool servoOff(const DriveContext& c);
    enum class ShiftSend { Sent, Declined, Failed };
    ShiftSend sendOriginShift(const QString& position);

    const PointOpsContext& m_ops;
    PointDriveHost& m_host;
    const DriveContext m_ctx; // titled by each sequence for its own steps
    IoMonitor* m_monitor;
    QTimer* m_poll; // Direct Teaching: the next position read

    bool m_entering = false; // Operation mode's start-up reads are under way
    bool m_teachingOpen = false;
    bool m_playbackReady = false; // Teaching Playback's jog buttons drive the actuator
    bool m_commandsLocked = false;
    bool m_dialogShown = false;
    bool m_targetOrigin = false; // SET writes the origin point shift, else the point
    bool m_plusHeld = false;
    bool m_minusHeld = false;
    int m_jogSteps = 0;
    int m_clickedJog = 0; // +1 / -1: a press that the jog has not served yet
    bool m_jogRunning = false;
    bool m_closing = false;
};
