// Pictures taken under X with a window manager (--screen): the whole screen with the
// point-input window as it opens on it, and on a 1280x800 screen the keypad and a message box
// with the frame the window manager draws.
#include "DialogDriving.h"
#include "PointWindowTest.h"
#include "Shots.h"
#include "dialogs/ui/INPUTKEY.h"
#include "pointdata/PointTableModel.h"
#include "window/ui/DialogOperator.h"

#include <QMessageBox>
#include <QScreen>
#include <QTest>

class ScreenShots final : public PointWindowTest {
    Q_OBJECT
  private slots:
    void initTestCase();
    void pointWindowOnTheScreen();
    void keypadOnACell();
    void messageBoxWithoutTitle();

  private:
    // The screen's size as it appears in names: "1280x800".
    static QString screenSize();
    static bool fullSizeScreen() { return screenSize() == QLatin1String("1280x800"); }
};

QString ScreenShots::screenSize() {
    const QSize size = QGuiApplication::primaryScreen()->size();
    return QString("%1x%2").arg(size.width()).arg(size.height());
}

void ScreenShots::initTestCase() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("the screen pictures are taken under X with a window manager");
}

void ScreenShots::pointWindowOnTheScreen() {
    openWindow();
    PointTableData table;
    table[0] = {"A", "0.00", "50", "", "home"};
    table[1] = {"A", "10.00", "80", "", "pick"};
    table[2] = {"U", "15.00", "30", "5", "press"};
    table[3] = {"O", "", "10", "3", "push back"};
    m_window->points().setTable(table);
    QTest::qWait(400);
    Shots::save(QGuiApplication::primaryScreen()->grabWindow(0),
                "point-window-" + screenSize() + ".png");
    closeWindow();
}

// The keypad opened on a cell holding -17.75: its text shown selected.
void ScreenShots::keypadOnACell() {
    if (!fullSizeScreen())
        QSKIP("taken on the 1280x800 screen");
    whenModal([](QWidget* w) {
        Shots::saveFramed(w, "keypad-on-a-cell.png");
        QTest::keyClicks(w, "5.55");
        QTest::keyClick(w, Qt::Key_Return);
    });
    QCOMPARE(INPUTKEY::GetString("-17.75"), QString("5.55"));
}

// A box without a title of its own shows the program's name in the title bar.
void ScreenShots::messageBoxWithoutTitle() {
    if (!fullSizeScreen())
        QSKIP("taken on the 1280x800 screen");
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName("QRX5 Support-Software");
    whenModal([](QWidget* w) {
        Shots::saveFramed(w, "message-title.png");
        qobject_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
    });
    DialogOperator().message("", "Cannot open file.", OperatorInteraction::Icon::None);
    QCoreApplication::setApplicationName(name);
}

int screenShots(const QStringList& args) {
    ScreenShots shots;
    return QTest::qExec(&shots, args);
}

#include "ScreenShots.moc"
