#pragma once

class SerialChannel;

// The port a poll leaves open between its reads (Link::KeepPortOpen). Opening the port for
// every read of a poll (the system's lock file, the line settings) costs more than the line
// itself; while a guard lives, a poll's exchange leaves its port open and the next one goes on
// with it. This decides, at each exchange's set-up and end, whether the port goes on, stays or
// is closed; the link opens, writes and reads.
class KeptPort final {
  public:
    explicit KeptPort(SerialChannel& channel) : m_channel(channel) {}

    void addGuard() { ++m_guards; }
    void removeGuard() { --m_guards; }

    // At an exchange's set-up. A poll's exchange is one made under a guard while no other wait
    // of the link runs (an exchange a handler makes meanwhile is never the poll's own). True
    // when it goes on with the port the poll's previous read left open: what arrived meanwhile
    // is discarded, as an opening does. Otherwise a kept port is closed and the exchange opens
    // its own.
    bool takeOver(bool otherWaits);
    // At an exchange's end: true when its port stays open for the poll's next read (a poll's
    // exchange that got its reply, outside a write block holding the line). After a failure or
    // a refusal the poll ends and reports it: the port is closed first.
    bool keepAtEnd(bool replied, bool lineHeld);
    // Closes the port a poll left open; nothing when none is kept.
    void close();

  private:
    SerialChannel& m_channel;
    int m_guards = 0;
    bool m_pollExchange = false; // the running exchange is a poll's
    bool m_kept = false;         // the port is open because a poll's exchange left it open
};
