#include "pointops/ui/DrivePanel.h"
#include "pointops/ui/SizeDetectionPanel.h"
#include "window/ui/CarriageFigure.h"
#include "window/ui/IoLamps.h"
#include "window/ui/Lamp.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

QColor buttonColour(const QWidget* widget) {
    return widget->palette().color(QPalette::Button);
}

QColor faceColour(const QWidget* widget) {
    return QApplication::palette(widget).color(QPalette::Button);
}

// The text of the label that names a box.
QString labelFor(const QWidget* panel, const QWidget* box) {
    const auto labels = panel->findChildren<QLabel*>();
    for (const QLabel* label : labels)
        if (label->buddy() == box)
            return label->text();
    return {};
}

QWidget* panelByName(const QString& name, DrivePanel& drive, SizeDetectionPanel& size) {
    return name == QLatin1String("drive") ? static_cast<QWidget*>(&drive) : &size;
}

} // namespace

class TstPanels final : public QObject {
    Q_OBJECT

  private slots:
    void boxLabelsAndInitialTexts_data();
    void boxLabelsAndInitialTexts();
    void bgrColours_data();
    void bgrColours();
    void driveModes();
    void sizePanelHighlightAndFocus();
    void directionBoxKeys_data();
    void directionBoxKeys();
    void pointBoxChecksOnce_data();
    void pointBoxChecksOnce();
    void lamps();
    void carriagePosition_data();
    void carriagePosition();
};

void TstPanels::boxLabelsAndInitialTexts_data() {
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    const char* rows[][4] = {
        {"drive", "Txt_Pos", "Setting position (mm)", "0.00"},
        {"drive", "Txt_spd", "Speed", "10"},
        {"drive", "Txt_Dist", "Dist", "2.00"},
        {"drive", "Txt_Limit", "Limit width", "2.00"},
        {"drive", "Txt_NowPosi", "Current position", ""},
        {"size", "size_houkou", "Pushing direction", ""},
        {"size", "size_sokudo", "Speed", ""},
        {"size", "size_tikara", "Pushing level", ""},
        {"size", "size_dai", "Maximum point", "0.00"},
        {"size", "size_syou", "Minimum point", "0.00"},
    };
    for (const auto& row : rows)
        QTest::newRow(row[1]) << row[0] << row[1] << row[2] << row[3];
}

void TstPanels::boxLabelsAndInitialTexts() {
    QFETCH(QString, panel);
    QFETCH(QString, name);
    QFETCH(QString, label);
    QFETCH(QString, text);
    DrivePanel drive;
    SizeDetectionPanel size;
    QWidget* owner = panelByName(panel, drive, size);
    const auto matches = owner->findChildren<QLineEdit*>(name);
    QCOMPARE(matches.size(), 1);
    QCOMPARE(labelFor(owner, matches.first()), label);
    QCOMPARE(matches.first()->text(), text);
}

void TstPanels::bgrColours_data() {
    QTest::addColumn<uint>("bgr");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("SET orange") << 0x80C0FFu << QColor(0xFF, 0xC0, 0x80);
    QTest::newRow("size highlight") << 0xFFC0C0u << QColor(0xC0, 0xC0, 0xFF);
    QTest::newRow("Setting green") << 0x00FF00u << QColor(0x00, 0xFF, 0x00);
    QTest::newRow("playback jog") << 0xFFFF80u << QColor(0x80, 0xFF, 0xFF);
    QTest::newRow("stop during start") << 0xFFC0FFu << QColor(0xFF, 0xC0, 0xFF);
}

void TstPanels::bgrColours() {
    QFETCH(uint, bgr);
    QFETCH(QColor, colour);
    QCOMPARE(colourFromBgr(bgr), colour);
    QPushButton button;
    setButtonColour(&button, bgr);
    QCOMPARE(buttonColour(&button), colour);
    resetButtonColour(&button);
    QCOMPARE(buttonColour(&button), faceColour(&button));
}

