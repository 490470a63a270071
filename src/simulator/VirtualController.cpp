#include "simulator/VirtualController.h"

#include <QRegularExpression>
#include <QTimer>

namespace {
constexpr qsizetype MaxLineChars = 256;
// The log of received bytes keeps at most this much (a long session must stay bounded).
constexpr qsizetype MaxLogBytes = 4 * 1024 * 1024;
// Quiet time after which a complete raw command (no comma, no line end) is taken as a line.
constexpr int RawIdleMs = 30;
constexpr qint64 NsPerMs = 1000000;
// The endless stream: text without any reply end, one chunk per tick.
constexpr char StreamChunk[] = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
constexpr int StreamIntervalMs = 20;

int msUntil(qint64 dueNs, qint64 nowNs) {
    if (dueNs <= nowNs)
        return 0;
    return int((dueNs - nowNs + NsPerMs - 1) / NsPerMs);
}
} // namespace

VirtualController::VirtualController(Kind kind, QObject* parent)
    : QObject(parent), m_kind(kind), m_eventTimer(new QTimer(this)), m_rawTimer(new QTimer(this)),
      m_outTimer(new QTimer(this)), m_streamTimer(new QTimer(this)),
      m_motionTimer(new QTimer(this)) {
    m_clock.start();
    m_memory.loadDefaults(kind, 30);
    for (QTimer* t : {m_eventTimer, m_rawTimer, m_outTimer, m_motionTimer}) {
        t->setSingleShot(true);
        t->setTimerType(Qt::PreciseTimer);
    }
    m_rawTimer->setInterval(RawIdleMs);
    m_streamTimer->setInterval(StreamIntervalMs);
    connect(m_eventTimer, &QTimer::timeout, this, &VirtualController::processDueEvents);
    connect(m_rawTimer, &QTimer::timeout, this, &VirtualController::rawIdle);
    connect(m_outTimer, &QTimer::timeout, this, &VirtualController::drainOutput);
    connect(m_streamTimer, &QTimer::timeout, this, &VirtualController::sendStreamChunk);
    connect(m_motionTimer, &QTimer::timeout, this, &VirtualController::arriveMotion);
}

VirtualController::~VirtualController() = default;

void VirtualController::setActuatorType(int type) {
    m_memory.loadDefaults(m_kind, type);
}

void VirtualController::setInputs(const QString& bits) {
    m_inputs = bits.left(10).leftJustified(10, u'0');
}

void VirtualController::setSilentFor(const QString& word, bool silent) {
    if (silent)
        m_silentFor.insert(keyOf(word));
    else
        m_silentFor.remove(keyOf(word));
}

void VirtualController::setNgFor(const QString& word, const QString& detail) {
    m_ngFor.insert(keyOf(word), detail);
}

void VirtualController::clearNgFor(const QString& word) {
    m_ngFor.remove(keyOf(word));
}

void VirtualController::setNgForDataLine(int k, const QString& detail) {
    m_ngDataLine = qMax(0, k);
    m_ngDataLineDetail = detail;
}

void VirtualController::setReplySplit(int pieces, int gapMs) {
    m_splitPieces = qMax(1, pieces);
    m_splitGapMs = qMax(0, gapMs);
}

void VirtualController::setEndlessStream(bool on) {
    m_endless = on;
    if (!on)
        m_streamTimer->stop();
}

QString VirtualController::keyOf(const QString& word) {
    return word.trimmed();
}

// ---- Input framing --------------------------------------------------------------------------

void VirtualController::receive(const QByteArray& bytes) {
    if (m_logReceived) {
        m_received += bytes;
        if (m_received.size() > MaxLogBytes)
            m_received.remove(0, m_received.size() - MaxLogBytes / 2); // keep the recent half
    }
    for (const char c : bytes) {
        const auto u = static_cast<uchar>(c);
        if (u == 3) {
            // A raw command still waiting for its quiet time was sent before the stop.
            if (!m_inOverflow && isRawCommand(m_inLine)) {
                queueEvent(EventType::Line, m_inLine, m_inLine.size());
                m_inLine.clear();
            }
            queueEvent(EventType::Stop, {}, 1);
        } else if (u == 26) {
            queueEvent(EventType::EndOfData, {}, 1);
        } else if (c == '\r' || c == '\n') {
            if (!m_inLine.isEmpty() || m_inOverflow)
                takeLine(m_inLine);
            m_inLine.clear();
            m_inOverflow = false;
        } else if (m_inLine.size() >= MaxLineChars) {
            m_inOverflow = true; // the rest of an over-long line is dropped
        } else {
            m_inLine += c;
        }
    }
    if (!m_inLine.isEmpty() && !m_inOverflow && isRawCommand(m_inLine))
        m_rawTimer->start();
    else
        m_rawTimer->stop();
    processDueEvents();
}

void VirtualController::takeLine(const QByteArray& line) {
    if (m_inOverflow) {
        queueEvent(EventType::Line, QByteArray(1, '\x7f'), MaxLineChars + 2);
        return;
    }
    queueEvent(EventType::Line, line, line.size() + 2);
}

bool VirtualController::isRawCommand(const QByteArray& text) {
    static const QRegularExpression re(
        QStringLiteral("^(@\\?SRVO|@SRVO [01]|@\\?ORG|@MOVP \\d{1,2})$"));
    return re.match(QString::fromLatin1(text)).hasMatch();
}

void VirtualController::rawIdle() {
    if (m_inLine.isEmpty() || !isRawCommand(m_inLine))
        return;
    const QByteArray line = m_inLine;
    m_inLine.clear();
    queueEvent(EventType::Line, line, line.size());
    processDueEvents();
}

