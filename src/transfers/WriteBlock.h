#pragma once

#include "transfers/Operation.h"

namespace Ops {

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
// when the block ends, fails or is destroyed, always before any message is shown. A line that
// could not be written in full, or a port that failed, ends the block as a communication
// error; only an empty reply after a line that was written is the normal end of a data line.
class WriteBlock {
  public:
    // records names what the data lines carry ("points"); total is how many lines the block
    // is to write (for BlockProgress; sendAll() counts them itself).
    explicit WriteBlock(const OperationContext& c, const QString& records = {}, int total = 0);
    ~WriteBlock();
    Q_DISABLE_COPY_MOVE(WriteBlock)

    // The erase before the block ("@INIT PNT ", "@INIT ZON "), already on the held line. The
    // caller judges its reply as for any exchange; a failed or refused erase lets the line go.
    ExchangeResult erase(int code, int timeoutMs);
    // The write command (3000 ms). A failed exchange or a reply without "READY" is reported
    // as a communication error; returns false then.
    bool open(int writeCode);
    // One data line: code 300, 301 or 302, argument "n=", tail the fields. False when the
    // operation must end (cancelled, refused by the controller or by the link, the line not
    // written or lost, or noise on the line; already reported).
    bool sendLine(int dataCode, const QString& argument, const QString& tail);
    // The end-of-data character (3000 ms), which must be answered "OK": any other answer (or
    // none) is a communication error naming the reply. False when the operation must end.
    bool finish();
    // The end-of-data character whose reply the caller judges itself; the line is let go.
    ExchangeResult endOfData();
    // Every line (code dataCode, argument "n=", tail the value), then finish(). Line k
    // (1-based, the lines not sent included) sets the progress to k and yields once; the end
    // sets it to the count + 1. False when the operation ended (already reported).
    bool sendAll(int dataCode, const QList<DataLine>& lines);

    const BlockProgress& progress() const { return m_block; }
    // The block ended because the operator cancelled it (between its lines or while a line
    // waited for its reply).
    bool cancelled() const { return m_cancelled; }
    // The block's last exchange (the end-of-data character's after finish()).
    const ExchangeResult& last() const { return m_last; }

  private:
    void hold();
    void release();
    bool afterLine(bool endOfData);
    bool fail();
    // What the controller holds now, said beside a failure of the block.
    QString held() const;
    OperationContext m_c;
    BlockProgress m_block;
    ExchangeResult m_last;
    QString m_unfinished; // a data line's reply that its wait cut short (no reply end yet)
    bool m_cancelled = false;
};

// A write block of parameter data lines ("PRM" + number + "=" + value, in the order given).
// False when the parameters were not written (reported).
bool writeParameters(const OperationContext& c, const QList<DataLine>& lines);

} // namespace Ops
