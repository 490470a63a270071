#include "FileBytes.h"
#include "PointFileRig.h"
#include "ScriptedOperator.h"
#include "fileio/BoundedFile.h"
#include "pointdata/PointParameters.h"
#include "pointdata/PointTableModel.h"
#include "pointdata/SettingsFile.h"
#include "tables/NoteText.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

Q_DECLARE_METATYPE(PointRecord)

using Icon = OperatorInteraction::Icon;
using Answer = OperatorInteraction::Answer;

namespace {

// The tables of tests/pointdata/data/known_table.csv.
SettingsDocument knownDocument() {
    SettingsDocument doc;
    doc.points[0] = {"A", "10.00", "50", "", "pick"};
    doc.points[1] = {"C", "", "5", "3", ""};
    doc.points[2] = {"U", "-12.50", "20", "4", "say \"hi\", then go"};
    doc.points[63] = {"I", "0.50", "120", "", "last"};
    doc.parameters = PointParameters::initialTable("30");
    doc.parameters[PointParameters::rowOfParameter(33)].setting = "1";
    doc.parameters[PointParameters::rowOfParameter(35)].setting = "-1250";
    return doc;
}

} // namespace

class TestSettingsFile final : public QObject {
    Q_OBJECT
  private slots:
    // The file format
    void writesHandWrittenFileByteForByte();
    void roundTripKeepsBothTables();
    void readRules_data();
    void readRules();
    void shortFileLeavesMissingParametersEmpty();
    void positionsGetTwoDecimals();
    void pointsAreReadAsTypingLeavesThem_data();
    void pointsAreReadAsTypingLeavesThem();
    void notesWithSeparatorsReadBackAsOneField_data();
    void notesWithSeparatorsReadBackAsOneField();
    void nonAsciiNoteRoundTrips();
    void eightBitAndBomFilesOpen();

    // New, Open, Save As
    void saveAsWritesFileAndReports();
    void saveAsCancelledDoesNothing();
    void saveAsToReadOnlyFileKeepsItAndStopsNew();
    void saveAsFailingMidwayKeepsPreviousFile();
    void openReplacesTablesButNotFlag();
    void openRefusals_data();
    void openRefusals();
    void openRefusesWhatIsNotARegularFile();
    void longestNotesSaveAndOpenAgain();
    void newAnswers_data();
    void newAnswers();
};

void TestSettingsFile::writesHandWrittenFileByteForByte() {
    const QByteArray expected = fileBytes(QFINDTESTDATA("data/known_table.csv"));
    QVERIFY(!expected.isEmpty());
    const SettingsDocument doc = knownDocument();
    const QByteArray written = SettingsFile::write(doc.points, doc.parameters);
    QCOMPARE(written.count("\r\n"), 131);
    QCOMPARE(written, expected);
}

void TestSettingsFile::roundTripKeepsBothTables() {
    for (const QString type : {"30", "33"}) {
        SettingsDocument doc = knownDocument();
        const auto defaults = PointParameters::initialTable(type);
        for (int row = 0; row < ParameterCount; ++row)
            doc.parameters[row].initial = doc.parameters[row].setting = defaults[row].setting;
        doc.parameters[PointParameters::rowOfParameter(2)].setting = "-5";
        const auto result = SettingsFile::read(SettingsFile::write(doc.points, doc.parameters));
        QVERIFY(result.ok);
        QCOMPARE(result.records, 131);
        QCOMPARE(result.actuatorType, type);
        QVERIFY(result.points == doc.points);
        QVERIFY(result.parameters == doc.parameters);
    }
}

