#include "link/Link.h"

#include "link/Command.h"
#include "link/PortName.h"
#include "link/ReplyRules.h"
#include "link/SerialChannel.h"
#include "operator/ProgressView.h"

#include <QEventLoop>
#include <QTimer>
#include <optional>
#include <utility>

namespace {
// A reply is at most one table (a few kilobytes); anything beyond this is a faulty device
// streaming without a reply end: only the last characters are kept, so memory stays bounded.
constexpr qsizetype MaxReplyChars = 64 * 1024;
} // namespace

Link::Link(LinkState& state, SerialChannel& channel, Variant variant, QObject* parent)
    : QObject(parent), m_state(state), m_channel(channel), m_variant(variant), m_kept(channel),
      m_deadline(new QTimer(this)) {
    m_clock.start();
    m_deadline->setSingleShot(true);
    m_deadline->setTimerType(Qt::PreciseTimer);
    connect(m_deadline, &QTimer::timeout, this, &Link::collect);
    connect(&m_channel, &SerialChannel::readyRead, this, &Link::collect);
    connect(&m_channel, &SerialChannel::faulted, this, [this](const QString& reason) {
        if (!m_active) {
            m_kept.close(); // lost between a poll's reads
            return;
        }
        emit portFault(reason);
        failLine(reason);
    });
}

Link::~Link() {
    if (m_active && m_state.pending == this) {
        m_state.pending = nullptr;
        m_state.LinkBusy = false;
    }
    if (m_state.lineHolder == this)
        m_state.lineHolder = nullptr;
}

void Link::ClearCommand() {
    sousinnaiyou.clear();
    P_first.clear();
    P_second.clear();
    P_third.clear();
}

void Link::BuildCommand() {
    // A Cancel while waiting for the line is kept for the Exchange that follows.
    if (m_variant == Variant::MainWindow && !waitForPending())
        m_cancelBeforeSend = true;
    Command::Fields f{P_Command, P_first, P_second, P_third, sousinnaiyou};
    Command::compose(f);
    P_first = f.P_first;
    P_second = f.P_second;
    P_third = f.P_third;
    sousinnaiyou = f.sousinnaiyou;
}

Link* Link::pendingExchange() {
    // A main window's link waits for whichever exchange holds the line; the start-up window's
    // link, which marks nothing busy, for its own cancelled exchange that still collects.
    if (m_variant == Variant::MainWindow)
        return m_state.LinkBusy ? m_state.pending : nullptr;
    return m_active ? this : nullptr;
}

bool Link::waitForPending() {
    // Runs the event loop, and with it the pending exchange's collecting steps, until that
    // exchange has ended. The interrupted operation later finds its exchange finished.
    bool cancelledHere = false;
    while (!cancelledHere) {
        Link* pending = pendingExchange();
        if (!pending)
            break;
        QEventLoop loop;
        connect(pending, &Link::exchangeFinished, &loop, &QEventLoop::quit);
        connect(this, &Link::waitCancelled, &loop, [&] {
            cancelledHere = true;
            loop.quit();
        });
        ++m_waits;
        loop.exec();
        --m_waits;
    }
    return !cancelledHere;
}

