#include "RecordingSurface.h"
#include "ScriptedOperator.h"
#include "files/PrintSurface.h"
#include "pointdata/PointParameters.h"
#include "pointdata/PrintLayout.h"
#include "pointdata/PrintOps.h"
#include "window/ui/QtPrinterSurface.h"

#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Call = PrintCall;
using Page = PrintedPage;

QList<Page> pagesOf(const QList<Call>& calls) {
    return printedPages(calls);
}

PointTableData smallPoints() {
    PointTableData points;
    points[0] = {"A", "12.50", "50", "", "pick up"};
    points[1] = {"C", "", "5", "3", ""};
    points[63] = {"U", "-3.00", "120", "10", "last"};
    return points;
}

ParameterTableData smallParameters() {
    ParameterTableData parameters = PointParameters::initialTable("31");
    parameters[PointParameters::rowOfParameter(35)].setting = "-1250";
    return parameters;
}

const QString kSeparator = QStringLiteral(
    "               -----------------------------------------------------------------------------"
    "--------");
const QString kStamp = QStringLiteral("05.03.24 14:07");

} // namespace

class TestPrintLayout final : public QObject {
    Q_OBJECT
  private slots:
    void pointPage();
    void parameterPage();
    void fontsAndCallOrder();
    void timeStampUsesShortFormats();
    void printOutcomes();
    void printsToPdf();
};

void TestPrintLayout::pointPage() {
    QList<Call> calls;
    RecordingSurface surface(&calls);
    PrintLayout::render(surface, smallPoints(), smallParameters(), kStamp);
    const QList<Page> pages = pagesOf(calls);
    QCOMPARE(pages.size(), 2);
    Page page = pages[0];

    QCOMPARE(kSeparator.size(), 100);
    QCOMPARE(page.take({0, 400}),
             "               --- QRX5 Support software Setting list (Point Data) Printing time: "
             "05.03.24 14:07");
    const QStringList titles{"PNT No.", "Mode", "Position(mm)", "Speed", "Force", "Note"};
    for (int i = 0; i < titles.size(); ++i)
        QCOMPARE(page.take({1000 + 1000 * i, 1200}), titles[i]);
    QCOMPARE(page.take({0, 1400}), kSeparator);
    QCOMPARE(page.take({0, 14600}), kSeparator);

    // Every point number from 0 (y 1600) to 63 (y 14200), whether the point is set or not.
    for (int n = 0; n < 64; ++n)
        QCOMPARE(page.take({1000, 1600 + 200 * n}), QString::number(n));
    QCOMPARE(page.take({2000, 1600}), "A");
    QCOMPARE(page.take({3000, 1600}), "12.50");
    QCOMPARE(page.take({4000, 1600}), "50");
    QCOMPARE(page.take({6000, 1600}), "pick up");
    QCOMPARE(page.take({2000, 1800}), "C");
    QCOMPARE(page.take({4000, 1800}), "5");
    QCOMPARE(page.take({5000, 1800}), "3");
    QCOMPARE(page.take({2000, 14200}), "U");
    QCOMPARE(page.take({3000, 14200}), "-3.00");
    QCOMPARE(page.take({4000, 14200}), "120");
    QCOMPARE(page.take({5000, 14200}), "10");
    QCOMPARE(page.take({6000, 14200}), "last");
    // Empty cells print nothing at all.
    QVERIFY2(page.isEmpty(), qPrintable(page.values().join('|')));
}

void TestPrintLayout::parameterPage() {
    QList<Call> calls;
    RecordingSurface surface(&calls);
    PrintLayout::render(surface, PointTableData{}, smallParameters(), kStamp);
    Page page = pagesOf(calls).value(1);

    QCOMPARE(page.take({0, 400}),
             "               --- QRX5 Support software Setting list (Parameter Data) Printing "
             "time: 05.03.24 14:07");
    QCOMPARE(page.take({1000, 1200}), "PRM NO.");
    QCOMPARE(page.take({2000, 1200}), "Setting Data");
    QCOMPARE(page.take({0, 1400}), kSeparator);
    QCOMPARE(page.take({0, 14600}), kSeparator);

    const QMap<int, QString> held{{0, "31"}, {1, "4000"}, {2, "-20"}, {4, "100"},    {5, "0"},
                                  {7, "10"}, {8, "200"},  {9, "200"}, {10, "5"},     {21, "4000"},
                                  {22, "1"}, {24, "5"},   {25, "10"}, {26, "5"},     {30, "100"},
                                  {31, "0"}, {32, "0"},   {33, "0"},  {35, "-1250"}, {36, "5"}};
    for (int n = 0; n < 64; ++n) {
        const int y = 1600 + 200 * n;
        QCOMPARE(page.take({1000, y}), QString::number(n));
        QCOMPARE(page.take({2000, y}), held.value(n, "**"));
    }
    QVERIFY2(page.isEmpty(), qPrintable(page.values().join('|')));
}

void TestPrintLayout::fontsAndCallOrder() {
    QList<Call> calls;
    RecordingSurface surface(&calls);
    PrintLayout::render(surface, smallPoints(), smallParameters(), kStamp);

    // Each page: bold heading first, then regular text for everything else.
    int pages = 0;
    bool bold = false;
    bool fontSet = false;
    for (const Call& c : calls) {
        if (c.kind == "end")
            QFAIL("the layout must leave ending the document to its caller");
        if (c.kind == "page")
            ++pages;
        if (c.kind == "font") {
            QCOMPARE(c.text, "Arial");
            QCOMPARE(c.size, 7.0);
            bold = c.bold;
            fontSet = true;
        }
        if (c.kind == "text") {
            QVERIFY(fontSet);
            QCOMPARE(bold, c.y == 400);
        }
    }
    QCOMPARE(pages, 1);
}

