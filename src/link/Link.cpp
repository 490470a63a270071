#include "link/Link.h"

#include "link/Command.h"
#include "link/PortName.h"
#include "link/ReplyRules.h"
#include "link/SerialChannel.h"
#include "operator/OperatorInteraction.h"
#include "operator/ProgressView.h"

#include <QEventLoop>
#include <QTimer>
#include <utility>

namespace {
// A reply is at most one table (a few kilobytes); anything beyond this is a faulty device
// streaming without a reply end: only the last characters are kept, so memory stays bounded.
constexpr qsizetype MaxReplyChars = 64 * 1024;

const QString LinkErrorText =
    QStringLiteral("The communication error. Please check the connection.");
const QString CancelTitle = QStringLiteral("Stop");
const QString CancelText = QStringLiteral("Data un-transmitting.");

// A reply as one short line for a message: line ends as blanks, other control characters
// dropped, at most 40 characters.
QString compactReply(const QString& reply) {
    QString out;
    for (QChar ch : reply) {
        if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n'))
            ch = QLatin1Char(' ');
        else if (ch.unicode() < 0x20 || ch.unicode() == 0x7f)
            continue;
        out += ch;
    }
    out = out.simplified();
    return out.size() > 40 ? out.left(39) + QChar(0x2026) : out;
}
} // namespace

