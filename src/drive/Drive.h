#pragma once

#include "drive/Motion.h"
#include "transfers/Operation.h"

#include <QString>
#include <functional>
#include <initializer_list>
#include <optional>

class IoMonitor;

// What the drive panels of both main windows share: the panel state, the window side the
// sequences talk to (controls by object name), and the sequences both kinds run the same way:
// the stop, the current position refresh and the return to origin.

// Object names of the drive panel controls that both kinds have.
namespace Ctl {
inline constexpr char Setting[] = "Cmd_Setup";
inline constexpr char Operation[] = "Cmd_driv";
inline constexpr char Org[] = "Cmd_Return";
inline constexpr char Start[] = "Cmd_Start";
inline constexpr char Stop[] = "Cmd_Stop";
inline constexpr char NowPosi[] = "Txt_NowPosi";
inline constexpr char Pos[] = "Txt_Pos";
inline constexpr char Set[] = "Cmd_Set";
inline constexpr char SetBase[] = "Cmd_SetBase";
inline constexpr char TargetP[] = "Cmd_TargetP";
} // namespace Ctl

// Panel colours, written as 0xBBGGRR.
namespace DriveColour {
inline constexpr quint32 SettingActive = 0x00FF00;
inline constexpr quint32 OperationActive = 0xFF00FF;
inline constexpr quint32 Idle = 0xE0E0E0; // inactive mode button, idle Org and Start
inline constexpr quint32 StartPressed = 0x80FF80;
inline constexpr quint32 StopDuringStart = 0xFFC0FF;
inline constexpr quint32 StopDuringOrigin = 0xFF80FF;
inline constexpr quint32 Set = 0x80C0FF; // SET, and Org while pressed
inline constexpr quint32 JogPlayback = 0xFFFF80;
inline constexpr quint32 TargetSelected = 0x80FF80;
inline constexpr quint32 OriginTargetSelected = 0xFFFF80; // the pulse-train kind's
} // namespace DriveColour

// The drive panel's state, held by its window.
struct DriveState {
    enum PanelMode { None = 0, Numeric = 1, DirectTeaching = 2, TeachingPlayback = 3 };
    int panelMode = Numeric;    // Numeric also stands for Operation mode's panel
    bool operationMode = false; // set once Operation mode's start-up reads succeeded
    Motion motion;              // what moves, or may: the panel's enabled states follow it
    bool originDone = false;    // the last return to origin answered "OK"
    bool newModel = true;       // from the "@READ DIO " reply on entering Operation mode
    // Controller values read on entering Operation mode and by the return to origin.
    double stroke = 2000;    // 0.01 mm
    int originDirection = 0; // parameter 5: 0 cable side, 1 opposite side
    double originShift = 0;  // parameter 35, 0.01 mm
};

// The window side of the drive sequences: controls found by their object names (Ctl and the
// kind's own), the lamps, the carriage figure, the stop dialog and the status bar.
class PanelHost : public OperationHost {
  public:
    explicit PanelHost(DriveState& state) : m_drive(state) {}
    DriveState& drive() { return m_drive; }
    const DriveState& drive() const { return m_drive; }

    virtual void setControlEnabled(const QString& name, bool enabled) = 0;
    virtual bool controlEnabled(const QString& name) const = 0;
    // A panel colour (0xBBGGRR), or the system button face colour for std::nullopt.
    virtual void setControlColour(const QString& name, std::optional<quint32> bgr) = 0;
    virtual QString controlText(const QString& name) const = 0;
    virtual void setControlText(const QString& name, const QString& text) = 0;
    // Checks an option as the program does: its click handler does not run.
    virtual void setControlChecked(const QString& name, bool checked) = 0;
    // Gives a box the focus with its whole text selected.
    virtual void focusControl(const QString& name) = 0;
    // Selects a box's whole text without moving the focus.
    virtual void selectControlText(const QString& name) = 0;