void TestSettingsFile::readRules_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("error");
    const SettingsDocument doc = knownDocument();
    const QByteArray file = SettingsFile::write(doc.points, doc.parameters);
    using E = SettingsFile::ReadError;

    QTest::newRow("whole file") << file << int(E::None);
    QTest::newRow("empty") << QByteArray() << int(E::NotSettingsFile);
    QTest::newRow("other first word") << QByteArray("QRY" + file.mid(3)) << int(E::NotSettingsFile);
    QTest::newRow("first field longer")
        << QByteArray("QRX5" + file.mid(3)) << int(E::NotSettingsFile);
    QTest::newRow("blank before first word") << QByteArray(" " + file) << int(E::NotSettingsFile);
    QTest::newRow("97 records") << firstLines(file, 97) << int(E::None);
    QTest::newRow("97 records without final line end")
        << firstLines(file, 97).chopped(2) << int(E::None);
    QTest::newRow("96 records") << firstLines(file, 96) << int(E::TooFewRecords);
    QTest::newRow("97th record cut short")
        << firstLines(file, 97).chopped(3) << int(E::TooFewRecords);
    QTest::newRow("header only") << QByteArray("QRX,,,,,,\r\n") << int(E::TooFewRecords);
    QByteArray wrongType = file;
    wrongType.replace("PRM0=,30,", "PRM0=,34,");
    QTest::newRow("type 34") << wrongType << int(E::UnsupportedType);
    QByteArray noType = file;
    noType.replace("PRM0=,30,", "PRM0=,,");
    QTest::newRow("type missing") << noType << int(E::UnsupportedType);
    QByteArray lfOnly = file;
    lfOnly.replace("\r\n", "\n");
    QTest::newRow("LF line ends") << lfOnly << int(E::None);
    QByteArray lfCr = file;
    lfCr.replace("\r\n", "\n\r");
    QTest::newRow("LF CR line ends") << lfCr << int(E::None);
    QByteArray paddedType = file;
    paddedType.replace("PRM0=,30,", "PRM0=, 30 ,");
    QTest::newRow("type with blanks around it") << paddedType << int(E::None);
    // Values are read as they stand; Transmit refuses them before it erases anything.
    QByteArray received = file;
    received.replace("PRM4=,100,", "PRM4=,150,");
    QTest::newRow("parameter received outside its range") << received << int(E::None);
    QByteArray fraction = file;
    fraction.replace("PRM4=,100,", "PRM4=,5.5,");
    QTest::newRow("parameter not whole") << fraction << int(E::None);
}

void TestSettingsFile::readRules() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, error);
    const auto result = SettingsFile::read(bytes);
    QCOMPARE(int(result.error), error);
    QCOMPARE(result.ok, error == int(SettingsFile::ReadError::None));
}

void TestSettingsFile::shortFileLeavesMissingParametersEmpty() {
    const SettingsDocument doc = knownDocument();
    const auto result =
        SettingsFile::read(firstLines(SettingsFile::write(doc.points, doc.parameters), 97));
    QVERIFY(result.ok);
    QCOMPARE(result.records, 97);
    QVERIFY(result.points == doc.points);
    for (const ParameterRow& row : result.parameters) {
        QCOMPARE(row.initial,
                 PointParameters::initialTable("30")[PointParameters::rowOfParameter(row.number)]
                     .initial);
        if (row.number <= 30)
            QCOMPARE(row.setting, row.initial);
        else
            QVERIFY2(row.setting.isEmpty(), qPrintable(QString::number(row.number)));
    }
}

void TestSettingsFile::positionsGetTwoDecimals() {
    const SettingsDocument doc = knownDocument();
    QByteArray file = SettingsFile::write(doc.points, doc.parameters);
    file.replace("P3=,,,,,,", "P3=,A,5,10,,,");
    file.replace("P4=,,,,,,", "P4=,A,-3.5,10,,,");
    file.replace("P5=,,,,,,", "P5=,A,1.005, 7 ,,,");
    const auto result = SettingsFile::read(file);
    QVERIFY(result.ok);
    QCOMPARE(result.points[3].position, "5.00");
    QCOMPARE(result.points[4].position, "-3.50");
    QCOMPARE(result.points[5].position, "1.01"); // the grid's own rounding
    QCOMPARE(result.points[5].speed, "7");       // blanks around a number are dropped
}

