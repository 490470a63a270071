#pragma once

#include "link/Command.h"
#include "link/LinkState.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class SerialChannel;
class OperatorInteraction;
class ProgressView;
class QTimer;

// The window side of the two failure reports: the flags they read and what they put back.
class LinkHost {
  public:
    virtual ~LinkHost() = default;
    virtual bool settei() const { return false; }
    virtual int orgpos() const { return 0; }
    // True when the drive panel is in numeric input mode (the first of its mode options).
    virtual bool numericInputMode() const { return true; }
    // Enables the numeric-input option if it is disabled and gives it the focus.
    virtual void focusNumericInputOption() {}
    virtual void clearMotionBusy() {}
    virtual void enableWindow() {}
    virtual void hideProgress() {}
    virtual void enableToolbar() {}
};

// One talking window's link: its command fields, the exchange with the controller and the
// two standard failure reports. The serial channel belongs to the window; the port name and
// busy flag are program-wide (LinkState).
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

    // Results of the last exchange.
    QString ReplyText;
    bool Timeout = false;
    int ReplyTimeoutMs = 3000;
    // The line held a character that may not go on the line (Command::isSendable): nothing
    // was written and the exchange ended at once with Timeout set, so every caller ends its
    // operation; ReportLinkError then says why instead of reporting a communication error.
    bool LineRefused = false;
    // The line failed in the last exchange: the port could not be opened (or another program
    // holds it), the line was not written in full, the line was lost while waiting, or a
    // write block held the line for another caller. Timeout is set too; unlike a time-out,
    // which is how a data line normally ends, this always ends a write block.
    bool LineFailed = false;
    // The last exchange's line went out whole (whatever its reply).
    bool LineWritten = false;

    // Title of the running operation: the caption of the link's error messages.
    QString operationTitle;

    void ClearCommand();
    void BuildCommand();
    void Exchange();

    // Holding the line for a write block: from holdLine() on, the port that this link's next
    // exchange opens stays open (and with it the system's lock on it) until releaseLine(), so
    // no other program can slip in between the block's lines. The block's own exchanges are
    // made with ExchangeInHold(); any other exchange asked for meanwhile, on this link or
    // another (a timer's poll running in the block's event loop), is not written and ends at
    // once with LineFailed. False when another link already holds the line.
    bool holdLine();
    void releaseLine();
    bool holdsLine() const { return m_state.lineHolder == this; }
    // Exchange as one of the exchanges of the block that holds the line.
    void ExchangeInHold();
    static QString ExtractReplyValue(const QString& reply);

    // The communication-error report. Beneath its fixed text it names the port, where the
    // port leads and the reason (lineFailure()). After an exchange the operator cancelled it
    // takes the progress dialog's cancel path instead. After a refused line it shows
    // LineRefusedText (warning icon, the line beneath it) even where a time-out would be
    // reported quietly, then puts the window back as usual.
    void ReportLinkError(OperatorInteraction& op, LinkHost& host);
    static constexpr char LineRefusedText[] =
        "Cannot transmit data because it contains a control character.";
    void ReportReplyError(OperatorInteraction& op, LinkHost& host);
    // How many communication and reply errors this link has reported so far (a caller
    // without a window, the command line, tells a failed operation from a refused one).
    int failureReports() const { return m_failureReports; }

    // Why the last exchange failed, for the operator: the port, where it leads and the
    // reason, for example "COM4 → /dev/ttyS3: No such file or directory" or
    // "COM2 → /dev/pts/5: no answer within 5 s"; a port another program holds is
    // "COM1 is in use by another program (/dev/ttyS0)". Empty after an exchange that got a
    // reply.
    QString lineFailure() const;
    // The port of the last exchange and where it leads: "COM4 → /dev/ttyS3" (the device
    // alone when the port name says nothing about it).
    QString lineName() const;
    // Marks the last exchange as failed for a reason its caller found in the reply (line
    // noise): Timeout is set and ReportLinkError names the reason.
    void failExchange(const QString& reason);

    // The progress dialog whose Cancel ends a running wait at once: the exchange returns
    // cancelled (Timeout set, nothing received kept) and ReportLinkError then shows the cancel
    // message instead of the communication error. The controller's late reply is still
    // collected, and dropped, until the cancelled exchange's own time-out has passed; an
    // exchange asked for meanwhile (on any main window's link, or on this start-up link)
    // waits for that, so a late reply never reaches it.
    void attachProgress(ProgressView& progress);
    // Ends the wait of a running Exchange (or of one waiting for the line) now.
    void cancelWait();
    // Waits in the event loop until a cancelled exchange of this link, still collecting its
    // late reply, has ended (at the latest its own time-out); at once when none is running.
    void waitForEnd();
    // True when the operator cancelled the last exchange.
    bool cancelled() const { return m_cancelled; }
    // The cancel message of the operation titled operationTitle, when it is not the shared
    // "Data un-transmitting." titled "Stop". It holds only while that title is set.
    void setCancelMessage(const QString& title, const QString& text);

    // Monitor boxes: Txt_ComS, Txt_ComR, Txt_Error.
    QString sentText() const { return m_sent; }
    QString receivedText() const { return m_received; }
    QString errorText() const { return m_error; }
    void setErrorText(const QString& text);
    void setSentText(const QString& text);

    // Writes a line straight to the port if it is open, after discarding both buffers.
    // Returns false when no port is open.
    bool writeToOpenPort(const QString& line);

    // True while this link's exchange of a motion command (Command::isMotion) waits for its
    // reply: the controller is moving the actuator and the port is open.
    bool motionPending() const { return m_active && Command::isMotion(m_code); }
    // The one stop path of the drive panels and the stop dialog: while a motion's exchange is
    // pending, writes the stop character to its open port at once, discarding nothing that
    // arrived; the motion's own exchange then collects the controller's reply. Returns false,
    // writing nothing, when no motion is pending.
    bool writeStop();

    bool busy() const { return m_active; }
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
    void exchange(bool inHold);
    bool setUp(bool inHold);
    bool openPort();
    // Ends the running exchange at once as a failure of the line, for the reason given.
    void failLine(const QString& reason);
    void collect();
    void finish();
    // False when the operator cancelled while waiting.
    bool waitForPending();
    Link* pendingExchange();
    void setMonitor(const QString& sent, const QString& received);
    void reportCancelled(OperatorInteraction& op, LinkHost& host);
    void reportRefusedLine(OperatorInteraction& op, LinkHost& host);

    LinkState& m_state;
    SerialChannel& m_channel;
    Variant m_variant;
    QString m_sent;
    QString m_received;
    QString m_error;

    // State of a running exchange.
    QString m_incoming;              // what has arrived so far
    bool m_abandoned = false;        // its caller was cancelled: collect and drop until it ends
    int m_waits = 0;                 // waits running on this link (an exchange or the wait for one)
    bool m_cancelBeforeSend = false; // Cancel came while BuildCommand waited for the line
    bool m_cancelled = false;
    int m_failureReports = 0;
    QString m_lineProblem; // the system's reason when the port failed
    QString m_port;        // the port of the last exchange
    int m_timeoutMs = 0;   // the time-out of the running (or last) exchange
    ProgressView* m_progress = nullptr;
    QString m_cancelFor; // operation title the cancel message below belongs to
    QString m_cancelTitle;
    QString m_cancelText;
    bool m_active = false;
    int m_code = -1; // command code of the running exchange
    bool m_replyEnded = false;
    bool m_portFailed = false;
    bool m_heldElsewhere = false; // the last open failed: another program holds the line
    int m_detailFrom = -1; // index where the NG/STOP detail line begins, -1 when none awaited
    QElapsedTimer m_clock;
    qint64 m_sendUs = 0; // microseconds of m_clock
    qint64 m_currentUs = 0;
    QTimer* m_deadline = nullptr;
};