    virtual void setLamp(int index, bool on) = 0;
    virtual void resetLamps() = 0;
    // The I/O monitor's controller does not answer (silent), or answers again: while silent the
    // lamps show that their state is unknown and the status bar says so, naming the line.
    virtual void showControllerSilent(bool silent, const QString& line) = 0;
    // Places the carriage for a position in mm measured from the mechanical origin.
    virtual void showCarriage(double positionMm, double strokeMm, int originDirection) = 0;
    // Shows or hides the stop dialog; called with the wanted state whenever the motion state
    // changes, so showing a shown dialog (or hiding a hidden one) changes nothing.
    virtual void setStopDialogShown(bool shown) = 0;
    virtual void setStatusText(int panel, const QString& text) = 0;
    virtual void disableCommands() = 0;
    virtual void enableCommands() = 0;
    // Locks the menu items that open a window or a modal dialog while anything moves or may.
    virtual void lockWhileMoving(bool moving) = 0;

  private:
    DriveState& m_drive;
};

// What every drive sequence works with: the operation ground and the panel. Taken as a const
// reference like OperationContext; a step with its own title works on a copy (Ops::titled).
struct DriveContext : OperationContext {
    PanelHost& panel;
    DriveState& drive() const { return panel.drive(); }
};

class QTimer;
struct DioLayout;

