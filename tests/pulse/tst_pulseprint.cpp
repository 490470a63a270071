// The printed setting list of the pulse-train kind, on a recording surface and in a real PDF.
#include "RecordingSurface.h"
#include "ScriptedOperator.h"
#include "files/PrintJob.h"
#include "pulse/PulseParameters.h"
#include "pulse/PulsePrintLayout.h"
#include "window/ui/QtPrinterSurface.h"

#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

ZoneTableData zones() {
    return {ZoneRecord{"10.00", "20.00", "pick"}, ZoneRecord{},
            ZoneRecord{"-5.50", "-12.25", "drop"}, ZoneRecord{"0.00", "3.00", ""}};
}

PulseParameterData parameters() {
    PulseParameterData p = PulseParameters::initialTable("32");
    p[PulseParameters::rowOfParameter(35)].setting = "-150";
    return p;
}

const QString kStamp = QStringLiteral("05.03.24 14:07");
const QString kRule = QString(15, ' ') + QString(85, '-');

} // namespace

class TestPulsePrint final : public QObject {
    Q_OBJECT
  private slots:
    void layout();
    void printsToPdf();
    void shortPageShrinksTheList();
};

void TestPulsePrint::layout() {
    QList<PrintCall> calls;
    RecordingSurface surface(&calls);
    PulsePrintLayout::render(surface, zones(), parameters(), kStamp);
    const QList<PrintedPage> pages = printedPages(calls);
    QCOMPARE(pages.size(), 1);
    PrintedPage page = pages.first();

    const auto take = [&](int x, int y) { return page.take({x, y}); };
    QCOMPARE(take(0, 400), "               --- QRX5 Support software Setting list (Zone Data) "
                           "Printing time: " +
                               kStamp);
    QCOMPARE(take(1000, 600), QString("QRX"));
    QCOMPARE(take(1500, 800), QString("Data No."));
    QCOMPARE(take(3000, 800), QString("Start position"));
    QCOMPARE(take(4500, 800), QString("End position"));
    QCOMPARE(take(6000, 800), QString("Note"));
    QCOMPARE(take(0, 1000), kRule);
    for (int n = 0; n < 4; ++n) {
        const ZoneRecord z = zones()[n];
        QCOMPARE(take(1500, 1200 + 200 * n), QString::number(n));
        QCOMPARE(take(3000, 1200 + 200 * n), z.a);
        QCOMPARE(take(4500, 1200 + 200 * n), z.b);
        QCOMPARE(take(6000, 1200 + 200 * n), z.note);
    }
    QCOMPARE(take(0, 2000), kRule);
    QCOMPARE(take(0, 2400), "               --- QRX5 Support software Setting list (Parameter "
                            "Data) Printing time: " +
                                kStamp);
    QCOMPARE(take(1500, 2600), QString("PRM NO."));
    QCOMPARE(take(3000, 2600), QString("Setting Data"));
    QCOMPARE(take(0, 2800), kRule);
    for (int n = 0; n < 64; ++n) {
        const int row = PulseParameters::rowOfParameter(n);
        QCOMPARE(take(1500, 200 * (n + 15)), QString::number(n));
        QCOMPARE(take(3000, 200 * (n + 15)), row < 0 ? "**" : parameters()[row].setting);
    }
    QCOMPARE(take(0, 15800), kRule);
    QVERIFY2(page.isEmpty(), qPrintable(page.values().join('|'))); // nothing else, nothing twice

    // Headings bold, the rest in the body font; nothing after the last rule.
    QCOMPARE(calls.first().kind, "font");
    QVERIFY(calls.first().bold);
    QCOMPARE(calls.last().text, kRule);
}

void TestPulsePrint::printsToPdf() {
    const QString tool = QStandardPaths::findExecutable("pdftotext");
    if (tool.isEmpty())
        QSKIP("pdftotext is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath("list.pdf");
    ScriptedOperator op;
    op.printerFactory = [&] { return QtPrinterSurface::toPdf(path); };
    const auto result = PrintJob::run(op, [](PrintSurface& surface, const QString& stamp) {
        PulsePrintLayout::render(surface, zones(), parameters(), stamp);
    });
    QCOMPARE(result, PrintJob::Result::Printed);

    QProcess proc;
    proc.start(tool, {"-bbox", path, "-"});
    QVERIFY(proc.waitForFinished(10000));
    const QString html = QString::fromUtf8(proc.readAllStandardOutput());
    QCOMPARE(html.count("<page "), 1);
    // Top-left corner of the first word in points (20 twips a point).
    const auto box = [&](const QString& word) {
        const QRegularExpression re(
            QStringLiteral(R"re(xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>%1<)re")
                .arg(QRegularExpression::escape(word)));
        const auto m = re.match(html);
        return m.hasMatch() ? QPointF(m.captured(1).toDouble(), m.captured(2).toDouble())
                            : QPointF(-1000, -1000);
    };
    const auto near = [](double actual, double expected) { return qAbs(actual - expected) < 2; };
    const QPointF qrx = box("QRX");
    const QPointF data = box("Data"); // "Data No." at x 1500, y 800
    const QPointF pick = box("pick");
    const QPointF shift = box("-150");
    QVERIFY(qrx.x() > -1000 && data.x() > -1000 && pick.x() > -1000 && shift.x() > -1000);
    QVERIFY(near(data.x() - qrx.x(), 25));
    QVERIFY(near(data.y() - qrx.y(), 10));
    QVERIFY(near(pick.x() - data.x(), 225));  // x 6000
    QVERIFY(near(pick.y() - data.y(), 20));   // zone 0 at y 1200
    QVERIFY(near(shift.x() - data.x(), 75));  // x 3000
    QVERIFY(near(shift.y() - data.y(), 460)); // parameter 35 at y 10000
    QVERIFY(html.contains(">1000<"));         // INPOS response time, parameter 53 at y 13600
}

// On Letter paper the page is shorter than the list: it is shrunk evenly, never cut off.
void TestPulsePrint::shortPageShrinksTheList() {
    QTemporaryDir dir;
    auto a4 = QtPrinterSurface::toPdf(dir.filePath("a4.pdf"));
    a4->setDocumentHeight(16000);
    QCOMPARE(a4->scale(), 1.0);
    auto letter = QtPrinterSurface::toPdf(dir.filePath("letter.pdf"));
    letter->printer().setPageSize(QPageSize(QPageSize::Letter));
    letter->setDocumentHeight(16000);
    const double printable = letter->printer().pageRect(QPrinter::DevicePixel).height();
    QVERIFY(letter->scale() < 1.0);
    QVERIFY(letter->toDeviceY(16000) <= printable + 0.5);
    QVERIFY(letter->toDeviceY(16000) > printable * 0.99);
    QVERIFY(letter->endDoc());
}

QTEST_MAIN(TestPulsePrint)
#include "tst_pulseprint.moc"
