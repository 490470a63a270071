#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointParameters.h"
#include "pointdata/PointTableModel.h"
#include "pointdata/ui/PointGrid.h"
#include "window/ui/ParameterGrid.h"

#include "GridTyping.h"
#include "ScriptedOperator.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

using namespace PointRules;

class TestGrids final : public QObject {
    Q_OBJECT
  private slots:
    void typedKeysPassTheEntryFilter_data();
    void typedKeysPassTheEntryFilter();
    void lowerCaseModeTidiesTheRow();
    void rejectedSpeedShowsTheMessageAndEmptiesTheCell();
    void doubleClickAndEnterOpenTheDialogs();
    void lockedGridOpensNothing();
    void parameterGridChecksTheTypedValue();
    void parameterTypeRowCannotBeEdited();
    void layoutKeepsHeadersWhole();
};

using GridTyping::openEditor;
using GridTyping::typeInto;

// A double click as the operator makes it: a press and release, then the double click.
static void doubleClickAt(QTableView& grid, QPoint pos) {
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, pos);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, pos);
}

static void finish(QLineEdit* editor, Qt::Key key) {
    QVERIFY(editor);
    GridTyping::finish(editor, key);
}

void TestGrids::typedKeysPassTheEntryFilter_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("editorText");
    QTest::addColumn<QString>("cell");
    QTest::newRow("mode refuses X") << int(ColMode) << "xi"
                                    << "i"
                                    << "I";
    QTest::newRow("mode one letter") << int(ColMode) << "UI"
                                     << "U"
                                     << "U";
    QTest::newRow("position") << int(ColPosition) << "1a2+.5e"
                              << "12.5"
                              << "12.50";
    QTest::newRow("position minus") << int(ColPosition) << "-3"
                                    << "-3"
                                    << "-3.00";
    QTest::newRow("speed digits only") << int(ColSpeed) << "-1.2x"
                                       << "12"
                                       << "12";
    QTest::newRow("level digits only") << int(ColPush) << "a3"
                                       << "3"
                                       << "";
    QTest::newRow("note takes anything") << int(ColNote) << "Ab -1.x"
                                         << "Ab -1.x"
                                         << "Ab -1.x";
}

void TestGrids::typedKeysPassTheEntryFilter() {
    QFETCH(int, column);
    QFETCH(QString, keys);
    QFETCH(QString, editorText);
    QFETCH(QString, cell);
    ScriptedOperator op;
    PointTableModel model(op);
    PointTableData table;
    table[5] = {"A", "", "", "", ""};
    model.setTable(table);
    PointGrid grid(&model);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    QLineEdit* editor = typeInto(grid, 5, column, keys);
    QVERIFY(editor);
    QCOMPARE(editor->text(), editorText);
    finish(editor, Qt::Key_Return);
    QCOMPARE(model.index(5, column).data().toString(), cell);
    QVERIFY(op.prompts.isEmpty());
    QVERIFY(model.modified());
}

void TestGrids::lowerCaseModeTidiesTheRow() {
    ScriptedOperator op;
    PointTableModel model(op);
    PointTableData table;
    table[0] = {"A", "12.00", "40", "", ""};
    table[1] = table[0];
    model.setTable(table);
    PointGrid grid(&model);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    finish(typeInto(grid, 0, ColMode, "c"), Qt::Key_Return);
    QCOMPARE(model.point(0), (PointRecord{"C", "", "35", "", ""}));
    finish(typeInto(grid, 1, ColMode, "C"), Qt::Key_Return);
    QCOMPARE(model.point(1), (PointRecord{"C", "", "40", "", ""}));
}

void TestGrids::rejectedSpeedShowsTheMessageAndEmptiesTheCell() {
    ScriptedOperator op;
    PointTableModel model(op);
    PointTableData table;
    table[2] = {"O", "", "5", "3", ""};
    model.setTable(table);
    PointGrid grid(&model);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    finish(typeInto(grid, 2, ColSpeed, "11"), Qt::Key_Return);
    QCOMPARE(op.prompts.size(), 1);
    QCOMPARE(op.last().title, QString("error"));
    QCOMPARE(op.last().text, QString("Please set a value within 1 to 10 mm/s."));
    QCOMPARE(op.last().icon, OperatorInteraction::Icon::Warning);
    QCOMPARE(model.point(2).speed, QString());
    QVERIFY(!openEditor(grid));
}

