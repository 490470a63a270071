// The controller history against the virtual controller: which operations leave a commit and
// what it holds, and that the commits reach a remote named origin.
#include "OpsRig.h"
#include "history/ControllerHistory.h"
#include "history/HistoryRepository.h"
#include "link/Profile.h"
#include "pointdata/PointHistory.h"
#include "pointdata/SettingsFile.h"
#include "pointops/InitOps.h"
#include "pointops/ReceiveOps.h"
#include "pointops/TransmitParameters.h"
#include "pointops/TransmitPoints.h"
#include "pulse/PulseHistory.h"
#include "pulse/PulseSettingsFile.h"
#include "pulse/PulseTransfers.h"

#include <QTemporaryDir>
#include <QTest>
#include <git2.h>

namespace {

ControllerHistory::Settings keptIn(const QString& folder) {
    ControllerHistory::Settings s;
    s.folder = folder;
    s.branch = QStringLiteral("line-pc");
    s.authorName = QStringLiteral("operator");
    return s;
}

// One operation as the window's runTransfer runs it: what finished is recorded for COM1 with
// the rig's tables as they then stand. The history's work is waited for.
template <typename Rig, typename Op>
TransferRecorder::Outcome runRecorded(Rig& r, ControllerHistory& history, Op op) {
    r.host.recorder.begin();
    op(r.context());
    const TransferRecorder::Outcome outcome = r.host.recorder.end();
    TablesSnapshot tables;
    if constexpr (std::is_same_v<Rig, OpsRig>)
        tables = PointHistory::snapshot(r.points.table(), r.params.table(), {});
    else
        tables = PulseHistory::snapshot(r.zones.table(), r.params.table(), {});
    history.record({QStringLiteral("COM1"), QStringLiteral("sim:point"), outcome.finished, tables});
    history.waitDone(10000);
    return outcome;
}

QByteArray newestFile(const ControllerHistory& history) {
    const QList<HistoryVersion> versions = history.versions(QStringLiteral("COM1"));
    return versions.isEmpty() ? QByteArray() : history.fileOf(versions.first(), nullptr).value();
}

} // namespace

class TestHistory final : public QObject {
    Q_OBJECT
  private slots:
    void operationsRecord_data();
    void operationsRecord();
    void receiveThenTransmitReachOrigin();
    void unwritableFolderSaidOnce();
};

void TestHistory::operationsRecord_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QString>("recorded"); // the version's operation; empty: no commit
    QTest::addColumn<bool>("partWay");     // "The history was not updated" is said
    const QString none;
    QTest::newRow("receive points") << "Receive(Points)"
                                    << "finished"
                                    << "Receive(Points)" << false;
    QTest::newRow("receive points cancelled") << "Receive(Points)"
                                              << "cancelled" << none << false;
    QTest::newRow("receive parameters") << "Receive(Parameters)"
                                        << "finished"
                                        << "Receive(Parameters)" << false;
    QTest::newRow("receive parameters refused") << "Receive(Parameters)"
                                                << "refused" << none << false;
    QTest::newRow("transmit points") << "Transmit(Points)"
                                     << "finished"
                                     << "Transmit(Points)" << false;
    QTest::newRow("transmit points refused") << "Transmit(Points)"
                                             << "refused" << none << false;
    QTest::newRow("transmit points part-way") << "Transmit(Points)"
                                              << "part-way" << none << true;
    QTest::newRow("transmit parameters") << "Transmit(Parameters)"
                                         << "finished"
                                         << "Transmit(Parameters)" << false;
    QTest::newRow("init points") << "Init > Points"
                                 << "finished"
                                 << "Init > Points" << false;
    QTest::newRow("receive zones") << "Receive(Zones)"
                                   << "finished"
                                   << "Receive(Zones)" << false;
    QTest::newRow("transmit zones part-way") << "Transmit(Zones)"
                                             << "part-way" << none << true;
    QTest::newRow("init pulse parameters") << "Init > Parameters"
                                           << "finished"
                                           << "Init > Parameters" << false;
}