void TstPanels::driveModes() {
    DrivePanel panel;
    const auto enabled = [&](const char* name) { return panel.button(name)->isEnabled(); };

    // Setting mode at start: teaching available, drive buttons and jog locked.
    QVERIFY(panel.teachingOption(0)->isChecked());
    QVERIFY(enabled("Cmd_Set") && enabled("Cmd_SetBase") && enabled("Cmd_TargetP"));
    QVERIFY(!enabled("Cmd_Return") && !enabled("Cmd_Start") && !enabled("Cmd_Stop"));
    QVERIFY(!enabled("Cmd_Op") && !enabled("Cmd_Cl"));
    QCOMPARE(buttonColour(panel.button("Cmd_Setup")), QColor(0, 255, 0));
    QCOMPARE(buttonColour(panel.button("Cmd_driv")), QColor(0xE0, 0xE0, 0xE0));
    QCOMPARE(buttonColour(panel.button("Cmd_Set")), QColor(0xFF, 0xC0, 0x80));
    QCOMPARE(buttonColour(panel.button("Cmd_TargetP")), QColor(0x80, 0xFF, 0x80));
    QCOMPARE(panel.frame(DrivePanel::Frame::Setup)->title(), QStringLiteral("Setup"));
    QCOMPARE(panel.frame(DrivePanel::Frame::Parameters)->title(),
             QStringLiteral("Low-speed movement"));

    panel.showTargetSelection(true);
    QCOMPARE(buttonColour(panel.button("Cmd_TargetP")), QColor(0xE0, 0xE0, 0xE0));

    panel.showOperationMode();
    QCOMPARE(buttonColour(panel.button("Cmd_driv")), QColor(0xFF, 0x00, 0xFF));
    QCOMPARE(buttonColour(panel.button("Cmd_Setup")), QColor(0xE0, 0xE0, 0xE0));
    QVERIFY(!panel.frame(DrivePanel::Frame::Setup)->isEnabled());
    QVERIFY(!panel.frame(DrivePanel::Frame::Parameters)->isEnabled());
    QVERIFY(panel.frame(DrivePanel::Frame::Drive)->isEnabled());
    QVERIFY(!enabled("Cmd_Set") && !enabled("Cmd_SetBase") && !enabled("Cmd_TargetP"));

    // Back in Setting mode teaching and the low-speed boxes must be usable again.
    panel.showSettingMode();
    QVERIFY(panel.frame(DrivePanel::Frame::Setup)->isEnabled());
    QVERIFY(panel.frame(DrivePanel::Frame::Parameters)->isEnabled());
    QVERIFY(enabled("Cmd_Set") && !enabled("Cmd_Start"));
    QCOMPARE(buttonColour(panel.button("Cmd_Setup")), QColor(0, 255, 0));
}

void TstPanels::sizePanelHighlightAndFocus() {
    SizeDetectionPanel panel;
    QPushButton* valid = panel.button("size_yuukou");
    QPushButton* invalid = panel.button("size_mukou");
    QCOMPARE(panel.buttons().size(), 5);
    QVERIFY(!panel.buttons().contains(nullptr));
    QCOMPARE(buttonColour(invalid), QColor(0xC0, 0xC0, 0xFF));
    QCOMPARE(buttonColour(valid), faceColour(valid));
    panel.showFunctionValid(true);
    QCOMPARE(buttonColour(valid), QColor(0xC0, 0xC0, 0xFF));
    QCOMPARE(buttonColour(invalid), faceColour(invalid));

    QLineEdit* point = panel.box("size_dai");
    const auto base = [](const QLineEdit* box) { return box->palette().color(QPalette::Base); };
    QCOMPARE(base(point), QColor(0x80, 0x80, 0xFF));
    point->setText("12.5");
    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(point, &in);
    QCOMPARE(point->text(), QStringLiteral("12.50"));
    QCOMPARE(base(point), QColor(0xFF, 0x80, 0xFF));
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(point, &out);
    QCOMPARE(base(point), QColor(0x80, 0x80, 0xFF));

    // The direction box is not a point box: its text stays as typed.
    QLineEdit* direction = panel.box("size_houkou");
    direction->setText("c");
    QApplication::sendEvent(direction, &in);
    QCOMPARE(direction->text(), QStringLiteral("c"));
}

// The direction box refuses typed characters other than C and O, but Ctrl with a key is an
// editing command of the box, not a typed character; pasting stays refused.
void TstPanels::directionBoxKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("selected"); // the box's selection afterwards
    QTest::newRow("Ctrl+A selects all")
        << int(Qt::Key_A) << int(Qt::ControlModifier) << false << "c";
    QTest::newRow("Ctrl+C copies") << int(Qt::Key_C) << int(Qt::ControlModifier) << false << "";
    QTest::newRow("Ctrl+V not pasted") << int(Qt::Key_V) << int(Qt::ControlModifier) << false << "";
    QTest::newRow("x refused") << int(Qt::Key_X) << int(Qt::NoModifier) << true << "";
    QTest::newRow("Shift+X refused") << int(Qt::Key_X) << int(Qt::ShiftModifier) << true << "";
}

void TstPanels::directionBoxKeys() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, refused);
    QFETCH(QString, selected);
    SizeDetectionPanel panel;
    QLineEdit* direction = panel.box("size_houkou");
    direction->setText("c");
    direction->deselect();
    QApplication::clipboard()->setText("x");
    QSignalSpy refusals(&panel, &SizeDetectionPanel::keyRefused);
    QTest::keyClick(direction, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(refusals.size(), refused ? 1 : 0);
    QCOMPARE(direction->text(), QString("c"));
    QCOMPARE(direction->selectedText(), selected);
}

