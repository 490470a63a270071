#include "history/ControllerHistory.h"

#include "history/HistoryRepository.h"
#include "link/Profile.h"

#include <QDir>
#include <QStandardPaths>
#include <QSysInfo>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

constexpr int ClosingWaitMs = 3000;

QString accountName() {
#ifdef Q_OS_UNIX
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_name && *pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
#endif
    const QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    return user.isEmpty() ? QStringLiteral("operator") : user;
}

// This computer's name as a branch name: letters, digits, '-', '_' and '.' only.
QString branchName() {
    QString name = QSysInfo::machineHostName();
    for (QChar& ch : name)
        if (!(ch.isLetterOrNumber() && ch.unicode() < 128) && ch != u'-' && ch != u'_')
            ch = u'-';
    while (name.startsWith(u'-'))
        name.remove(0, 1);
    return name.isEmpty() ? QStringLiteral("qrx5") : name;
}

} // namespace

// What the history's thread and its owner share. The thread holds it too, so it never
// touches freed memory should the owner be gone before it ends.
struct ControllerHistory::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<HistoryRecord> queue;
    bool busy = false;
    std::atomic<bool> stopping{false};
    bool folderProblemSaid = false;
    std::atomic<bool> cancelPush{false};
    ControllerHistory* owner = nullptr; // null once the owner is gone
    QList<std::pair<QString, bool>> told;
};

ControllerHistory::Settings ControllerHistory::settingsFrom(const QString& iniPath) {
    Settings s;
    const QString section = QStringLiteral("History");
    const QString keep = Profile::ReadSetting(QStringLiteral("Keep"), section, iniPath);
    s.keep = keep == QLatin1String("ERROR") || keep != QLatin1String("0");
    const QString folder = Profile::ReadSetting(QStringLiteral("Folder"), section, iniPath);
    s.folder = folder == QLatin1String("ERROR") || folder.isEmpty()
                   ? defaultFolder()
                   : QDir::cleanPath(QDir::fromNativeSeparators(folder));
    s.branch = branchName();
    s.authorName = accountName();
    return s;
}

QString ControllerHistory::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/qrx5/history");
}

ControllerHistory::ControllerHistory(Settings settings, QObject* parent)
    : QObject(parent), m_settings(std::move(settings)), m_shared(std::make_shared<Shared>()) {
    m_shared->owner = this;
}

ControllerHistory::~ControllerHistory() {
    if (!m_thread.joinable())
        return;
    const std::shared_ptr<Shared> shared = m_shared;
    std::unique_lock lock(shared->mutex);
    shared->owner = nullptr;
    shared->stopping = true;
    shared->wake.notify_all();
    // The commits in hand are made; a push that hangs on the network is cut short where it
    // can be, and the program does not wait for it beyond a moment.
    const bool ended = shared->idle.wait_for(lock, std::chrono::milliseconds(ClosingWaitMs), [&] {
        return shared->queue.empty() && !shared->busy;
    });
    shared->cancelPush = true;
    lock.unlock();
    if (ended)
        m_thread.join();
    else
        m_thread.detach();
}

void ControllerHistory::record(HistoryRecord record) {
    if (!m_settings.keep || record.finished.isEmpty())
        return;
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->queue.push_back(std::move(record));
    }
    m_shared->wake.notify_one();
    if (!m_thread.joinable())
        m_thread = std::thread(&ControllerHistory::work, m_shared, m_settings);
}

void ControllerHistory::work(const std::shared_ptr<Shared>& shared, const Settings& settings) {
    for (;;) {
        HistoryRecord r;
        {
            std::unique_lock lock(shared->mutex);
            shared->wake.wait(lock, [&] { return shared->stopping || !shared->queue.empty(); });
            if (shared->queue.empty())
                return; // stopping, nothing left
            r = std::move(shared->queue.front());
            shared->queue.pop_front();
            shared->busy = true;
        }
        const std::pair<QString, bool> told = recordOne(*shared, settings, r);
        std::lock_guard lock(shared->mutex);
        shared->busy = false;
        if (!told.first.isEmpty())
            shared->told.append(told);
        if (shared->owner)
            QMetaObject::invokeMethod(shared->owner, &ControllerHistory::deliver,
                                      Qt::QueuedConnection);
        shared->idle.notify_all();
    }
}

