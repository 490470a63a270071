#include "pointops/SizeDetection.h"

#include "drive/Drive.h"
#include "drive/IoMonitor.h"
#include "link/Command.h"
#include "link/ReplyRules.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointParameters.h"
#include "pointops/PointOpsContext.h"
#include "tables/CellText.h"
#include "transfers/LinkReports.h"
#include "transfers/WriteBlock.h"

#include <QRegularExpression>

#include <cmath>
#include <optional>

namespace {

using Icon = OperatorInteraction::Icon;

const QString kTitle = QStringLiteral("Size detection");

using ReplyRules::isOk;
using ReplyRules::isRefusal;

bool is(const QString& box, const char* name) {
    return box == QLatin1String(name);
}

// Plain decimal text as a cell reads it: an optional "-", digits, at most one decimal point.
// Everything else ("", ".", "-", "-.", ".-", a second "." or "-") is malformed.
std::optional<double> decimal(const QString& text) {
    return CellText::number(text.trimmed());
}

// A whole number as "#0" shows it: "05" is 5. None when the text is not one.
std::optional<int> whole(const QString& text) {
    static const QRegularExpression re(QStringLiteral(R"(^\d{1,6}$)"));
    if (!re.match(text).hasMatch())
        return std::nullopt;
    return text.toInt();
}

QString hundredths(double mm) {
    return QString::number(std::llround(mm * 100));
}

QString mmText(const QString& hundredthsText) {
    const double v = CellText::number(hundredthsText.trimmed()).value_or(0.0);
    return QString::number(v / 100.0, 'f', 2);
}

} // namespace

SizeDetection::SizeDetection(const PointOpsContext& ops, PanelHost& host)
    : m_ops(ops),
      m_host(host), m_ctx{{ops.link, ops.op, ops.progress, ops.host, ops.state, kTitle}, host} {}

// ---- Entry checks ---------------------------------------------------------------------------

bool SizeDetection::acceptsKey(const QString& box, QChar ch) {
    switch (ch.unicode()) {
    case 8:  // backspace
    case 9:  // Tab
    case 10: // Enter
    case 13:
    case 27: // Escape
        return true;
    default:
        break;
    }
    if (is(box, SizeCtl::Direction))
        return QStringLiteral("cCoO").contains(ch);
    const bool digit = ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
    if (is(box, SizeCtl::Speed) || is(box, SizeCtl::Level))
        return digit;
    if (is(box, SizeCtl::Max) || is(box, SizeCtl::Min))
        return digit || ch == QLatin1Char('-') || ch == QLatin1Char('.');
    return true;
}

void SizeDetection::keyRefused(const QString& box) {
    if (is(box, SizeCtl::Direction))
        m_ops.op.message(QStringLiteral("Pushing direction"),
                         QStringLiteral("Please set a value within C or O"), Icon::Critical);
}

void SizeDetection::edited(const QString& box) {
    const QString text = m_host.controlText(box);
    const auto refuse = [&](const char* title, const char* message) {
        m_ops.op.message(QLatin1String(title), QLatin1String(message), Icon::Critical);
        m_host.setControlText(box, QString());
    };
    if (is(box, SizeCtl::Direction)) {
        static const QStringList accepted = {"C", "c", "O", "o", ""};
        if (!accepted.contains(text))
            refuse("Pushing direction", "Please set a value within C or O");
    } else if (is(box, SizeCtl::Speed)) {
        if (text.isEmpty())
            return;
        const std::optional<int> v = whole(text);
        if (!v || *v < 1 || *v > 10) {
            refuse("Pushing speed", "Please set a value within 1 to 10 (mm/s).");
            return;
        }
        if (text != QString::number(*v))
            m_host.setControlText(box, QString::number(*v));
    } else if (is(box, SizeCtl::Level)) {
        if (text.endsWith(QLatin1Char('.'))) {
            refuse("Pushing force level", "Cannot input decimal");
            return;
        }
        const std::optional<int> v = whole(text);
        if (!text.isEmpty() && (!v || *v < 1 || *v > 10))
            refuse("Pushing force level", "Please set a value within 1 to 10");
    }
}

void SizeDetection::pointLeft(const QString& box, bool byEnter) {
    const bool maximum = is(box, SizeCtl::Max);
    if (!maximum && !is(box, SizeCtl::Min))
        return;
    const int number = maximum ? 31 : 32;
    const QString title =
        maximum ? QStringLiteral("Maximum point") : QStringLiteral("Minimum point");
    ParameterTableModel& params = m_ops.params;
    const std::optional<double> value = decimal(m_host.controlText(box));
    if (!value) {
        if (!byEnter)
            m_ops.op.message(title,
                             maximum ? QStringLiteral("Please input maximum position")
                                     : QStringLiteral("Please input minimum position"),
                             Icon::Critical);
        params.setSettingValue(number, QStringLiteral("0"));
        m_host.setControlText(box, QStringLiteral("0.00"));
        return;
    }
    if (*value > 40.001 || *value < -40.001) {
        QString text = QStringLiteral("Please set a value within -40.00 to 40.00mm.");
        if (byEnter && maximum)
            text.chop(1);
        m_ops.op.message(byEnter ? QStringLiteral("error") : title, text, Icon::Warning);
        const ParameterTableData table = params.table();
        const int row = PointParameters::rowOfParameter(number);
        m_host.setControlText(box, mmText(row >= 0 ? table[row].initial : QString()));
        m_host.focusControl(box);
        return;
    }
    params.setSettingValue(number, hundredths(*value));
    m_host.setControlText(box, QString::number(*value, 'f', 2));
}