void TestHistory::operationsRecord() {
    QFETCH(QString, operation);
    QFETCH(QString, outcome);
    QFETCH(QString, recorded);
    QFETCH(bool, partWay);
    QTemporaryDir dir;
    ControllerHistory history(keptIn(dir.filePath("history")));

    const auto arrange = [&](LinkRig& r, const QString& read) {
        r.controller.memory().fillSample();
        if (outcome == "cancelled")
            r.progress.cancelAtValue = 5;
        if (outcome == "refused")
            r.controller.setNgFor(read);
        if (outcome == "part-way")
            r.controller.setNgForDataLine(2);
    };
    TransferRecorder::Outcome got;
    QByteArray expected; // the file as Save As writes the rig's tables afterwards
    if (operation.contains("Zones") || operation == "Init > Parameters") {
        PulseOpsRig r;
        arrange(r, "@READ ZON");
        r.zones.setTable(
            {ZoneRecord{"-10.00", "-20.00", ""}, {"0.00", "5.00", ""}, {"10.00", "20.00", ""}});
        r.op.typeChoices = {{"32", 1}};
        const auto op = operation == "Receive(Zones)"    ? &PulseTransfers::receiveZones
                        : operation == "Transmit(Zones)" ? &PulseTransfers::transmitZones
                                                         : &PulseTransfers::initParameters;
        got = runRecorded(r, history, op);
        expected = PulseSettingsFile::write(r.zones.table(), r.params.table());
    } else {
        OpsRig r;
        arrange(r, operation == "Transmit(Points)" ? "@?PRM" : "@READ PRM");
        PointTableData points{};
        points[0] = {"A", "1.00", "10", "", "pick"};
        points[4] = {"C", "", "5", "3", ""};
        points[9] = {"A", "-2.50", "20", "", ""};
        r.points.setTable(points);
        const auto op = operation == "Receive(Points)"        ? &ReceiveOps::receivePoints
                        : operation == "Receive(Parameters)"  ? &ReceiveOps::receiveParameters
                        : operation == "Transmit(Points)"     ? &TransmitPoints::run
                        : operation == "Transmit(Parameters)" ? &TransmitParameters::run
                                                              : &InitOps::initPoints;
        got = runRecorded(r, history, op);
        expected = SettingsFile::write(r.points.table(), r.params.table());
    }

    QCOMPARE(!got.notRecorded.isEmpty(), partWay);
    const QList<HistoryVersion> versions = history.versions("COM1");
    QCOMPARE(versions.size(), recorded.isEmpty() ? 0 : 1);
    if (recorded.isEmpty())
        return;
    QCOMPARE(versions.first().operation, recorded);
    QCOMPARE(newestFile(history), expected);
}

