#pragma once

#include "drive/DriveBase.h"

#include <QObject>
#include <QSet>
#include <utility>

class PulseParameterModel;
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
inline constexpr char EndTeaching[] = "Cmd_EndTeach";
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

// The operation panel of the pulse-train window: what its Setting and Operation modes add to
// DriveBase's, servo, alarm cancel, deviation clear, operation type, start, Stop, the I/O
// monitor, and direct teaching with SET and the virtual origin. What both kinds share is
// DriveBase's; this class holds what only the pulse-train kind has.
class PulseDrive final : public DriveBase {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PulseDrive)
  public:
    PulseDrive(const OperationContext& ops, PulseDriveHost& host, ZoneTableModel& zones,
               PulseParameterModel& params, QObject* parent = nullptr);

    // Buttons of the panel: the switches (PulseSwitches.cpp), start and Stop (PulseDrive.cpp).
    void servoClicked();
    void operationTypeClicked(); // Cmd_Dousa
    void alarmClicked();
    void deviationClicked();
    void startClicked();
    void stopClicked();

    // Direct teaching (PulseTeaching.cpp): "Position" (zone cell) or "Origin point shift".
    void teachClicked(bool originShift);
    void setClicked();
    // "End teaching" and Escape while the slider is taught: teaching ends as after SET's
    // "Terminate teaching setting?" Yes, without writing anything.
    void endTeachingClicked();
    // Txt_Pos: Enter or leaving the box rewrites its text as its number; the focus colours.
    void positionBoxEdited();
    void positionBoxFocused(bool focused);
    // Whether Txt_Pos takes a key: the digits, "-", ".", Backspace and Enter, and the keys that
    // only move the cursor; Tab, Escape, any key with Ctrl, Alt or Meta (paste) and every other
    // character are discarded.
    static bool positionBoxTakesKey(int key, Qt::KeyboardModifiers modifiers, const QString& text);

    bool teaching() const { return m_teaching; }
    bool targetIsOriginShift() const { return m_targetOrigin; }

  private:
    // DriveBase (PulseDrive.cpp).
    void applyPanelState() override;
    void operationPressed() override;
    bool operationAllowed() const override { return !m_teaching; }
    void prepareOperation() override;
    std::optional<ExchangeResult> readOperationValues(const DriveContext& c) override;
    void enteredOperation() override;
    bool settingEndsTeaching() override;
    void prepareSetting() override;
    Drive::Outcome returnToOrigin(const DriveContext& c, bool showStopDialog) override;
    bool orgAllowed() const override { return m_host.drive().operationMode; }
    void originReturned(Drive::Outcome outcome) override;
    bool pollInputsAndOutputs(const DriveContext& c) override;

    // The five switch buttons usable or not (applies the panel state).
    void setSwitches(std::initializer_list<const char*> names, bool usable);
    QString zoneToGo(const DriveContext& c, int zone);
    bool excite(const DriveContext& c);
    void finishStart();

    // PulseSwitches.cpp
    struct Switch;
    void toggle(const Switch& sw);
    void confirmAndSend(const char* title, const char* question, int code);
    void showServoState(const QString& value);
    void showOperationType(const QString& value, bool fromMonitor);
    bool pollState(const DriveContext& c, int code, const char* title);

    // PulseTeaching.cpp
    void endTeaching();
    // The return to origin offered at the end of teaching, then Setting mode.
    void leaveTeaching();
    void showTeachingPosition(double positionMm, double originShift);
    enum class ShiftSend { Sent, Declined, Failed };
    ShiftSend sendVirtualOrigin(const QString& position);

    PulseDriveHost& m_pulseHost;
    ZoneTableModel& m_zones;
    PulseParameterModel& m_pulseParams;

    bool m_teaching = false;
    bool m_teachingReady = false; // the slider is free and SET takes its position
    // The servo, deviation, operation type, brake and alarm buttons as the sequences leave
    // them; usable only in Operation mode while nothing moves.
    QSet<QString> m_switchesOn;
    bool m_targetOrigin = false; // SET teaches the origin point shift, else a zone cell
};
