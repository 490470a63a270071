// Save As of the point-input settings file beyond the layout: what it refuses to write (and
// how it names it), that it writes what editing produces so that Open reads it back, and the
// form (notes standing bare, the text encoding) it writes back.
#include "FileBytes.h"
#include "PointFileRig.h"
#include "ScriptedOperator.h"
#include "pointdata/PointParameters.h"
#include "pointdata/PointRules.h"
#include "pointdata/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
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
    void editedTablesSaveAndOpenAgain();
    void bareNotesKeepTheirBytes_data();
    void bareNotesKeepTheirBytes();
    void codePageTakenByEvidence_data();
    void codePageTakenByEvidence();
    void strayByteDoesNotChooseTheCodePage();
    void noteOutsideTheCodePageAsksFirst();
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
    PointFileRig ops(op);
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

// Whatever the grids let the operator type, and the values a controller's reply puts into
// them, Save As writes and Open reads back.
void TestSettingsFileSave::editedTablesSaveAndOpenAgain() {
    QTemporaryDir dir;
    ScriptedOperator op;
    op.fileNames << dir.filePath("edited.csv") << dir.filePath("edited.csv");
    PointTableModel points(op);
    ParameterTableModel parameters(op);
    PointFileOps file(points, parameters);
    const auto type = [&points](int row, int column, const QString& text) {
        QVERIFY(points.setData(points.index(row, column), text));
    };
    type(3, PointRules::ColMode, "A");
    type(3, PointRules::ColSpeed, "40");
    type(3, PointRules::ColMode, "C"); // a capital keeps the speed: C with 40 mm/s
    type(4, PointRules::ColMode, "A");
    type(4, PointRules::ColPosition, "150"); // no range check while editing
    type(4, PointRules::ColSpeed, "10");
    QVERIFY(parameters.setData(
        parameters.index(PointParameters::rowOfParameter(7), ParameterRowsModel::ColSetting),
        "5.5"));                          // within 1 to 10: the edit check keeps it
    parameters.setSettingValue(4, "150"); // as a reply put it
    QCOMPARE(points.point(3), (PointRecord{"C", "", "40", "", ""}));
    QCOMPARE(parameters.settingValue(7), "5.5");
    const PointTableData editedPoints = points.table();
    const ParameterTableData editedParameters = parameters.table();

    QVERIFY(SettingsFileFlow::saveAs(op, file));
    points.clear();
    parameters.setTable(PointParameters::initialTable("31"));
    QVERIFY(SettingsFileFlow::open(op, file));
    QVERIFY(points.table() == editedPoints);
    QVERIFY(parameters.table() == editedParameters);
    QCOMPARE(op.texts("message"), (QStringList{"    Complete.", "    Complete."}));
}

// Notes as a file that quotes no field holds them: a double quote or a comma inside stands
// bare. They open as one note each, and Save As of the unchanged file writes the same bytes.
void TestSettingsFileSave::bareNotesKeepTheirBytes_data() {
    QTest::addColumn<QByteArray>("bare");
    QTest::addColumn<QString>("note");
    QTest::newRow("inch mark") << QByteArray("5\" pipe") << "5\" pipe";
    QTest::newRow("comma") << QByteArray("left, right") << "left, right";
    QTest::newRow("both") << QByteArray("say \"hi\", then go") << "say \"hi\", then go";
    QTest::newRow("quoted word first") << QByteArray("\"Top\" side") << "\"Top\" side";
    QTest::newRow("trailing comma") << QByteArray("end,") << "end,";
}

void TestSettingsFileSave::bareNotesKeepTheirBytes() {
    QFETCH(QByteArray, bare);
    QFETCH(QString, note);
    SettingsDocument doc = knownDocument();
    doc.points[2].note.clear(); // the known table quotes its note
    QByteArray original = SettingsFile::write(doc.points, doc.parameters);
    original.replace("P10=,,,,,,", "P10=,A,1.00,10,," + bare + ",");
    QTemporaryDir dir;
    const QString in = dir.filePath("bare.csv");
    const QString out = dir.filePath("again.csv");
    QVERIFY(writeFileBytes(in, original));

    ScriptedOperator op;
    op.fileNames << in << out;
    PointFileRig ops(op);
    SettingsDocument opened;
    QVERIFY(ops.open(opened));
    QCOMPARE(opened.points[10].note, note);
    QCOMPARE(opened.points[10].speed, "10");
    QVERIFY(ops.saveAs(opened));
    QCOMPARE(fileBytes(out), original);
}

// Notes written in an 8-bit code page open in the code page their characters make sense in,
// though most such files are valid in both (the Western rows are valid Japanese bytes too), and
// a file opened and saved unchanged keeps every byte.
void TestSettingsFileSave::codePageTakenByEvidence_data() {
    QTest::addColumn<QString>("codec");
    QTest::addColumn<QString>("note");
    const QString western = "windows-1252";
    const QString japanese = "windows-31j";
    for (const char* note :
         {"±0.5mm", "Pièce", "20°", "don’t", "Zähler", "posição", "Ø20 Öffnung", "Größe 5µm ±0.1"})
        QTest::newRow(note) << western << QString::fromUtf8(note);
    for (const char* note :
         {"位置決め①", "ｱｲｳ 押し当て", "X軸", "A側B", "ﾜｰｸ検出", "ｶﾞｲﾄﾞ", "原点側①"})
        QTest::newRow(note) << japanese << QString::fromUtf8(note);
}