void Link::waitForEnd() {
    while (m_active) {
        QEventLoop loop;
        connect(this, &Link::exchangeFinished, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void Link::cancelWait() {
    if (m_waits > 0)
        emit waitCancelled();
}

void Link::attachProgress(ProgressView& progress) {
    progress.setCancelListener([this] { cancelWait(); });
}

ExchangeResult Link::Exchange() {
    return exchange(false);
}

ExchangeResult Link::ExchangeInHold() {
    return exchange(true);
}

ExchangeResult Link::exchange(bool inHold) {
    // A second exchange never overlaps the pending one on the line: wait for it first.
    bool cancelledHere = std::exchange(m_cancelBeforeSend, false);
    if (!cancelledHere)
        cancelledHere = !waitForPending();
    if (cancelledHere) {
        // Nothing was written.
        ExchangeResult cancelled;
        cancelled.end = ExchangeResult::End::Cancelled;
        cancelled.sent = sousinnaiyou;
        return cancelled;
    }

    // The first exchangeFinished after this set-up is this exchange's own; a handler that runs
    // a nested exchange afterwards (while this call is still unwinding) must not change what
    // this caller gets back.
    std::optional<ExchangeResult> mine;
    auto capture = connect(this, &Link::exchangeFinished, this, [this, &mine] {
        if (!mine)
            mine = m_result;
    });

    if (setUp(inHold)) {
        QEventLoop loop;
        connect(this, &Link::exchangeFinished, &loop, &QEventLoop::quit);
        connect(this, &Link::waitCancelled, &loop, [&] {
            cancelledHere = true;
            loop.quit();
        });
        collect(); // anything that already arrived
        if (m_active) {
            ++m_waits;
            loop.exec();
            --m_waits;
        }
    }
    disconnect(capture);
    if (mine)
        return *mine;
    // The operator cancelled before the reply ended. The exchange goes on without its caller
    // until its reply end or time-out, dropping what arrives, and keeps the line busy
    // meanwhile: a late reply cannot reach the next exchange.
    m_abandoned = m_active;
    ExchangeResult cancelled;
    cancelled.end = ExchangeResult::End::Cancelled;
    cancelled.sent = m_result.sent;
    cancelled.written = m_result.written;
    return cancelled;
}

bool Link::holdLine() {
    if (m_state.lineHolder && m_state.lineHolder != this)
        return false;
    m_state.lineHolder = this;
    return true;
}

void Link::releaseLine() {
    if (m_state.lineHolder != this)
        return;
    m_state.lineHolder = nullptr;
    // An exchange still collecting (a cancelled one) closes the port when it ends.
    if (!m_active && m_channel.isOpen())
        m_channel.close();
}

bool Link::openPort() {
    if (m_channel.isOpen())
        m_channel.close();
    m_state.PortName = PortName::normalised(m_state.PortName);
    m_port = m_state.PortName;
    if (m_channel.open(m_state.PortName)) {
        m_channel.clearBuffers();
        return true;
    }
    // The port could not be opened: the operation must see a failure, never an empty reply
    // that looks like success. The system's reason goes to the status bar.
    m_heldElsewhere = m_channel.heldElsewhere();
    QString problem = m_channel.errorString();
    if (problem.isEmpty())
        problem = QStringLiteral("the port cannot be opened");
    const QString reason = m_heldElsewhere ? LineFailure::heldElsewhere(line())
                                           : LineFailure::describe(line(), problem, true, {}, 0);
    emit portFault(m_heldElsewhere ? reason : m_channel.errorString());
    m_state.traffic->note(reason);
    if (m_channel.isOpen())
        m_channel.close();
    endUnstarted(ExchangeResult::End::LineFailed, reason);
    return false;
}

void Link::endUnstarted(ExchangeResult::End end, const QString& reason) {
    m_result.end = end;
    m_result.reason = reason;
    emit exchangeFinished();
}

bool Link::setUp(bool inHold) {
    m_result = ExchangeResult{};
    m_result.sent = sousinnaiyou;
    m_incoming.clear();
    m_replyEnded = false;
    m_detailFrom = -1;
    m_portFailed = false;
    m_heldElsewhere = false;
    m_abandoned = false;
    m_lineProblem.clear();
    m_timeoutMs = ReplyTimeoutMs;
    // The boxes never show an earlier command or reply beside this exchange's outcome.
    if (m_variant == Variant::MainWindow)
        setMonitor({}, {});
    if (!Command::isSendable(sousinnaiyou)) {
        // A value carried a line end or another control character: writing it would put a
        // command of the value's own making on the line. Nothing is opened or written.
        m_state.traffic->note(QStringLiteral("not sent, a value holds a control character: ") +
                              Command::visible(sousinnaiyou));
        if (m_variant == Variant::MainWindow)
            setErrorText(Command::visible(sousinnaiyou));
        endUnstarted(ExchangeResult::End::Refused, Command::visible(sousinnaiyou));
        return false;
    }
    if (m_state.lineHolder && !(inHold && m_state.lineHolder == this)) {
        // A write block holds the line: a line written now would land between its lines.
        // The block runs below this call on the one thread, so waiting for it cannot end.
        const QString problem = QStringLiteral("the line is held by a write block in progress");
        m_state.traffic->note(QStringLiteral("not sent, ") + problem + QStringLiteral(": ") +
                              Command::visible(sousinnaiyou));
        endUnstarted(ExchangeResult::End::LineFailed,
                     LineFailure::describe(line(), problem, true, {}, m_timeoutMs));
        return false;
    }
    // Within a held block the port opened by its first exchange stays open, and what the
    // controller sent late (a refusal of the previous line) is kept for this exchange. A poll's
    // read goes on with the port its previous read left open.
    if (!m_kept.takeOver(m_waits > 0) && !(holdsLine() && m_channel.isOpen()) && !openPort())
        return false;
    if (m_variant == Variant::MainWindow) {
        m_state.LinkBusy = true;
        m_state.pending = this;
        m_sent = sousinnaiyou;
        emit commandSent(m_sent);
    }
    m_active = true;
    m_code = P_Command;
    const QByteArray bytes = sousinnaiyou.toLatin1();
    m_sendUs = m_currentUs = m_clock.nsecsElapsed() / 1000;
    const qint64 written = m_channel.write(bytes);
    m_state.traffic->sent(written >= bytes.size() ? bytes : bytes.left(qMax<qint64>(0, written)));
    if (written != bytes.size()) {
        failLine(QStringLiteral("the line was not written in full (%1 of %2 characters)")
                     .arg(qMax<qint64>(0, written))
                     .arg(bytes.size()));
        return false;
    }
    m_result.written = true;
    m_incoming.clear();
    m_deadline->start(m_timeoutMs);
    return true;
}

void Link::failLine(const QString& reason) {
    if (!m_active)
        return;
    m_portFailed = true;
    m_lineProblem = reason;
    finish();
}

void Link::collect() {
    if (!m_active)
        return;
    const QByteArray data = m_channel.readAll();
    if (!data.isEmpty())
        m_state.traffic->received(data);
    if (!data.isEmpty()) {
        // Beyond the bound the oldest characters go: a reply end (a motion's "STOP") that
        // follows a flood of noise must still be seen.
        m_incoming += QString::fromLatin1(data.right(MaxReplyChars));
        if (const qsizetype excess = m_incoming.size() - MaxReplyChars; excess > 0) {
            m_incoming.remove(0, excess);
            if (m_detailFrom >= 0)
                m_detailFrom = qMax<qsizetype>(0, m_detailFrom - excess);
        }
    }
    m_currentUs = m_clock.nsecsElapsed() / 1000;

    if (!m_replyEnded && ReplyRules::hasReplyEnd(m_incoming)) {
        m_replyEnded = true;
        // After "NG" or "STOP" the controller sends one more line, the detail.
        if (m_incoming.contains(QLatin1String("NG")) || m_incoming.contains(QLatin1String("STOP")))
            m_detailFrom = ReplyRules::detailLineStart(m_incoming);
    }
    if (m_replyEnded &&
        (m_detailFrom < 0 || m_incoming.indexOf(QLatin1String("\r\n"), m_detailFrom) >= 0)) {
        finish();
        return;
    }
    // The wait, including the wait for a detail line, is bounded by the exchange's time-out.
    // Kept in microseconds: the deadline timer fires at the time-out itself, not a millisecond
    // after it, which adds up over the data lines of a write block that each end by it.
    const qint64 deadline = m_sendUs + qint64(m_timeoutMs) * 1000;
    if (m_currentUs > deadline) {
        finish();
        return;
    }
    if (!m_deadline->isActive())
        m_deadline->start(int(qMax<qint64>(1, (deadline - m_currentUs + 999) / 1000)));
    // The reply goes on: what has come so far, for a progress that follows the reply.
    if (!data.isEmpty() && !m_abandoned)
        emit receiving(m_incoming);
}

void Link::finish() {
    m_active = false;
    m_deadline->stop();
    const bool timedOut = m_currentUs > m_sendUs + qint64(m_timeoutMs) * 1000;
    const bool replied =
        !m_portFailed && !timedOut && !m_abandoned && !ReplyRules::isRefusal(m_incoming);
    if (m_portFailed)
        m_state.traffic->note(lineName() + QStringLiteral(": ") + m_lineProblem);
    else if (timedOut)
        m_state.traffic->note(lineName() +
                              QStringLiteral(": no reply end within %1 ms").arg(m_timeoutMs));
    else
        m_state.traffic->endOfExchange();
    // A cancelled exchange's caller has gone on: what arrived late is dropped.
    if (!m_abandoned) {
        m_result.ReplyText = m_incoming;
        m_result.end = m_portFailed ? ExchangeResult::End::LineFailed
                       : timedOut   ? ExchangeResult::End::NoReplyEnd
                                    : ExchangeResult::End::Replied;
        m_result.reason = LineFailure::describe(line(), m_lineProblem, m_result.Timeout(),
                                                m_incoming, m_timeoutMs);
        if (m_variant == Variant::MainWindow) {
            m_received = m_incoming;
            emit replyReceived(m_received);
            if (const QString part = ReplyRules::errorPart(m_incoming); !part.isEmpty())
                setErrorText(part);
        }
    }
    m_abandoned = false;
    // A held line stays open between the lines of its block, a poll's port until its next
    // read; a failed one is closed.
    if (!m_kept.keepAtEnd(replied, holdsLine()) && m_channel.isOpen() &&
        (!holdsLine() || m_portFailed))
        m_channel.close();
    if (m_variant == Variant::MainWindow && m_state.pending == this) {
        m_state.LinkBusy = false;
        m_state.pending = nullptr;
    }
    emit exchangeFinished();
}

QString Link::ExtractReplyValue(const QString& reply) {
    return ReplyRules::extractValue(reply);
}

void Link::setMonitor(const QString& sent, const QString& received) {
    m_sent = sent;
    emit commandSent(m_sent);
    m_received = received;
    emit replyReceived(m_received);
}

LineFailure::Line Link::line() const {
    return {m_port, m_channel.destination(), m_channel.portNameShown()};
}

QString Link::lineName() const {
    return LineFailure::lineName(line());
}

void Link::setErrorText(const QString& text) {
    m_error = text;
    emit errorTextChanged(m_error);
}

void Link::setSentText(const QString& text) {
    m_sent = text;
    emit commandSent(m_sent);
}

Link::StopWrite Link::writeStop() {
    m_stopFailure.clear();
    if (!motionPending())
        return StopWrite::NothingPending;
    // Nothing is discarded: what arrived already belongs to the motion's reply (an "OK" just
    // before the stop must still end its exchange).
    const QString stop = Command::line(Command::StopChar);
    const QByteArray bytes = stop.toLatin1();
    if (m_channel.isOpen()) {
        m_sent = stop;
        emit commandSent(m_sent);
        m_state.traffic->sent(bytes);
        if (m_channel.write(bytes) >= 0)
            return StopWrite::Written;
    }
    m_stopFailure = m_channel.errorString();
    if (m_stopFailure.isEmpty())
        m_stopFailure = QStringLiteral("the port is closed");
    m_state.traffic->note(lineName() +
                          QStringLiteral(": the stop character could not be "
                                         "written: ") +
                          m_stopFailure);
    return StopWrite::LineGone;
}

void Link::endWaitWithin(int ms) {
    if (!m_active)
        return;
    const qint64 nowUs = m_clock.nsecsElapsed() / 1000;
    const qint64 endUs = nowUs - m_sendUs + qint64(qMax(0, ms)) * 1000;
    if (endUs >= qint64(m_timeoutMs) * 1000)
        return;
    // The exchange's own time-out becomes the earlier end, so the result and the traffic log
    // say how long it waited.
    m_timeoutMs = int(endUs / 1000);
    m_deadline->start(qMax(0, ms));
}