// A point of a file is stored as typing would leave it: the mode in upper case, the field the
// mode does not use emptied. Everything else stands as the file has it.
void TestSettingsFile::pointsAreReadAsTypingLeavesThem_data() {
    QTest::addColumn<QByteArray>("line"); // point 3's line
    QTest::addColumn<PointRecord>("point");
    QTest::newRow("lower-case u") << QByteArray("P3=,u,5,10,4,,")
                                  << PointRecord{"U", "5.00", "10", "4", ""};
    QTest::newRow("lower-case c, speed kept")
        << QByteArray("P3=,c,,40,3,,") << PointRecord{"C", "", "40", "3", ""};
    QTest::newRow("position on an O point")
        << QByteArray("P3=,O,5,5,3,,") << PointRecord{"O", "", "5", "3", ""};
    QTest::newRow("level on an A point")
        << QByteArray("P3=,A,5,10,3,,") << PointRecord{"A", "5.00", "10", "", ""};
    QTest::newRow("no mode keeps its fields")
        << QByteArray("P3=,,5,10,3,,") << PointRecord{"", "5.00", "10", "3", ""};
    QTest::newRow("position beyond any stroke")
        << QByteArray("P3=,A,150,10,,,") << PointRecord{"A", "150.00", "10", "", ""};
    QTest::newRow("speed not whole")
        << QByteArray("P3=,A,5,30.5,,,") << PointRecord{"A", "5.00", "30.5", "", ""};
    QTest::newRow("level not whole")
        << QByteArray("P3=,U,5,10,3.5,,") << PointRecord{"U", "5.00", "10", "3.5", ""};
    QTest::newRow("level 999") << QByteArray("P3=,C,,5,999,,")
                               << PointRecord{"C", "", "5", "999", ""};
}

void TestSettingsFile::pointsAreReadAsTypingLeavesThem() {
    QFETCH(QByteArray, line);
    QFETCH(PointRecord, point);
    const SettingsDocument doc = knownDocument();
    const auto result = SettingsFile::read(
        SettingsFile::write(doc.points, doc.parameters).replace("P3=,,,,,,", line));
    QVERIFY2(result.ok, qPrintable(result.reason));
    QCOMPARE(result.points[3], point);
}

void TestSettingsFile::notesWithSeparatorsReadBackAsOneField_data() {
    QTest::addColumn<QString>("note");
    QTest::newRow("comma") << "left, right";
    QTest::newRow("quotes") << "\"quoted\" and \"\"doubled\"\"";
    QTest::newRow("line break") << "first line\r\nsecond line";
    QTest::newRow("bare LF and CR") << "a\nb\rc";
    QTest::newRow("only a quote") << "\"";
    QTest::newRow("trailing comma") << "end,";
    QTest::newRow("blanks kept") << "  padded  ";
}

void TestSettingsFile::notesWithSeparatorsReadBackAsOneField() {
    QFETCH(QString, note);
    SettingsDocument doc = knownDocument();
    doc.points[10].note = note;
    doc.points[11] = {"A", "1.00", "10", "", "after"};
    const QByteArray file = SettingsFile::write(doc.points, doc.parameters);
    const auto result = SettingsFile::read(file);
    QVERIFY(result.ok);
    QCOMPARE(result.points[10].note, note);
    QVERIFY(result.points == doc.points); // nothing after the note has shifted
    QVERIFY(result.parameters == doc.parameters);
}

void TestSettingsFile::nonAsciiNoteRoundTrips() {
    SettingsDocument doc = knownDocument();
    const QString note = QString::fromUtf8("Zähler – 位置 ✓ é");
    doc.points[7].note = note;
    const QByteArray file = SettingsFile::write(doc.points, doc.parameters);
    QVERIFY(file.contains(note.toUtf8()));
    const auto result = SettingsFile::read(file);
    QVERIFY(result.ok);
    QCOMPARE(result.points[7].note, note);
}

