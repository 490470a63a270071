#include "drive/Motion.h"

bool Motion::stopDialogWanted(bool operationMode) const {
    // Left moving: in Setting mode the dialog is the only stop control there is.
    if (leftMoving())
        return m_control == StopControl::Dialog || !operationMode;
    if (m_depth == 0 || m_control != StopControl::Dialog || m_stopRequested)
        return false;
    return m_phase == Phase::Moving || (m_phase == Phase::Starting && !operationMode);
}

void Motion::begin(StopControl control) {
    if (m_depth++ > 0) {
        m_outerControls.append(m_control);
        m_control = control;
        emit changed();
        return;
    }
    m_control = control;
    m_stopRequested = false;
    m_moveWentOut = false;
    m_phase = Phase::Starting;
    emit changed();
}

void Motion::end() {
    if (m_depth == 0)
        return;
    if (--m_depth > 0) {
        if (!m_outerControls.isEmpty())
            m_control = m_outerControls.takeLast();
        emit changed();
        return;
    }
    m_stopRequested = false;
    if (m_phase != Phase::MaybeMoving)
        m_phase = Phase::Idle;
    emit changed();
}

void Motion::setPhase(Phase phase) {
    if (phase == Phase::Moving) {
        m_moveWentOut = true;
        m_stopFailure.clear();
    }
    if (m_phase == phase)
        return;
    m_phase = phase;
    emit changed();
}

void Motion::stopWritten(int answerMs) {
    if (m_phase != Phase::Stopping)
        m_stopAnswerMs = answerMs;
    setPhase(Phase::Stopping);
}

void Motion::requestStop() {
    if (m_stopRequested)
        return;
    m_stopRequested = true;
    emit changed();
}

void Motion::settle() {
    if (m_depth > 0) {
        // The running sequence ends as it goes; it leaves nothing moving behind.
        setPhase(Phase::Starting);
        return;
    }
    setPhase(Phase::Idle);
}

void Motion::setHeld(bool held) {
    if (m_held == held)
        return;
    m_held = held;
    emit changed();
}
