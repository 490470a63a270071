#include "history/HistoryRepository.h"

#include <QDir>
#include <QThread>
#include <QTimeZone>
#include <git2.h>

namespace {

// Frees a libgit2 object at the end of its scope.
template <typename T, void (*Free)(T*)> struct Owned {
    T* p = nullptr;
    Owned() = default;
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() {
        if (p)
            Free(p);
    }
    T** out() { return &p; }
};
using Reference = Owned<git_reference, git_reference_free>;
using CommitObj = Owned<git_commit, git_commit_free>;
using Tree = Owned<git_tree, git_tree_free>;
using TreeEntry = Owned<git_tree_entry, git_tree_entry_free>;
using Blob = Owned<git_blob, git_blob_free>;
using TreeBuilder = Owned<git_treebuilder, git_treebuilder_free>;
using Signature = Owned<git_signature, git_signature_free>;
using RevWalk = Owned<git_revwalk, git_revwalk_free>;
using Remote = Owned<git_remote, git_remote_free>;

QString idText(const git_oid* id) {
    char text[GIT_OID_HEXSZ + 1] = {};
    git_oid_tostr(text, sizeof text, id);
    return QString::fromLatin1(text);
}

std::optional<QByteArray> blobAt(git_repository* repo, const git_tree* tree, const QString& path) {
    TreeEntry entry;
    if (!tree || git_tree_entry_bypath(entry.out(), tree, path.toUtf8().constData()) != 0)
        return std::nullopt;
    Blob blob;
    if (git_blob_lookup(blob.out(), repo, git_tree_entry_id(entry.p)) != 0)
        return std::nullopt;
    return QByteArray(static_cast<const char*>(git_blob_rawcontent(blob.p)),
                      qsizetype(git_blob_rawsize(blob.p)));
}

// What a push's callbacks share: the caller's cancel, the credential attempts made, and
// what the remote said of a reference it did not take.
struct PushState {
    const std::function<bool()>* cancelled = nullptr;
    int credentialTries = 0;
    QString refused;
};

int credentials(git_credential** out, const char* url, const char* userFromUrl,
                unsigned int allowed, void* payload) {
    (void)url;
    auto* state = static_cast<PushState*>(payload);
    // One attempt each way: a key the agent does not hold is not asked for again and again.
    if (++state->credentialTries > 1) {
        git_error_set_str(GIT_ERROR_NET, "the remote refused the credentials offered (an ssh "
                                         "key held by ssh-agent)");
        return GIT_EAUTH;
    }
    if ((allowed & GIT_CREDENTIAL_SSH_KEY) && userFromUrl)
        return git_credential_ssh_key_from_agent(out, userFromUrl);
    if (allowed & GIT_CREDENTIAL_DEFAULT)
        return git_credential_default_new(out);
    return GIT_PASSTHROUGH;
}

int updateReference(const char* refname, const char* status, void* payload) {
    if (status)
        static_cast<PushState*>(payload)->refused =
            QStringLiteral("%1: %2").arg(QString::fromUtf8(refname), QString::fromUtf8(status));
    return 0;
}

int pushProgress(unsigned int current, unsigned int total, size_t bytes, void* payload) {
    (void)current;
    (void)total;
    (void)bytes;
    const auto* state = static_cast<PushState*>(payload);
    return (*state->cancelled)() ? GIT_EUSER : 0;
}

} // namespace

QString gitProblem(const QString& doing) {
    const git_error* e = git_error_last();
    return e && e->message ? doing + QStringLiteral(": ") + QString::fromUtf8(e->message).trimmed()
                           : doing;
}

HistoryRepository::HistoryRepository(git_repository* repo, QString folder)
    : m_repo(repo), m_folder(std::move(folder)) {}

HistoryRepository::~HistoryRepository() {
    git_repository_free(m_repo);
    git_libgit2_shutdown();
}

