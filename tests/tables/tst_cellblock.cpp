// Blocks of cells as the tab-separated text spreadsheets copy and paste.
#include "tables/CellBlock.h"

#include <QTest>

using Rows = CellBlock::Rows;
Q_DECLARE_METATYPE(Rows)

class TestCellBlock : public QObject {
    Q_OBJECT
  private slots:
    void readsSpreadsheetText_data();
    void readsSpreadsheetText();
    void writtenTextReadsBack();
};

void TestCellBlock::readsSpreadsheetText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<Rows>("rows");
    QTest::newRow("no text") << "" << Rows{};
    QTest::newRow("a line end after the last row adds no row") << "A\t1\nB\t2\n"
                                                               << Rows{{"A", "1"}, {"B", "2"}};
    QTest::newRow("CR LF and CR line ends") << "a\r\nb\rc" << Rows{{"a"}, {"b"}, {"c"}};
    QTest::newRow("empty cells and an empty row")
        << "\t\tx\n\nend" << Rows{{"", "", "x"}, {""}, {"end"}};
    QTest::newRow("quoted cell with tab, line end and quote")
        << "\"a\tb\nc \"\"q\"\"\"\tz" << Rows{{"a\tb\nc \"q\"", "z"}};
    QTest::newRow("a quote inside a cell is text") << "5\"\t\"\"" << Rows{{"5\"", ""}};
}

void TestCellBlock::readsSpreadsheetText() {
    QFETCH(QString, text);
    QFETCH(Rows, rows);
    QCOMPARE(CellBlock::fromText(text), rows);
}

void TestCellBlock::writtenTextReadsBack() {
    const Rows rows{{"A", "10.00", "", "note, with comma"},
                    {"\"quoted\"", "tab\there", "two\nlines", ""}};
    const QString text = CellBlock::toText(rows);
    QCOMPARE(text.count(QLatin1Char('\n')), 3); // one line end inside the quoted cell
    QCOMPARE(CellBlock::fromText(text), rows);
}

QTEST_APPLESS_MAIN(TestCellBlock)
#include "tst_cellblock.moc"
