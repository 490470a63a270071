// The virtual controller's motions: the checks before a motion starts, its time on the way and
// its arrival, the point move, the point query, the jog and the size measurement.
#include "simulator/VirtualController.h"

#include "simulator/ControllerText.h"

#include <QTimer>

#include <limits>

using namespace ControllerText;

bool VirtualController::checkMotionAllowed(bool needsOrigin) {
    if (m_motion.active) {
        replyNg(detail(ControllerDetail::Busy));
        return false;
    }
    if (needsOrigin && !m_originDone) {
        replyNg(detail(ControllerDetail::NoOrigin));
        return false;
    }
    return true;
}

void VirtualController::startMotion(int to, qint64 durationMs, std::function<void()> onArrival) {
    m_motion = Motion{
        true, m_position, to, m_clock.nsecsElapsed(), durationMs * NsPerMs, std::move(onArrival)};
    m_motionTimer->start(int(qMin<qint64>(durationMs, std::numeric_limits<int>::max())));
}

void VirtualController::arriveMotion() {
    if (!m_motion.active)
        return;
    m_position = m_motion.to;
    m_motion.active = false;
    const std::function<void()> done = std::move(m_motion.onArrival);
    m_motion.onArrival = nullptr;
    if (done) {
        m_muted = m_motionEndSilent;
        m_motionEnd = true;
        done();
        m_motionEnd = false;
        m_muted = false;
    }
}

void VirtualController::moveToPoint(const QString& arg) {
    bool ok = false;
    const int n = arg.toInt(&ok);
    const int count =
        m_kind == Kind::Pulse ? ControllerMemory::ZoneCount : ControllerMemory::PointCount;
    if (!ok || n < 0 || n >= count) {
        replyNg(detail(ControllerDetail::RangeOver));
        return;
    }
    if (!checkMotionAllowed(true))
        return;
    int target = m_position;
    bool pushes = false;
    if (m_kind == Kind::Pulse) {
        // A pulse-train controller moves to position A of the zone; an unset zone stays put.
        double mm = 0;
        if (m_memory.zone(n).isSet() && toNumber(m_memory.zone(n).a, &mm))
            target = qRound(mm * 100);
    } else {
        const ControllerMemory::Point p = m_memory.point(n);
        if (!p.isSet()) {
            replyNg(detail(ControllerDetail::NoPointData));
            return;
        }
        const QChar mode = p.mode.at(0).toUpper();
        double mm = 0;
        if (mode != u'O' && mode != u'C' && toNumber(p.position, &mm))
            target = qRound(mm * 100);
        pushes = mode == u'O' || mode == u'C' || mode == u'U';
    }
    m_lastPoint = n;
    startMotion(target, m_motionMs, [this, pushes] {
        if (pushes && m_noPushObject)
            reply(QByteArray("STOP\r\n") + ControllerDetail::NoObject + "\r\n");
        else
            replyOk();
    });
}

void VirtualController::queryPoint(const QString& arg) {
    bool ok = false;
    const int n = arg.toInt(&ok);
    if (m_kind != Kind::Point || !ok || n < 0 || n >= ControllerMemory::PointCount) {
        replyNg(detail(ControllerDetail::RangeOver));
        return;
    }
    if (!m_memory.point(n).isSet()) {
        replyNg(detail(ControllerDetail::NoPointData));
        return;
    }
    // The point's line as "@READ PNT " lists it.
    for (const QByteArray& line : m_memory.pointLines().split('\n')) {
        if (line.startsWith("P" + QByteArray::number(n) + "=")) {
            reply(line + "\nOK\r\n");
            return;
        }
    }
    replyNg(detail(ControllerDetail::NoPointData));
}

void VirtualController::startJog(bool plus) {
    if (!checkMotionAllowed(true))
        return;
    const int limit = m_memory.parameterInt(plus ? 1 : 2);
    if (plus ? m_position >= limit : m_position <= limit) {
        replyNg(detail(ControllerDetail::RangeOver));
        return;
    }
    // Teach speed in mm/s; the distance is in 0.01 mm.
    const int speed = qMax(1, m_memory.parameterInt(24, 5));
    const qint64 ms = qint64(qAbs(limit - m_position)) * 10 / speed;
    startMotion(limit, ms, [this] { replyOk(); });
}

void VirtualController::measure(bool maximum, const QString& arg) {
    if (m_oldModel) {
        replyNg(detail(ControllerDetail::CommandError)); // no size detection on the old model
        return;
    }
    const QStringList f = arg.split(u',');
    double speed = 0;
    double level = 0;
    const bool valid = f.size() == 3 && f[0].trimmed().size() == 1 &&
                       QStringLiteral("CcOo").contains(f[0].trimmed()) && toNumber(f[1], &speed) &&
                       speed >= 1 && speed <= 35 && toNumber(f[2], &level) && level >= 1 &&
                       level <= 10;
    if (!valid) {
        replyNg(detail(ControllerDetail::RangeOver));
        return;
    }
    if (!checkMotionAllowed(true))
        return;
    const bool towardsPlus = f[0].trimmed().toUpper() == QStringLiteral("O");
    const int end = m_memory.parameterInt(towardsPlus ? 1 : 2);
    const int target = m_noPushObject ? end : m_pushObjectAt;
    startMotion(target, m_motionMs, [this, maximum] {
        if (m_noPushObject) {
            reply(QByteArray("STOP\r\n") + ControllerDetail::NoObject + "\r\n");
            return;
        }
        m_memory.setParameter(maximum ? 31 : 32, QString::number(m_pushObjectAt));
        replyOk();
    });
}