Link::Link(LinkState& state, SerialChannel& channel, Variant variant, QObject* parent)
    : QObject(parent), m_state(state), m_channel(channel), m_variant(variant),
      m_deadline(new QTimer(this)) {
    m_clock.start();
    m_deadline->setSingleShot(true);
    m_deadline->setTimerType(Qt::PreciseTimer);
    connect(m_deadline, &QTimer::timeout, this, &Link::collect);
    connect(&m_channel, &SerialChannel::readyRead, this, &Link::collect);
    connect(&m_channel, &SerialChannel::faulted, this, [this](const QString& reason) {
        if (!m_active)
            return;
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
    m_progress = &progress;
    progress.setCancelListener([this] { cancelWait(); });
}

void Link::setCancelMessage(const QString& title, const QString& text) {
    m_cancelFor = operationTitle;
    m_cancelTitle = title;
    m_cancelText = text;
}

void Link::Exchange() {
    exchange(false);
}

void Link::ExchangeInHold() {
    exchange(true);
}

void Link::exchange(bool inHold) {
    m_cancelled = false;
    LineRefused = false;
    LineFailed = false;
    LineWritten = false;
    // A second exchange never overlaps the pending one on the line: wait for it first.
    bool cancelledHere = std::exchange(m_cancelBeforeSend, false);
    if (!cancelledHere)
        cancelledHere = !waitForPending();
    if (cancelledHere) {
        // Nothing was written.
        m_cancelled = true;
        ReplyText.clear();
        Timeout = true;
        return;
    }

    struct Result {
        bool captured = false;
        QString reply;
        bool timeout = false;
        bool refused = false;
        bool failed = false;
        bool written = false;
    } mine;
    // The first exchangeFinished after this set-up is this exchange's own; a handler that runs
    // a nested exchange afterwards (while this call is still unwinding) must not change what
    // this caller reads.
    auto capture = connect(this, &Link::exchangeFinished, this, [this, &mine] {
        if (!mine.captured) {
            mine = {true, ReplyText, Timeout, LineRefused, LineFailed, LineWritten};
        }
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
    if (mine.captured) {
        ReplyText = mine.reply;
        Timeout = mine.timeout;
        LineRefused = mine.refused;
        LineFailed = mine.failed;
        LineWritten = mine.written;
    } else if (cancelledHere && m_active) {
        // The operator cancelled before the reply ended. The exchange goes on without its
        // caller until its reply end or time-out, dropping what arrives, and keeps the line
        // busy meanwhile: a late reply cannot reach the next exchange.
        m_abandoned = true;
        m_cancelled = true;
        ReplyText.clear();
        Timeout = true;
    }
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
    m_lineProblem = m_channel.errorString();
    if (m_lineProblem.isEmpty())
        m_lineProblem = QStringLiteral("the port cannot be opened");
    emit portFault(m_heldElsewhere ? lineFailure() : m_channel.errorString());
    m_state.traffic->note(lineFailure());
    if (m_channel.isOpen())
        m_channel.close();
    return false;
}

bool Link::setUp(bool inHold) {
    ReplyText.clear();
    m_incoming.clear();
    Timeout = false;
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
        LineRefused = true;
        Timeout = true;
        m_state.traffic->note(QStringLiteral("not sent, a value holds a control character: ") +
                              Command::visible(sousinnaiyou));
        if (m_variant == Variant::MainWindow)
            setErrorText(Command::visible(sousinnaiyou));
        emit exchangeFinished();
        return false;
    }
    if (m_state.lineHolder && !(inHold && m_state.lineHolder == this)) {
        // A write block holds the line: a line written now would land between its lines.
        // The block runs below this call on the one thread, so waiting for it cannot end.
        m_lineProblem = QStringLiteral("the line is held by a write block in progress");
        m_state.traffic->note(QStringLiteral("not sent, ") + m_lineProblem + QStringLiteral(": ") +
                              Command::visible(sousinnaiyou));
        LineFailed = true;
        Timeout = true;
        emit exchangeFinished();
        return false;
    }
    // Within a held block the port opened by its first exchange stays open, and what the
    // controller sent late (a refusal of the previous line) is kept for this exchange.
    if (!(holdsLine() && m_channel.isOpen()) && !openPort()) {
        LineFailed = true;
        Timeout = true;
        emit exchangeFinished();
        return false;
    }
    if (m_variant == Variant::MainWindow) {
        m_state.LinkBusy = true;
        m_state.pending = this;
        m_sent = sousinnaiyou;
        emit commandSent(m_sent);
    }
    m_active = true;
    m_code = P_Command;
    const QByteArray line = sousinnaiyou.toLatin1();
    m_sendUs = m_currentUs = m_clock.nsecsElapsed() / 1000;
    const qint64 written = m_channel.write(line);
    m_state.traffic->sent(written >= line.size() ? line : line.left(qMax<qint64>(0, written)));
    if (written != line.size()) {
        failLine(QStringLiteral("the line was not written in full (%1 of %2 characters)")
                     .arg(qMax<qint64>(0, written))
                     .arg(line.size()));
        return false;
    }
    LineWritten = true;
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
    if (m_portFailed)
        m_state.traffic->note(lineName() + QStringLiteral(": ") + m_lineProblem);
    else if (m_currentUs > m_sendUs + qint64(m_timeoutMs) * 1000)
        m_state.traffic->note(lineName() +
                              QStringLiteral(": no reply end within %1 ms").arg(m_timeoutMs));
    else
        m_state.traffic->endOfExchange();
    // A cancelled exchange's caller has gone on: what arrived late is dropped.
    if (!m_abandoned) {
        ReplyText = m_incoming;
        if (m_variant == Variant::MainWindow) {
            m_received = ReplyText;
            emit replyReceived(m_received);
            if (const QString part = ReplyRules::errorPart(ReplyText); !part.isEmpty())
                setErrorText(part);
        }
        Timeout = m_portFailed || m_currentUs > m_sendUs + qint64(m_timeoutMs) * 1000;
        LineFailed = m_portFailed;
    }
    m_abandoned = false;
    // A held line stays open between the lines of its block; a failed one is closed.
    if (m_channel.isOpen() && (!holdsLine() || m_portFailed))
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

QString Link::lineName() const {
    const QString destination = m_channel.destination();
    if (destination.isEmpty())
        return m_port;
    if (!m_channel.portNameShown())
        return destination;
    return m_port + QStringLiteral(" \u2192 ") + destination;
}

QString Link::lineFailure() const {
    if (m_heldElsewhere) {
        // Said before anything was written: the operator closes the other program and tries
        // again. The system's own words follow in brackets.
        const QString destination = m_channel.destination();
        const QString port =
            m_channel.portNameShown() || destination.isEmpty() ? m_port : destination;
        QString text = port + QStringLiteral(" is in use by another program");
        if (m_channel.portNameShown() && !destination.isEmpty())
            text += QStringLiteral(" (") + destination + QLatin1Char(')');
        return text;
    }
    QString what = m_lineProblem;
    if (what.isEmpty()) {
        const QString seconds = QString::number(m_timeoutMs / 1000.0);
        if (Timeout && m_incoming.isEmpty())
            what = QStringLiteral("no answer within %1 s").arg(seconds);
        else if (Timeout)
            what = QStringLiteral("no complete reply within %1 s").arg(seconds);
        else if (!m_incoming.isEmpty())
            what = QStringLiteral("unexpected reply \"%1\"").arg(compactReply(m_incoming));
        else
            what = QStringLiteral("no reply");
    }
    // The system's reason may already name the device ("/dev/ttyS3: Permission denied").
    const QString destination = m_channel.destination();
    if (!destination.isEmpty() && what.startsWith(destination + QStringLiteral(": ")))
        what = what.mid(destination.size() + 2);
    return lineName() + QStringLiteral(": ") + what;
}

void Link::setErrorText(const QString& text) {
    m_error = text;
    emit errorTextChanged(m_error);
}

void Link::setSentText(const QString& text) {
    m_sent = text;
    emit commandSent(m_sent);
}

bool Link::writeStop() {
    if (!motionPending() || !m_channel.isOpen())
        return false;
    // Unlike writeToOpenPort, nothing is discarded: what arrived already belongs to the
    // motion's reply (an "OK" just before the stop must still end its exchange).
    const QString line = Command::line(Command::StopChar);
    m_sent = line;
    emit commandSent(m_sent);
    const QByteArray bytes = line.toLatin1();
    m_state.traffic->sent(bytes);
    return m_channel.write(bytes) >= 0;
}

void Link::failExchange(const QString& reason) {
    Timeout = true;
    m_lineProblem = reason;
}

bool Link::writeToOpenPort(const QString& line) {
    if (!m_channel.isOpen() || !Command::isSendable(line))
        return false;
    m_channel.clearBuffers();
    m_sent = line;
    emit commandSent(m_sent);
    const QByteArray bytes = line.toLatin1();
    m_state.traffic->sent(bytes);
    return m_channel.write(bytes) >= 0;
}

void Link::reportCancelled(OperatorInteraction& op, LinkHost& host) {
    if (m_progress) {
        m_progress->resetCancel();
        m_progress->hide();
    }
    host.clearMotionBusy();
    host.enableWindow();
    host.hideProgress();
    host.enableToolbar();
    const bool own = !m_cancelFor.isEmpty() && m_cancelFor == operationTitle;
    op.message(own ? m_cancelTitle : CancelTitle, own ? m_cancelText : CancelText,
               OperatorInteraction::Icon::Warning);
}

void Link::ReportLinkError(OperatorInteraction& op, LinkHost& host) {
    // The operator ended the wait: the operation ends as after a Cancel between rows.
    if (m_cancelled) {
        reportCancelled(op, host);
        return;
    }
    if (LineRefused) {
        reportRefusedLine(op, host);
        return;
    }
    ++m_failureReports;
    if (host.settei())
        return;
    if (host.orgpos() != 1) {
        op.beep();
        // Characters 7 and 8 of "STOP" CR LF "64:..." name the missing pushing object, which
        // the motion reports itself.
        if (ReplyText.mid(6, 2) != QLatin1String("64")) {
            op.informativeMessage(operationTitle, LinkErrorText, OperatorInteraction::Icon::None,
                                  lineFailure());
            if (!host.numericInputMode())
                host.focusNumericInputOption();
        }
    }
    host.clearMotionBusy();
    host.enableWindow();
    host.hideProgress();
    host.enableToolbar();
}

void Link::reportRefusedLine(OperatorInteraction& op, LinkHost& host) {
    // Not a fault of the line, and never quiet: the operator must learn that a value of the
    // table was not sent and the operation ended.
    op.informativeMessage(operationTitle, QString::fromLatin1(LineRefusedText),
                          OperatorInteraction::Icon::Warning, Command::visible(sousinnaiyou));
    host.clearMotionBusy();
    host.enableWindow();
    host.hideProgress();
    host.enableToolbar();
}

void Link::ReportReplyError(OperatorInteraction& op, LinkHost& host) {
    ++m_failureReports;
    setErrorText(m_received);
    if (!m_received.contains(QLatin1String("STOP")))
        op.message(QStringLiteral("Error"), QStringLiteral("Cannot receive data from controller."),
                   OperatorInteraction::Icon::Critical);
    sousinnaiyou.clear();
    ReplyText.clear();
    if (!host.numericInputMode())
        host.focusNumericInputOption();
    host.clearMotionBusy();
    host.enableWindow();
    host.hideProgress();
    host.enableToolbar();
}
