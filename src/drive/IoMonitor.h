#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <utility>

class QTimer;

// Where the signals stand in a "@READ DIO " reply: "DO" and the outputs, CR LF, "DI" and the
// inputs. Lamps 0 to 3 are outputs; the inputs run from firstInputLamp to lamp 13. Character
// positions count from 1.
struct DioLayout {
    int longerThan = 23; // a shorter reply is not read at all
    int outputsAt = 5;   // character of lamp 0
    int inputsAt = 17;   // character of firstInputLamp
    int firstInputLamp = 8;
    // Outputs: "1" lights the lamp; any other character turns it off, or, with this set,
    // only "0" turns it off and other characters leave it.
    bool outputsKeepUnknown = false;

    static DioLayout newModel() { return {23, 5, 17, 8, false}; }
    static DioLayout oldModel() { return {21, 4, 16, 9, false}; }
};

namespace Dio {
// The lamps a reply switches: (lamp number, on). Empty for a reply that does not begin with
// "DO" or is too short for the layout. An input lamp is lit by anything but "0".
QList<std::pair<int, bool>> lamps(const QString& reply, const DioLayout& layout);
// The newer controller: the 8th character of the reply is not CR (its outputs are one longer).
bool isNewModel(const QString& reply);
} // namespace Dio

// The I/O monitor timer of a main window ("Tim_IO_Mon", 700 ms) with its poll guard: a tick
// polls only in Operation mode and only when no poll is still under way (the poll's exchange
// keeps the event loop running, so ticks go on meanwhile). The kind supplies the poll.
//
// A controller that stops answering is told once: the poll that fails first reports it, the
// monitor goes on polling quietly (silent() holds, silentChanged tells the window, which shows
// the lamps' state as unknown), and the next failure is told again only after a poll has
// succeeded. Leaving Operation mode forgets it.
class IoMonitor final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IoMonitor)
  public:
    static constexpr int IntervalMs = 700;

    enum class PollResult {
        Answered, // the controller answered: the lamps show its state
        Failed,   // it did not (reported, unless the poll was quiet)
        Skipped,  // nothing was asked (a motion runs)
    };
    // The poll; with quiet set, a failure is not told (it has been already). A poll that was
    // skipped or failed never ends the monitoring: the next tick polls again, so the lamps
    // follow the controller as soon as it answers again.
    using Poll = std::function<PollResult(bool quiet)>;

    IoMonitor(std::function<bool()> operationMode, Poll poll, QObject* parent = nullptr);

    void start(); // also clears the guard
    // Starts the timer again after a motion.
    void resume();
    // Stops the timer; outside Operation mode the controller's silence is forgotten too.
    void stop();
    // Lets the next tick poll (an action answered by the controller).
    void clearGuard() { m_guard.clear(); }
    bool running() const;
    QTimer* timer() const { return m_timer; }
    // "1" while a poll runs, else empty.
    QString guard() const { return m_guard; }
    // Whether the last poll failed.
    bool lastPollFailed() const { return m_failed; }
    // A poll failed, was told, and none has succeeded since: the next polls are quiet.
    bool silent() const { return m_silent; }

    void tick();

  signals:
    void silentChanged(bool silent);

  private:
    void setSilent(bool silent);

    std::function<bool()> m_operationMode;
    Poll m_poll;
    QTimer* m_timer;
    QString m_guard;
    // A poll is under way: it may run sequences from inside its exchange that clear the guard
    // (an action answered, the monitor started again after a motion), and no tick may start
    // a second poll inside the first meanwhile.
    bool m_polling = false;
    bool m_failed = false;
    bool m_silent = false;
};