void TestSettingsFileSave::codePageTakenByEvidence() {
    QFETCH(QString, codec);
    QFETCH(QString, note);
    SettingsDocument doc = knownDocument();
    doc.points[0].note = note;
    doc.points[5].note = note + " 2";
    QStringEncoder encoder(qPrintable(codec));
    const QByteArray original =
        encoder.encode(QString::fromUtf8(SettingsFile::write(doc.points, doc.parameters)));
    QVERIFY(!encoder.hasError());
    for (const char* other : {"windows-1252", "windows-31j"}) {
        QStringDecoder decoder(other);
        decoder.decode(original);
        QVERIFY2(!decoder.hasError(), other); // both readings are there to choose from
    }
    QTemporaryDir dir;
    const QString in = dir.filePath("in.csv");
    const QString out = dir.filePath("again.csv");
    QVERIFY(writeFileBytes(in, original));

    ScriptedOperator op;
    op.fileNames << in << out;
    PointFileRig ops(op);
    SettingsDocument opened;
    QVERIFY(ops.open(opened));
    QCOMPARE(opened.points[0].note, note);
    QCOMPARE(opened.points[5].note, note + " 2");
    QVERIFY(ops.saveAs(opened));
    QCOMPARE(fileBytes(out), original);
}

// A byte outside the notes that only one code page can hold (here 0xFF after a parameter
// line, never written back) neither picks the notes' code page nor makes Save As and Open
// disagree about them.
void TestSettingsFileSave::strayByteDoesNotChooseTheCodePage() {
    SettingsDocument doc = knownDocument();
    doc.points[0].note = QString::fromUtf8("位置決め①");
    QStringEncoder encoder("windows-31j");
    QByteArray original =
        encoder.encode(QString::fromUtf8(SettingsFile::write(doc.points, doc.parameters)));
    const qsizetype prm = original.indexOf("PRM3=");
    QVERIFY(prm > 0);
    original.insert(original.indexOf("\r\n", prm), "\xFF");
    QTemporaryDir dir;
    const QString in = dir.filePath("in.csv");
    const QString out = dir.filePath("again.csv");
    QVERIFY(writeFileBytes(in, original));

    ScriptedOperator op;
    op.fileNames << in << out << out;
    PointFileRig ops(op);
    SettingsDocument opened;
    QVERIFY2(ops.open(opened), qPrintable(op.texts().join("|")));
    QCOMPARE(opened.points[0].note, doc.points[0].note);
    QVERIFY(ops.saveAs(opened));
    SettingsDocument again;
    QVERIFY(ops.open(again));
    QCOMPARE(again.points[0].note, doc.points[0].note);
}

// A note the file's code page cannot hold is not written in another encoding behind the
// operator's back: Save As asks, No writes nothing, Yes writes the whole file in UTF-8 (and
// later saves of these tables ask no more).
void TestSettingsFileSave::noteOutsideTheCodePageAsksFirst() {
    SettingsDocument doc = knownDocument();
    doc.points[0].note = QString::fromUtf8("位置決め");
    QStringEncoder japanese("windows-31j");
    const QByteArray original =
        japanese.encode(QString::fromUtf8(SettingsFile::write(doc.points, doc.parameters)));
    QTemporaryDir dir;
    const QString in = dir.filePath("japanese.csv");
    const QString refused = dir.filePath("refused.csv");
    const QString out = dir.filePath("utf8.csv");
    QVERIFY(writeFileBytes(in, original));

    ScriptedOperator op;
    op.fileNames << in << refused << out << out;
    op.answers << OperatorInteraction::Answer::No << OperatorInteraction::Answer::Yes;
    PointFileRig ops(op);
    SettingsDocument opened;
    QVERIFY(ops.open(opened));
    opened.points[5].note = QString::fromUtf8("Pièce ✓");
    opened.modified = true;

    QVERIFY(!ops.saveAs(opened));
    QVERIFY(!QFile::exists(refused));
    QVERIFY(opened.modified);
    QCOMPARE(op.last().kind, "yesno");
    QCOMPARE(op.last().title, "Save As");
    QCOMPARE(op.last().text, "A note holds characters that the file's code page cannot hold. "
                             "Do you save the whole file in UTF-8?");
    QCOMPARE(op.last().informative, "line 7, P5=: \"è\" (U+00E8) is not in the file's code "
                                    "page, Windows Japanese (Shift-JIS)");

    QVERIFY(ops.saveAs(opened));
    QCOMPARE(fileBytes(out), SettingsFile::write(opened.points, opened.parameters));
    QVERIFY(ops.saveAs(opened));
    QCOMPARE(op.texts("yesno").size(), 2);
}

QTEST_GUILESS_MAIN(TestSettingsFileSave)
#include "tst_settingsfilesave.moc"
