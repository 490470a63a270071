// The pulse-train panel's direct teaching: the slider moved by hand with the servo off, its
// position polled into Txt_Pos, and SET taking it into a zone cell or, as the virtual origin,
// into the origin point shift (parameter 35).
#include "link/Command.h"
#include "pulse/PulseDrive.h"
#include "pulse/PulseParameterModel.h"
#include "pulse/ZoneRules.h"
#include "pulse/ZoneTableModel.h"
#include "tables/CellText.h"
#include "tables/ParameterRows.h"

#include <QTimer>

#include <cmath>

namespace {

bool has(const QString& text, const char* marker) {
    return text.contains(QLatin1String(marker));
}

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
    if (s.operationMode || motionRunning())
        return;
    m_poll->stop();
    m_host.setSettei(0);
    m_targetOrigin = originShift;
    m_host.setControlColour(Ctl::TargetP,
                            originShift ? DriveColour::Idle : DriveColour::TargetSelected);
    m_host.setControlColour(Ctl::SetBase,
                            originShift ? DriveColour::OriginTargetSelected : DriveColour::Idle);
    setDriveButtons({PulseCtl::Playback, PulseCtl::Numeric, PulseCtl::JogOpen, PulseCtl::JogClose,
                     Ctl::Operation, Ctl::Set, Ctl::TargetP, Ctl::SetBase},
                    false);
    s.panelMode = DriveState::DirectTeaching;
    m_host.setControlChecked(PulseCtl::Direct, true);
    m_host.disableCommands();
    // The zones take only what SET writes while the slider is taught.
    m_zones.setLocked(true);
    m_teaching = true;

    m_ctx.link.operationTitle = QStringLiteral("Direct Teach");
    // Declining or failing any step returns to numeric input rather than leaving a teaching
    // that cannot work with the menus locked.
    if (!Ops::askYesNo(m_ctx, AskOrigin) || returnToOrigin(true) != Drive::Outcome::Done ||
        !readShiftToStatusBar() || !servoOff()) {
        endTeaching();
        return;
    }
    setDriveButtons({Ctl::Set, Ctl::TargetP, Ctl::SetBase}, true);
    m_poll->start(0);
}

bool PulseDrive::readShiftToStatusBar() {
    Link& link = m_ctx.link;
    link.operationTitle = QStringLiteral("Parameter read-out");
    Ops::exchange(m_ctx, Command::QueryPRM, QStringLiteral("35"), 5000);
    if (link.Timeout || !has(link.ReplyText, "OK")) {
        link.ReportLinkError(m_ctx.op, m_host);
        return false;
    }
    const QString value = Link::ExtractReplyValue(link.ReplyText).trimmed();
    state().originShift = CellText::leadingNumber(value).toDouble();
    m_host.setStatusText(2, ParameterRows::originShiftText(value));
    return true;
}

bool PulseDrive::servoOff() {
    Link& link = m_ctx.link;
    link.operationTitle = QStringLiteral("Servo");
    if (!Ops::askYesNo(m_ctx, QStringLiteral("Do you turn off the power of motor? Cannot change "
                                             "the mode during turning off the power of motor.")))
        return false;
    return Drive::servoOff(m_ctx);
}

void PulseDrive::pollTeaching() {
    DriveState& s = state();
    if (!m_teaching || s.panelMode != DriveState::DirectTeaching || m_closing)
        return;
    // Nothing to read while a motion runs, or while a write block (SET sending the origin)
    // holds the line.
    if (s.motionBusy || m_ctx.link.state().lineHolder) {
        m_poll->start(100);
        return;
    }
    for (const char* name :
         {PulseCtl::Servo, PulseCtl::Deviation, PulseCtl::Brake, PulseCtl::Alarm})
        m_host.setControlEnabled(name, false);
    const Drive::Outcome outcome = Drive::readCurrentPosition(
        m_ctx, [this](double mm, double shift) { showTeachingPosition(mm, shift); });
    if (outcome == Drive::Outcome::NoReply || outcome == Drive::Outcome::Refused) {
        endTeaching(); // reported by the refresh
        return;
    }
    // The next read after a short pause: the line time paces the polling.
    if (m_teaching && s.panelMode == DriveState::DirectTeaching && !m_closing)
        m_poll->start(20);
}

