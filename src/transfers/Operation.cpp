#include "transfers/Operation.h"

#include "link/Command.h"
#include "link/ReplyRules.h"
#include "operator/ProgressView.h"

namespace Ops {

namespace {
const QString NoiseReason = QStringLiteral("noise on the line (bytes no controller sends)");
} // namespace

bool askYesNo(OperationContext& c, const QString& question) {
    return c.op.askYesNo(c.link.operationTitle, question, OperatorInteraction::Icon::Question) ==
           OperatorInteraction::Answer::Yes;
}

namespace {
// BuildCommand (which waits for a pending exchange and composes the line), then Exchange of
// the composed line or of the one given.
void run(OperationContext& c, int code, const QString& argument, int timeoutMs,
         const QString* asWritten, bool inHold = false) {
    c.link.ReplyTimeoutMs = timeoutMs;
    c.link.ClearCommand();
    c.link.P_Command = code;
    c.link.P_second = argument;
    c.link.BuildCommand();
    if (asWritten)
        c.link.sousinnaiyou = *asWritten;
    if (inHold)
        c.link.ExchangeInHold();
    else
        c.link.Exchange();
    // A reply with bytes that no controller sends came over a noisy line: none of it can be
    // trusted, so the exchange fails like a line fault and the operation reports the
    // communication error with its tables unchanged.
    if (!c.link.Timeout && !ReplyRules::isPlainText(c.link.ReplyText))
        c.link.failExchange(NoiseReason);
}
} // namespace

void exchange(OperationContext& c, int code, const QString& argument, int timeoutMs, bool inHold) {
    run(c, code, argument, timeoutMs, nullptr, inHold);
}

void exchangeAsWritten(OperationContext& c, int code, const QString& line, int timeoutMs) {
    run(c, code, {}, timeoutMs, &line);
}

bool writeParameters(OperationContext& c, const QList<DataLine>& lines) {
    WriteBlock block(c, QStringLiteral("parameters"));
    if (!block.open(Command::WritePRM) || !block.sendAll(Command::ParameterData, lines))
        return false;
    if (!c.link.ReplyText.contains(QLatin1String("OK"))) {
        c.link.ReportLinkError(c.op, c.host);
        restore(c);
        return false;
    }
    return true;
}

QString readParameterValue(OperationContext& c, int number) {
    exchange(c, Command::QueryPRM, QString::number(number), 3000);
    return Link::ExtractReplyValue(c.link.ReplyText);
}

QString queryVersion(Link& link) {
    link.operationTitle = QStringLiteral("Version");
    link.ReplyTimeoutMs = 500;
    link.ClearCommand();
    link.P_Command = Command::QueryVER;
    link.BuildCommand();
    link.Exchange();
    return link.Timeout ? QString() : link.ReplyText.trimmed().left(4);
}

void restore(OperationContext& c) {
    c.host.enableWindow();
    c.host.enableToolbar();
    c.progress.hide();
}

bool cancelled(OperationContext& c, const QString& title, const QString& text) {
    if (!c.progress.cancelRequested())
        return false;
    c.progress.resetCancel();
    restore(c);
    c.op.message(title, text, OperatorInteraction::Icon::Warning);
    return true;
}

void reportNg(OperationContext& c) {
    c.link.setErrorText(c.link.ReplyText);
    c.link.ReportReplyError(c.op, c.host);
    restore(c);
}

bool failed(OperationContext& c) {
    if (c.link.Timeout) {
        c.link.ReportLinkError(c.op, c.host);
        restore(c);
        return true;
    }
    if (c.link.ReplyText.contains(QLatin1String("NG"))) {
        reportNg(c);
        return true;
    }
    return false;
}

bool readTable(OperationContext& c, int code, const QString& question, int timeoutMs, int last,
               int first) {
    c.progress.setValue(0);
    if (!askYesNo(c, question)) {
        c.host.enableToolbar();
        return false;
    }
    c.link.setErrorText({});
    c.host.disableWindow();
    c.progress.showModeless();
    c.progress.setRange(0, last);
    c.progress.setValue(first);
    exchange(c, code, {}, timeoutMs);
    return !failed(c);
}

void setProgress(OperationContext& c, int value) {
    c.progress.setValue(value);
}

WriteBlock::WriteBlock(OperationContext& c, const QString& records, int total) : m_c(c) {
    m_block.records = records;
    m_block.total = total;
}

WriteBlock::~WriteBlock() {
    release();
}

void WriteBlock::hold() {
    if (m_block.running)
        return;
    m_c.link.holdLine();
    m_block.running = true;
    m_c.host.writeBlockChanged(m_block);
}

void WriteBlock::release() {
    if (!m_block.running)
        return;
    m_c.link.releaseLine();
    m_block.running = false;
    m_c.host.writeBlockChanged(m_block);
}

void WriteBlock::erase(int code, int timeoutMs) {
    hold();
    exchange(m_c, code, {}, timeoutMs, true);
    m_block.eraseSent = m_c.link.LineWritten;
    if (!m_c.link.Timeout && !m_c.link.ReplyText.contains(QLatin1String("NG")))
        m_block.erased = true;
    else
        release(); // the caller reports it: no message waits with the line held
}

bool WriteBlock::open(int writeCode) {
    hold();
    exchange(m_c, writeCode, {}, 3000, true);
    m_cancelled = m_c.link.cancelled();
    if (m_c.link.Timeout || !m_c.link.ReplyText.contains(QLatin1String("READY"))) {
        release();
        m_c.link.ReportLinkError(m_c.op, m_c.host);
        restore(m_c);
        return false;
    }
    return true;
}

bool WriteBlock::sendLine(int dataCode, const QString& argument, const QString& tail) {
    m_c.link.ReplyTimeoutMs = 100;
    m_c.link.ClearCommand();
    m_c.link.P_Command = dataCode;
    m_c.link.P_second = argument;
    m_c.link.P_third = tail;
    m_c.link.BuildCommand();
    m_c.link.ExchangeInHold();
    if (!afterLine(false))
        return false;
    ++m_block.written;
    m_c.host.writeBlockChanged(m_block);
    return true;
}

bool WriteBlock::finish() {
    m_c.link.Timeout = false;
    exchange(m_c, Command::EndOfData, {}, 3000, true);
    const bool ok = afterLine(true);
    m_block.ended = ok;
    release();
    return ok;
}

void WriteBlock::endOfData() {
    exchange(m_c, Command::EndOfData, {}, 3000, true);
    m_block.ended = !m_c.link.Timeout && m_c.link.ReplyText.contains(QLatin1String("OK")) &&
                    !m_c.link.ReplyText.contains(QLatin1String("NG"));
    release();
}

bool WriteBlock::sendAll(int dataCode, const QList<DataLine>& lines) {
    int total = 0;
    for (const DataLine& line : lines)
        total += line.sent ? 1 : 0;
    m_block.total = total;
    for (int k = 1; k <= lines.size(); ++k) {
        m_c.progress.setValue(k);
        QCoreApplication::processEvents();
        const DataLine& line = lines[k - 1];
        if (line.sent &&
            !sendLine(dataCode, QString::number(line.number) + QLatin1Char('='), line.value))
            return false;
    }
    m_c.progress.setValue(int(lines.size()) + 1);
    QCoreApplication::processEvents();
    return finish();
}

bool WriteBlock::afterLine(bool endOfData) {
    // A data line normally ends by its time-out; one the link refused to write, or one that
    // never went out whole (the port failed, another program held it), ends the block: the
    // controller did not get it, whatever the empty reply seems to say.
    m_cancelled = m_c.link.cancelled();
    if (m_c.link.LineRefused || m_c.link.LineFailed) {
        release();
        m_c.link.ReportLinkError(m_c.op, m_c.host);
        restore(m_c);
        return false;
    }
    const QString& reply = m_c.link.ReplyText;
    if (!ReplyRules::isPlainText(reply)) { // noise on the line: the block cannot be trusted
        release();
        m_c.link.failExchange(NoiseReason);
        m_c.link.ReportLinkError(m_c.op, m_c.host);
        restore(m_c);
        return false;
    }
    if (reply.isEmpty()) {
        if (m_c.progress.cancelRequested()) {
            // A data line that went out whole was taken: the controller answers none.
            if (!endOfData && m_c.link.LineWritten)
                ++m_block.written;
            m_cancelled = true;
            release();
            Ops::cancelled(m_c);
            return false;
        }
        // The end of the block must be confirmed: a controller that never answers it has
        // not taken the table, and that is a failure, not a finished transfer.
        if (endOfData && m_c.link.Timeout) {
            release();
            m_c.link.ReportLinkError(m_c.op, m_c.host);
            restore(m_c);
            return false;
        }
        return true;
    }
    if (reply.contains(QLatin1String("NG"))) {
        release();
        reportNg(m_c);
        return false;
    }
    return true;
}

} // namespace Ops