// ---- Operations -----------------------------------------------------------------------------

bool SizeDetection::modelCheck(const DriveContext& c, const QString& oldModelText) {
    const ExchangeResult r = Ops::exchange(c, Command::ReadDIO, {}, 3000);
    if (r.Timeout()) {
        Ops::reportLinkError(c, r);
        return false;
    }
    if (!Dio::isNewModel(r.ReplyText)) {
        c.op.message(kTitle, oldModelText, Icon::Critical);
        return false;
    }
    if (!isOk(r.ReplyText)) {
        Ops::reportLinkError(c, r);
        return false;
    }
    return true;
}

void SizeDetection::switchFunction(bool valid) {
    const DriveContext& c = m_ctx;
    const QString oldModel = QStringLiteral("Cannot use this function by old model controller") +
                             (valid ? QString() : QStringLiteral("."));
    if (!modelCheck(c, oldModel))
        return;
    ExchangeResult r = Ops::exchange(c, Command::WritePRM, {}, 3000);
    if (r.Timeout() || !ReplyRules::isReady(r.ReplyText)) {
        Ops::reportLinkError(c, r);
        return;
    }
    r = Ops::exchangeDataLine(c, Command::ParameterData, QStringLiteral("33="),
                              valid ? QStringLiteral("1") : QStringLiteral("0"));
    if (isRefusal(r.ReplyText)) {
        Ops::reportLinkError(c, r);
        return;
    }
    r = Ops::exchange(c, Command::EndOfData, {}, 3000);
    if (r.Timeout() || isRefusal(r.ReplyText) || !isOk(r.ReplyText)) {
        Ops::reportLinkError(c, r);
        return;
    }
    m_host.setControlColour(valid ? SizeCtl::Valid : SizeCtl::Invalid, HighlightBgr);
    m_host.setControlColour(valid ? SizeCtl::Invalid : SizeCtl::Valid, std::nullopt);
    m_ops.op.message(kTitle,
                     valid ? QStringLiteral("Size detecting valid function")
                           : QStringLiteral("Size detecting invalid function"),
                     Icon::None);
    // The controller holds it: undo leaves it so.
    m_ops.params.setControllerValue(33, valid ? QStringLiteral("1") : QStringLiteral("0"));
}

bool SizeDetection::returnToOrigin(const DriveContext& c) {
    const Drive::Moved moved = Drive::runMotion(c, {Command::ORG, {}, {}, 22000, {}});
    if (moved.end != Drive::MotionEnd::Replied)
        return false; // stopped before it went out, or failed (stopped and reported)
    if (isOk(moved.reply()))
        return true;
    // The operator's own stop is no failure to report.
    if (Drive::stopAsked(c) && ReplyRules::isStop(moved.reply()))
        return false;
    Ops::reportLinkError(c, moved.result);
    return false;
}