void PulseDrive::endTeaching() {
    DriveState& s = state();
    m_poll->stop();
    m_teaching = false;
    s.panelMode = DriveState::Numeric;
    m_host.setControlChecked(PulseCtl::Numeric, true);
    setDriveButtons(
        {PulseCtl::Numeric, PulseCtl::Direct, Ctl::Operation, Ctl::Set, Ctl::TargetP, Ctl::SetBase},
        true);
    m_host.setControlColour(Ctl::TargetP, DriveColour::Idle);
    m_host.setControlColour(Ctl::SetBase, DriveColour::Idle);
    m_host.enableCommands();
    m_zones.setLocked(false);
    m_host.setSettei(1);
}

void PulseDrive::showTeachingPosition(double positionMm, double originShift) {
    if (!m_teaching || state().panelMode != DriveState::DirectTeaching)
        return;
    // A zone position is measured from the origin the controller works with; the new origin
    // point shift is where the slider stands seen from the mechanical origin: the position
    // plus the shift now in force, in mm.
    const double value = m_targetOrigin ? positionMm + originShift / 100.0 : positionMm;
    m_host.setControlText(Ctl::Pos, QString::number(std::round(value * 100) / 100, 'f', 2));
}

// ---- SET ------------------------------------------------------------------------------------

void PulseDrive::setClicked() {
    // Txt_Pos holds what SET takes while it runs; the polling goes on afterwards.
    m_poll->stop();
    const auto resumePolling = [this] {
        if (m_teaching && state().panelMode == DriveState::DirectTeaching && !m_closing)
            m_poll->start(20);
    };
    const QString position = asPosition(m_host.controlText(Ctl::Pos));
    m_host.setControlText(Ctl::Pos, position);
    const double value = position.toDouble();
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
        changed = sendVirtualOrigin(position);
    } else if (const auto [row, column] = m_host.currentZoneCell();
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
    m_ctx.link.operationTitle = QStringLiteral("Teaching");
    if (Ops::askYesNo(m_ctx, AskOrigin)) {
        returnToOrigin(true);
    } else {
        state().panelMode = DriveState::None;
        m_host.enableToolbar();
        m_host.enableCommands();
        m_host.setControlText(Ctl::Pos, QStringLiteral("0.00"));
    }
    endTeaching();
    settingClicked();
}

// The origin point shift taught from the current position, written to the controller at once
// and read back. True when parameter 35 of the table changed.
bool PulseDrive::sendVirtualOrigin(const QString& position) {
    Link& link = m_ctx.link;
    link.operationTitle = QStringLiteral("Parameter");
    link.ReplyTimeoutMs = 3000;
    link.setErrorText({});
    if (!Ops::askYesNo(m_ctx, QStringLiteral("Do you send virtual origin data?"))) {
        m_host.enableToolbar();
        m_host.setControlText(Ctl::Pos, position);
        return false;
    }
    const QString shift = QString::number(std::llround(position.toDouble() * 100));
    m_params.setSettingValue(35, shift);
    if (!Ops::writeParameters(m_ctx, {{35, shift}}))
        return true;
    const QString value = Ops::readParameterValue(m_ctx, 35).trimmed();
    if (link.Timeout || !has(link.ReplyText, "OK")) {
        link.ReportLinkError(m_ctx.op, m_host);
        return true;
    }
    m_params.setSettingValue(35, value);
    state().originShift = CellText::leadingNumber(value).toDouble();
    m_host.setStatusText(2, ParameterRows::originShiftText(value));
    m_ctx.op.message(QStringLiteral("ok"),
                     QStringLiteral("Transmitting and receiving has finished."),
                     OperatorInteraction::Icon::None);
    return true;
}

// ---- Txt_Pos --------------------------------------------------------------------------------

bool PulseDrive::positionBoxAccepts(QChar ch) {
    return ZoneRules::acceptsCharacter(ZoneRules::ColA, ch);
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