void TestHistory::receiveThenTransmitReachOrigin() {
    QTemporaryDir dir;
    const QString folder = dir.filePath("history");
    const QString origin = dir.filePath("origin.git");
    {
        QString problem;
        QVERIFY2(HistoryRepository::open(folder, true, &problem), qPrintable(problem));
        git_libgit2_init();
        git_repository *repo = nullptr, *bare = nullptr;
        git_remote* remote = nullptr;
        QCOMPARE(git_repository_open(&repo, folder.toUtf8()), 0);
        QCOMPARE(git_repository_init(&bare, origin.toUtf8(), 1), 0);
        QCOMPARE(git_remote_create(&remote, repo, "origin", origin.toUtf8()), 0);
        git_remote_free(remote);
        git_repository_free(bare);
        git_repository_free(repo);
        git_libgit2_shutdown();
    }
    ControllerHistory history(keptIn(folder));
    QStringList said;
    connect(&history, &ControllerHistory::said, this,
            [&said](const QString& text, bool) { said << text; });

    OpsRig r;
    r.controller.memory().setPoint(2, {"A", "5.00", "30", ""});
    r.controller.memory().setPoint(7, {"O", "", "5", "3"});
    runRecorded(r, history, &ReceiveOps::receivePoints);
    const QByteArray received = newestFile(history);
    QCOMPARE(received, SettingsFile::write(r.points.table(), r.params.table()));

    // Points edited and sent; a parameter edited but not sent stays as recorded.
    PointTableData sent = r.points.table();
    sent[3] = {"U", "4.00", "15", "2", ""};
    r.points.setTable(sent);
    const ParameterTableData recordedParams = r.params.table();
    r.params.setSettingValue(4, "77");
    runRecorded(r, history, &TransmitPoints::run);
    const QList<HistoryVersion> versions = history.versions("COM1");
    QCOMPARE(versions.size(), 2);
    QCOMPARE(newestFile(history), SettingsFile::write(sent, recordedParams));
    QCOMPARE(versions.first().tables,
             "points as transmitted; parameters as recorded in " + versions[1].shortId());

    // The same tables read back: a version of its own, the file unchanged.
    runRecorded(r, history, &ReceiveOps::receivePoints);
    QCOMPARE(history.versions("COM1").size(), 3);
    QCOMPARE(newestFile(history), SettingsFile::write(sent, recordedParams));

    // Every commit reached origin, on this computer's branch.
    QVERIFY2(said.last().endsWith("pushed to origin"), qPrintable(said.join('\n')));
    git_libgit2_init();
    git_repository* bare = nullptr;
    git_oid tip;
    QCOMPARE(git_repository_open(&bare, origin.toUtf8()), 0);
    QCOMPARE(git_reference_name_to_id(&tip, bare, "refs/heads/line-pc"), 0);
    char hex[GIT_OID_HEXSZ + 1] = {};
    QCOMPARE(QString(git_oid_tostr(hex, sizeof hex, &tip)), history.versions("COM1").first().id);
    git_oid first;
    git_commit* commit = nullptr;
    QCOMPARE(git_oid_fromstr(&first, versions.last().id.toLatin1()), 0);
    QCOMPARE(git_commit_lookup(&commit, bare, &first), 0);
    git_commit_free(commit);
    git_repository_free(bare);
    git_libgit2_shutdown();
}

// QRX5.ini's [History]: Keep=0 turns it off; a Folder that cannot be made is said once a
// run, and the transfers go on as ever.
void TestHistory::unwritableFolderSaidOnce() {
    QTemporaryDir dir;
    const QString ini = dir.filePath("QRX5.ini");
    QVERIFY(Profile::WriteSetting("0", "Keep", "History", ini));
    QVERIFY(!ControllerHistory::settingsFrom(ini).keep);
    QVERIFY(Profile::WriteSetting("1", "Keep", "History", ini));
    QVERIFY(Profile::WriteSetting(dir.filePath("blocked/history"), "Folder", "History", ini));
    QFile blocked(dir.filePath("blocked")); // a file where the folder would be made
    QVERIFY(blocked.open(QIODevice::WriteOnly));
    blocked.close();

    ControllerHistory history(ControllerHistory::settingsFrom(ini));
    QVERIFY(history.keeps());
    QStringList said;
    connect(&history, &ControllerHistory::said, this,
            [&said](const QString& text, bool) { said << text; });
    OpsRig r;
    runRecorded(r, history, &ReceiveOps::receivePoints);
    runRecorded(r, history, &ReceiveOps::receiveParameters);
    QCOMPARE(r.op.texts("message"),
             QStringList({"Receiving has finished.", "Receiving has finished."}));
    QCOMPARE(said.size(), 1);
    QVERIFY2(said.first().startsWith("The history cannot be kept in " +
                                     QDir::toNativeSeparators(dir.filePath("blocked/history"))),
             qPrintable(said.first()));
}

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
