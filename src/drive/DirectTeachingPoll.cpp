#include "drive/DirectTeachingPoll.h"

#include <QTimer>

namespace {
// A turn that found the line busy tries again after this.
constexpr int BusyRetryMs = 100;
} // namespace

DirectTeachingPoll::DirectTeachingPoll(const DriveContext& c, Kind kind, QObject* parent)
    : QObject(parent), m_ctx(c), m_kind(std::move(kind)), m_timer(new QTimer(this)) {
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &DirectTeachingPoll::poll);
}

void DirectTeachingPoll::start() {
    m_timer->start(0);
}

void DirectTeachingPoll::resume() {
    if (m_kind.active())
        m_timer->start(m_kind.pauseMs);
}

void DirectTeachingPoll::stop() {
    m_timer->stop();
}

void DirectTeachingPoll::poll() {
    if (!m_kind.active())
        return;
    if (!m_ctx.drive().motion.idle() || m_ctx.link.state().lineHolder) {
        m_timer->start(BusyRetryMs);
        return;
    }
    const Drive::Outcome outcome = Drive::readCurrentPosition(m_ctx, m_kind.show);
    if (outcome == Drive::Outcome::NoReply || outcome == Drive::Outcome::Refused) {
        m_kind.ended();
        return;
    }
    resume();
}
