#pragma once

#include <QList>
#include <QObject>
#include <QString>

// The motion state of one main window. Every sequence that may move the actuator runs inside
// it, and the drive panel takes from it which of Stop, Setting, Operation, Org, Start, the
// teaching options and the menus are usable:
//
//   Idle         nothing moves and nothing is about to.
//   Starting     a sequence that may move has begun (its questions and queries); no move
//                command of it is on the line now. A stop asked for now cancels the rest.
//   Moving       a motion command's exchange waits for its reply: the actuator moves.
//   Stopping     the stop character went out while it moved; the motion's exchange collects
//                the controller's "STOP" within the stop's answer time (1500 ms, 300 ms after
//                a jog release), after which the stop counts as unanswered.
//   MaybeMoving  a motion's exchange ended without its end reply (no reply in time, the port
//                failed, noise, a refused line): the actuator may still be moving until a stop
//                character is answered. When the stop that followed got no answer either, the
//                window stays here after the sequence, with its Stop usable, until a stop is
//                answered or the operator leaves with Setting.
class Motion final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Motion)
  public:
    enum class Phase { Idle, Starting, Moving, Stopping, MaybeMoving };
    // The stop control of a sequence besides the panel's Stop button: the stop dialog, or,
    // for a jog, letting go of the jog button.
    enum class StopControl { Button, Dialog, Release };

    explicit Motion(QObject* parent = nullptr) : QObject(parent) {}

    Phase phase() const { return m_phase; }
    bool idle() const { return m_phase == Phase::Idle; }
    // The actuator moves or may move: the I/O monitor and position reads wait meanwhile.
    bool busy() const {
        return m_phase == Phase::Moving || m_phase == Phase::Stopping ||
               m_phase == Phase::MaybeMoving;
    }
    // A sequence is running (its steps are still on the stack).
    bool running() const { return m_depth > 0; }
    // MaybeMoving left behind by a sequence whose stop got no answer.
    bool leftMoving() const { return m_depth == 0 && m_phase == Phase::MaybeMoving; }
    bool stopRequested() const { return m_stopRequested; }
    // Whether the stop dialog belongs on screen: while the sequence that wants it runs and no
    // stop was asked for (from its start in Setting mode, where the panel has no Stop button;
    // during its motions in Operation mode), and while the actuator was left moving (in
    // Setting mode always, in Operation mode beside Stop when the sequence had the dialog).
    bool stopDialogWanted(bool operationMode) const;

    // A sequence begins: Starting, the stop request cleared. A sequence begun while another
    // runs joins it (a return to origin inside a start), with its own stop control until it
    // ends.
    void begin(StopControl control);
    // The outermost sequence ends: Idle, unless the actuator was left moving.
    void end();
    void setPhase(Phase phase);
    void requestStop();
    // The stop character went into the running motion's exchange: Stopping, with the time
    // its answer may take (the first stop's, when it is asked again).
    void stopWritten(int answerMs);
    int stopAnswerMs() const { return m_stopAnswerMs; }
    // Why the stop character could not be written to the motion's port; empty when it was.
    void setStopFailure(const QString& reason) { m_stopFailure = reason; }
    QString stopFailure() const { return m_stopFailure; }
    // A motion command of the running sequence went out (it may have moved the actuator).
    bool moveWentOut() const { return m_moveWentOut; }
    // A stop was answered while the actuator was left moving, or the operator left with
    // Setting: Idle.
    void settle();

    // An operation that runs motions among other steps holds the panel from its first step to
    // its last (size detection): Setting, Operation and the menus stay locked meanwhile.
    void setHeld(bool held);
    bool held() const { return m_held; }

    // Tests: caps the time-outs of the motions and the answer time of their stop so that a
    // controller that never answers is found out quickly; 0 keeps them. The stop's cap may be
    // set apart (after setTimeoutLimit), so a stop can be told unanswered long before the
    // motion's own time-out.
    void setTimeoutLimit(int ms) { m_timeoutLimitMs = m_stopLimitMs = ms; }
    void setStopTimeoutLimit(int ms) { m_stopLimitMs = ms; }
    int limited(int timeoutMs) const { return capped(timeoutMs, m_timeoutLimitMs); }
    int stopLimited(int timeoutMs) const { return capped(timeoutMs, m_stopLimitMs); }

  signals:
    void changed();

  private:
    static int capped(int ms, int limit) { return limit > 0 && limit < ms ? limit : ms; }

    Phase m_phase = Phase::Idle;
    StopControl m_control = StopControl::Button;
    QList<StopControl> m_outerControls; // of the sequences that a running one joined
    int m_depth = 0;
    bool m_stopRequested = false;
    bool m_held = false;
    bool m_moveWentOut = false;
    int m_stopAnswerMs = 0;
    QString m_stopFailure;
    int m_timeoutLimitMs = 0;
    int m_stopLimitMs = 0;
};

// A sequence that may move, from its first step to its last (RAII: ends however it returns).
class MotionSequence final {
  public:
    MotionSequence(Motion& motion, Motion::StopControl control) : m_motion(motion) {
        m_motion.begin(control);
    }
    ~MotionSequence() { m_motion.end(); }
    Q_DISABLE_COPY_MOVE(MotionSequence)

  private:
    Motion& m_motion;
};