void TstPanels::pointBoxChecksOnce_data() {
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("Enter") << true;
    QTest::newRow("left for the other point box") << false;
}

// A point box's check runs once however it is left: Enter gives up the focus, and that
// leaving is Enter's check, not a second one.
void TstPanels::pointBoxChecksOnce() {
    QFETCH(bool, byEnter);
    SizeDetectionPanel panel;
    panel.show();
    QVERIFY(QTest::qWaitForWindowActive(&panel));
    QLineEdit* point = panel.box("size_dai");
    point->setFocus();
    QTRY_VERIFY(point->hasFocus());
    QSignalSpy checks(&panel, &SizeDetectionPanel::pointLeft);
    if (byEnter)
        QTest::keyClick(point, Qt::Key_Return);
    else
        QTest::keyClick(point, Qt::Key_Down);
    QCOMPARE(checks.count(), 1);
    QCOMPARE(checks.at(0).at(0).toString(), QString("size_dai"));
    QCOMPARE(checks.at(0).at(1).toBool(), byEnter);
    QVERIFY(!point->hasFocus());
}

void TstPanels::lamps() {
    IoLamps lamps;
    const int present[] = {0, 1, 2, 3, 8, 9, 10, 11, 12, 13};
    for (int index : present) {
        QVERIFY(lamps.lamp(index));
        QCOMPARE(lamps.lamp(index)->objectName(), QStringLiteral("Lamp_%1").arg(index));
    }
    for (int index : {-1, 4, 7, 14})
        QVERIFY(!lamps.lamp(index));
    QCOMPARE(lamps.label(0)->text(), QStringLiteral("HOLD"));
    QCOMPARE(lamps.label(3)->text(), QStringLiteral("READY"));
    QCOMPARE(lamps.label(13)->text(), QStringLiteral("Pos 0"));
    QCOMPARE(lamps.label(8)->text(), QStringLiteral("Pos 5"));
    QVERIFY(lamps.findChild<QLabel*>("Lbl_Error"));

    Lamp* lamp = lamps.lamp(10);
    QCOMPARE(lamp->fillColour(), faceColour(lamp));
    lamps.setLamp(10, true);
    QCOMPARE(lamp->fillColour(), QColor(255, 255, 0));
    lamps.setLamp(5, true); // no lamp with that number: ignored
    lamps.resetLamps();
    QVERIFY(!lamp->isOn());

    // An older controller has no lamp 8; switching back shows it again.
    lamps.setLamp(8, true);
    lamps.setLampShown(8, false);
    QVERIFY(lamps.lamp(8)->isHidden() && lamps.label(8)->isHidden());
    QVERIFY(!lamps.lamp(8)->isOn());
    QVERIFY(!lamps.lamp(9)->isHidden());
    lamps.setLampShown(8, true);
    QVERIFY(!lamps.lamp(8)->isHidden() && !lamps.label(8)->isHidden());

    QLineEdit error;
    lamps.placeErrorBox(&error);
    QCOMPARE(error.parentWidget(), lamps.findChild<QGroupBox*>("Frame_IO"));
    error.setParent(nullptr);
}

void TstPanels::carriagePosition_data() {
    QTest::addColumn<double>("position");
    QTest::addColumn<double>("stroke");
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("left");
    QTest::newRow("origin, cable side") << 0.0 << 20.0 << 0 << 2445;
    QTest::newRow("full stroke, cable side") << 20.0 << 20.0 << 0 << 3480;
    QTest::newRow("origin, far side") << 0.0 << 40.0 << 1 << 3480;
    QTest::newRow("quarter, far side") << 10.0 << 40.0 << 1 << 3221;
    QTest::newRow("negative position") << -2.0 << 20.0 << 0 << 2341;
    QTest::newRow("no stroke yet") << 5.0 << 0.0 << 0 << 2445;
}

void TstPanels::carriagePosition() {
    QFETCH(double, position);
    QFETCH(double, stroke);
    QFETCH(int, direction);
    QFETCH(int, left);
    QCOMPARE(CarriageFigure::carriageLeftFor(position, stroke, direction), left);

    // Drawn inside the figure, however far the position lies outside the travel.
    CarriageFigure figure;
    figure.resize(200, 46);
    figure.setCarriageLeft(left);
    QVERIFY(figure.rect().contains(figure.carriageRect()));
    const int atOrigin = figure.carriageRect().left();
    figure.setCarriageLeft(left + 10000);
    QVERIFY(figure.rect().contains(figure.carriageRect()));
    QVERIFY(figure.carriageRect().left() >= atOrigin);
}

QTEST_MAIN(TstPanels)
#include "tst_panels.moc"
