#pragma once

#include "WindowRig.h"
#include "pointops/ui/frmMain.h"

#include <QObject>

// The base of the point-input window's GUI tests: a fresh window shown on COM3 to the
// in-process virtual controller for each test (openWindow() from init(), closeWindow() from
// cleanup()), with its rig's parts at hand.
class PointWindowTest : public QObject {
  protected:
    void openWindow() {
        m_rig.start(VirtualController::Kind::Point, "COM3");
        m_controller = m_rig.controller.get();
        m_channel = m_rig.channel.get();
        m_window = m_rig.window.get();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }
    void closeWindow() { m_rig.stop(); }
    QByteArray iniBytes() const { return m_rig.iniBytes(); }

    WindowRig<frmMain> m_rig;
    QString& m_ini = m_rig.ini;
    LinkState& m_state = m_rig.state;
    ScriptedOperator& m_op = m_rig.op;
    VirtualController* m_controller = nullptr;
    SimulatedChannel* m_channel = nullptr;
    frmMain* m_window = nullptr;
};