void TestSettingsFile::eightBitAndBomFilesOpen() {
    const SettingsDocument doc = knownDocument();
    const QByteArray file = SettingsFile::write(doc.points, doc.parameters);

    // A file written in an 8-bit code page: "é" is the single byte 0xE9, "€" is 0x80.
    QByteArray latin = file;
    latin.replace("pick", "caf\xE9 \x80 5");
    auto result = SettingsFile::read(latin);
    QVERIFY(result.ok);
    QVERIFY(result.points[0].note.startsWith(QString::fromUtf8("café ")));
    QCOMPARE(result.points[63].note, "last");

    result = SettingsFile::read("\xEF\xBB\xBF" + file);
    QVERIFY(result.ok);
    QVERIFY(result.points == doc.points);
}

void TestSettingsFile::saveAsWritesFileAndReports() {
    QTemporaryDir dir;
    const QString path = dir.filePath("saved.csv");
    ScriptedOperator op;
    op.fileNames << path;
    PointFileRig ops(op);
    QSignalSpy caption(&ops.file(), &PointFileOps::captionChanged);
    SettingsDocument doc = knownDocument();
    doc.modified = true;

    QVERIFY(ops.saveAs(doc));
    QCOMPARE(fileBytes(path), fileBytes(QFINDTESTDATA("data/known_table.csv")));
    QVERIFY(!doc.modified);
    QCOMPARE(caption.count(), 1);
    QCOMPARE(caption.at(0).at(0).toString(),
             "QRX5 Support-Software" + QDir::toNativeSeparators(path));
    QCOMPARE(op.prompts.size(), 2);
    QCOMPARE(op.prompts[0].kind, "save");
    QCOMPARE(op.prompts[0].title, "Save As");
    QCOMPARE(op.prompts[0].text, "Setting file(*.csv)");
    QCOMPARE(op.prompts[1].title, "Save As");
    QCOMPARE(op.prompts[1].text, "    Complete.");
    QCOMPARE(op.prompts[1].icon, Icon::None);
}

void TestSettingsFile::saveAsCancelledDoesNothing() {
    ScriptedOperator op; // no file name: the dialog is cancelled
    PointFileRig ops(op);
    QSignalSpy caption(&ops.file(), &PointFileOps::captionChanged);
    SettingsDocument doc = knownDocument();
    doc.modified = true;
    QVERIFY(!ops.saveAs(doc));
    QVERIFY(doc.modified);
    QCOMPARE(caption.count(), 0);
    QCOMPARE(op.texts("message"), QStringList());
}

void TestSettingsFile::saveAsToReadOnlyFileKeepsItAndStopsNew() {
    QTemporaryDir dir;
    const QString path = dir.filePath("locked.csv");
    QVERIFY(writeFileBytes(path, "old contents"));
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));

    ScriptedOperator op;
    op.fileNames << path << path;
    PointFileRig ops(op);
    QSignalSpy caption(&ops.file(), &PointFileOps::captionChanged);
    SettingsDocument doc = knownDocument();
    doc.modified = true;

    QVERIFY(!ops.saveAs(doc));
    QCOMPARE(op.texts("message"),
             QStringList{QDir::toNativeSeparators(path) +
                         " cannot be saved because it is read only or it is opened."});
    QCOMPARE(fileBytes(path), QByteArray("old contents"));
    QVERIFY(doc.modified);
    QCOMPARE(caption.count(), 0);

    // New asked to save first: the failed save stops it, the tables stay.
    op.answers << Answer::Yes;
    const SettingsDocument before = doc;
    QVERIFY(!ops.newFile(doc));
    QVERIFY(doc.points == before.points);
    QVERIFY(doc.modified);
    QCOMPARE(fileBytes(path), QByteArray("old contents"));
}

