#include "link/Link.h"

#include "link/Command.h"
#include "link/PortName.h"
#include "link/ReplyRules.h"
#include "link/SerialChannel.h"
#include "startup/OperatorInteraction.h"

#include <QEventLoop>
#include <QTimer>

namespace {
// A reply is at most one table (a few kilobytes); anything beyond this is a faulty device
// streaming without a reply end, and is dropped so memory stays bounded.
constexpr qsizetype MaxReplyChars = 64 * 1024;
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
        m_portFailed = true;
        finish();
    });
}

Link::~Link() {
    if (m_active && m_state.pending == this) {
        m_state.pending = nullptr;
        m_state.LinkBusy = false;
    }
}

void Link::ClearCommand() {
    sousinnaiyou.clear();
    P_first.clear();
    P_second.clear();
    P_third.clear();
}

void Link::BuildCommand() {
    if (m_variant == Variant::MainWindow)
        waitForPending();
    Command::Fields f{P_Command, P_first, P_second, P_third, sousinnaiyou};
    Command::compose(f);
    P_first = f.P_first;
    P_second = f.P_second;
    P_third = f.P_third;
    sousinnaiyou = f.sousinnaiyou;
}

void Link::waitForPending() {
    // Runs the event loop, and with it the pending exchange's collecting steps, until that
    // exchange has ended. The interrupted operation later finds its exchange finished.
    while (m_state.LinkBusy && m_state.pending) {
        QEventLoop loop;
        connect(m_state.pending, &Link::exchangeFinished, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void Link::Exchange() {
    // A second exchange never overlaps the pending one on the line: wait for it first.
    if (m_variant == Variant::MainWindow)
        waitForPending();

    struct Result {
        bool captured = false;
        QString reply;
        bool timeout = false;
    } mine;
    // The first exchangeFinished after this set-up is this exchange's own; a handler that runs
    // a nested exchange afterwards (while this call is still unwinding) must not change what
    // this caller reads.
    auto capture = connect(this, &Link::exchangeFinished, this, [this, &mine] {
        if (!mine.captured) {
            mine = {true, ReplyText, Timeout};
        }
    });

    if (setUp()) {
        QEventLoop loop;
        connect(this, &Link::exchangeFinished, &loop, &QEventLoop::quit);
        collect(); // anything that already arrived
        if (m_active)
            loop.exec();
    }
    disconnect(capture);
    if (mine.captured) {
        ReplyText = mine.reply;
        Timeout = mine.timeout;
    }
}

bool Link::setUp() {
    ReplyText.clear();
    Timeout = false;
    m_replyEnded = false;
    m_detailFrom = -1;
    m_portFailed = false;
    if (m_channel.isOpen())
        m_channel.close();
    m_state.PortName = PortName::normalised(m_state.PortName);
    if (!m_channel.open(m_state.PortName)) {
        // The port could not be opened: the operation must see a failure, never an empty
        // reply that looks like success. The system's reason goes to the status bar.
        emit portFault(m_channel.errorString());
        Timeout = true;
        if (m_channel.isOpen())
            m_channel.close();
        emit exchangeFinished();
        return false;
    }
    m_channel.clearBuffers();
    if (m_variant == Variant::MainWindow) {
        m_state.LinkBusy = true;
        m_state.pending = this;
        m_sent = sousinnaiyou;
        emit commandSent(m_sent);
    }
    m_active = true;
    m_channel.write(sousinnaiyou.toLatin1());
    ReplyText.clear();
    m_sendMs = m_currentMs = m_clock.elapsed();
    m_deadline->start(ReplyTimeoutMs + 1);
    return true;
}

void Link::collect() {
    if (!m_active)
        return;
    const QByteArray data = m_channel.readAll();
    if (!data.isEmpty() && ReplyText.size() < MaxReplyChars)
        ReplyText += QString::fromLatin1(data.left(MaxReplyChars - ReplyText.size()));
    m_currentMs = m_clock.elapsed();

    if (!m_replyEnded && ReplyRules::hasReplyEnd(ReplyText)) {
        m_replyEnded = true;
        // After "NG" or "STOP" the controller sends one more line, the detail.
        if (ReplyText.contains(QLatin1String("NG")) || ReplyText.contains(QLatin1String("STOP")))
            m_detailFrom = ReplyRules::detailLineStart(ReplyText);
    }
    if (m_replyEnded &&
        (m_detailFrom < 0 || ReplyText.indexOf(QLatin1String("\r\n"), m_detailFrom) >= 0)) {
        finish();
        return;
    }
    // The wait, including the wait for a detail line, is bounded by the exchange's time-out.
    const qint64 deadline = m_sendMs + ReplyTimeoutMs;
    if (m_currentMs > deadline) {
        finish();
        return;
    }
    if (!m_deadline->isActive())
        m_deadline->start(int(deadline - m_currentMs + 1));
}

void Link::finish() {
    m_active = false;
    m_deadline->stop();
    if (m_variant == Variant::MainWindow) {
        m_received = ReplyText;
        emit replyReceived(m_received);
        if (const QString part = ReplyRules::errorPart(ReplyText); !part.isEmpty())
            setErrorText(part);
    }
    Timeout = m_portFailed || m_currentMs > m_sendMs + ReplyTimeoutMs;
    if (m_channel.isOpen())
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

void Link::setErrorText(const QString& text) {
    m_error = text;
    emit errorTextChanged(m_error);
}

bool Link::writeToOpenPort(const QString& line) {
    if (!m_channel.isOpen())
        return false;
    m_channel.clearBuffers();
    m_sent = line;
    emit commandSent(m_sent);
    return m_channel.write(line.toLatin1()) >= 0;
}

void Link::ReportLinkError(OperatorInteraction& op, LinkHost& host) {
    if (host.settei())
        return;
    if (host.orgpos() != 1) {
        op.beep();
        // Characters 7 and 8 of "STOP" CR LF "64:..." name the missing pushing object, which
        // the motion reports itself.
        if (ReplyText.mid(6, 2) != QLatin1String("64")) {
            op.message(operationTitle,
                       QStringLiteral("The communication error. Please check the connection."),
                       OperatorInteraction::Icon::None);
            if (!host.numericInputMode())
                host.focusNumericInputOption();
        }
    }
    host.clearMotionBusy();
    host.enableWindow();
    host.hideProgress();
    host.enableToolbar();
}

void Link::ReportReplyError(OperatorInteraction& op, LinkHost& host) {
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
