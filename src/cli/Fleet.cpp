#include "cli/Fleet.h"

#include "cli/CliKind.h"
#include "cli/CliSession.h"
#include "cli/Console.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QSet>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

struct Fleet::Member {
    CliPorts::Port port;
    QString stem;
    QProcess process;
    QElapsedTimer clock;
    double seconds = 0;
    QByteArray pending[2]; // the unfinished last line of standard output and standard error
    QString kind;
    int status = ExitStatus::Failed;
    bool done = false;
};

namespace {

QString optionOf(Fleet::Action action) {
    switch (action) {
    case Fleet::Action::Receive:
        return QStringLiteral("--receive");
    case Fleet::Action::Verify:
        return QStringLiteral("--verify");
    case Fleet::Action::Transmit:
        break;
    }
    return QStringLiteral("--transmit");
}

QString resultOf(Fleet::Action action, int status) {
    switch (status) {
    case ExitStatus::Done:
        return action == Fleet::Action::Receive  ? QStringLiteral("received")
               : action == Fleet::Action::Verify ? QStringLiteral("equal")
                                                 : QStringLiteral("transmitted");
    case ExitStatus::Different: // the same status as Refused
        return action == Fleet::Action::Verify ? QStringLiteral("different")
                                               : QStringLiteral("refused");
    case ExitStatus::Failed:
        return QStringLiteral("failed");
    case ExitStatus::Interrupted:
        return QStringLiteral("interrupted");
    default:
        return QStringLiteral("exit status %1").arg(status);
    }
}

} // namespace

Fleet::Fleet(Console& console, Request request)
    : m_console(console), m_request(std::move(request)) {}

Fleet::~Fleet() = default;

int Fleet::worst(const QList<int>& statuses) {
    // The statuses are numbered in this very order, worst highest.
    return statuses.isEmpty() ? ExitStatus::Done
                              : *std::max_element(statuses.begin(), statuses.end());
}

int Fleet::check() {
    const QString program = QStringLiteral("qrx5-cli");
    QSet<QString> stems;
    QHash<QString, QString> devices; // identity of a device -> the port that named it first
    for (const QString& given : m_request.ports) {
        auto m = std::make_unique<Member>();
        m->port = CliPorts::resolve(given);
        if (given.isEmpty())
            m->port.problem = QStringLiteral("--port: an empty port in the list");
        if (!m->port.problem.isEmpty()) {
            m_console.err(program + QStringLiteral(": ") + m->port.problem);
            return ExitStatus::Usage;
        }
        // One device under two names (a path and a link to it, a COM port and the device
        // the port map leads it to) would be served by two runs at once.
        if (const QString device = CliPorts::deviceOf(m->port, m_request.iniPath);
            !device.isEmpty()) {
            const QString identity = CliPorts::identityOf(device);
            if (devices.contains(identity)) {
                const QString canonical = QFileInfo(device).canonicalFilePath();
                m_console.err(QStringLiteral("%1: --port: %2 and %3 name one device (%4); give "
                                             "it once")
                                  .arg(program, devices.value(identity), given,
                                       canonical.isEmpty() ? device : canonical));
                return ExitStatus::Usage;
            }
            devices.insert(identity, given);
        }
        m->stem = CliPorts::fileStem(m->port);
        // Two controllers must never share a file (COM1 and com1, two links named alike).
        if (stems.contains(m->stem.toLower())) {
            m_console.err(QStringLiteral("%1: --port: %2 is given twice (its file would be "
                                         "%3.csv for two controllers)")
                              .arg(program, given, m->stem));
            return ExitStatus::Usage;
        }
        stems.insert(m->stem.toLower());
        m_members.push_back(std::move(m));
    }
    // Folders are settled before any controller is asked: with several ports each action
    // names a folder, one file per controller in it.
    const auto folderProblem = [&](const QString& option, const QString& folder, bool make) {
        const QFileInfo info(folder);
        if (info.exists() && !info.isDir()) {
            m_console.err(QStringLiteral("%1: %2 %3: with several ports this names a folder, "
                                         "one file per controller in it")
                              .arg(program, option, folder));
            return ExitStatus::Usage;
        }
        if (!info.exists() && !(make && QDir().mkpath(folder))) {
            m_console.err(QStringLiteral("%1: %2 %3: no such folder%4")
                              .arg(program, option, folder,
                                   make ? QStringLiteral(", and it cannot be made") : QString()));
            return ExitStatus::Failed;
        }
        return ExitStatus::Done;
    };
    const bool receive = m_request.action == Action::Receive;
    if (const int s = folderProblem(optionOf(m_request.action), m_request.folder, receive))
        return s;
    if (!m_request.trafficFolder.isEmpty())
        return folderProblem(QStringLiteral("--traffic"), m_request.trafficFolder, true);
    return ExitStatus::Done;
}

