#include "transfers/WriteBlock.h"

#include "link/Command.h"
#include "link/ReplyRules.h"
#include "operator/ProgressView.h"
#include "transfers/LinkReports.h"

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

bool WriteBlock::fail() {
    release(); // no message waits with the line held
    reportLinkError(m_c, m_last);
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
    if (!afterLine(false))
        return false;
    ++m_block.written;
    m_c.host.writeBlockChanged(m_block);
    return true;
}

bool WriteBlock::finish() {
    m_last = exchange(m_c, Command::EndOfData, {}, 3000, true);
    const bool ok = afterLine(true);
    m_block.ended = ok;
    release();
    return ok;
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
    const QString& reply = m_last.ReplyText;
    if (!ReplyRules::isPlainText(reply)) { // noise on the line: the block cannot be trusted
        m_last.end = ExchangeResult::End::Noise;
        m_last.reason =
            m_c.link.lineName() + QStringLiteral(": noise on the line (bytes no controller sends)");
        return fail();
    }
    if (reply.isEmpty()) {
        if (m_c.progress.cancelRequested() || m_last.cancelled()) {
            // A data line that went out whole was taken: the controller answers none.
            if (!endOfData && m_last.written)
                ++m_block.written;
            m_cancelled = true;
            release();
            if (m_c.progress.cancelRequested())
                Ops::cancelled(m_c);
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
        release();
        reportNg(m_c, m_last);
        return false;
    }
    return true;
}

bool writeParameters(const OperationContext& c, const QList<DataLine>& lines) {
    WriteBlock block(c, QStringLiteral("parameters"));
    if (!block.open(Command::WritePRM) || !block.sendAll(Command::ParameterData, lines))
        return false;
    if (!ReplyRules::isOk(block.last().ReplyText)) {
        reportLinkError(c, block.last());
        return false;
    }
    return true;
}

} // namespace Ops
