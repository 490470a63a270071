#pragma once

#include <QString>

// What one exchange with the controller gave back: the reply, how the exchange ended and, when
// it failed, why in words for the operator. The link hands it to its caller and keeps nothing
// of it; the operation decides what to tell.
struct ExchangeResult {
    enum class End {
        Replied,    // a reply end ("OK", "NG", "STOP", "READY") arrived within the time-out
        NoReplyEnd, // the time-out passed first; what arrived is kept (a data line of a write
                    // block normally ends so, with nothing)
        Cancelled,  // the operator ended the wait (the progress dialog's Cancel): nothing kept
        Refused,    // the line held a character that may not go on the line: nothing written
        LineFailed, // the port could not be opened (or another program holds it), the line was
                    // not written in full, the line was lost while waiting, or a write block
                    // held the line for another caller
        Noise,      // the reply held bytes no controller sends (judged by the operation)
    };

    QString ReplyText; // everything received, in order of arrival
    End end = End::Replied;
    bool written = false; // the line went out whole, whatever its reply
    QString sent;         // the line as composed (sousinnaiyou)
    // Why the exchange failed, for the operator: the port, where it leads and the reason
    // ("COM4 → /dev/ttyS3: No such file or directory", "COM2 → /dev/pts/5: no answer within
    // 5 s", "COM1 is in use by another program (/dev/ttyS0)"). After a reply that the operation
    // finds wrong (a write command not answered "READY") it names the reply: "COM1: unexpected
    // reply "ERR"".
    QString reason;

    // The exchange did not end with a reply end in time: every failure counts (the link's
    // Timeout flag).
    bool Timeout() const { return end != End::Replied; }
    bool cancelled() const { return end == End::Cancelled; }
    bool refusedLine() const { return end == End::Refused; }
    // The line itself failed: unlike a time-out, which is how a data line normally ends, this
    // always ends a write block.
    bool lineFailed() const { return end == End::LineFailed || end == End::Refused; }
};