void TestPrintLayout::timeStampUsesShortFormats() {
    const QDateTime at(QDate(2024, 3, 5), QTime(14, 7, 33));
    QCOMPARE(PrintLayout::timeStamp(at, QLocale(QLocale::German, QLocale::Germany)), kStamp);
}

void TestPrintLayout::printOutcomes() {
    const QDateTime at(QDate(2024, 3, 5), QTime(14, 7));
    const QLocale german(QLocale::German, QLocale::Germany);

    { // Cancelled dialog: nothing printed, nothing said.
        ScriptedOperator op;
        QCOMPARE(PrintOps::print(op, smallPoints(), smallParameters(), at, german),
                 PrintOps::Result::Cancelled);
        QCOMPARE(op.prompts.size(), 1);
        QCOMPARE(op.prompts[0].kind, "print");
        QCOMPARE(op.prompts[0].title, "Print");
    }
    { // Printed: the document ends once, after both pages, without a message.
        QList<Call> calls;
        ScriptedOperator op;
        op.printerFactory = [&] { return std::make_unique<RecordingSurface>(&calls); };
        QCOMPARE(PrintOps::print(op, smallPoints(), smallParameters(), at, german),
                 PrintOps::Result::Printed);
        QCOMPARE(calls.last().kind, "end");
        QCOMPARE(std::count_if(calls.begin(), calls.end(),
                               [](const Call& c) { return c.kind == "end"; }),
                 1);
        QVERIFY(calls.size() > 200);
        QCOMPARE(op.texts("message"), QStringList());
    }
    { // The printer fails: the operator is told, not left believing it printed.
        QList<Call> calls;
        ScriptedOperator op;
        op.printerFactory = [&] { return std::make_unique<RecordingSurface>(&calls, false); };
        QCOMPARE(PrintOps::print(op, smallPoints(), smallParameters(), at, german),
                 PrintOps::Result::Failed);
        QCOMPARE(op.texts("message"), QStringList{PrintOps::failureText()});
        QCOMPARE(op.last().title, "Print");
        QCOMPARE(op.last().icon, OperatorInteraction::Icon::Warning);
    }
}

// Prints to a real PDF and checks the texts and their distances with pdftotext.
void TestPrintLayout::printsToPdf() {
    const QString tool = QStandardPaths::findExecutable("pdftotext");
    if (tool.isEmpty())
        QSKIP("pdftotext is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath("lists.pdf");
    ScriptedOperator op;
    op.printerFactory = [&] { return QtPrinterSurface::toPdf(path); };
    QCOMPARE(PrintOps::print(op, smallPoints(), smallParameters()), PrintOps::Result::Printed);

    QProcess proc;
    proc.start(tool, {"-bbox", path, "-"});
    QVERIFY(proc.waitForFinished(10000));
    const QString html = QString::fromUtf8(proc.readAllStandardOutput());
    const QStringList pages = html.split("<page ");
    QCOMPARE(pages.size(), 3); // text before the first page, then two pages

    // Top-left corner of the first word `word` on a page, in points (20 twips).
    const auto box = [&](int page, const QString& word) {
        const QRegularExpression re(
            QStringLiteral(R"re(xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>%1<)re")
                .arg(QRegularExpression::escape(word)));
        const auto m = re.match(pages.value(page));
        return m.hasMatch() ? QPointF(m.captured(1).toDouble(), m.captured(2).toDouble())
                            : QPointF(-1000, -1000);
    };
    const auto near = [](double actual, double expected) { return qAbs(actual - expected) < 2; };

    const QPointF pnt = box(1, "PNT");
    const QPointF mode = box(1, "Mode");
    const QPointF position = box(1, "12.50");
    const QPointF note = box(1, "pick");
    QVERIFY(pnt.x() > -1000 && position.x() > -1000 && note.x() > -1000);
    QVERIFY(near(mode.x() - pnt.x(), 50));
    QVERIFY(near(position.x() - pnt.x(), 100));
    QVERIFY(near(note.x() - pnt.x(), 250));
    QVERIFY(near(position.y() - pnt.y(), 20));        // point 0 at 1600, titles at 1200
    QVERIFY(near(box(1, "last").y() - pnt.y(), 650)); // point 63 at 14200
    QVERIFY(pages[1].contains(">(Point<") && !pages[1].contains(">(Parameter<"));

    const QPointF prm = box(2, "PRM");
    const QPointF notHeld = box(2, "**"); // the first is parameter 3, at x 2000, y 2200
    const QPointF shift = box(2, "-1250");
    QVERIFY(prm.x() > -1000 && notHeld.x() > -1000 && shift.x() > -1000);
    QVERIFY(near(notHeld.x() - prm.x(), 50));
    QVERIFY(near(notHeld.y() - prm.y(), 50));
    QVERIFY(near(shift.x() - prm.x(), 50));
    QVERIFY(near(shift.y() - prm.y(), 370)); // row 35 at 8600, titles at 1200
}

QTEST_MAIN(TestPrintLayout)
#include "tst_printlayout.moc"