std::unique_ptr<HistoryRepository> HistoryRepository::open(const QString& folder, bool create,
                                                           QString* problem) {
    git_libgit2_init();
    git_repository* repo = nullptr;
    const QByteArray path = QDir::toNativeSeparators(folder).toUtf8();
    int e =
        git_repository_open_ext(&repo, path.constData(), GIT_REPOSITORY_OPEN_NO_SEARCH, nullptr);
    if (e == GIT_ENOTFOUND && create) {
        git_repository_init_options opts = GIT_REPOSITORY_INIT_OPTIONS_INIT;
        opts.flags = GIT_REPOSITORY_INIT_MKPATH;
        e = git_repository_init_ext(&repo, path.constData(), &opts);
    }
    if (e != 0) {
        if (problem)
            *problem = e == GIT_ENOTFOUND ? QStringLiteral("%1: no history yet").arg(folder)
                                          : gitProblem(folder);
        git_libgit2_shutdown();
        return nullptr;
    }
    return std::unique_ptr<HistoryRepository>(new HistoryRepository(repo, folder));
}

QList<HistoryRepository::Commit> HistoryRepository::log(int max) const {
    QList<Commit> out;
    RevWalk walk;
    if (git_revwalk_new(walk.out(), m_repo) != 0)
        return out;
    git_revwalk_sorting(walk.p, GIT_SORT_TIME);
    if (git_revwalk_push_head(walk.p) != 0)
        return out; // no commit yet
    git_oid id;
    while ((max <= 0 || out.size() < max) && git_revwalk_next(&id, walk.p) == 0) {
        CommitObj c;
        if (git_commit_lookup(c.out(), m_repo, &id) != 0)
            continue;
        const git_signature* author = git_commit_author(c.p);
        out.append({idText(&id),
                    QDateTime::fromSecsSinceEpoch(git_commit_time(c.p),
                                                  QTimeZone(git_commit_time_offset(c.p) * 60)),
                    QString::fromUtf8(author && author->name ? author->name : ""),
                    QString::fromUtf8(git_commit_message(c.p))});
    }
    return out;
}

std::optional<QByteArray> HistoryRepository::fileAt(const QString& id, const QString& path) const {
    git_oid oid;
    CommitObj c;
    Tree tree;
    if (git_oid_fromstr(&oid, id.toLatin1().constData()) != 0 ||
        git_commit_lookup(c.out(), m_repo, &oid) != 0 || git_commit_tree(tree.out(), c.p) != 0)
        return std::nullopt;
    return blobAt(m_repo, tree.p, path);
}

QString HistoryRepository::commit(const QString& path, const Compose& compose, const Author& author,
                                  QString* problem) {
    const QByteArray name = path.toUtf8();
    // Another program (or thread) may move the branch between reading its tip and the new
    // commit: the commit is then made again on the new tip, from the file it holds.
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (attempt > 0)
            QThread::msleep(20 * attempt);
        Reference head;
        CommitObj parent;
        Tree parentTree;
        const int e = git_repository_head(head.out(), m_repo);
        if (e == 0) {
            if (git_reference_peel(reinterpret_cast<git_object**>(parent.out()), head.p,
                                   GIT_OBJECT_COMMIT) != 0 ||
                git_commit_tree(parentTree.out(), parent.p) != 0) {
                *problem = gitProblem(QStringLiteral("reading the last commit"));
                return {};
            }
        } else if (e != GIT_EUNBORNBRANCH && e != GIT_ENOTFOUND) {
            *problem = gitProblem(QStringLiteral("reading the current branch"));
            return {};
        }
        const QString tipId = parent.p ? idText(git_commit_id(parent.p)) : QString();
        const Content content = compose(blobAt(m_repo, parentTree.p, path), tipId);

        git_oid blobId;
        git_oid treeId;
        git_oid commitId;
        TreeBuilder builder;
        Tree tree;
        Signature signature;
        if (git_blob_create_from_buffer(&blobId, m_repo, content.bytes.constData(),
                                        size_t(content.bytes.size())) != 0 ||
            git_treebuilder_new(builder.out(), m_repo, parentTree.p) != 0 ||
            git_treebuilder_insert(nullptr, builder.p, name.constData(), &blobId,
                                   GIT_FILEMODE_BLOB) != 0 ||
            git_treebuilder_write(&treeId, builder.p) != 0 ||
            git_tree_lookup(tree.out(), m_repo, &treeId) != 0) {
            *problem = gitProblem(QStringLiteral("writing ") + path);
            return {};
        }
        if (git_signature_now(signature.out(), author.name.toUtf8().constData(),
                              author.email.toUtf8().constData()) != 0) {
            *problem = gitProblem(QStringLiteral("naming the author"));
            return {};
        }
        const git_commit* parents[] = {parent.p};
        const int made = git_commit_create(&commitId, m_repo, "HEAD", signature.p, signature.p,
                                           nullptr, content.message.toUtf8().constData(), tree.p,
                                           parent.p ? 1 : 0, parents);
        if (made == GIT_EMODIFIED || made == GIT_ELOCKED)
            continue;
        if (made != 0) {
            *problem = gitProblem(QStringLiteral("making the commit"));
            return {};
        }
        // The working folder shows the file as recorded (a convenience: its failure, say while
        // another program holds the index, changes nothing of the history).
        if (!git_repository_is_bare(m_repo)) {
            git_checkout_options opts = GIT_CHECKOUT_OPTIONS_INIT;
            opts.checkout_strategy = GIT_CHECKOUT_FORCE;
            char* paths[] = {const_cast<char*>(name.constData())};
            opts.paths = {paths, 1};
            git_checkout_head(m_repo, &opts);
        }
        return idText(&commitId);
    }
    *problem = QStringLiteral("the history's branch kept moving under other programs' commits");
    return {};
}

