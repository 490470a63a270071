#include "window/ui/DialogOperator.h"
#include "window/ui/QtPrinterSurface.h"

#include "DialogDriving.h"
#include "ScriptedOperator.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestDialogOperator final : public QObject {
    Q_OBJECT
  private slots:
    void operatorMessageBoxes();
    void operatorBoxShowsWholeTitleAndInformativeText();
    void boxWideEnoughForTheTitleShown_data();
    void boxWideEnoughForTheTitleShown();
    void operatorBoxUsableOverDisabledWindow();
    void operatorValueDialogs();
    void operatorSaveDialogAsksBeforeOverwrite();
    void operatorPrintDialog();
    void operatorEndHook();
    void printerSurfaceWritesPdfAtTwipPositions();
    void printerSurfaceThatCannotBeginReportsFailure();
};

void TestDialogOperator::operatorMessageBoxes() {
    DialogOperator op;
    whenModal([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QString("Point reception"));
        QCOMPARE(box->text(), QString("Receiving has finished."));
        QCOMPARE(box->icon(), QMessageBox::NoIcon);
        QCOMPARE(box->buttons().size(), 1);
        box->button(QMessageBox::Ok)->click();
    });
    op.message("Point reception", "Receiving has finished.", OperatorInteraction::Icon::None);

    whenModal([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        QCOMPARE(box->icon(), QMessageBox::Question);
        QCOMPARE(box->buttons().size(), 2);
        box->button(QMessageBox::No)->click();
    });
    QCOMPARE(op.askYesNo("T", "Do you receive point data?", OperatorInteraction::Icon::Question),
             OperatorInteraction::Answer::No);

    whenModal([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        QCOMPARE(box->icon(), QMessageBox::Critical);
        QCOMPARE(box->buttons().size(), 3);
        box->button(QMessageBox::Cancel)->click();
    });
    QCOMPARE(op.askYesNoCancel("T", "Do you save data?", OperatorInteraction::Icon::Critical),
             OperatorInteraction::Answer::Cancel);

    whenModal([](QWidget* w) {
        QTest::keyClick(w, Qt::Key_Escape); // a Yes/No question cannot be cancelled: No
    });
    QCOMPARE(op.askYesNo("T", "Q", OperatorInteraction::Icon::None),
             OperatorInteraction::Answer::No);
}

// A box sizes itself to its text; the title bar must still hold the whole title.
void TestDialogOperator::operatorBoxShowsWholeTitleAndInformativeText() {
    DialogOperator op;
    const QString title = "Parameter initialization";
    whenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        QFont bold = box->font();
        bold.setBold(true);
        QVERIFY(box->width() >= QFontMetrics(bold).horizontalAdvance(title) + 100);
        QCOMPARE(box->text(), QString("Stop"));
        QCOMPARE(box->informativeText(), QString("COM2 \u2192 /dev/pts/5: no answer within 5 s"));
        box->button(QMessageBox::Ok)->click();
    });
    op.informativeMessage(title, "Stop", OperatorInteraction::Icon::Warning,
                          "COM2 \u2192 /dev/pts/5: no answer within 5 s");
}

// The title bar the window manager draws holds the title it is given, and a box without a
// title of its own is given the program's name ("QRX... ware" was seen for "Cannot open file.").
void TestDialogOperator::boxWideEnoughForTheTitleShown_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("question");
    QTest::newRow("no title") << ""
                              << "QRX5 Support-Software" << false;
    QTest::newRow("operation title") << "Parameter initialization"
                                     << "Parameter initialization" << false;
    QTest::newRow("question") << "Initialization of point data"
                              << "Initialization of point data" << true;
    QTest::newRow("short title") << "error"
                                 << "error" << false;
}