std::pair<QString, bool> ControllerHistory::recordOne(Shared& shared, const Settings& settings,
                                                      const HistoryRecord& r) {
    QString problem;
    std::unique_ptr<HistoryRepository> repo =
        HistoryRepository::open(settings.folder, true, &problem);
    QString id;
    if (repo) {
        QString email = repo->configValue(QStringLiteral("user.email"));
        if (email.isEmpty())
            email = settings.authorName + u'@' + QSysInfo::machineHostName();
        const CoveredTables covered = HistoryMessage::covered(r.finished);
        id = repo->commit(
            HistoryMessage::fileName(r.port),
            [&](const std::optional<QByteArray>& previous, const QString& tipId) {
                const ComposedFile composed = r.tables.compose(previous, covered);
                return HistoryRepository::Content{
                    composed.bytes, HistoryMessage::compose(r, composed.previousUsed, tipId)};
            },
            {settings.authorName, email}, &problem);
    }
    if (id.isEmpty()) {
        // Said once a run: the operator is not told at every transfer.
        std::lock_guard lock(shared.mutex);
        if (std::exchange(shared.folderProblemSaid, true))
            return {};
        return {QStringLiteral("The history cannot be kept in %1: %2")
                    .arg(QDir::toNativeSeparators(settings.folder), problem),
                true};
    }
    QString text = QStringLiteral("Recorded in the history: %1 %2 (%3)")
                       .arg(r.port, HistoryMessage::operations(r), id.left(7));
    if (!repo->hasRemote(settings.remote) || shared.stopping)
        return {text, false};
    const QString pushProblem = repo->push(settings.remote, settings.branch,
                                           [&shared] { return shared.cancelPush.load(); });
    if (pushProblem.isEmpty())
        return {text + QStringLiteral(", pushed to ") + settings.remote, false};
    return {QStringLiteral("The history could not be pushed to %1 (it is pushed again with the "
                           "next record): %2")
                .arg(settings.remote, pushProblem),
            true};
}

void ControllerHistory::deliver() {
    QList<std::pair<QString, bool>> told;
    {
        std::lock_guard lock(m_shared->mutex);
        told.swap(m_shared->told);
    }
    for (const auto& [text, failure] : told)
        emit said(text, failure);
}

bool ControllerHistory::waitDone(int timeoutMs) {
    bool done = true;
    {
        std::unique_lock lock(m_shared->mutex);
        done = m_shared->idle.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                       [&] { return m_shared->queue.empty() && !m_shared->busy; });
    }
    deliver();
    return done;
}

QList<HistoryVersion> ControllerHistory::versions(const QString& port, QString* problem) const {
    QList<HistoryVersion> out;
    QString why;
    const std::unique_ptr<HistoryRepository> repo =
        HistoryRepository::open(m_settings.folder, false, &why);
    if (!repo) {
        if (problem)
            *problem = why;
        return out;
    }
    for (const HistoryRepository::Commit& c : repo->log())
        if (const auto v = HistoryMessage::parse(c.id, c.time, c.author, c.message))
            if (port.isEmpty() || v->port.compare(port, Qt::CaseInsensitive) == 0)
                out.append(*v);
    return out;
}

std::optional<HistoryVersion> ControllerHistory::find(const QString& port, const QString& which,
                                                      QString* problem) const {
    QString why;
    const QList<HistoryVersion> all = versions(port, &why);
    if (all.isEmpty()) {
        *problem =
            why.isEmpty() ? QStringLiteral("the history holds no version of %1").arg(port) : why;
        return std::nullopt;
    }
    if (which.startsWith(u'~')) {
        bool ok = false;
        const int back = which.mid(1).toInt(&ok);
        if (!ok || back < 0) {
            *problem = QStringLiteral("\"%1\" names no version: ~ takes a count, ~1 the "
                                      "version before the newest")
                           .arg(which);
            return std::nullopt;
        }
        if (back >= all.size()) {
            *problem = QStringLiteral("the history holds %1 versions of %2, none %3 before the "
                                      "newest")
                           .arg(all.size())
                           .arg(port)
                           .arg(back);
            return std::nullopt;
        }
        return all[back];
    }
    QList<HistoryVersion> matching;
    for (const HistoryVersion& v : all)
        if (which.size() >= 4 && v.id.startsWith(which, Qt::CaseInsensitive))
            matching.append(v);
    if (matching.size() == 1)
        return matching.first();
    *problem = matching.isEmpty()
                   ? QStringLiteral("no version of %1 has the id %2").arg(port, which)
                   : QStringLiteral("%1 versions of %2 have ids beginning with %3: give more of "
                                    "the id")
                         .arg(matching.size())
                         .arg(port, which);
    return std::nullopt;
}

std::optional<QByteArray> ControllerHistory::fileOf(const HistoryVersion& version,
                                                    QString* problem) const {
    const std::unique_ptr<HistoryRepository> repo =
        HistoryRepository::open(m_settings.folder, false, problem);
    if (!repo)
        return std::nullopt;
    std::optional<QByteArray> bytes =
        repo->fileAt(version.id, HistoryMessage::fileName(version.port));
    if (!bytes && problem)
        *problem =
            QStringLiteral("version %1 holds no file of %2").arg(version.shortId(), version.port);
    return bytes;
}
