// The point-input drive panel's teaching: the three methods, SET with the origin point shift
// and its soft-limit suggestion, and the low-speed movement boxes.
#include "drive/DirectTeachingPoll.h"
#include "link/Command.h"
#include "link/ReplyRules.h"
#include "pointdata/DependentDisplays.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointTableModel.h"
#include "pointops/PointDrive.h"
#include "tables/CellText.h"
#include "tables/SoftLimit.h"
#include "transfers/LinkReports.h"
#include "transfers/WriteBlock.h"

#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// Plain decimal text only, as a cell reads it, here also with a "+" before it.
std::optional<double> decimal(const QString& text) {
    const QString t = text.trimmed();
    return CellText::number(
        t.startsWith(QLatin1Char('+')) && !t.startsWith(QLatin1String("+-")) ? t.mid(1) : t);
}

QString hundredths(double mm) {
    return QString::number(std::llround(mm * 100));
}

// A controller or table value read as a 16-bit whole number; 0 when it is no number.
int int16(const QString& text) {
    const double v = CellText::number(text.trimmed()).value_or(0.0);
    return int(std::clamp(std::nearbyint(v), -32768.0, 32767.0));
}

// A controller or table value read as a number; 0 when it is no number.
double numberOf(const QString& text) {
    return CellText::number(text.trimmed()).value_or(0.0);
}

} // namespace

// ---- Teaching methods -----------------------------------------------------------------------

void PointDrive::teachingSelected(int method) {
    switch (method) {
    case 0:
        selectNumericInput();
        break;
    case 1:
        runDirectTeaching();
        break;
    case 2:
        runTeachingPlayback();
        break;
    default:
        break;
    }
}

void PointDrive::selectNumericInput() {
    DriveState& s = state();
    m_host.setControlChecked(PointCtl::Numeric, true);
    s.panelMode = DriveState::Numeric;
    // Numeric Input while a teaching sequence runs stops it.
    if (s.motion.running())
        Drive::requestStop(m_ctx);
    endTeaching();
}

void PointDrive::endTeaching() {
    m_poll->stop();
    m_teachingOpen = false;
    m_playbackReady = false;
    for (const char* jog : {PointCtl::Plus, PointCtl::Minus})
        m_host.setControlColour(jog, std::nullopt);
    m_ctx.state.settei = 1;
    applyPanelState();
    emit jogChanged(); // a jog waiting for its release ends with the teaching
}

void PointDrive::servoOffDeclined() {
    Ops::restore(m_ctx);
    m_host.setControlEnabled(PointCtl::ParametersFrame, true);
    state().panelMode = DriveState::None;
}

void PointDrive::runDirectTeaching() {
    DriveState& s = state();
    if (m_teachingOpen || s.operationMode || !s.motion.idle())
        return;
    m_teachingOpen = true;
    s.panelMode = DriveState::DirectTeaching;
    applyPanelState();
    const DriveContext c = Ops::titled(m_ctx, QStringLiteral("Direct Teach"));
    // Declining or failing any step returns to Numeric Input rather than leaving a teaching
    // method open that cannot work.
    if (!askReturnToOrigin(c) || !readShiftToStatusBar(c, 3000) || !servoOff(c)) {
        selectNumericInput();
        return;
    }
    m_poll->start();
}

void PointDrive::runTeachingPlayback() {
    DriveState& s = state();
    if (m_teachingOpen || s.operationMode || !s.motion.idle())
        return;
    m_teachingOpen = true;
    s.panelMode = DriveState::TeachingPlayback;
    applyPanelState();
    const DriveContext c = Ops::titled(m_ctx, QStringLiteral("Teaching Playback"));
    if (!askReturnToOrigin(c) || !readShiftToStatusBar(c, 3000)) {
        selectNumericInput();
        return;
    }
    // From here the jog buttons drive the actuator (jogPressed / jogReleased); nothing runs
    // while neither is held.
    m_playbackReady = true;
    for (const char* jog : {PointCtl::Plus, PointCtl::Minus})
        m_host.setControlColour(jog, DriveColour::JogPlayback);
    applyPanelState();
}

void PointDrive::showTeachingPosition(double positionMm, double originShift) {
    const int mode = state().panelMode;
    if (mode != DriveState::DirectTeaching && mode != DriveState::TeachingPlayback)
        return;
    // The origin target takes the position from the mechanical origin; a point position is
    // measured from the shifted origin.
    const double shiftMm = originShift / 100.0;
    const double value = m_targetOrigin ? positionMm + shiftMm : positionMm - shiftMm;
    m_host.setControlText(Ctl::Pos, QString::number(std::round(value * 100) / 100, 'f', 2));
    m_host.selectControlText(Ctl::Pos);
}

void PointDrive::targetSelected(bool originShift) {
    m_targetOrigin = originShift;
    m_host.setControlColour(Ctl::TargetP,
                            originShift ? DriveColour::Idle : DriveColour::TargetSelected);
}

// ---- SET ------------------------------------------------------------------------------------

