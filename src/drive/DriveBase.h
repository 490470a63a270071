#pragma once

#include "drive/Drive.h"
#include "drive/IoMonitor.h"

#include <QObject>
#include <optional>

class DirectTeachingPoll;
class ParameterRowsModel;

// What the drive panels of both kinds do alike: Setting and Operation mode, Org, the stop
// paths, the I/O monitor and the origin point shift read for teaching. Each kind derives from
// it and gives what differs (its colours and controls, the values Operation mode reads, its
// start, its teaching) through the hooks below. The window forwards its buttons' events;
// everything the sequences change on screen goes through the panel host.
//
// Nothing here waits by spinning: motions and queries wait in their exchange, and the
// teaching polls wait on a timer (DirectTeachingPoll).
class DriveBase : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DriveBase)
  public:
    ~DriveBase() override;

    DriveState& state() { return m_host.drive(); }
    const DriveState& state() const { return m_host.drive(); }
    IoMonitor& monitor() { return *m_monitor; }
    const DriveContext& context() const { return m_ctx; }

    // Buttons both kinds have.
    void operationClicked(); // Cmd_driv
    void settingClicked();   // Cmd_Setup
    void orgPressed();
    void orgClicked();
    void startPressed();
    void stopKeyPressed();

    // The stop dialog's STOP (and its closing or Escape), Exit and closing the window: the one
    // stop path; nothing is sent when nothing moves.
    void stopAsked();
    // Whether a motion runs or may.
    bool motionRunning() const;
    // Exit and closing: stops the I/O monitor and the teaching polling and, when a motion
    // runs, stops it.
    void stopForExit();

    // One I/O monitor poll; a failure is reported unless quiet (told already). Skipped while
    // anything moves: the monitor goes on after the motion.
    IoMonitor::PollResult ioPoll(bool quiet);

  protected:
    DriveBase(const OperationContext& ops, PanelHost& host, ParameterRowsModel& params,
              QObject* parent);

    // Enables the panel's controls and the menus and shows the stop dialog as the motion
    // state and the modes say (Drive::lockCommands, Drive::followMotion).
    virtual void applyPanelState() = 0;

    // Operation mode. Before anything is read: the kind's buttons, colours and controls.
    virtual void prepareOperation() = 0;
    // The values Operation mode reads on entering it; the failed exchange when one failed.
    virtual std::optional<ExchangeResult> readOperationValues(const DriveContext& c) = 0;
    // Operation mode has begun (the reads succeeded).
    virtual void enteredOperation() = 0;
    // Whether Operation may begin besides the motion state (no teaching open).
    virtual bool operationAllowed() const { return true; }
    // Runs first on every click of Operation, even one that is refused.
    virtual void operationPressed() {}

    // Setting mode. Whether Setting is refused now (a held panel); whether the click only ends
    // teaching (true: nothing more happens); then the kind's own colours and controls.
    virtual bool settingRefused() const { return false; }
    virtual bool settingEndsTeaching() = 0;
    virtual void prepareSetting() = 0;
    // Setting mode as a sequence's last step (teaching ends): like the button, except that an
    // actuator left moving stays so, with its stop controls, until the operator settles it.
    void returnToSetting();

    // The return to origin of the kind; whether Org may run besides an idle motion state;
    // what follows its end.
    virtual Drive::Outcome returnToOrigin(const DriveContext& c, bool showStopDialog) = 0;
    virtual bool orgAllowed() const { return true; }
    virtual void originReturned(Drive::Outcome outcome) { (void)outcome; }

    // One I/O monitor poll of the kind on c (quiet or not), run when nothing moves; false when
    // it failed.
    virtual bool pollInputsAndOutputs(const DriveContext& c) = 0;

    // The origin point shift of the controller (parameter 35) into the panel state and the
    // status bar ("Origin point shift: 1.23"), before teaching. False when it failed
    // (reported).
    bool readShiftToStatusBar(const DriveContext& c, int timeoutMs);
    // "Do you turn off the power of motor?..." (title "Servo"), then "@SRVO " 0: false when
    // declined (servoOffDeclined) or failed (reported).
    bool servoOff(const DriveContext& c);
    virtual void servoOffDeclined() {}

    // The direct-teaching polling, made by the kind with its pause and ends.
    void makeTeachingPoll(int pauseMs, std::function<bool()> active, Drive::TeachingDisplay show,
                          std::function<void()> ended);

    const DriveContext m_ctx; // titled by each sequence for its own steps
    PanelHost& m_host;
    ParameterRowsModel& m_params;
    IoMonitor* m_monitor;
    DirectTeachingPoll* m_poll = nullptr;

    bool m_entering = false; // Operation mode's start-up reads are under way
    bool m_commandsLocked = false;
    bool m_closing = false;
};
