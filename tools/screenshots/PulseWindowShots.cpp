// The pulse-train window at 1280x800 and 1024x700, in Operation mode and while teaching, and
// its zone grid's two decimals.
#include "ScriptedOperator.h"
#include "Shots.h"
#include "WindowRig.h"
#include "pulse/ZoneTableModel.h"
#include "pulse/ui/PulsePanel.h"
#include "pulse/ui/ZoneGrid.h"
#include "pulse/ui/frmpulseMaindemo.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using Answer = OperatorInteraction::Answer;

class PulseWindowShots final : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup() { m_rig.stop(); }
    void windowModesAndTeaching();
    void zoneGridTwoDecimals();

  private:
    QPushButton* button(const QString& name) const { return m_window->panel()->button(name); }

    WindowRig<frmpulseMaindemo> m_rig;
    frmpulseMaindemo* m_window = nullptr;
};

void PulseWindowShots::init() {
    m_rig.start(VirtualController::Kind::Pulse, "COM6");
    m_window = m_rig.window.get();
    m_window->resize(1280, 800);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void PulseWindowShots::windowModesAndTeaching() {
    m_window->zones().setTable(
        {ZoneRecord{"10.00", "20.00", "pick"}, ZoneRecord{"-5.50", "-12.25", "drop"}});
    QTest::qWait(50);
    Shots::save(m_window, "pulse-window.png");

    // The window's inside on a 1024 x 700 screen, frame taken off.
    m_window->resize(QSize(1024 - MainWindowBase::FrameWidth, 700 - MainWindowBase::FrameHeight));
    QTest::qWait(50);
    Shots::save(m_window, "pulse-window-1024x700.png");

    m_window->resize(1280, 800);
    // Operation mode with the lamps lit: the slider within zone 0 of the controller, which
    // holds the zones the grid shows.
    m_rig.controller->setServoOn(true);
    m_rig.controller->setPosition(1250);
    m_rig.controller->setInputs("0000001011");
    m_rig.controller->memory().setZone(0, {"10.00", "20.00", {}});
    button("Cmd_driv")->click();
    QTRY_COMPARE(m_window->panel()->box("Txt_NowPosi")->text(), QString("12.50"));
    QTest::qWait(50);
    Shots::save(m_window, "pulse-window-operation.png");
    button("Cmd_Setup")->click();

    // Direct teaching into zone 1, position A: the slider pushed by hand to 12.50 mm.
    m_rig.op.answers = {Answer::Yes, Answer::Yes}; // return to origin, servo off
    m_window->findChild<ZoneGrid*>("Grid1")->setCurrentIndex(m_window->zones().index(1, 1));
    button("Cmd_TargetP")->click();
    m_rig.controller->setPosition(1250);
    QTRY_COMPARE(m_window->panel()->box("Txt_Pos")->text(), QString("12.50"));
    Shots::save(m_window, "pulse-window-teaching.png");
    button("Cmd_Setup")->click();
}

// A file's hand-typed "5" in A and B, and a reply's "12.5" in zone 1.
void PulseWindowShots::zoneGridTwoDecimals() {
    ScriptedOperator op;
    ZoneTableModel model(op);
    model.setTable({ZoneRecord{"5", "5", "typed by hand"}, ZoneRecord{"12.5", "-3.456", ""}});
    ZoneGrid grid(&model);
    grid.resize(620, 150);
    Shots::save(&grid, "zone-grid-two-decimals.png");
}

int pulseWindowShots(const QStringList& args) {
    PulseWindowShots shots;
    return QTest::qExec(&shots, args);
}

#include "PulseWindowShots.moc"
