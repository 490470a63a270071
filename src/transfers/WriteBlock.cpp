#include "transfers/WriteBlock.h"

#include "link/Command.h"
#include "link/ReplyRules.h"
#include "operator/ProgressView.h"
#include "transfers/LinkReports.h"

#include <utility>

namespace Ops {

WriteBlock::WriteBlock(const OperationContext& c, const QString& records, int total) : m_c(c) {
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

QString WriteBlock::held() const {
    return holdings(m_block, QStringLiteral("table's"));
}

bool WriteBlock::fail() {
    m_block.unconfirmed = 0;
    release(); // no message waits with the line held
    // Beside the reason: what the controller now holds.
    ExchangeResult told = m_last;
    told.reason += QLatin1Char('\n') + held();
    reportLinkError(m_c, told);
    return false;
}

ExchangeResult WriteBlock::erase(int code, int timeoutMs) {
    hold();
    m_last = exchange(m_c, code, {}, timeoutMs, true);
    m_block.eraseSent = m_last.written;
    if (!m_last.Timeout() && !ReplyRules::isRefusal(m_last.ReplyText))
        m_block.erased = true;
    else
        release(); // the caller reports it: no message waits with the line held
    return m_last;
}

bool WriteBlock::open(int writeCode) {
    hold();
    m_last = exchange(m_c, writeCode, {}, 3000, true);
    m_cancelled = m_last.cancelled();
    if (m_last.Timeout() || !ReplyRules::isReady(m_last.ReplyText))
        return fail();
    return true;
}

bool WriteBlock::sendLine(int dataCode, const QString& argument, const QString& tail) {
    m_last = exchangeDataLine(m_c, dataCode, argument, tail);
    m_block.sent += m_last.written ? 1 : 0;
    if (!afterLine(false))
        return false;
    // This line's wait passed without a refusal: the line before it is held; this one is,
    // unless a refusal of it comes while the next line (or the end of data) waits.
    m_block.written += m_block.unconfirmed;
    m_block.unconfirmed = 1;
    m_c.host.writeBlockChanged(m_block);
    return true;
}

bool WriteBlock::finish() {
    m_last = exchange(m_c, Command::EndOfData, {}, 3000, true);
    if (!afterLine(true))
        return false;
    // Only "OK" says the controller took the table: "ERR", "READY" or a piece of a reply cut
    // off by the time-out do not.
    if (!ReplyRules::isOk(m_last.ReplyText))
        return fail();
    m_block.written += std::exchange(m_block.unconfirmed, 0);
    m_block.ended = true;
    release();
    return true;
}

ExchangeResult WriteBlock::endOfData() {
    m_last = exchange(m_c, Command::EndOfData, {}, 3000, true);
    m_block.ended = !m_last.Timeout() && ReplyRules::isOk(m_last.ReplyText) &&
                    !ReplyRules::isRefusal(m_last.ReplyText);
    release();
    return m_last;
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
    m_cancelled = m_last.cancelled();
    if (m_last.lineFailed())
        return fail();
    // A reply that the end of the previous line's wait cut short (its "N" came then, the "G"
    // comes now) is judged whole: a refusal is the previous line's, which does not count as
    // written. A line answered with nothing more leaves the cut reply behind.
    const QString unfinished = std::exchange(m_unfinished, {});
    if (!unfinished.isEmpty() && !m_last.ReplyText.isEmpty())
        m_last.ReplyText.prepend(unfinished);
    const QString& reply = m_last.ReplyText;
    if (!ReplyRules::isPlainText(reply)) { // noise on the line: the block cannot be trusted
        m_last.end = ExchangeResult::End::Noise;
        m_last.reason =
            m_c.link.lineName() + QStringLiteral(": noise on the line (bytes no controller sends)");
        return fail();
    }
    if (reply.isEmpty()) {
        if (m_c.progress.cancelRequested() || m_last.cancelled()) {
            // No refusal came: the line before is held, and so is this one if it went out
            // whole (the controller answers none).
            m_block.written += std::exchange(m_block.unconfirmed, 0);
            if (!endOfData && m_last.written)
                ++m_block.written;
            m_cancelled = true;
            release();
            if (m_c.progress.cancelRequested())
                Ops::cancelled(m_c, held());
            else
                reportLinkError(m_c, m_last);
            return false;
        }
        // The end of the block must be confirmed: a controller that never answers it has
        // not taken the table, and that is a failure, not a finished transfer.
        if (endOfData && m_last.Timeout())
            return fail();
        return true;
    }
    if (ReplyRules::isRefusal(reply)) {
        // The refusal may be this line's or, arriving late (whole, or its "G" after an "N"
        // this line's wait cut short), the line before it: neither is counted as held.
        m_block.unconfirmed = 0;
        release();
        reportNg(m_c, m_last, held());
        return false;
    }
    if (!endOfData && !ReplyRules::hasReplyEnd(reply))
        m_unfinished = reply;
    return true;
}

bool writeParameters(const OperationContext& c, const QList<DataLine>& lines) {
    WriteBlock block(c, QStringLiteral("parameters"));
    return block.open(Command::WritePRM) && block.sendAll(Command::ParameterData, lines);
}

} // namespace Ops