// The write fails after part of the file has gone to disk (a file size limit of the
// process); the previous file must survive whole and no partial file may be left behind.
void TestSettingsFile::saveAsFailingMidwayKeepsPreviousFile() {
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    const QString path = dir.filePath("previous.csv");
    QVERIFY(writeFileBytes(path, "previous file"));

    ScriptedOperator op;
    op.fileNames << path;
    PointFileRig ops(op);
    SettingsDocument doc = knownDocument();
    doc.modified = true;

    struct rlimit old {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 1000; // the file is several times larger
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = ops.saveAs(doc);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!saved);
    QVERIFY(doc.modified);
    QCOMPARE(fileBytes(path), QByteArray("previous file"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"previous.csv"});
    QCOMPARE(op.texts("message").size(), 1);
    QVERIFY(op.texts("message").first().endsWith(" cannot be saved because it is read only "
                                                 "or it is opened."));
#else
    QSKIP("needs a per-process file size limit");
#endif
}

void TestSettingsFile::openReplacesTablesButNotFlag() {
    ScriptedOperator op;
    op.answers << Answer::No;
    op.fileNames << QFINDTESTDATA("data/known_table.csv");
    PointFileRig ops(op);
    QSignalSpy replaced(&ops.file(), &PointFileOps::tablesReplaced);
    QSignalSpy caption(&ops.file(), &PointFileOps::captionChanged);
    int replacedAtMessage = -1;
    op.onPrompt = [&](const ScriptedOperator::Prompt& p) {
        if (p.kind == "message")
            replacedAtMessage = replaced.count();
    };

    SettingsDocument doc;
    doc.parameters = PointParameters::initialTable("31");
    doc.points[40] = {"A", "1.00", "1", "", "old"};
    doc.modified = true;

    QVERIFY(ops.open(doc));
    const SettingsDocument known = knownDocument();
    QVERIFY(doc.points == known.points);
    QVERIFY(doc.parameters == known.parameters);
    QVERIFY(doc.modified); // answered No: the flag stays
    QCOMPARE(replaced.count(), 1);
    QCOMPARE(replacedAtMessage, 1); // displays refreshed before "Complete." is shown
    QCOMPARE(caption.count(), 0);
    QCOMPARE(op.prompts.size(), 3);
    QCOMPARE(op.prompts[0].kind, "yesnocancel");
    QCOMPARE(op.prompts[0].text, "Do you save data?");
    QCOMPARE(op.prompts[0].icon, Icon::Question);
    QCOMPARE(op.prompts[1].kind, "open");
    QCOMPARE(op.prompts[1].title, "Open");
    QCOMPARE(op.prompts[1].text, "Setting file(*.csv)");
    QCOMPARE(op.prompts[2].title, "Open");
    QCOMPARE(op.prompts[2].text, "    Complete.");
}

