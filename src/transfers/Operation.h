#pragma once

#include "link/Link.h"
#include "operator/OperatorInteraction.h"
#include "tables/CompareReport.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

class ProgressView;

// What a write block has put into the controller so far, for a caller that must say what the
// controller holds when the block ends early (the command line's last message).
struct BlockProgress {
    QString records;        // what the data lines carry: "points", "parameters", "zones"
    int total = 0;          // data lines the block is to write
    int written = 0;        // data lines written and not refused so far
    bool eraseSent = false; // the erase before the block went out
    bool erased = false;    // ... and the controller confirmed it
    bool running = false;   // from the erase (or the write command) to the block's end
    bool ended = false;     // the end of data was confirmed: the controller took the table
};

// The window side of an operation on the controller, beyond the two link reports. Both main
// windows implement it; tests and the command line give their own.
class OperationHost : public LinkHost {
  public:
    virtual void setSettei(int value) = 0;
    virtual void disableWindow() = 0;
    // Copies parameter values into the window's dependent displays (panels, status bar).
    virtual void refreshDependentDisplays() = 0;
    // "Do you save data?" with its Save As when the tables hold unsaved changes; false when
    // the operator cancelled (or the save did not complete after Yes).
    virtual bool confirmDiscard() = 0;
    // Compare's differences: the window marks their cells in its grids until the next edit
    // or transfer.
    virtual void markDifferences(const QList<Difference>& differences) { (void)differences; }
    // A write block began, wrote a line or ended (BlockProgress::running tells which).
    virtual void writeBlockChanged(const BlockProgress& block) { (void)block; }
};

// What every operation of either main window works with: the window's link, the operator,
// the progress dialog and the window itself. Each kind adds its own tables.
struct OperationContext {
    Link& link;
    OperatorInteraction& op;
    ProgressView& progress;
    OperationHost& host;
};

namespace Ops {

// AskYesNo: the question with Yes and No and the question icon, titled with the operation
// title. True for Yes.
bool askYesNo(OperationContext& c, const QString& question);

// ClearCommand, the command and its argument, BuildCommand, Exchange. A reply that holds
// line noise (ReplyRules::isPlainText) counts as failed: Timeout is set, ReplyText kept.
// With inHold it is an exchange of the write block that holds the line (Link::holdLine).
void exchange(OperationContext& c, int code, const QString& argument, int timeoutMs,
              bool inHold = false);
// The same for a line written exactly as given (no comma, no CR LF added): the pulse-train
// start sequence writes some commands so. The code still names the command, so a motion's
// line can be stopped (Link::writeStop).
void exchangeAsWritten(OperationContext& c, int code, const QString& line, int timeoutMs);

// ReadParameterValue: "@?PRM " with the parameter number, 3000 ms, the one-value reply's
// value. The link's Timeout and ReplyText tell the caller how the exchange went.
QString readParameterValue(OperationContext& c, int number);

// The version query of the About box: "@?VER " (500 ms); the controller version is the first
// four characters of the trimmed reply, empty when the controller did not answer.
QString queryVersion(Link& link);

// The progress dialog's value (a function, so the template below needs no dialog header).
void setProgress(OperationContext& c, int value);

// Puts the window back after an operation: window and toolbar enabled, progress hidden.
void restore(OperationContext& c);

// The cancel protocol of the progress dialog: when Cancel was clicked, clears the tag,
// enables the window and the toolbar, hides the dialog, shows text titled title with the
// warning icon, and returns true.
bool cancelled(OperationContext& c, const QString& title = QStringLiteral("Stop"),
               const QString& text = QStringLiteral("Data un-transmitting."));

// An "NG" reply: the reply goes to Txt_Error and the link's reply-error report runs, then the
// window is restored.
void reportNg(OperationContext& c);

// After an exchange whose reply must be used: a time-out is reported as a communication
// error, an "NG" reply through reportNg; the window is restored either way. True when the
// operation ends here.
bool failed(OperationContext& c);

// The opening of a table read: the question (on No the toolbar is enabled again), the error
// box emptied, the window disabled, the progress dialog shown with its range 0 to last and
// the value first, then the read exchanged. False when the operation ends here (declined,
// timed out or refused; already reported and the window restored), the table untouched.
bool readTable(OperationContext& c, int code, const QString& question, int timeoutMs, int last,
               int first = 0);

// The loop over the rows first to last of a table: for each row the event loop runs once (so
// the progress dialog's Cancel gets through), the progress value becomes the row, the cancel
// request is tested (the cancel protocol with title and text), then step(row) runs. False when
// the operator cancelled.
template <typename Step>
bool eachRow(OperationContext& c, int first, int last, Step step,
             const QString& title = QStringLiteral("Stop"),
             const QString& text = QStringLiteral("Data un-transmitting."));

// One data line of a write block: the record's number and what follows its "=" ("PRM" with
// 35 and "100", "Z" with 0 and "-10.00,20.00").
struct DataLine {
    int number = 0;
    QString value;
    bool sent = true; // false for a record that is skipped (not held, not set)
};

// The write block shared by every table transfer: the write command ("@WRITE PNT ",
// "@WRITE PRM ", "@WRITE ZON ") answered by "READY", one data line per record (100 ms each;
// the controller normally answers nothing), and the end-of-data character answered by "OK".
//
// The block holds the line from its first command (the erase before it, where there is one)
// to the end-of-data reply: the port stays open, so no other program can slip a command in
// between its lines, and no other exchange of this program is written meanwhile. It is let go
// when the block ends, fails or is destroyed. A line that could not be written in full, or a
// port that failed, ends the block as a communication error; only an empty reply after a
// line that was written is the normal end of a data line.
class WriteBlock {
  public:
    // records names what the data lines carry ("points"); total is how many lines the block
    // is to write (for BlockProgress; sendAll() counts them itself).
    explicit WriteBlock(OperationContext& c, const QString& records = {}, int total = 0);
    ~WriteBlock();
    Q_DISABLE_COPY_MOVE(WriteBlock)