QString HistoryRepository::configValue(const QString& name) const {
    Owned<git_config, git_config_free> config;
    git_buf value = GIT_BUF_INIT;
    QString out;
    if (git_repository_config(config.out(), m_repo) == 0 &&
        git_config_get_string_buf(&value, config.p, name.toUtf8().constData()) == 0)
        out = QString::fromUtf8(value.ptr, qsizetype(value.size));
    git_buf_dispose(&value);
    return out;
}

bool HistoryRepository::hasRemote(const QString& name) const {
    // Read from the configuration, as git itself decides that a remote exists (it has a URL):
    // looking the remote up costs libgit2 1.5 a regular-expression match whose memory it
    // never frees, and this is asked for every record.
    const QString key = QStringLiteral("remote.") + name;
    return !configValue(key + QStringLiteral(".url")).isEmpty() ||
           !configValue(key + QStringLiteral(".pushurl")).isEmpty();
}

QString HistoryRepository::push(const QString& remoteName, const QString& branch,
                                const std::function<bool()>& cancelled) const {
    Remote remote;
    if (git_remote_lookup(remote.out(), m_repo, remoteName.toUtf8().constData()) != 0)
        return gitProblem(remoteName);
    git_strarray configured = {};
    git_remote_get_push_refspecs(&configured, remote.p);
    const bool own = configured.count > 0;
    git_strarray_dispose(&configured);

    QByteArray mapping; // this computer's branch onto its own branch of the remote
    if (!own) {
        Reference head;
        if (git_repository_head(head.out(), m_repo) != 0)
            return gitProblem(QStringLiteral("reading the current branch"));
        mapping = QByteArray(git_reference_name(head.p)) + ":refs/heads/" + branch.toUtf8();
    }
    char* mappings[] = {mapping.data()};
    const git_strarray refspecs = {mappings, 1};

    PushState state;
    state.cancelled = &cancelled;
    git_push_options opts = GIT_PUSH_OPTIONS_INIT;
    opts.callbacks.credentials = &credentials;
    opts.callbacks.push_update_reference = &updateReference;
    opts.callbacks.push_transfer_progress = &pushProgress;
    opts.callbacks.payload = &state;
    if (git_remote_push(remote.p, own ? nullptr : &refspecs, &opts) != 0)
        return gitProblem(QStringLiteral("pushing to ") + remoteName);
    if (!state.refused.isEmpty())
        return QStringLiteral("%1 refused %2").arg(remoteName, state.refused);
    return {};
}
