// The pulse-train panel's direct teaching: the slider moved by hand with the servo off, its
// position polled into Txt_Pos, and SET taking it into a zone cell or, as the virtual origin,
// into the origin point shift (parameter 35).
#include "drive/DirectTeachingPoll.h"
#include "link/Command.h"
#include "link/ReplyRules.h"
#include "pulse/PulseDrive.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/ZoneRules.h"
#include "pulse/ZoneTableModel.h"
#include "tables/CellText.h"
#include "tables/ParameterRows.h"
#include "transfers/LinkReports.h"
#include "transfers/WriteBlock.h"

#include <QTimer>

#include <cmath>

namespace {

// Txt_Pos while it has the focus in numeric input mode, and after it lost it.
constexpr quint32 PositionBoxFocused = 0xFF80FF;
constexpr quint32 PositionBoxLeft = 0xFF8080;

// A text as the number it begins with, written "0.00".
QString asPosition(const QString& text) {
    return CellText::fixed2(CellText::leadingNumber(text));
}

const QString AskOrigin = QStringLiteral("Execute return to origin? If stopping in operations "
                                         "required, press Pop-up button.");

} // namespace

// ---- Direct teaching ------------------------------------------------------------------------

void PulseDrive::teachClicked(bool originShift) {
    DriveState& s = state();
    if (s.operationMode || !s.motion.idle() || m_teaching)
        return;
    m_poll->stop();
    m_targetOrigin = originShift;
    m_host.setControlColour(Ctl::TargetP,
                            originShift ? DriveColour::Idle : DriveColour::TargetSelected);
    m_host.setControlColour(Ctl::SetBase,
                            originShift ? DriveColour::OriginTargetSelected : DriveColour::Idle);
    s.panelMode = DriveState::DirectTeaching;
    m_host.setControlChecked(PulseCtl::Direct, true);
    // The zones take only what SET writes while the slider is taught.
    m_teaching = true;
    m_teachingReady = false;
    applyPanelState();

    const DriveContext c = Ops::titled(m_ctx, QStringLiteral("Direct Teach"));
    // Declining or failing any step returns to numeric input rather than leaving a teaching
    // that cannot work with the menus locked.
    if (!Ops::askYesNo(c, AskOrigin) || returnToOrigin(c, true) != Drive::Outcome::Done ||
        !readShiftToStatusBar(Ops::titled(m_ctx, QStringLiteral("Parameter read-out")), 5000) ||
        !servoOff(m_ctx)) {
        endTeaching();
        return;
    }
    m_teachingReady = true;
    applyPanelState();
    m_poll->start();
}

void PulseDrive::endTeaching() {
    DriveState& s = state();
    m_poll->stop();
    m_teaching = false;
    m_teachingReady = false;
    s.panelMode = DriveState::Numeric;
    m_host.setControlChecked(PulseCtl::Numeric, true);
    m_host.setControlColour(Ctl::TargetP, DriveColour::Idle);
    m_host.setControlColour(Ctl::SetBase, DriveColour::Idle);
    m_ctx.state.settei = 1;
    applyPanelState();
}

void PulseDrive::showTeachingPosition(double positionMm, double originShift) {
    if (!m_teaching || state().panelMode != DriveState::DirectTeaching)
        return;
    // A zone position is measured from the origin the controller works with; the new origin
    // point shift is where the slider stands seen from the mechanical origin: the position
    // plus the shift now in force, in mm.
    const double value = m_targetOrigin ? positionMm + originShift / 100.0 : positionMm;
    m_host.setControlText(Ctl::Pos, QString::number(std::round(value * 100) / 100, 'f', 2));
    m_host.selectControlText(Ctl::Pos);
}

// ---- SET ------------------------------------------------------------------------------------

void PulseDrive::setClicked() {
    // Txt_Pos holds what SET takes while it runs; the polling goes on afterwards.
    m_poll->stop();
    const auto resumePolling = [this] { m_poll->resume(); };
    const QString position = asPosition(m_host.controlText(Ctl::Pos));
    m_host.setControlText(Ctl::Pos, position);
    const double value = CellText::number(position).value_or(0.0);
    const auto refuse = [&](const QString& title, const QString& text) {
        m_ctx.op.message(title, text, OperatorInteraction::Icon::Warning);
        m_host.focusControl(Ctl::Pos);
        resumePolling();
    };
    bool changed = false;
    if (m_targetOrigin) {
        // Parameter 35 holds -9999 to 9999 (0.01 mm).
        if (std::abs(value) > 99.99) {
            refuse(QStringLiteral("error"),
                   QStringLiteral("Please set a value as -99.99 to 99.99mm."));
            return;
        }
        const ShiftSend sent = sendVirtualOrigin(position);
        // A shift the controller did not take changes nothing: the failure has been
        // reported, and teaching goes on as it was.
        if (sent == ShiftSend::Failed) {
            resumePolling();
            return;
        }
        changed = sent == ShiftSend::Sent;
    } else if (const auto [row, column] = m_pulseHost.currentZoneCell();
               column == ZoneRules::ColA || column == ZoneRules::ColB) {
        // The zone check is off for the teaching write; its range still holds.
        if (std::abs(value) > ZoneRules::Limit) {
            refuse(ZoneRules::ErrorTitle, ZoneRules::RangeText);
            return;
        }
        m_zones.setBulkWrite(ZoneTableModel::BulkWrite::Teaching);
        m_zones.setData(m_zones.index(row, column), position);
        m_zones.setBulkWrite(ZoneTableModel::BulkWrite::None);
        changed = true;
    }
    if (changed)
        m_zones.setModified(true);
    if (!m_teaching)
        return;
    if (m_ctx.op.askYesNo(QStringLiteral("Teaching"), QStringLiteral("Terminate teaching setting?"),
                          OperatorInteraction::Icon::None) != OperatorInteraction::Answer::Yes) {
        // Teaching goes on: the polling keeps Txt_Pos on the slider.
        m_zones.setModified(true);
        resumePolling();
        return;
    }
    leaveTeaching();
}

