#pragma once

#include "link/ExchangeResult.h"
#include "link/Link.h"
#include "operator/OperatorInteraction.h"
#include "tables/CompareReport.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <optional>

class ProgressView;

// What a write block has put into the controller so far, for a caller that must say what the
// controller holds when the block ends early (the command line's last message).
struct BlockProgress {
    QString records; // what the data lines carry: "points", "parameters", "zones"
    int total = 0;   // data lines the block is to write
    // Data lines the controller is known to hold: a data line normally gets no answer, and a
    // refusal of it can arrive while the next line waits, so a line counts only once the wait
    // after it (the next line's, or the end of data's) passed without a refusal.
    int written = 0;
    int unconfirmed = 0;    // the last line sent, whose refusal may still come (0 or 1)
    int sent = 0;           // data lines that went out whole
    bool eraseSent = false; // the erase before the block went out
    bool erased = false;    // ... and the controller confirmed it
    bool running = false;   // from the erase (or the write command) to the block's end
    bool ended = false;     // the end of data was confirmed: the controller took the table
};

namespace Ops {
// What the controller holds after a write block that did not end, for the operator: "The
// controller holds 3 of 10 points: transmit again.", "The controller's zones may have been
// erased: transmit again.", "The controller took 4 of the table's 19 parameters; the others
// are as they were: transmit again.", "Nothing was written: the controller's points are as
// they were." source names where the lines came from ("table's", "file's").
QString holdings(const BlockProgress& block, const QString& source);
} // namespace Ops

// A transfer that finished: the controller is now known to hold the window's table it covered
// (the table it received, sent or initialised), as that table stands when the operation ends.
// Told to the host where the transfer shows its completion message; a transfer that was
// declined, refused, cancelled or failed tells nothing. The controller history records what
// finished (src/history/).
struct FinishedTransfer {
    enum class Way { Receive, Transmit, Init };
    enum class Table { First, Parameters }; // the kind's first table (points, zones), parameters
    Way way = Way::Receive;
    Table table = Table::First;
};

// What the operations of one window keep between them.
struct OperationState {
    // settei: while set, a communication error is not told. Setting mode sets it, and so do
    // the operations that have already said what went wrong; every operation the operator
    // starts clears it first, in the one place that runs them (the window's runner, the
    // command line's session), so no operation depends on remembering to.
    int settei = 0;
    // orgpos: the moving flag, 1 exactly while a motion's own exchange waits for its reply.
    // A motion whose exchange fails tells the operator itself.
    int orgpos = 0;
    // How many communication and reply errors were told so far: the command line tells a
    // failed operation from a refused one by it.
    int failureReports = 0;
};

// The window side of an operation. Both main windows implement it; the start-up read, the
// command line and the tests give their own.
class OperationHost {
  public:
    virtual ~OperationHost() = default;
    // Puts the window back after an operation, however it ended: the window enabled, its
    // toolbar too unless the drive panel keeps the commands locked.
    virtual void restore() = 0;
    virtual void disableWindow() = 0;
    // True when the drive panel is in numeric input mode (the first of its mode options).
    virtual bool numericInputMode() const { return true; }
    // Enables the numeric-input option if it is disabled and gives it the focus.
    virtual void focusNumericInputOption() {}
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
    // The transfer finished: the controller holds the table it covered (FinishedTransfer).
    virtual void transferFinished(const FinishedTransfer& transfer) { (void)transfer; }
};

// What a Cancel of the progress dialog tells: title and text.
struct CancelMessage {
    QString title = QStringLiteral("Stop");
    QString text = QStringLiteral("Data un-transmitting.");
};

// What every operation of either main window works with: the window's link, the operator,
// the progress dialog, the window itself and what its operations keep, and the operation's
// own title. Operations take it as a const reference: a step that runs under another title
// (the return to origin inside a start) works on a copy (Ops::titled), so the title of the
// operation that called it never changes under it. Each kind adds its own tables.
struct OperationContext {
    Link& link;
    OperatorInteraction& op;
    ProgressView& progress;
    OperationHost& host;
    OperationState& state;
    // The caption of the operation's messages and of its link's error reports.
    QString title;
    CancelMessage cancel;
    // A failure the operator has been told already (the I/O monitor's polls of a controller
    // that does not answer): the link's reports neither beep nor show a box.
    bool quiet = false;
};