void TestSettingsFile::openRefusals_data() {
    QTest::addColumn<QByteArray>("bytes"); // empty: the file does not exist
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("beside"); // the reason beside the text
    const SettingsDocument known = knownDocument();
    const QByteArray file = SettingsFile::write(known.points, known.parameters);
    QByteArray badType = file;
    badType.replace("PRM0=,30,", "PRM0=,34,");
    const QString cannot = "Cannot open file.";

    QTest::newRow("type 34") << badType << "Controller type"
                             << "Controller type is different." << int(Icon::Warning)
                             << "line 67, Parameter 0, Actuator Type: \"34\" is not 30 to 33";
    QTest::newRow("other first word")
        << QByteArray("ABC" + file.mid(3)) << "" << cannot << int(Icon::None)
        << "line 1: the file begins with \"ABC\", not \"QRX\"";
    // Points of the file are complete, the parameters are cut off: nothing may change.
    QTest::newRow("cut off after the points")
        << firstLines(file, 80) << "" << cannot << int(Icon::None)
        << "80 complete lines, at least 97 needed";
    QTest::newRow("missing file") << QByteArray() << "" << cannot << int(Icon::None)
                                  << "No such file or directory";
    // Values are read as they stand (Transmit checks them before it erases anything); what
    // is no number, no mode or too long a note cannot be.
    const auto edited = [&file](const QByteArray& from, const QByteArray& to) {
        QByteArray bytes = file;
        Q_ASSERT(bytes.contains(from));
        return bytes.replace(from, to);
    };
    const QList<std::tuple<const char*, QByteArray, QString>> bad = {
        {"command in a parameter", edited("PRM4=,100,", "PRM4=,\"100\r\n@INIT PNT ,\","),
         "line 71, Parameter 4, Acceleration: \"100<CR><LF>@INIT PNT ,\" is not a number"},
        {"letter in a speed", edited("P0=,A,10.00,50,", "P0=,A,10.00,5O,"),
         "line 2, Point 0, Speed: \"5O\" is not a number"},
        {"level not a number", edited("P1=,C,,5,3,", "P1=,C,,5,3x,"),
         "line 3, Point 1, Pushing level: \"3x\" is not a number"},
        {"position not a number", edited("P63=,I,0.50,", "P63=,I,1/2,"),
         "line 65, Point 63, Position: \"1/2\" is not a number"},
        {"note too long", edited(",pick,", "," + QByteArray(NoteText::MaxChars + 1, 'n') + ","),
         "line 2, Point 0, Note: longer than 256 characters"},
        {"mode that only looks like I", edited("P63=,I,", "P63=,\xC4\xB1,"),
         "line 65, Point 63, Mode: \"<131>\" is none of A, I, O, C and U"},
        {"mode X", edited("P63=,I,", "P63=,X,"),
         "line 65, Point 63, Mode: \"X\" is none of A, I, O, C and U"},
        // Records follow line ends: a long line is not spread over the lines after it.
        {"10000 fields on a line", edited("PRM3=,**,,,,,", "PRM3=" + QByteArray(10000, ',')),
         "line 70: 10001 fields, a line of this file has 7"},
        // A note may hold its commas bare, but not run into a value.
        {"a bare comma before a value", edited("P0=,A,10.00,50,,pick,", "P0=,A,10.00,50,,pi,ck,x"),
         "line 2: 8 fields, a line of this file has 7"},
        {"a point line missing", edited("P5=,,,,,,\r\n", ""),
         "line 7 begins with \"P6=\" where \"P5=\" belongs"},
        {"a file of the other kind", fileBytes(QFINDTESTDATA("../pulse/data/known_pulse.csv")),
         "line 2 begins with \"Z0=\" where \"P0=\" belongs"},
    };
    for (const auto& [name, bytes, beside] : bad)
        QTest::newRow(name) << bytes << "" << cannot << int(Icon::None) << beside;
}

// Paths that do not name a regular file, and a file beyond the cap, are refused at once:
// without the checks a FIFO blocks Open for good and /dev/zero fills the memory.
void TestSettingsFile::openRefusesWhatIsNotARegularFile() {
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo.csv");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString large = dir.filePath("large.csv");
    {
        const SettingsDocument known = knownDocument();
        QFile f(large);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(SettingsFile::write(known.points, known.parameters));
        QVERIFY(f.resize(BoundedFile::SettingsFileMaxBytes + 1)); // a valid file, then zeros
    }
    for (const QString& path : {fifo, QString("/dev/zero"), dir.path(), large}) {
        ScriptedOperator op;
        op.fileNames << path;
        PointFileRig ops(op);
        SettingsDocument doc = knownDocument();
        const SettingsDocument before = doc;
        QVERIFY2(!ops.open(doc), qPrintable(path));
        QVERIFY(doc.points == before.points);
        QCOMPARE(op.texts("message"), QStringList{"Cannot open file."});
    }
#else
    QSKIP("needs FIFOs and /dev/zero");
#endif
}

