#pragma once

#include "drive/Drive.h"

#include <QObject>
#include <functional>

class QTimer;

// Direct teaching's position polling, alike in both kinds: while the slider is moved by hand,
// "@?POS " (and, outside Operation mode, parameter 35) is read one exchange after the other,
// pauseMs after the last reply, so the line time paces the polling. Nothing is read while a
// motion runs or a write block (SET sending the origin) holds the line: the turn waits
// 100 ms. A read that fails or is refused has been reported by the read; the polling then
// ends and `ended` runs (the kind goes back to numeric input).
//
// The port stays open from one read to the next (Link::KeepPortOpen): opening it for every
// read cost more than the line. It is closed whenever the polling stops or skips a turn.
class DirectTeachingPoll final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DirectTeachingPoll)
  public:
    struct Kind {
        int pauseMs = 0;
        std::function<bool()> active; // teaching still wants the position
        Drive::TeachingDisplay show;  // where the position goes
        std::function<void()> ended;  // a read failed: teaching ends
    };
    DirectTeachingPoll(const DriveContext& c, Kind kind, QObject* parent = nullptr);

    // The first read at once (start) or after the pause (resume, after SET took the box).
    void start();
    void resume();
    // No more reads until start or resume; the port is closed.
    void stop();
    QTimer* timer() const { return m_timer; }

  private:
    void poll();

    const DriveContext& m_ctx;
    Kind m_kind;
    QTimer* m_timer;
};
