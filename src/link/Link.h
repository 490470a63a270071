#pragma once

#include "link/Command.h"
#include "link/ExchangeResult.h"
#include "link/KeptPort.h"
#include "link/LineFailure.h"
#include "link/LinkState.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class SerialChannel;
class ProgressView;
class QTimer;

// One talking window's link: its command fields and the exchange with the controller. The
// serial channel belongs to the window; the port name and busy flag are program-wide
// (LinkState). The link exchanges and returns: every exchange hands back an ExchangeResult and
// the link keeps none of it. It shows nothing to the operator and knows no window; the reports
// of a failed exchange belong to the operations (transfers/LinkReports.h).
//
// Re-entrancy. There is one thread, and every wait runs a nested event loop, so that Cancel,
// Stop and the stop dialog reach a running exchange. While an exchange waits, any handler may
// run, and these are the calls a handler may make on the link meanwhile:
//   - Exchange() (and BuildCommand() before it) from another handler, on this link or another
//     main window's: it waits in its own nested loop until the pending exchange has ended
//     (LinkBusy), then writes its line. The outer exchange's result is captured when it ends,
//     so a nested exchange that runs while the outer call unwinds cannot change what the outer
//     caller gets back.
//   - writeStop(): writes the stop character to the open port of a pending motion at once; the
//     motion's own exchange collects the controller's "STOP".
//   - cancelWait() (the progress dialog's Cancel): the running wait returns Cancelled at once;
//     the abandoned exchange keeps collecting, and dropping, until its reply end or time-out,
//     and holds the line meanwhile so that the late reply never reaches the next exchange.
//   - Exchange() while a write block holds the line (holdLine()): not written, ends at once
//     with LineFailed. The block runs below the handler on the same thread, so waiting for it
//     could never end.
// What guards the operations themselves from running twice is above the link: the window is
// disabled while an operation runs, the motion state locks the panel, and the I/O monitor and
// the teaching polls skip a turn while anything else runs.
class Link final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Link)
  public:
    enum class Variant { MainWindow, StartUp };

    Link(LinkState& state, SerialChannel& channel, Variant variant = Variant::MainWindow,
         QObject* parent = nullptr);
    ~Link() override;

    // Command fields.
    int P_Command = 0;
    QString P_first;
    QString P_second;
    QString P_third;
    QString sousinnaiyou;
    // The time-out of the next exchange.
    int ReplyTimeoutMs = 3000;

    void ClearCommand();
    // Waits for a pending exchange of any main window to end, then composes sousinnaiyou.
    void BuildCommand();
    // One exchange of sousinnaiyou: opens the port, writes the line, collects the reply until a
    // reply end or the time-out, closes the port. Never throws.
    ExchangeResult Exchange();
    static QString ExtractReplyValue(const QString& reply);

    // Holding the line for a write block: from holdLine() on, the port that this link's next
    // exchange opens stays open (and with it the system's lock on it) until releaseLine(), so
    // no other program can slip in between the block's lines. The block's own exchanges are
    // made with ExchangeInHold(); any other exchange asked for meanwhile, on this link or
    // another, is not written and ends at once with LineFailed. False when another link
    // already holds the line.
    bool holdLine();
    void releaseLine();
    bool holdsLine() const { return m_state.lineHolder == this; }
    ExchangeResult ExchangeInHold();

    // Keeping the port open between the reads of a poll (Direct Teaching reads the position
    // over and over). While a KeepPortOpen of this link lives, an exchange that got its reply
    // leaves the port open, and the next exchange made under a KeepPortOpen goes on with it
    // (discarding what arrived meanwhile, as an opening does). Any other exchange, including
    // one a handler makes while an exchange of this link waits, closes it first and opens its
    // own as always. Whatever ends the poll calls closeKeptPort(), and so does the poll when it
    // reads no more; a line lost in between closes it too.
    class KeepPortOpen final {
      public:
        explicit KeepPortOpen(Link& link) : m_link(link) { m_link.m_kept.addGuard(); }
        ~KeepPortOpen() { m_link.m_kept.removeGuard(); }
        Q_DISABLE_COPY_MOVE(KeepPortOpen)

      private:
        Link& m_link;
    };
    void closeKeptPort() { m_kept.close(); }

    // The progress dialog whose Cancel ends a running wait at once (the exchange returns
    // Cancelled). The controller's late reply is still collected, and dropped, until the
    // cancelled exchange's own time-out has passed; an exchange asked for meanwhile (on any
    // main window's link, or on this start-up link) waits for that.
    void attachProgress(ProgressView& progress);
    // Ends the wait of a running Exchange (or of one waiting for the line) now.
    void cancelWait();
    // Waits in the event loop until a cancelled exchange of this link, still collecting its
    // late reply, has ended (at the latest its own time-out); at once when none is running.
    void waitForEnd();

    // Monitor boxes: Txt_ComS, Txt_ComR, Txt_Error.
    QString sentText() const { return m_sent; }
    QString receivedText() const { return m_received; }
    QString errorText() const { return m_error; }
    void setErrorText(const QString& text);
    void setSentText(const QString& text);

    // True while this link's exchange of a motion command (Command::isMotion) waits for its
    // reply: the controller is moving the actuator and the port is open.
    bool motionPending() const { return m_active && Command::isMotion(m_code); }
    // The one stop path of the drive panels and the stop dialog: while a motion's exchange is
    // pending, writes the stop character to its open port at once, discarding nothing that
    // arrived; the motion's own exchange then collects the controller's reply.
    enum class StopWrite {
        Written,
        NothingPending, // no motion's exchange is pending: nothing was written
        LineGone,       // the port is gone: the stop character could not be written
    };
    StopWrite writeStop();
    // Why the last writeStop() could not write (the system's reason).
    QString stopWriteFailure() const { return m_stopFailure; }
    // Brings the end of the running exchange forward: it ends at the latest ms from now, as a
    // time-out unless its reply end arrives first. Never puts the end back. The drive panels
    // use it for the answer time of a stop written into a motion's exchange, and to end at
    // once a motion's wait whose reply can no longer end well (noise on the line).
    void endWaitWithin(int ms);

    bool busy() const { return m_active; }
    // The port of the last exchange and where it leads: "COM4 → /dev/ttyS3".
    QString lineName() const;
    LinkState& state() { return m_state; }
    SerialChannel& channel() { return m_channel; }

  signals:
    void commandSent(const QString& line);      // Txt_ComS
    void replyReceived(const QString& reply);   // Txt_ComR
    void errorTextChanged(const QString& text); // Txt_Error
    void portFault(const QString& reason);      // status bar panel 1
    void exchangeFinished();
    // Part of a reply has arrived and the exchange still waits for the rest: soFar is all
    // that arrived for it until now.
    void receiving(const QString& soFar);
    void waitCancelled(); // a running wait is to end now (cancelWait)

  private:
    ExchangeResult exchange(bool inHold);
    bool setUp(bool inHold);
    bool openPort();
    // Ends the running exchange at once as a failure of the line, for the reason given.
    void failLine(const QString& reason);
    void collect();
    void finish();
    // Ends an exchange that never started (nothing written, no port held).
    void endUnstarted(ExchangeResult::End end, const QString& reason);
    // False when the operator cancelled while waiting.
    bool waitForPending();
    Link* pendingExchange();
    void setMonitor(const QString& sent, const QString& received);
    LineFailure::Line line() const;

    LinkState& m_state;
    SerialChannel& m_channel;
    Variant m_variant;
    QString m_sent;
    QString m_received;
    QString m_error;

    // State of a running exchange.
    ExchangeResult m_result;         // of the running exchange, complete once it has ended
    QString m_incoming;              // what has arrived so far
    bool m_abandoned = false;        // its caller was cancelled: collect and drop until it ends
    int m_waits = 0;                 // waits running on this link (an exchange or the wait for one)
    bool m_cancelBeforeSend = false; // Cancel came while BuildCommand waited for the line
    QString m_lineProblem;           // the system's reason when the port failed
    QString m_port;                  // the port of the last exchange
    int m_timeoutMs = 0;             // the time-out of the running (or last) exchange
    bool m_active = false;
    int m_code = -1; // command code of the running exchange
    bool m_replyEnded = false;
    bool m_portFailed = false;
    bool m_heldElsewhere = false; // the last open failed: another program holds the line
    int m_detailFrom = -1; // index where the NG/STOP detail line begins, -1 when none awaited
    QString m_stopFailure;
    KeptPort m_kept; // a poll's port between its reads
    QElapsedTimer m_clock;
    qint64 m_sendUs = 0; // microseconds of m_clock
    qint64 m_currentUs = 0;
    QTimer* m_deadline = nullptr;
};