void TestDialogOperator::boxWideEnoughForTheTitleShown() {
    QFETCH(QString, title);
    QFETCH(QString, shown);
    QFETCH(bool, question);
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName("QRX5 Support-Software");
    QCOMPARE(DialogOperator::shownTitle(title), shown);
    int width = 0;
    int needed = 0;
    whenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        QFont bold = box->font();
        bold.setBold(true);
        width = box->frameGeometry().width();
        needed = QFontMetrics(bold).horizontalAdvance(shown) + 120;
        (question ? box->button(QMessageBox::No) : box->button(QMessageBox::Ok))->click();
    });
    if (question)
        DialogOperator().askYesNo(title, "Do you initialize point data?",
                                  OperatorInteraction::Icon::Question);
    else
        DialogOperator().message(title, "Cannot open file.", OperatorInteraction::Icon::None);
    QCoreApplication::setApplicationName(name);
    QVERIFY2(width >= needed, qPrintable(QString("%1 < %2").arg(width).arg(needed)));
}

void TestDialogOperator::operatorBoxUsableOverDisabledWindow() {
    QWidget window;
    window.show();
    window.setEnabled(false);
    DialogOperator op(&window);
    bool wasEnabled = false;
    QWidget* parentSeen = nullptr;
    whenModal([&](QWidget* w) {
        wasEnabled = w->isEnabled();
        parentSeen = w->parentWidget();
        qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click();
    });
    QCOMPARE(op.askYesNo("T", "Q", OperatorInteraction::Icon::None),
             OperatorInteraction::Answer::Yes);
    QVERIFY(wasEnabled);
    QCOMPARE(parentSeen, &window);
}

void TestDialogOperator::operatorValueDialogs() {
    DialogOperator op;
    whenModal([](QWidget* w) { click(w, "OKButton"); });
    const auto type = op.chooseActuatorType("33");
    QCOMPARE(type.type, QString("33"));
    QCOMPARE(type.okFlag, 1);

    whenModal([](QWidget* w) { click(w, "OKButton"); });
    QCOMPARE(op.chooseOperationMode(), QString("A"));

    whenModal([](QWidget* w) {
        click(w, "TENKEY_9");
        click(w, "kettei");
    });
    // The cell's text "4" is shown selected: the typed 9 replaces it.
    QCOMPARE(op.numericKeypad(QStringLiteral("4")), QString("9"));

    // A refusal inside the soft limit dialog is shown through the same operator, over it.
    whenModal([](QWidget* soft) {
        child<QLineEdit>(soft, "Text1")->clear();
        whenModal(
            [soft](QWidget* box) {
                auto* mb = qobject_cast<QMessageBox*>(box);
                QVERIFY(mb);
                QCOMPARE(mb->windowTitle(), QString("Error"));
                QCOMPARE(mb->text(), QString("Please set a value within 0 to 9999"));
                mb->button(QMessageBox::Ok)->click();
                QTimer::singleShot(0, soft, [soft] { click(soft, "Command2"); });
            },
            soft);
        click(soft, "Command1");
    });
    const auto limits = op.softLimitChange({100, -50}, {300, -70});
    QCOMPARE(limits.plus, 300.0);
    QCOMPARE(limits.minus, -70);
}

void TestDialogOperator::operatorSaveDialogAsksBeforeOverwrite() {
    QTemporaryDir dir;
    const QString existing = dir.filePath("points.csv");
    {
        QFile f(existing);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    DialogOperator op;
    bool asked = false;
    whenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QString("Save As"));
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(dialog->nameFilters(), QStringList{"Data file (*.csv)"});
        whenModal(
            [&](QWidget* box) {
                asked = qobject_cast<QMessageBox*>(box) != nullptr;
                qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
            },
            dialog);
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog hides its accept()
    });
    const QString chosen = op.saveFileName({"Save As", "Data file (*.csv)", existing, "csv"});
    QVERIFY(asked);
    QCOMPARE(QFileInfo(chosen).canonicalFilePath(), QFileInfo(existing).canonicalFilePath());

    whenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    QCOMPARE(op.openFileName({"Open", "Data file (*.csv)", {}, {}}), QString());
}