namespace Drive {

// How a motion or query ended.
enum class Outcome {
    Done,    // "OK"
    Stopped, // "STOP": the stop character ended the motion, or a stop cancelled it before its
             // move command went out
    Refused, // "NG" (reported)
    NoReply, // time-out or empty reply (reported)
};

// The position text of a "@?POS " reply: the text before the first CR; with "?-" its first
// character is dropped, else with "?" the first character becomes "-" (the controller's
// minus), else a leading blank is dropped. "STOP" comes back as it stands.
QString positionText(const QString& reply);
// The position in mm, when the text is a number.
std::optional<double> positionMm(const QString& positionText);
// Whether the carriage is drawn for a position (mm, from the virtual origin) with the origin
// shift and stroke (0.01 mm): the mechanical position must lie within 1.1 times the stroke.
bool carriageShown(double positionMm, double originShift, double stroke);

// Waits in the event loop (no busy wait).
void pause(int ms);

// Pressing the mouse on Org or Start: the button takes its pressed colour and the error box is
// emptied.
void markPressed(const DriveContext& c, const char* button, quint32 bgr);

// A read of Operation's entry failed (r): the communication error reported and the
// sent-command box cleared. The caller then performs "Setting".
void reportEntryFailed(const DriveContext& c, const ExchangeResult& r);

// Start's question (title "Start"), with what the operator needs to know beside it (where the
// carriage goes) as its informative text. No: the start button back to its colour.
bool askStart(const DriveContext& c, const QString& question, const QString& informative = {});

// Whether a motion runs or may: the panel's motion state is not idle, or a motion's exchange
// is pending.
bool motionRunning(const DriveContext& c);

// Locks or unlocks the window's menus and toolbar when that changes (locked: what the window
// was last told), so unlocking never undoes the panel's own enabled states set after it.
void lockCommands(PanelHost& host, bool& locked, bool lock);

// What follows the motion state alike in both kinds: the STOP dialog, shown exactly while the
// motion state wants it (nothing else shows or hides it), the menu items that open a window or
// a modal dialog, locked while it is not idle, and the I/O monitor, polling in
// Operation mode while no sequence runs, so a sequence's own exchanges never wait behind a poll
// and the monitor goes on after every sequence, however it ended. Not while closing.
void followMotion(PanelHost& host, IoMonitor& monitor, bool closing);

// Whether the sequence under way must end here: a stop was asked for.
inline bool stopAsked(const DriveContext& c) {
    return c.drive().motion.stopRequested();
}

// One I/O monitor poll's reading: "@READ DIO " (3000 ms, title "I/O monitor") switches the
// lamps by the layout, then the current position is refreshed. False when it failed
// (reported).
bool readInputsAndOutputs(const DriveContext& c, const DioLayout& layout);

// "@SRVO " 0 (3000 ms), so the slider can be moved by hand, once the operator agreed: true on
// "OK"; no reply is a communication error, any other reply a reply error (reported).
bool servoOff(const DriveContext& c);

// ---- Motions and the stop -------------------------------------------------------------------

// A motion command: its code, argument and tail ("@GMAX " C,5 and 3), or the line as it is
// written (the pulse-train start's "@MOVP 2"), and its time-out.
struct MotionCommand {
    int code = 0;
    QString argument;
    QString tail;
    int timeoutMs = 0;
    QString asWritten; // when not empty: written as it stands
    // A short step that may end by itself before a stop reaches it: its "OK" after a stop is
    // no stop ignored.
    bool mayEndBeforeStop = false;
};

enum class MotionEnd {
    Replied,   // the reply ended in time: reply holds it
    Cancelled, // a stop came before the command went out: nothing was written
    Failed,    // no end reply: the stop character was exchanged and the operator told
};
struct Moved {
    MotionEnd end = MotionEnd::Cancelled;
    ExchangeResult result; // the motion's exchange
    const QString& reply() const { return result.ReplyText; }
};

// Runs a motion command inside the running sequence. It first waits for the line to be free;
// when a stop has been asked for by then, nothing is written. Otherwise the motion state is
// Moving and the moving flag set for exactly this exchange. An exchange that ends without its
// end reply (no reply in time, a port that failed, noise, an "NG" without its detail line, a
// refused line) may leave the actuator moving: the stop character is exchanged at once, then
// the operator is told, with the motion's title (the context's) and the reason beside the
// communication error, and the window is usable again. Noise ends the wait at once, and so
// does a stop written into the exchange that got no answer within its answer time: the
// operator is told then that the actuator may still be moving, and the window keeps its stop
// controls (MaybeMoving). A move that ends with its normal reply after a stop was written is
// told as a stop not acknowledged. These reports never depend on settei.
Moved runMotion(const DriveContext& c, const MotionCommand& command);

// The one stop path of both kinds: the Stop button, the stop dialog's STOP, its closing and
// Escape, Exit, closing the window, a jog's release and Numeric Input all come here. answerMs
// is the time the stop's answer may take (300 ms after a jog release).
enum class StopAsk {
    Idle,      // nothing moves: the caller exchanges the stop character if it wants to
    Cancelled, // no move command on the line (or its line is gone): the sequence ends before
               // its next move
    Written,   // the stop character went to the open port of the motion's exchange at once
    Exchanged, // the actuator was left moving: the stop character was exchanged again
};
StopAsk requestStop(const DriveContext& c, int answerMs = 1500);

// The stop character exchanged as a command of its own (title "Stop"): nothing moves, or the
// motion's exchange has ended. "STOP", "OK" or (with quietTimeout) silence is success; no
// reply otherwise, a line that is gone, or any other reply is told as a communication error
// (whatever settei says), with whether the stop could be written and, when the window was left
// moving, that the actuator may still move. Leaves a window that was left moving idle once
// answered.
enum class StopResult { Stopped, Failed };
struct StopSent {
    StopResult result = StopResult::Failed;
    QString reply;
};
StopSent sendStop(const DriveContext& c, int timeoutMs, bool quietTimeout);

// Exit and closing: stops the panel's timers, closes the port a poll kept open and asks for a
// stop.
void stopForExit(const DriveContext& c, std::initializer_list<QTimer*> timers);

// ReadCurrentPosition: "@?POS " (5000 ms, title "Receive the current value"); does nothing
// while the actuator moves. Shows the position in Txt_NowPosi and places the carriage.
// Outside Operation mode it also reads the origin point shift (parameter 35) into the panel
// state and hands position and shift to `teaching` (the kind's teaching display).
using TeachingDisplay = std::function<void(double positionMm, double originShift)>;
Outcome readCurrentPosition(const DriveContext& c, const TeachingDisplay& teaching = {});

// The return to origin, a sequence of its own (or a part of the one under way): reads the
// origin return direction (5), the origin point shift (35) and the stroke, then "@ORG "
// (30000 ms). `moved` runs after the motion (the kind's buttons); on "OK" the position is
// refreshed.
struct OriginReturn {
    // The operation title; empty keeps the caller's.
    QString title;
    Motion::StopControl stopControl = Motion::StopControl::Dialog;
    int strokeParameter = 21;
    int timeoutMs = 30000;
    // Only "OK" establishes the origin; otherwise any reply without "NG" and "STOP" does.
    bool onlyOk = false;
    // The stroke (0.01 mm) from the value of strokeParameter; the value itself when empty.
    std::function<double(const QString&)> strokeOf;
    std::function<void()> moved;
    TeachingDisplay teaching;
};
Outcome returnToOrigin(const DriveContext& c, const OriginReturn& how);

} // namespace Drive
