// The point-input drive panel's jog: three steps of "@X+ " / "@X- ", then the continuous jog
// "@XINC " / "@XDEC " while the button is held; letting go stops it.
#include "link/Command.h"
#include "link/ReplyRules.h"
#include "pointops/PointDrive.h"
#include "transfers/LinkReports.h"

#include <QEventLoop>
#include <QTimer>

using ReplyRules::isOk;
using ReplyRules::isRefusal;
using ReplyRules::isStop;

// ---- Jog ------------------------------------------------------------------------------------

bool PointDrive::jogUsable() const {
    const Motion& motion = state().motion;
    // Like every other control the jog follows the motion state: usable while nothing moves
    // or its own steps run, never while the actuator may still be moving.
    return state().panelMode == DriveState::TeachingPlayback && m_playbackReady &&
           (motion.idle() || (m_jogRunning && motion.phase() != Motion::Phase::MaybeMoving));
}

void PointDrive::jogPressed(bool plus) {
    if (!jogUsable())
        return;
    (plus ? m_plusHeld : m_minusHeld) = true;
    // A press is served by at least one step, however short the click.
    m_clickedJog = plus ? 1 : -1;
    m_ctx.link.setErrorText({});
    emit jogChanged();
    if (!m_jogRunning)
        QTimer::singleShot(0, this, &PointDrive::runJog);
}

void PointDrive::jogReleased(bool) {
    if (!m_plusHeld && !m_minusHeld)
        return;
    // A release stops at once whatever step still runs (its exchange waits), with 300 ms for
    // the stop's answer; once the continuous jog has reached its end, the stop character goes
    // out on its own (300 ms). A press released before its first step went out still gets
    // that one step.
    const Motion::Phase phase = state().motion.phase();
    const bool continuous = m_jogSteps == 4;
    m_plusHeld = m_minusHeld = false;
    emit jogChanged();
    // A continuous move still waiting for the line is cancelled before it goes out.
    const bool pending = continuous && phase == Motion::Phase::Starting;
    if (phase == Motion::Phase::Moving || phase == Motion::Phase::Stopping || pending)
        Drive::requestStop(m_ctx, ReleaseStopMs);
    else if (continuous && phase == Motion::Phase::Idle)
        stop(ReleaseStopMs);
}

void PointDrive::jogPressLost() {
    m_clickedJog = 0;
    jogReleased(m_plusHeld);
}

void PointDrive::runJog() {
    if (m_jogRunning)
        return;
    m_jogRunning = true;
    while (!m_closing && state().panelMode == DriveState::TeachingPlayback) {
        const int direction = m_plusHeld ? 1 : m_minusHeld ? -1 : m_clickedJog;
        m_clickedJog = 0;
        if (direction == 0)
            break;
        bool going = false;
        {
            // Letting go of the button is this sequence's stop.
            MotionSequence sequence(state().motion, Motion::StopControl::Release);
            going = jogStep(direction > 0);
        }
        // A step that failed or was refused has been reported: the jog ends there.
        if (!going || m_closing)
            break;
        // The continuous jog has answered (at its end, or stopped): the release comes in the
        // event loop, and stops the actuator if it still runs.
        if (m_jogSteps == 4)
            waitForJogRelease();
        if (m_closing)
            break;
        Drive::readCurrentPosition(
            m_ctx, [this](double mm, double shift) { showTeachingPosition(mm, shift); });
    }
    if (!m_plusHeld && !m_minusHeld)
        m_jogSteps = 0;
    m_jogRunning = false;
}

bool PointDrive::jogStep(bool plus) {
    ++m_jogSteps;
    const auto endJog = [this] {
        m_plusHeld = m_minusHeld = false;
        m_clickedJog = 0;
        m_jogSteps = 0;
        return false;
    };
    if (m_jogSteps <= 3) {
        const DriveContext c = Ops::titled(m_ctx, QStringLiteral("JOG"));
        const Drive::Moved moved =
            Drive::runMotion(c, {plus ? Command::XPlus : Command::XMinus, {}, {}, 3000, {}, true});
        if (moved.end != Drive::MotionEnd::Replied)
            return endJog(); // a failure is reported, and a stop ends the jog
        const QString& reply = moved.reply();
        if (isOk(reply) || isStop(reply))
            return true;
        if (isRefusal(reply) && reply.contains(QLatin1String("37"))) {
            c.link.setErrorText(reply); // at the soft limit: shown, the jog goes on
            return true;
        }
        // A reported failure ends the jog: the release may have gone to the message box.
        Ops::reportNg(c, moved.result);
        return endJog();
    }
    const DriveContext c = Ops::titled(m_ctx, QStringLiteral("Parameter"));
    const Drive::Moved moved =
        Drive::runMotion(c, {plus ? Command::XINC : Command::XDEC, {}, {}, 20000, {}});
    if (moved.end != Drive::MotionEnd::Replied)
        return endJog();
    if (isRefusal(moved.reply())) {
        Ops::reportNg(c, moved.result);
        return endJog();
    }
    return true;
}

void PointDrive::waitForJogRelease() {
    // Sleeps in the event loop until the button is let go (or teaching ends).
    while ((m_plusHeld || m_minusHeld) && !m_closing &&
           state().panelMode == DriveState::TeachingPlayback) {
        QEventLoop loop;
        connect(this, &PointDrive::jogChanged, &loop, &QEventLoop::quit);
        loop.exec();
    }
}
