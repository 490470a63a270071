#include "drive/DirectTeachingPoll.h"

#include <QTimer>

namespace {
// A turn that found the line busy tries again after this.
constexpr int BusyRetryMs = 100;
} // namespace

DirectTeachingPoll::DirectTeachingPoll(const DriveContext& c, Kind kind, QObject* parent)
    : QObject(parent), m_ctx(c), m_kind(std::move(kind)), m_timer(new QTimer(this)) {
    m_timer->setSingleShot(true);
    // A pause of 20 ms is 20 ms, not 19 to 21 as a coarse timer would make it.
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &DirectTeachingPoll::poll);
}

void DirectTeachingPoll::start() {
    m_timer->start(0);
}

void DirectTeachingPoll::resume() {
    if (m_kind.active())
        m_timer->start(m_kind.pauseMs);
    else
        m_ctx.link.closeKeptPort();
}

void DirectTeachingPoll::stop() {
    m_timer->stop();
    m_ctx.link.closeKeptPort();
}

void DirectTeachingPoll::poll() {
    if (!m_kind.active()) {
        m_ctx.link.closeKeptPort();
        return;
    }
    if (!m_ctx.drive().motion.idle() || m_ctx.link.state().lineHolder) {
        m_ctx.link.closeKeptPort();
        m_timer->start(BusyRetryMs);
        return;
    }
    Drive::Outcome outcome;
    {
        // The port stays open from one read to the next while the polling goes on.
        Link::KeepPortOpen keep(m_ctx.link);
        outcome = Drive::readCurrentPosition(m_ctx, m_kind.show);
    }
    if (outcome == Drive::Outcome::NoReply || outcome == Drive::Outcome::Refused) {
        m_ctx.link.closeKeptPort();
        m_kind.ended();
        return;
    }
    resume();
}