// The print dialog's file output: choosing it and a PDF path must give a working surface.
void TestDialogOperator::operatorPrintDialog() {
    DialogOperator op;
    whenModal([](QWidget* w) {
        QCOMPARE(w->windowTitle(), QString("Print"));
        qobject_cast<QDialog*>(w)->reject();
    });
    QVERIFY(op.choosePrinter("Print") == nullptr);

    QTemporaryDir dir;
    const QString path = dir.filePath("list.pdf");
    bool driven = false;
    whenModal([&](QWidget* w) {
        auto* printers = w->findChild<QComboBox*>("printers");
        auto* fileName = w->findChild<QLineEdit*>("filename");
        if (!printers || !fileName) {
            qobject_cast<QDialog*>(w)->reject();
            return;
        }
        const int pdf = printers->count() - 1; // the file output is the last entry
        printers->setCurrentIndex(pdf);
        fileName->setText(path);
        driven = true;
        qobject_cast<QDialog*>(w)->accept();
    });
    auto surface = op.choosePrinter("Print");
    if (!driven)
        QSKIP("this print dialog offers no file output to drive");
    QVERIFY(surface);
    surface->setFont("DejaVu Sans", 10, false);
    surface->textAt(1440, 1440, "Hello");
    QVERIFY(surface->endDoc());
    QVERIFY(QFileInfo(path).size() > 0);
}

void TestDialogOperator::operatorEndHook() {
    DialogOperator op;
    int ended = 0;
    op.setEndHook([&] { ++ended; });
    op.endProgram();
    QCOMPARE(ended, 1);
}

// Two lines one inch apart on page 1 and one on page 2; pdftotext -bbox gives the positions
// in points (1/72 inch) from the page corner, so the distances must match the twips.
void TestDialogOperator::printerSurfaceWritesPdfAtTwipPositions() {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.pdf");
    auto surface = QtPrinterSurface::toPdf(path);
    QVERIFY(surface->isActive());
    surface->setFont("DejaVu Sans", 10, false);
    surface->textAt(1440, 1440, "Alpha");
    surface->textAt(2880, 2880, "Beta");
    surface->newPage();
    surface->setFont("DejaVu Sans", 12, true);
    surface->textAt(0, 0, "Gamma");
    QVERIFY(surface->endDoc());
    QVERIFY(QFileInfo(path).size() > 0);

    const QString tool = QStandardPaths::findExecutable("pdftotext");
    if (tool.isEmpty())
        QSKIP("pdftotext is not installed");
    QProcess proc;
    proc.start(tool, {"-bbox", path, "-"});
    QVERIFY(proc.waitForFinished(10000));
    const QString html = QString::fromUtf8(proc.readAllStandardOutput());
    QCOMPARE(html.count("<page "), 2);

    auto box = [&](const QString& word) {
        const QRegularExpression re(
            QStringLiteral(R"re(xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>%1<)re").arg(word));
        const auto m = re.match(html);
        return m.hasMatch() ? QPointF(m.captured(1).toDouble(), m.captured(2).toDouble())
                            : QPointF(-1, -1);
    };
    const QPointF a = box("Alpha");
    const QPointF b = box("Beta");
    const QPointF g = box("Gamma");
    QVERIFY(a.x() >= 0 && b.x() >= 0 && g.x() >= 0);
    // One inch = 72 points between the two texts in both directions.
    QVERIFY(qAbs((b.x() - a.x()) - 72) < 1.5);
    QVERIFY(qAbs((b.y() - a.y()) - 72) < 1.5);
    // Top-left placement: text at y = 0 twips starts at the printable area's top edge, the
    // same distance above Alpha's top as one inch.
    QVERIFY(qAbs((a.y() - g.y()) - 72) < 3);
}

void TestDialogOperator::printerSurfaceThatCannotBeginReportsFailure() {
    auto printer = std::make_unique<QPrinter>();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName("/nonexistent-dir/sub/out.pdf");
    QtPrinterSurface surface(std::move(printer));
    QVERIFY(!surface.isActive());
    surface.setFont("DejaVu Sans", 10, true);
    surface.textAt(0, 0, "x");
    surface.newPage();
    QVERIFY(!surface.endDoc());
}

QTEST_MAIN(TestDialogOperator)
#include "tst_dialogoperator.moc"