// Notes are bounded where they are entered, so whatever Save As writes, Open reads back.
void TestSettingsFile::longestNotesSaveAndOpenAgain() {
    QTemporaryDir dir;
    ScriptedOperator op;
    PointTableModel model(op);
    // Each character takes the most room a file gives it: a doubled quote, three UTF-8 bytes.
    QString huge;
    for (int i = 0; i < 150 * 1024; ++i)
        huge += QStringLiteral("\"\u20ac");
    for (int n = 0; n < PointCount; ++n)
        QVERIFY(model.setData(model.index(n, PointRules::ColNote), huge));
    QCOMPARE(model.point(63).note.size(), NoteText::MaxChars);

    SettingsDocument doc = knownDocument();
    doc.points = model.table();
    op.fileNames << dir.filePath("notes.csv") << dir.filePath("notes.csv");
    PointFileRig ops(op);
    QVERIFY(ops.saveAs(doc));
    SettingsDocument reopened;
    QVERIFY(ops.open(reopened));
    QVERIFY(reopened.points == doc.points);
}

void TestSettingsFile::openRefusals() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(int, icon);
    QFETCH(QString, beside);
    QTemporaryDir dir;
    const QString path = dir.filePath("in.csv");
    if (!bytes.isEmpty())
        QVERIFY(writeFileBytes(path, bytes));

    ScriptedOperator op;
    op.fileNames << path;
    PointFileRig ops(op);
    QSignalSpy replaced(&ops.file(), &PointFileOps::tablesReplaced);
    SettingsDocument doc;
    doc.parameters = PointParameters::initialTable("32");
    doc.points[0] = {"O", "", "5", "2", "kept"};
    const SettingsDocument before = doc;

    QVERIFY(!ops.open(doc));
    QVERIFY(doc.points == before.points);
    QVERIFY(doc.parameters == before.parameters);
    QVERIFY(!doc.modified);
    QCOMPARE(replaced.count(), 0);
    QCOMPARE(op.endCalls, 0);
    QCOMPARE(op.last().kind, "message");
    QCOMPARE(op.last().title, title);
    QCOMPARE(op.last().text, text);
    QCOMPARE(int(op.last().icon), icon);
    QVERIFY2(op.last().informative.endsWith(beside), qPrintable(op.last().informative));
}

void TestSettingsFile::newAnswers_data() {
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<bool>("saveChosen");
    QTest::addColumn<bool>("cleared");

    QTest::newRow("unmodified: no question") << false << QList<Answer>{} << false << true;
    QTest::newRow("cancel") << true << QList<Answer>{Answer::Cancel} << false << false;
    QTest::newRow("no") << true << QList<Answer>{Answer::No} << false << true;
    QTest::newRow("yes, save cancelled") << true << QList<Answer>{Answer::Yes} << false << false;
    QTest::newRow("yes, saved") << true << QList<Answer>{Answer::Yes} << true << true;
}

void TestSettingsFile::newAnswers() {
    QFETCH(bool, modified);
    QFETCH(QList<Answer>, answers);
    QFETCH(bool, saveChosen);
    QFETCH(bool, cleared);
    QTemporaryDir dir;
    ScriptedOperator op;
    op.answers = answers;
    if (saveChosen)
        op.fileNames << dir.filePath("before_new.csv");
    PointFileRig ops(op);
    QSignalSpy replaced(&ops.file(), &PointFileOps::tablesReplaced);

    SettingsDocument doc = knownDocument();
    doc.parameters = PointParameters::initialTable("31");
    doc.parameters[PointParameters::rowOfParameter(7)].setting = "3";
    doc.modified = modified;
    const SettingsDocument before = doc;

    QCOMPARE(ops.newFile(doc), cleared);
    QCOMPARE(op.texts("yesnocancel").size(), modified ? 1 : 0);
    if (cleared) {
        QVERIFY(doc.points == PointTableData{});
        QVERIFY(doc.parameters == PointParameters::initialTable("31")); // the current type's
        QVERIFY(!doc.modified);
        QCOMPARE(replaced.count(), 1);
    } else {
        QVERIFY(doc.points == before.points);
        QVERIFY(doc.parameters == before.parameters);
        QVERIFY(doc.modified);
        QCOMPARE(replaced.count(), 0);
    }
    if (saveChosen)
        QVERIFY(SettingsFile::read(fileBytes(dir.filePath("before_new.csv"))).points ==
                before.points);
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