void Fleet::start(Member& m) {
    QStringList args{QStringLiteral("--port"), m.port.given, optionOf(m_request.action),
                     QDir(m_request.folder).filePath(m.stem + QStringLiteral(".csv"))};
    if (m_request.yes)
        args << QStringLiteral("--yes");
    if (m_request.moveSoftLimits)
        args << QStringLiteral("--move-soft-limits");
    if (m_request.noHistory)
        args << QStringLiteral("--no-history");
    if (!m_request.trafficFolder.isEmpty())
        args << QStringLiteral("--traffic")
             << QDir(m_request.trafficFolder).filePath(m.stem + QStringLiteral(".log"));
    m.process.setStandardInputFile(QProcess::nullDevice());
#ifdef Q_OS_UNIX
    m.process.setChildProcessModifier([] {
        // A process group of its own: the terminal's interrupt key reaches this process only,
        // which passes each interrupt on exactly once.
        ::setpgid(0, 0);
        // Its messages come through a pipe: should this process end first, a message must
        // not end the run in the middle of a write block.
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGPIPE, &ignore, nullptr);
#ifdef Q_OS_LINUX
        // Should this process end without passing it on, the run is interrupted as by the key.
        ::prctl(PR_SET_PDEATHSIG, SIGINT);
#endif
    });
#endif
    QObject::connect(&m.process, &QProcess::readyReadStandardOutput, &m.process,
                     [this, &m] { take(m, false, false); });
    QObject::connect(&m.process, &QProcess::readyReadStandardError, &m.process,
                     [this, &m] { take(m, true, false); });
    QObject::connect(&m.process, &QProcess::finished, &m.process,
                     [this, &m](int code, QProcess::ExitStatus how) {
                         take(m, false, true);
                         take(m, true, true);
                         if (how == QProcess::NormalExit) {
                             finish(m, code);
                             return;
                         }
                         // Ended by a signal: the third interrupt ends a run outright.
                         m_console.err(m.port.given + QStringLiteral(": ended abnormally"));
                         finish(m, m_interrupts > 0 ? ExitStatus::Interrupted : ExitStatus::Failed);
                     });
    QObject::connect(&m.process, &QProcess::errorOccurred, &m.process,
                     [this, &m](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         m_console.err(m.port.given + QStringLiteral(": cannot be served: ") +
                                       m.process.errorString());
                         finish(m, ExitStatus::Failed);
                     });
    ++m_running;
    m.clock.start();
    m.process.start(m_request.program, args);
}

void Fleet::take(Member& m, bool errorChannel, bool atEnd) {
    m.process.setReadChannel(errorChannel ? QProcess::StandardError : QProcess::StandardOutput);
    QByteArray& pending = m.pending[errorChannel ? 1 : 0];
    pending += m.process.readAll();
    // Only whole lines are passed on, so the lines of several controllers never mix; at the
    // end a last line without its line end is passed on too.
    qsizetype begin = 0;
    for (;;) {
        const qsizetype nl = pending.indexOf('\n', begin);
        if (nl < 0 && !(atEnd && begin < pending.size()))
            break;
        const qsizetype stop = nl < 0 ? pending.size() : nl;
        const QString line = QString::fromUtf8(pending.mid(begin, stop - begin));
        begin = stop + 1;
        const QString prefixed = m.port.given + QStringLiteral(": ") + line;
        if (errorChannel) {
            if (m.kind.isEmpty())
                m.kind = CliKinds::kindInMessage(line);
            m_console.err(prefixed);
        } else {
            m_console.out(prefixed);
        }
    }
    pending.remove(0, std::min(begin, pending.size()));
}

void Fleet::finish(Member& m, int status) {
    if (m.done)
        return;
    m.done = true;
    m.status = status;
    m.seconds = m.clock.nsecsElapsed() / 1e9;
    --m_running;
}

void Fleet::interrupt() {
    ++m_interrupts;
#ifdef Q_OS_UNIX
    for (const auto& m : m_members)
        if (!m->done && m->process.processId() > 0)
            ::kill(pid_t(m->process.processId()), SIGINT);
#endif
}

int Fleet::run() {
    if (const int s = check())
        return s;
    for (const auto& m : m_members)
        start(*m);
    QEventLoop loop;
    for (const auto& m : m_members) {
        QObject::connect(&m->process, &QProcess::finished, &loop, [this, &loop] {
            if (m_running == 0)
                loop.quit();
        });
        QObject::connect(&m->process, &QProcess::errorOccurred, &loop, [this, &loop] {
            if (m_running == 0)
                loop.quit();
        });
    }
    if (m_running > 0)
        loop.exec();
    summary();
    QList<int> statuses;
    for (const auto& m : m_members)
        statuses << m->status;
    return worst(statuses);
}

void Fleet::summary() const {
    struct Row {
        QString port, kind, result, seconds;
    };
    QList<Row> rows{{QStringLiteral("Port"), QStringLiteral("Kind"), QStringLiteral("Result"),
                     QStringLiteral("Seconds")}};
    for (const auto& m : m_members)
        rows.append({m->port.given, m->kind.isEmpty() ? QStringLiteral("-") : m->kind,
                     resultOf(m_request.action, m->status), QString::number(m->seconds, 'f', 2)});
    qsizetype w[3] = {0, 0, 0};
    for (const Row& r : rows) {
        w[0] = std::max(w[0], r.port.size());
        w[1] = std::max(w[1], r.kind.size());
        w[2] = std::max(w[2], r.result.size());
    }
    for (const Row& r : rows)
        m_console.err(r.port.leftJustified(w[0]) + QStringLiteral("  ") +
                      r.kind.leftJustified(w[1]) + QStringLiteral("  ") +
                      r.result.leftJustified(w[2]) + QStringLiteral("  ") +
                      r.seconds.rightJustified(7));
}