void VirtualController::queueEvent(EventType type, const QByteArray& text, qint64 lineBytes) {
    qint64 due = nowNs();
    if (m_paced) {
        due = qMax(due, m_inputFreeNs) + lineBytes * CharTimeNs;
        m_inputFreeNs = due;
    }
    m_events.append({type, text, due});
}

void VirtualController::processDueEvents() {
    while (!m_events.isEmpty() && m_events.constFirst().dueNs <= nowNs()) {
        // The reply to a line starts when the line has come in on the wire, not when the
        // timer that noticed it woke up.
        const InEvent e = m_events.takeFirst();
        m_handlingDueNs = e.dueNs;
        handleEvent(e);
        m_handlingDueNs = -1;
    }
    if (!m_events.isEmpty())
        m_eventTimer->start(msUntil(m_events.constFirst().dueNs, nowNs()));
}

void VirtualController::handleEvent(const InEvent& e) {
    switch (e.type) {
    case EventType::Stop:
        if (!silencedOrRefused(QString(QChar(3))))
            handleStop();
        emit lineHandled(QString(QChar(3)));
        return;
    case EventType::EndOfData:
        if (m_endless) {
            m_streamTimer->start();
        } else if (!silencedOrRefused(QString(QChar(26)))) {
            handleEndOfData();
        }
        emit lineHandled(QString(QChar(26)));
        return;
    case EventType::Line:
        break;
    }
    // Noise before a line (a partial character after a reconnect) is skipped; noise inside it
    // makes the line unknown.
    qsizetype start = 0;
    while (start < e.text.size() &&
           (static_cast<uchar>(e.text[start]) < 0x20 || static_cast<uchar>(e.text[start]) > 0x7e))
        ++start;
    const QString line = QString::fromLatin1(e.text.mid(start));
    if (line.isEmpty() && start == 0)
        return;
    if (m_endless) {
        m_streamTimer->start();
    } else {
        bool clean = !line.isEmpty();
        for (const QChar ch : line)
            clean = clean && ch.unicode() >= 0x20 && ch.unicode() <= 0x7e;
        if (clean)
            handleLine(line);
        else if (!m_silentAll)
            replyNg(QString::fromLatin1(ControllerDetail::CommandError));
    }
    emit lineHandled(line);
}

bool VirtualController::silencedOrRefused(const QString& key) {
    if (m_silentAll || m_silentFor.contains(key))
        return true;
    if (const auto instead = m_replyInstead.constFind(key); instead != m_replyInstead.cend()) {
        reply(instead.value());
        return true;
    }
    const auto ng = m_ngFor.constFind(key);
    if (ng == m_ngFor.cend())
        return false;
    replyNg(ng.value());
    return true;
}

// ---- Output pipeline ------------------------------------------------------------------------

void VirtualController::reply(const QByteArray& bytes) {
    if (bytes.isEmpty() || m_muted)
        return;
    const QByteArray data =
        (m_motionEnd ? m_motionEndPrefix : QByteArray()) + m_replyPrefix + bytes;
    const qint64 start = m_paced && m_handlingDueNs >= 0 ? m_handlingDueNs : nowNs();
    const qint64 base = start + m_replyDelayMs * NsPerMs;
    qint64 t = qMax(base, m_outFreeNs);
    const auto put = [&](const QByteArray& piece, qint64 due) {
        if (m_paced) {
            for (const char c : piece) {
                t = qMax(t, due) + CharTimeNs;
                m_out.append({QByteArray(1, c), t});
            }
        } else if (!piece.isEmpty()) {
            t = qMax(t, due);
            m_out.append({piece, t});
        }
    };
    // A refusal cut after its "N": the rest follows m_refusalSplitMs later.
    const qsizetype cut = m_refusalSplitMs > 0 && bytes.startsWith("NG")
                              ? data.size() - bytes.size() + 1
                              : data.size();
    const int pieces = int(qMin<qsizetype>(m_splitPieces, data.size()));
    for (int i = 0; i < pieces; ++i) {
        const qsizetype from = data.size() * i / pieces;
        const qsizetype to = data.size() * (i + 1) / pieces;
        const qint64 pieceDue = base + qint64(i) * m_splitGapMs * NsPerMs;
        if (cut > from && cut < to) {
            put(data.mid(from, cut - from), pieceDue);
            put(data.mid(cut, to - cut), pieceDue + qint64(m_refusalSplitMs) * NsPerMs);
        } else {
            put(data.mid(from, to - from),
                pieceDue + (from >= cut ? qint64(m_refusalSplitMs) * NsPerMs : 0));
        }
    }
    m_outFreeNs = t;
    if (!m_outTimer->isActive())
        m_outTimer->start(msUntil(m_out.constFirst().dueNs, nowNs()));
}

void VirtualController::inject(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return;
    m_out.append({bytes, qMax(nowNs(), m_outFreeNs)});
    m_outFreeNs = m_out.constLast().dueNs;
    if (!m_outTimer->isActive())
        m_outTimer->start(0);
}

void VirtualController::drainOutput() {
    QByteArray ready;
    const qint64 now = nowNs();
    while (!m_out.isEmpty() && m_out.constFirst().dueNs <= now)
        ready += m_out.takeFirst().bytes;
    if (!m_out.isEmpty())
        m_outTimer->start(msUntil(m_out.constFirst().dueNs, now));
    if (!ready.isEmpty())
        emit transmit(ready);
}

void VirtualController::sendStreamChunk() {
    if (!m_endless) {
        m_streamTimer->stop();
        return;
    }
    inject(QByteArray(StreamChunk));
}
