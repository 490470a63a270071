#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

struct git_repository;

// The controller history's git repository, through libgit2 (no git program is run). It holds
// only settings files, one per port at its top level (COM1.csv), and the commits that
// recorded them; nothing else is ever written into it.
//
// One object is used by one thread at a time; two objects (threads, programs) may work on
// one repository at once: a commit whose branch moved meanwhile is made again on the new tip.
class HistoryRepository final {
  public:
    ~HistoryRepository();
    HistoryRepository(const HistoryRepository&) = delete;
    HistoryRepository& operator=(const HistoryRepository&) = delete;

    // The repository in folder; with create, the folder and an empty repository are made
    // when missing. Null with the reason in problem when it cannot be opened or made.
    static std::unique_ptr<HistoryRepository> open(const QString& folder, bool create,
                                                   QString* problem);

    struct Commit {
        QString id; // 40 hex digits
        QDateTime time;
        QString author;
        QString message;
    };
    // Every commit of the current branch, newest first (at most max when max > 0).
    QList<Commit> log(int max = 0) const;
    // The file at path in commit id; none when the commit or the file is not there.
    std::optional<QByteArray> fileAt(const QString& id, const QString& path) const;

    // What a new commit holds: the file's bytes and the message, made from the file the
    // branch's tip holds at path (none: not there, or no commit yet) and the tip's id.
    struct Content {
        QByteArray bytes;
        QString message;
    };
    using Compose =
        std::function<Content(const std::optional<QByteArray>& previous, const QString& tipId)>;
    struct Author {
        QString name;
        QString email;
    };
    // A new commit on the current branch with path holding the composed bytes (the tree as
    // before when they are the same: the commit is still made). The working folder's copy of
    // the file follows when the repository has one. Returns the new commit's id; empty with
    // the reason in problem when it could not be made.
    QString commit(const QString& path, const Compose& compose, const Author& author,
                   QString* problem);

    // A value of the repository's git configuration (with the user's own); empty when unset.
    QString configValue(const QString& name) const;
    // Whether a remote of that name is configured.
    bool hasRemote(const QString& name) const;
    // Pushes the current branch to the remote: by the remote's own push refspecs when it has
    // any (git config remote.NAME.push), else to refs/heads/<branch> on it. cancelled is asked
    // while the push runs; true ends it. Empty when the remote took it, else why not.
    QString push(const QString& remote, const QString& branch,
                 const std::function<bool()>& cancelled) const;

    QString folder() const { return m_folder; }

  private:
    HistoryRepository(git_repository* repo, QString folder);
    git_repository* m_repo;
    QString m_folder;
};

// The library's error text for the last failed call, prefixed with what was being done.
QString gitProblem(const QString& doing);
