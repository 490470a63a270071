// Save As of the point-input settings file beyond the layout: what it refuses to write (and
// how it names it) and the text encoding it writes back.
#include "FileBytes.h"
#include "ScriptedOperator.h"
#include "pointdata/PointFileOps.h"
#include "pointdata/PointParameters.h"
#include "pointdata/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(PointRecord)

namespace {

SettingsDocument knownDocument() {
    SettingsDocument doc;
    doc.points[0] = {"A", "10.00", "50", "", "pick"};
    doc.points[1] = {"C", "", "5", "3", ""};
    doc.points[2] = {"U", "-12.50", "20", "4", "say \"hi\", then go"};
    doc.points[63] = {"I", "0.50", "120", "", "last"};
    doc.parameters = PointParameters::initialTable("30");
    return doc;
}

} // namespace

class TestSettingsFileSave final : public QObject {
    Q_OBJECT
  private slots:
    void saveAsNamesWhatOpenWouldRefuse_data();
    void saveAsNamesWhatOpenWouldRefuse();
    void japaneseCodePageFileRoundTrips();
};

// Tables Open would refuse are not saved; the operator learns which row and field, beside the
// entry check's own message where it has one.
void TestSettingsFileSave::saveAsNamesWhatOpenWouldRefuse_data() {
    QTest::addColumn<PointRecord>("point4");
    QTest::addColumn<QString>("parameter4");
    QTest::addColumn<QString>("text"); // empty: the path and " cannot be saved."
    QTest::addColumn<QString>("beside");
    QTest::newRow("speed not a number") << PointRecord{"A", "1.00", "5O", "", ""} << "100"
                                        << ""
                                        << "Point 4, Speed: \"5O\" is not a number";
    QTest::newRow("mode X") << PointRecord{"X", "", "", "", ""} << "100"
                            << ""
                            << "Point 4, Mode: \"X\" is none of A, I, O, C and U";
    QTest::newRow("acceleration not a number")
        << PointRecord{} << "1OO"
        << ""
        << "Parameter 4, Acceleration: \"1OO\" is not a number";
}

void TestSettingsFileSave::saveAsNamesWhatOpenWouldRefuse() {
    QFETCH(PointRecord, point4);
    QFETCH(QString, parameter4);
    QFETCH(QString, text);
    QFETCH(QString, beside);
    QTemporaryDir dir;
    const QString path = dir.filePath("refused.csv");
    ScriptedOperator op;
    op.fileNames << path;
    PointFileOps ops(op);
    SettingsDocument doc = knownDocument();
    doc.points[4] = point4;
    doc.parameters[PointParameters::rowOfParameter(4)].setting = parameter4;
    doc.modified = true;

    QVERIFY(!ops.saveAs(doc));
    QVERIFY(!QFile::exists(path));
    QVERIFY(doc.modified);
    QCOMPARE(op.last().title, "Save As");
    QCOMPARE(op.last().text,
             text.isEmpty() ? QDir::toNativeSeparators(path) + " cannot be saved." : text);
    QCOMPARE(op.last().informative, beside);
}

// Notes written on a Japanese system (the Windows Japanese code page) open right, and a file
// opened and saved unchanged keeps every byte. A note that code page cannot hold is saved as
// UTF-8, so nothing is lost.
void TestSettingsFileSave::japaneseCodePageFileRoundTrips() {
    SettingsDocument doc = knownDocument();
    doc.points[0].note = QString::fromUtf8("位置決め①");
    doc.points[2].note = QString::fromUtf8("ｱｲｳ 押し当て～");
    QStringEncoder japanese("windows-31j");
    QVERIFY(japanese.isValid());
    const QByteArray original =
        japanese.encode(QString::fromUtf8(SettingsFile::write(doc.points, doc.parameters)));
    QVERIFY(!japanese.hasError());
    QTemporaryDir dir;
    const QString in = dir.filePath("japanese.csv");
    const QString out = dir.filePath("again.csv");
    const QString other = dir.filePath("other.csv");
    QVERIFY(writeFileBytes(in, original));

    ScriptedOperator op;
    op.fileNames << in << out << other;
    PointFileOps ops(op);
    SettingsDocument opened;
    QVERIFY(ops.open(opened));
    QCOMPARE(opened.points[0].note, doc.points[0].note);
    QCOMPARE(opened.points[2].note, doc.points[2].note);
    QVERIFY(ops.saveAs(opened));
    QCOMPARE(fileBytes(out), original);

    opened.points[5].note = QString::fromUtf8("café ✓");
    QVERIFY(ops.saveAs(opened));
    QCOMPARE(fileBytes(other), SettingsFile::write(opened.points, opened.parameters));
}

QTEST_GUILESS_MAIN(TestSettingsFileSave)
#include "tst_settingsfilesave.moc"