void PointDrive::setClicked() {
    const std::optional<double> value = decimal(m_host.controlText(Ctl::Pos));
    if (!value || *value < -99.99 || *value > 99.99) {
        m_ctx.op.message(QStringLiteral("error"),
                         QStringLiteral("Please set a value as -99.99 to 99.99mm."),
                         OperatorInteraction::Icon::Warning);
        m_host.setControlText(Ctl::Pos, QStringLiteral("0.00"));
        m_host.focusControl(Ctl::Pos);
        return;
    }
    const QString position = QString::number(*value, 'f', 2);
    m_host.setControlText(Ctl::Pos, position);
    if (m_targetOrigin) {
        const ShiftSend sent = sendOriginShift(position);
        m_host.refreshDependentDisplays();
        // A shift the controller did not take changes nothing: the failure has been
        // reported, and teaching goes on as it was.
        if (sent == ShiftSend::Failed)
            return;
    } else {
        m_ops.points.teachPosition(m_pointHost.currentPointRow(), position);
    }
    if (!m_teachingOpen) {
        m_ops.points.setModified(true);
        return;
    }
    if (m_ctx.op.askYesNo(QStringLiteral("Teaching"), QStringLiteral("Terminate teaching setting?"),
                          OperatorInteraction::Icon::None) != OperatorInteraction::Answer::Yes) {
        m_ops.points.setModified(true);
        return;
    }
    askReturnToOrigin(Ops::titled(m_ctx, QStringLiteral("Teaching")));
    selectNumericInput();
    returnToSetting();
}

PointDrive::ShiftSend PointDrive::sendOriginShift(const QString& position) {
    const DriveContext c = Ops::titled(m_ctx, QStringLiteral("Parameter"));
    ParameterTableModel& params = m_ops.params;
    c.link.setErrorText({});
    if (!Ops::askYesNo(c, QStringLiteral("Do you send virtual origin data?")))
        return ShiftSend::Declined;
    const ExchangeResult shift = Ops::readParameter(c, 35);
    if (shift.Timeout() || !ReplyRules::isOk(shift.ReplyText)) {
        Ops::reportLinkError(c, shift);
        return ShiftSend::Failed;
    }
    const int previousShift = int16(Ops::valueOf(shift));
    const QString newShift = hundredths(numberOf(position));
    // The table takes a value only once the controller has it.
    const QString tableShift = params.settingValue(35);
    params.setSettingValue(35, newShift);
    if (!Ops::writeParameters(c, {{35, newShift}})) {
        params.setSettingValue(35, tableShift);
        return ShiftSend::Failed;
    }
    params.controllerHolds(35);

    if (Ops::askYesNo(c, QStringLiteral("Is a soft limit also changed?"))) {
        double limits[2] = {};
        for (int n = 1; n <= 2; ++n) {
            const ExchangeResult r = Ops::readParameter(c, n);
            if (r.Timeout() || !ReplyRules::isOk(r.ReplyText)) {
                Ops::reportLinkError(c, r);
                m_ops.points.setModified(true); // the shift went out
                return ShiftSend::Failed;
            }
            limits[n - 1] = Ops::numberOf(r).value_or(0.0);
        }
        const SoftLimit::Suggestion s =
            SoftLimit::suggest(limits[0], limits[1], numberOf(newShift), previousShift);
        const OperatorInteraction::SoftLimits tableRows{numberOf(params.settingValue(1)),
                                                        int16(params.settingValue(2))};
        const OperatorInteraction::SoftLimits chosen =
            c.op.softLimitChange({s.plus, s.minus, s.note}, tableRows);
        const QString tableLimits[2] = {params.settingValue(1), params.settingValue(2)};
        params.setSettingValue(1, QString::number(chosen.plus, 'g', 15));
        params.setSettingValue(2, QString::number(chosen.minus));
        if (!Ops::writeParameters(c, {{1, params.settingValue(1)}, {2, params.settingValue(2)}})) {
            params.setSettingValue(1, tableLimits[0]);
            params.setSettingValue(2, tableLimits[1]);
            m_ops.points.setModified(true); // the shift went out
            return ShiftSend::Failed;
        }
        params.controllerHolds(1);
        params.controllerHolds(2);
    }
    m_host.setStatusText(2, DependentDisplays::originShiftText(params.settingValue(35)));
    m_ctx.op.message(QStringLiteral("ok"),
                     QStringLiteral("Transmitting and receiving has finished."),
                     OperatorInteraction::Icon::None);
    return ShiftSend::Sent;
}

// ---- Low-speed movement ---------------------------------------------------------------------

void PointDrive::lowSpeedEdited(const QString& box) {
    const QString text = m_host.controlText(box).trimmed();
    int number = 0;
    QString value;
    QString refusal;
    if (box == QLatin1String(PointCtl::Speed)) {
        number = 7;
        static const QRegularExpression whole(QStringLiteral(R"(^\d{1,3}$)"));
        if (whole.match(text).hasMatch() && text.toInt() >= 1 && text.toInt() <= 10)
            value = QString::number(text.toInt());
        else
            refusal = QStringLiteral("Please set a value within 1 to 10 (mm/s).");
    } else if (box == QLatin1String(PointCtl::Dist) || box == QLatin1String(PointCtl::Limit)) {
        number = box == QLatin1String(PointCtl::Dist) ? 8 : 9;
        const std::optional<double> mm = decimal(text);
        if (mm && *mm >= 0.01 && *mm <= 99.99)
            value = hundredths(*mm);
        else
            refusal = QStringLiteral("Please set a value within 0.01 to 99.99mm.");
    } else {
        return;
    }
    if (!refusal.isEmpty()) {
        m_ctx.op.message(QStringLiteral("error"), refusal, OperatorInteraction::Icon::None);
    } else if (m_ops.params.settingValue(number) != value) {
        m_ops.params.setSettingValue(number, value);
        m_ops.points.setModified(true);
    }
    // The boxes show the table again: restored after a refusal, reformatted after a change.
    m_host.refreshDependentDisplays();
}