    // The erase before the block ("@INIT PNT ", "@INIT ZON "), already on the held line. The
    // caller judges its reply (Timeout, ReplyText) as for any exchange.
    void erase(int code, int timeoutMs);
    // The write command (3000 ms). A time-out or a reply without "READY" is reported as a
    // communication error; returns false then.
    bool open(int writeCode);
    // One data line: code 300, 301 or 302, argument "n=", tail the fields. False when the
    // operation must end (cancelled, refused by the controller or by the link, the line not
    // written or lost, or noise on the line; already reported).
    bool sendLine(int dataCode, const QString& argument, const QString& tail);
    // The end-of-data character (3000 ms). False when the operation must end.
    bool finish();
    // The end-of-data character whose reply the caller judges itself; the line is let go.
    void endOfData();
    // Every line (code dataCode, argument "n=", tail the value), then finish(). Line k
    // (1-based, the lines not sent included) sets the progress to k and yields once; the end
    // sets it to the count + 1. False when the operation ended (already reported).
    bool sendAll(int dataCode, const QList<DataLine>& lines);

    const BlockProgress& progress() const { return m_block; }
    // The block ended because the operator cancelled it (between its lines or while a line
    // waited for its reply).
    bool cancelled() const { return m_cancelled; }

  private:
    void hold();
    void release();
    bool afterLine(bool endOfData);
    OperationContext& m_c;
    BlockProgress m_block;
    bool m_cancelled = false;
};

template <typename Step>
bool eachRow(OperationContext& c, int first, int last, Step step, const QString& title,
             const QString& text) {
    for (int row = first; row <= last; ++row) {
        QCoreApplication::processEvents();
        setProgress(c, row);
        if (cancelled(c, title, text))
            return false;
        step(row);
    }
    return true;
}

// A write block of parameter data lines ("PRM" + number + "=" + value, in the order given)
// whose end-of-data character must be answered "OK"; anything else ends in the link's
// reports. False when the parameters were not written.
bool writeParameters(OperationContext& c, const QList<DataLine>& lines);

} // namespace Ops