void SizeDetection::teach(bool maximum) {
    Motion& motion = m_host.drive().motion;
    if (m_busy || !motion.idle())
        return;
    const DriveContext& c = m_ctx;
    m_busy = true;
    // The panel is held until the teaching ends, whichever step ends it: Setting, Operation,
    // SET and the menus stay locked meanwhile.
    motion.setHeld(true);
    struct Unlock {
        SizeDetection* self;
        Motion& motion;
        ~Unlock() {
            self->m_busy = false;
            motion.setHeld(false);
        }
    } unlock{this, motion};

    const QString direction = m_host.controlText(SizeCtl::Direction);
    const QString speed = m_host.controlText(SizeCtl::Speed);
    const QString level = m_host.controlText(SizeCtl::Level);
    const char* missing = direction.isEmpty() ? "Input pushing direction."
                          : speed.isEmpty()   ? "Input speed."
                          : level.isEmpty()   ? "Input pushing force."
                                              : nullptr;
    if (missing) {
        m_ops.op.message(kTitle, QLatin1String(missing), Icon::Critical);
        return;
    }
    const ExchangeResult typeRead = Ops::readParameter(c, 0);
    if (typeRead.Timeout()) {
        Ops::reportLinkError(c, typeRead);
        return;
    }
    const int limit = maximum && Ops::valueOf(typeRead).trimmed() == QLatin1String("84") ? 35 : 10;
    if (speed.toInt() > limit) {
        m_ops.op.message(kTitle,
                         QStringLiteral("Please set in speed 0 to ") + QString::number(limit) +
                             QStringLiteral(" (mm/s)."),
                         Icon::Critical);
        return;
    }
    if (!Ops::askYesNo(c, QStringLiteral("Do you size detection?")))
        return;
    // Three motions follow, each with the stop dialog on screen; a stop ends the teaching
    // where it stands: no further motion and nothing read back.
    MotionSequence sequence(motion, Motion::StopControl::Dialog);
    if (!modelCheck(c, QStringLiteral("Cannot use this function by old model controller")) ||
        Drive::stopAsked(c) || !returnToOrigin(c) || Drive::stopAsked(c))
        return;

    const Drive::Moved moved = Drive::runMotion(c, {maximum ? Command::GMAX : Command::GMIN,
                                                    direction + QLatin1Char(',') + speed,
                                                    level,
                                                    20000,
                                                    {}});
    if (moved.end != Drive::MotionEnd::Replied || Drive::stopAsked(c))
        return;
    const QString& reply = moved.reply();
    if (isRefusal(reply)) {
        c.op.message(kTitle, QStringLiteral("Error occurred."), Icon::Critical);
        Ops::reportLinkError(c, moved.result);
        return;
    }
    const bool found = reply.mid(6, 2) != QLatin1String("64");
    if (!found) {
        m_ops.op.message(kTitle, QStringLiteral("No pushing object is detected."), Icon::Critical);
    } else {
        const int number = maximum ? 31 : 32;
        const ExchangeResult r = Ops::readParameter(c, number);
        const QString& value = r.ReplyText;
        if (r.Timeout() || !isOk(value)) {
            Ops::reportLinkError(c, r);
            return;
        }
        QString taught = value.left(qMax<qsizetype>(0, value.size() - 4));
        if (taught.endsWith(QLatin1String("\r\n")))
            taught.chop(2);
        m_ops.params.setControllerValue(number, taught);
        m_host.setControlText(maximum ? SizeCtl::Max : SizeCtl::Min, mmText(taught));
    }
    // The teaching has finished only once the closing return to origin has: said after it.
    if (Drive::stopAsked(c) || !returnToOrigin(c) || Drive::stopAsked(c) || !found)
        return;
    m_ops.op.message(kTitle, QStringLiteral("Size detection has finished."), Icon::Information);
}

bool SizeDetection::pointText(bool maximum, double& value) {
    const char* box = maximum ? SizeCtl::Max : SizeCtl::Min;
    const std::optional<double> v = decimal(m_host.controlText(box));
    if (v) {
        value = *v;
        return true;
    }
    m_ops.op.message(maximum ? QStringLiteral("Maximum point") : QStringLiteral("Minimum point"),
                     maximum ? QStringLiteral("Please input maximum position")
                             : QStringLiteral("Please input minimum position"),
                     Icon::Critical);
    m_host.setControlText(box, QStringLiteral("0.00"));
    m_ops.params.setSettingValue(maximum ? 31 : 32, QStringLiteral("0"));
    return false;
}

void SizeDetection::sendPoints() {
    if (m_busy)
        return;
    const DriveContext& c = m_ctx;
    double maxPoint = 0;
    double minPoint = 0;
    if (!pointText(true, maxPoint) || !pointText(false, minPoint))
        return;
    m_busy = true;
    struct Unbusy {
        bool& busy;
        ~Unbusy() { busy = false; }
    } unbusy{m_busy};
    if (!modelCheck(c, QStringLiteral("Cannot use this function by old model controller")))
        return;
    Ops::WriteBlock block(c, QStringLiteral("parameters"), 2);
    if (!block.open(Command::WritePRM))
        return;
    const QString maxValue = hundredths(maxPoint);
    const QString minValue = hundredths(minPoint);
    if (!block.sendLine(Command::ParameterData, QStringLiteral("31="), maxValue))
        return;
    m_ops.params.setSettingValue(31, maxValue);
    if (!block.sendLine(Command::ParameterData, QStringLiteral("32="), minValue))
        return;
    m_ops.params.setSettingValue(32, minValue);
    const ExchangeResult end = block.endOfData();
    const QString& reply = end.ReplyText;
    if (isRefusal(reply)) {
        Ops::reportNg(c, end);
        return;
    }
    const QString title = QStringLiteral("Pushing position setting");
    if (end.Timeout()) {
        // Both points went out, but the controller did not confirm the block: the operator
        // learns that it may not hold them.
        ExchangeResult told = end;
        told.reason += QStringLiteral("\nParameters 31 and 32 were sent, but the controller did "
                                      "not confirm them: it may not hold the new values.");
        Ops::reportLinkError(Ops::titled(c, title), told);
        return;
    }
    if (isOk(reply)) {
        m_ops.params.controllerHolds(31);
        m_ops.params.controllerHolds(32);
        m_ops.op.message(title, QStringLiteral("Transmission completion."), Icon::None);
        m_host.setControlText(SizeCtl::Max, QString::number(maxPoint, 'f', 2));
        m_host.setControlText(SizeCtl::Min, QString::number(minPoint, 'f', 2));
    } else {
        m_ops.op.message(title, QStringLiteral("Was not able to transmit."), Icon::Critical);
    }
}
