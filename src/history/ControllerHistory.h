#pragma once

#include "history/HistoryMessage.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <thread>
#include <utility>

// The controller history: every table a controller gave or took, kept as its settings file in
// a plain git repository (HistoryRepository), one commit per record, one file per port.
//
// Records are composed, committed and pushed on the history's own thread, one after the
// other, so no transfer ever waits for the disk or the network: the serial line stays with
// the window's thread. After each commit, when the repository has a remote named "origin",
// the branch is pushed to it (to the branch named after this computer unless the remote has
// push refspecs of its own), so several computers share one repository without ever pushing
// over each other. A push that fails is said and made again with the next record: the branch
// carries every commit not yet pushed.
//
// What there is to tell comes as said(), on the thread that made the history: a record made
// (and pushed), a push that failed (each time), a history folder that cannot be used (once per
// run: a transfer is never held up by it, and the operator is not told at every one).
class ControllerHistory final : public QObject {
    Q_OBJECT
  public:
    struct Settings {
        bool keep = true; // [History] Keep=0 in QRX5.ini turns the history off
        QString folder;   // [History] Folder, else defaultFolder()
        QString remote = QStringLiteral("origin");
        QString branch;      // where a push goes on the remote: this computer's name
        QString authorName;  // the account's user name
        QString authorEmail; // git config user.email, else user@host (found when committing)
    };
    // The settings of QRX5.ini's section [History] (Keep, Folder) and this account.
    static Settings settingsFrom(const QString& iniPath);
    // $XDG_DATA_HOME/qrx5/history (~/.local/share/qrx5/history).
    static QString defaultFolder();

    explicit ControllerHistory(Settings settings, QObject* parent = nullptr);
    // Waits a moment for records in hand (their commits); a push still running then is left
    // to end with the program.
    ~ControllerHistory() override;

    bool keeps() const { return m_settings.keep; }
    QString folder() const { return m_settings.folder; }

    // Queues a record (nothing when the history is off).
    void record(HistoryRecord record);
    // Waits until every queued record is committed and pushed, at most timeoutMs; then tells
    // what there is to tell (said()) before returning. True when all was done in time.
    bool waitDone(int timeoutMs);

    // The versions of port's file (every port's when empty), newest first, read now. An
    // empty list with the reason in problem when the history cannot be read.
    QList<HistoryVersion> versions(const QString& port, QString* problem = nullptr) const;
    // A version named as "ID" (a commit id or its start) or "~N" (N before the newest) among
    // port's versions; none with the reason in problem.
    std::optional<HistoryVersion> find(const QString& port, const QString& which,
                                       QString* problem) const;
    // The file a version holds.
    std::optional<QByteArray> fileOf(const HistoryVersion& version, QString* problem) const;

  signals:
    void said(const QString& text, bool failure);

  private:
    struct Shared;
    // The history's thread: the records one after the other until the owner is gone.
    static void work(const std::shared_ptr<Shared>& shared, const Settings& settings);
    // One record committed (and pushed): what to tell, empty when nothing.
    static std::pair<QString, bool> recordOne(Shared& shared, const Settings& settings,
                                              const HistoryRecord& record);
    void deliver();
    Settings m_settings;
    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
};