void TestGrids::doubleClickAndEnterOpenTheDialogs() {
    ScriptedOperator op;
    PointTableModel model(op);
    PointGrid grid(&model);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    op.modes = QStringList{"A"};
    op.keypadValues = QStringList{"25", "", "7"};

    auto doubleClick = [&](int row, int column) {
        doubleClickAt(grid, grid.visualRect(model.index(row, column)).center());
    };
    doubleClick(4, ColMode);
    QCOMPARE(op.last().kind, QString("mode"));
    QCOMPARE(model.point(4).mode, QString("A"));
    doubleClick(4, ColSpeed);
    QCOMPARE(op.last().kind, QString("keypad"));
    QCOMPARE(model.point(4).speed, QString("25"));
    // An empty keypad result restores the cell.
    doubleClick(4, ColSpeed);
    QCOMPARE(op.last().text, QString("25")); // the keypad opens with the cell's text
    QCOMPARE(model.point(4).speed, QString("25"));
    QVERIFY(!openEditor(grid));

    // Enter on a cell that is not being edited activates it as well.
    grid.setCurrentIndex(model.index(4, ColPosition));
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Return);
    QCOMPARE(model.point(4).position, QString("7.00"));
    QCOMPARE(op.prompts.size(), 4);

    // The note and number columns open no dialog.
    doubleClick(4, ColNote);
    doubleClick(4, ColNumber);
    QCOMPARE(op.prompts.size(), 4);
}

void TestGrids::lockedGridOpensNothing() {
    ScriptedOperator op;
    PointTableModel model(op);
    PointGrid grid(&model);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    model.setLocked(true);
    op.modes = QStringList{"A"};

    const QRect r = grid.visualRect(model.index(0, ColMode));
    doubleClickAt(grid, r.center());
    grid.setCurrentIndex(model.index(0, ColMode));
    QTest::keyClick(&grid, 'a');
    QVERIFY(!openEditor(grid));
    QVERIFY(op.prompts.isEmpty());
    QCOMPARE(model.point(0), PointRecord{});
}

void TestGrids::parameterGridChecksTheTypedValue() {
    ScriptedOperator op;
    ParameterTableModel model(op);
    ParameterGrid grid(&model);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy edited(&model, &ParameterTableModel::edited);
    const int column = ParameterTableModel::ColSetting;

    finish(typeInto(grid, PointParameters::rowOfParameter(5), column, "2"), Qt::Key_Return);
    QCOMPARE(model.settingValue(5), QString("0"));
    finish(typeInto(grid, PointParameters::rowOfParameter(7), column, "5.5"), Qt::Key_Return);
    QCOMPARE(model.settingValue(7), QString("5.5"));
    QCOMPARE(edited.size(), 2);

    // Escape abandons the edit: no check, no notice.
    finish(typeInto(grid, PointParameters::rowOfParameter(1), column, "77"), Qt::Key_Escape);
    QCOMPARE(model.settingValue(1), QString("2000"));
    QCOMPARE(edited.size(), 2);
    QVERIFY(op.prompts.isEmpty());
}

void TestGrids::parameterTypeRowCannotBeEdited() {
    ScriptedOperator op;
    ParameterTableModel model(op);
    ParameterGrid grid(&model);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.setCurrentIndex(model.index(0, ParameterTableModel::ColSetting));
    QTest::keyClick(&grid, '3');
    const QRect r = grid.visualRect(model.index(0, ParameterTableModel::ColSetting));
    doubleClickAt(grid, r.center());
    QVERIFY(!openEditor(grid));
    QCOMPARE(model.actuatorType(), QString("30"));
}

void TestGrids::layoutKeepsHeadersWhole() {
    ScriptedOperator op;
    PointTableModel points(op);
    ParameterTableModel parameters(op);
    PointGrid pointGrid(&points);
    ParameterGrid parameterGrid(&parameters);
    QCOMPARE(pointGrid.objectName(), QString("Grid1"));
    QCOMPARE(parameterGrid.objectName(), QString("Grid2"));

    auto checkColumns = [](QTableView& grid) {
        const QFontMetrics metrics(grid.horizontalHeader()->font());
        for (int c = 0; c < grid.model()->columnCount(); ++c) {
            const QString header = grid.model()->headerData(c, Qt::Horizontal).toString();
            QVERIFY2(grid.columnWidth(c) > metrics.horizontalAdvance(header), qPrintable(header));
            for (int r = 0; r < grid.model()->rowCount(); ++r) {
                const QString text = grid.model()->index(r, c).data().toString();
                QVERIFY2(grid.columnWidth(c) > metrics.horizontalAdvance(text), qPrintable(text));
            }
        }
    };
    checkColumns(pointGrid);
    checkColumns(parameterGrid);
    // Wider in the grid's units stays wider on screen.
    QVERIFY(pointGrid.columnWidth(ColNote) > pointGrid.columnWidth(ColSpeed));
}

QTEST_MAIN(TestGrids)
#include "tst_grids.moc"
