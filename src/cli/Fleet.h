#pragma once

#include "cli/CliPorts.h"

#include <QList>
#include <QString>
#include <memory>

class Console;

// Many controllers at once (--port with several ports): every controller is served by a run
// of the command line of its own, the very single-port run, all started together, so one
// controller's line never waits for another's. Their lines reach the console whole, each
// prefixed with its port ("COM2: Receive Point: Receiving has finished."); differences of
// --verify stay on standard output, everything else on standard error. A summary table
// (port, kind, result, seconds) on standard error ends the run.
//
// Each run has its own process rather than a thread of this one: every exchange waits in a
// nested event loop, a write block holds its line, and an interrupt is counted per run; in a
// process of its own each controller keeps exactly the single-port behaviour, and one that
// hangs or fails cannot take the others with it. The runs do not see the terminal's interrupt
// key: this process passes each interrupt on to every run still going, so the first still
// lets a write block finish and the second stops at once; when this process ends without
// passing it on, each run is interrupted as by the key.
class Fleet final {
  public:
    enum class Action { Receive, Verify, Transmit };
    struct Request {
        QString program; // the command line itself, run once per controller
        QStringList ports;
        Action action = Action::Receive;
        // One settings file per controller in it, named by its port (CliPorts::fileStem):
        // COM1.csv, ttyUSB0.csv. --receive makes the folder when it is missing.
        QString folder;
        QString trafficFolder; // one traffic log per controller, COM1.log; empty: none
        QString iniPath;       // QRX5.ini, whose port map tells where a COM port leads
        bool yes = false;
        bool moveSoftLimits = false;
        bool noHistory = false; // --no-history, passed on to every run
    };

    Fleet(Console& console, Request request);
    ~Fleet();
    Q_DISABLE_COPY_MOVE(Fleet)

    // Checks the ports and the folders (a mistake is told before any controller is asked),
    // serves every controller and returns the worst of their exit statuses.
    int run();
    // The interrupt key: passed on to every run still going.
    void interrupt();

    // The exit status of a run over several controllers: the worst of theirs, in the order
    // interrupted (130) > a link or file error (2) > different or refused (1) > done (0).
    static int worst(const QList<int>& statuses);

  private:
    struct Member;
    int check();
    void start(Member& m);
    void take(Member& m, bool errorChannel, bool atEnd);
    void finish(Member& m, int status);
    void summary() const;

    Console& m_console;
    Request m_request;
    std::vector<std::unique_ptr<Member>> m_members;
    int m_running = 0;
    int m_interrupts = 0;
};