void PulseDrive::endTeachingClicked() {
    if (!m_teaching || !m_teachingReady || !state().motion.idle())
        return;
    m_poll->stop();
    leaveTeaching();
}

void PulseDrive::leaveTeaching() {
    const DriveContext c = Ops::titled(m_ctx, QStringLiteral("Teaching"));
    if (Ops::askYesNo(c, AskOrigin)) {
        returnToOrigin(c, true);
    } else {
        state().panelMode = DriveState::None;
        m_host.setControlText(Ctl::Pos, QStringLiteral("0.00"));
    }
    endTeaching();
    returnToSetting();
}

// The origin point shift taught from the current position, written to the controller at once
// and read back. Parameter 35 of the table takes the value only when the controller took it.
PulseDrive::ShiftSend PulseDrive::sendVirtualOrigin(const QString& position) {
    const DriveContext c = Ops::titled(m_ctx, QStringLiteral("Parameter"));
    c.link.setErrorText({});
    if (!Ops::askYesNo(c, QStringLiteral("Do you send virtual origin data?"))) {
        Ops::restore(c);
        m_host.setControlText(Ctl::Pos, position);
        return ShiftSend::Declined;
    }
    const QString shift =
        QString::number(std::llround(CellText::number(position).value_or(0.0) * 100));
    const QString tableShift = m_pulseParams.settingValue(35);
    m_pulseParams.setSettingValue(35, shift);
    if (!Ops::writeParameters(c, {{35, shift}})) {
        m_pulseParams.setSettingValue(35, tableShift);
        return ShiftSend::Failed;
    }
    // The controller holds it: undo leaves it so.
    m_pulseParams.controllerHolds(35);
    const ExchangeResult r = Ops::readParameter(c, 35);
    const QString value = Ops::valueOf(r).trimmed();
    if (r.Timeout() || !ReplyRules::isOk(r.ReplyText)) {
        // Sent, but not read back: the table keeps what was sent.
        Ops::reportLinkError(c, r);
        m_host.setStatusText(2, ParameterRows::originShiftText(shift));
        m_zones.setModified(true);
        return ShiftSend::Failed;
    }
    m_pulseParams.setControllerValue(35, value);
    state().originShift = Ops::numberOf(r).value_or(0.0);
    m_host.setStatusText(2, ParameterRows::originShiftText(value));
    m_ctx.op.message(QStringLiteral("ok"),
                     QStringLiteral("Transmitting and receiving has finished."),
                     OperatorInteraction::Icon::None);
    return ShiftSend::Sent;
}

// ---- Txt_Pos --------------------------------------------------------------------------------

bool PulseDrive::positionBoxTakesKey(int key, Qt::KeyboardModifiers modifiers,
                                     const QString& text) {
    if (key == Qt::Key_Backspace || key == Qt::Key_Return || key == Qt::Key_Enter)
        return true;
    // Tab, Escape and every combination (Ctrl+V and the like) are discarded.
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape ||
        (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    // A key that types nothing (an arrow, Home, End, Delete) only moves the cursor or deletes.
    if (text.isEmpty() || key == Qt::Key_Delete)
        return true;
    for (const QChar ch : text)
        if (!(ch.isDigit() && ch.unicode() < 0x80) && ch != u'-' && ch != u'.')
            return false;
    return true;
}

void PulseDrive::positionBoxEdited() {
    m_host.setControlText(Ctl::Pos, asPosition(m_host.controlText(Ctl::Pos)));
}

void PulseDrive::positionBoxFocused(bool focused) {
    if (!focused) {
        m_host.setControlColour(Ctl::Pos, PositionBoxLeft);
        return;
    }
    if (state().panelMode != DriveState::Numeric)
        return;
    positionBoxEdited();
    m_host.focusControl(Ctl::Pos); // selects the whole text
    m_host.setControlColour(Ctl::Pos, PositionBoxFocused);
}