namespace Ops {

// A copy of a context (of any kind) for a step with its own title.
template <typename Context> Context titled(const Context& c, const QString& title) {
    Context copy = c;
    copy.title = title;
    return copy;
}
// ... whose failures the link's reports do not tell.
template <typename Context> Context quietly(const Context& c) {
    Context copy = c;
    copy.quiet = true;
    return copy;
}
// ... and with its own Cancel message.
template <typename Context>
Context withCancel(const Context& c, const QString& title, const QString& text) {
    Context copy = c;
    copy.cancel = {title, text};
    return copy;
}

// AskYesNo: the question with Yes and No and the question icon, titled with the operation
// title. True for Yes.
bool askYesNo(const OperationContext& c, const QString& question);

// ClearCommand, the command and its argument, BuildCommand, Exchange. A reply that holds line
// noise (ReplyRules::isPlainText) counts as failed (End::Noise), its text kept. With inHold it
// is an exchange of the write block that holds the line (Link::holdLine).
ExchangeResult exchange(const OperationContext& c, int code, const QString& argument, int timeoutMs,
                        bool inHold = false);
// The same for a line written exactly as given (no comma, no CR LF added): the pulse-train
// start sequence writes some commands so. The code still names the command, so a motion's
// line can be stopped (Link::writeStop).
ExchangeResult exchangeAsWritten(const OperationContext& c, int code, const QString& line,
                                 int timeoutMs);
// A data line of a write block: code, argument "n=" and the fields, 100 ms, on the held line.
ExchangeResult exchangeDataLine(const OperationContext& c, int code, const QString& argument,
                                const QString& fields);

// ReadParameterValue: "@?PRM " with the parameter number, 3000 ms.
ExchangeResult readParameter(const OperationContext& c, int number);
// The value of a one-value reply (ExtractReplyValue).
QString valueOf(const ExchangeResult& r);
// The number a one-value reply carries (its value read as a table cell reads numbers); none
// when the value is no plain number.
std::optional<double> numberOf(const ExchangeResult& r);
// The state a one-value reply reports: the first character of its value ("1", "0").
QString stateOf(const ExchangeResult& r);

// The version query of the About box: "@?VER " (500 ms); the controller version is the first
// four characters of the trimmed reply, empty when the controller did not answer.
QString queryVersion(Link& link);

// The progress dialog's value (a function, so the template below needs no dialog header).
void setProgress(const OperationContext& c, int value);

// Puts the window back after an operation, the one restore step of every way out: the progress
// dialog hidden, then OperationHost::restore.
void restore(const OperationContext& c);

// The cancel protocol of the progress dialog: when Cancel was clicked, clears the tag, puts
// the window back, shows the operation's Cancel message with the warning icon (with beside as
// its informative text when given), and returns true.
bool cancelled(const OperationContext& c, const QString& beside = {});

// After an exchange whose reply must be used: a failed exchange is reported as a
// communication error (ReportLinkError), an "NG" reply as a reply error (reportNg); the
// window is put back either way. True when the operation ends here.
bool failed(const OperationContext& c, const ExchangeResult& r);

// The opening of a table read: the question (on No the window is put back), the error box
// emptied, the window disabled, the progress dialog shown with its range 0 to last and the
// value first, then the read exchanged. Its result, or none when the operation ends here
// (declined, failed or refused; already reported and the window put back).
std::optional<ExchangeResult> readTable(const OperationContext& c, int code,
                                        const QString& question, int timeoutMs, int last,
                                        int first = 0);

// The loop over the rows first to last of a table: for each row the event loop runs once (so
// the progress dialog's Cancel gets through), the progress value becomes the row, the cancel
// request is tested (the cancel protocol), then step(row) runs. False when the operator
// cancelled.
template <typename Step> bool eachRow(const OperationContext& c, int first, int last, Step step) {
    for (int row = first; row <= last; ++row) {
        QCoreApplication::processEvents();
        setProgress(c, row);
        if (cancelled(c))
            return false;
        step(row);
    }
    return true;
}

} // namespace Ops
