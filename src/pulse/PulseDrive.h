#pragma once

#include "drive/Drive.h"

#include <QObject>
#include <QSet>
#include <utility>

class IoMonitor;
class ProgressView;
class PulseParameterModel;
class QTimer;
class ZoneTableModel;

// Object names of the pulse-train operation panel's own controls.
namespace PulseCtl {
inline constexpr char Servo[] = "Cmd_Srvo";
inline constexpr char Brake[] = "Cmd_Brake";
inline constexpr char Alarm[] = "Cmd_Alarm";
inline constexpr char Deviation[] = "Cmd_Cclr";
inline constexpr char OperationType[] = "Cmd_Dousa";
inline constexpr char JogOpen[] = "Cmd_Op";
inline constexpr char JogClose[] = "Cmd_Cl";
inline constexpr char Numeric[] = "Opt_Num_0";
inline constexpr char Direct[] = "Opt_Num_1";
inline constexpr char Playback[] = "Opt_Num_2";
inline constexpr char DriveFrame[] = "Frame_Drive";
inline constexpr char DisplayFrame[] = "Frame_IO";
inline constexpr char TeachingFrame[] = "Frame_Teach";
} // namespace PulseCtl

// The captions that say what a click on the servo and the operation type buttons does.
namespace PulseCaption {
inline constexpr char ServoOn[] = "Servo ON";
inline constexpr char ServoOff[] = "Servo OFF";
inline constexpr char Pushing[] = "Pushing operation";
inline constexpr char Positioning[] = "Positioning operation";
} // namespace PulseCaption

// The pulse-train window as its operation panel sees it.
class PulseDriveHost : public PanelHost {
  public:
    using PanelHost::PanelHost;
    // The zone grid's current cell: the zone (0 to 3) that "スタート" moves to, and the
    // column (ZoneRules::Column) that SET teaches. Row 0 when no cell is current.
    virtual std::pair<int, int> currentZoneCell() const = 0;
};

// The operation panel of the pulse-train window: Setting and Operation mode, servo, alarm
// cancel, deviation clear, operation type, return to origin, start, Stop, the I/O monitor,
// and direct teaching with SET and the virtual origin. The window forwards its buttons'
// events here; everything the sequences change on screen goes through the host.
//
// Nothing here waits by spinning: motions and queries wait in their exchange, and direct
// teaching polls the position from a timer, one exchange after the other.
class PulseDrive final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PulseDrive)
  public:
    PulseDrive(const OperationContext& ops, PulseDriveHost& host, ZoneTableModel& zones,
               PulseParameterModel& params, QObject* parent = nullptr);
    ~PulseDrive() override;

    DriveState& state() { return m_host.drive(); }
    IoMonitor& monitor() { return *m_monitor; }
    const DriveContext& context() { return m_ctx; }

    // Buttons of the panel (PulseDrive.cpp).
    void operationClicked(); // Cmd_driv
    void settingClicked();   // Cmd_Setup
    void servoClicked();
    void operationTypeClicked(); // Cmd_Dousa
    void alarmClicked();
    void deviationClicked();
    void orgPressed();
    void orgClicked();
    void startPressed();
    void startClicked();
    void stopClicked();
    void stopKeyPressed();

    // Direct teaching (PulseTeaching.cpp): "Position" (zone cell) or "Origin point shift".
    void teachClicked(bool originShift);
    void setClicked();
    // Txt_Pos: Enter or leaving the box rewrites its text as its number; the focus colours.
    void positionBoxEdited();
    void positionBoxFocused(bool focused);
    // Whether Txt_Pos takes a key: the digits, "-", ".", Backspace and Enter, and the keys that
    // only move the cursor; Tab, Escape, any key with Ctrl, Alt or Meta (paste) and every other
    // character are discarded.
    static bool positionBoxTakesKey(int key, Qt::KeyboardModifiers modifiers, const QString& text);

    // The stop dialog's STOP (and its closing or Escape), Exit and closing the window: the
    // one stop path; nothing is sent when nothing moves.
    void stopAsked();

    // Whether a motion runs or may (the panel's motion state is not idle).
    bool motionRunning() const { return Drive::motionRunning(m_ctx); }
    // Exit and closing: stops the I/O monitor and the teaching polling and, when a motion
    // runs, stops it.
    void stopForExit();

    bool teaching() const { return m_teaching; }
    bool targetIsOriginShift() const { return m_targetOrigin; }

    // One I/O monitor poll; false when it failed (already reported).
    bool ioPoll();

  private:
    // PulseDrive.cpp
    // Enables Stop, Setting, Operation, Org, Start, the switches, the teaching buttons and the
    // menus, shows the stop dialog and runs the I/O monitor as the motion state and the modes
    // say.
    void applyPanelState();
    void setSwitches(std::initializer_list<const char*> names, bool usable);
    // The values Operation mode reads on entering it; the failed exchange when one failed.
    std::optional<ExchangeResult> readOperationValues(const DriveContext& c);
    QString zoneToGo(const DriveContext& c, int zone);
    struct Switch;
    void toggle(const Switch& sw);
    void confirmAndSend(const char* title, const char* question, int code);
    void showServoState(const QString& value);
    void showOperationType(const QString& value, bool fromMonitor);
    bool pollState(int code, const char* title);
    Drive::Outcome returnToOrigin(const DriveContext& c, bool showStopDialog);
    bool excite();
    void finishStart();

    // PulseTeaching.cpp
    bool readShiftToStatusBar();
    bool servoOff();
    void pollTeaching();
    void endTeaching();
    void showTeachingPosition(double positionMm, double originShift);
    enum class ShiftSend { Sent, Declined, Failed };
    ShiftSend sendVirtualOrigin(const QString& position);

    const DriveContext m_ctx; // titled by each sequence for its own steps
    PulseDriveHost& m_host;
    ZoneTableModel& m_zones;
    PulseParameterModel& m_params;
    IoMonitor* m_monitor;
    QTimer* m_poll; // direct teaching: the next position read

    bool m_entering = false; // Operation mode's start-up reads are under way
    bool m_teaching = false;
    bool m_teachingReady = false; // the slider is free and SET takes its position
    bool m_commandsLocked = false;
    bool m_dialogShown = false;
    // The servo, deviation, operation type, brake and alarm buttons as the sequences leave
    // them; usable only in Operation mode while nothing moves.
    QSet<QString> m_switchesOn;
    bool m_targetOrigin = false; // SET teaches the origin point shift, else a zone cell
    bool m_closing = false;
};
