#include "pointops/CompareOps.h"

#include "link/Command.h"
#include "pointdata/ActuatorTypes.h"
#include "pointdata/ParameterRules.h"
#include "pointdata/ParameterTableModel.h"
#include "pointdata/PointRules.h"
#include "pointdata/PointTableModel.h"
#include "pointops/PointOpsContext.h"
#include "pointops/PointReply.h"
#include "startup/ProgressView.h"

#include <QCoreApplication>
#include <QStringList>
#include <optional>

namespace CompareOps {

namespace {

constexpr int ReadTimeoutMs = 3000;
constexpr int LastNumber = 63;

const QString Title = QStringLiteral("Compare");

enum class Outcome { Equal, Different, Ended };

// The read of one table. False when the operation ends (reported, window restored).
// The parameter read must be answered "OK": any other reply, a refusal included, is a
// communication error. The point read reports a refusal as a reply error.
bool read(PointOpsContext& c, int code, bool needsOk) {
    Ops::exchange(c, code, {}, ReadTimeoutMs);
    const QString& reply = c.link.ReplyText;
    if (c.link.Timeout || (needsOk && !reply.contains(QLatin1String("OK")))) {
        c.link.ReportLinkError(c.op, c.host);
        Ops::restore(c);
        return false;
    }
    if (reply.contains(QLatin1String("NG"))) {
        Ops::reportNg(c);
        return false;
    }
    return true;
}

// One pass over the numbers 0 to 63 with the progress and cancel protocol; test returns true
// for a difference at n.
template <typename Test> Outcome scan(PointOpsContext& c, int& differentAt, Test test) {
    for (int n = 0; n <= LastNumber; ++n) {
        QCoreApplication::processEvents();
        c.progress.setValue(n);
        if (Ops::cancelled(c, Title, QStringLiteral("Stop")))
            return Outcome::Ended;
        if (test(n)) {
            differentAt = n;
            return Outcome::Different;
        }
    }
    return Outcome::Equal;
}

// The value of "PRM<n>=" up to the next CR; the search for PRM1= cannot match PRM11=.
std::optional<QString> parameterLine(const QString& reply, int n) {
    const QString marker = QStringLiteral("PRM%1=").arg(n);
    const int at = reply.indexOf(marker);
    if (at < 0)
        return std::nullopt;
    const int from = at + marker.size();
    const int cr = reply.indexOf(QLatin1Char('\r'), from);
    return reply.mid(from, cr < 0 ? -1 : cr - from);
}

void showResult(PointOpsContext& c, const QString& text) {
    Ops::restore(c);
    c.op.message(Title, text, OperatorInteraction::Icon::None);
}

} // namespace

bool samePoint(const QString* line, const PointRecord& point) {
    if (!line)
        return point.mode.isEmpty() && point.position.isEmpty() && point.speed.isEmpty() &&
               point.push.isEmpty();
    const QStringList fields = line->split(QLatin1Char(','));
    const bool noPosition = point.mode == u"O" || point.mode == u"C";
    QStringList columns{point.mode};
    if (!noPosition)
        columns << point.position;
    columns << point.speed << point.push;
    for (int i = 0; i < columns.size(); ++i) {
        if (fields.value(i) != columns[i])
            return false;
    }
    return true;
}

namespace {
// A value read as a number: blanks around it are ignored and an empty value reads as 0, as a
// numeric reading of a text does; a text that is no number at all has no reading.
std::optional<double> numericValue(const QString& text) {
    const QString t = text.trimmed();
    return t.isEmpty() ? std::optional<double>(0.0) : CellText::number(t);
}
} // namespace

bool sameParameter(const QString& controllerValue, const QString& setting) {
    const auto a = numericValue(controllerValue);
    const auto b = numericValue(setting);
    if (a && b)
        return *a == *b;
    return controllerValue.trimmed() == setting.trimmed();
}

void compare(PointOpsContext& c) {
    c.host.setSettei(0);
    c.link.operationTitle = Title;
    c.link.setCancelMessage(Title, QStringLiteral("Stop"));
    if (!Ops::askYesNo(c, QStringLiteral("Do you compare data?"))) {
        c.host.enableToolbar();
        return;
    }
    c.host.disableWindow();
    c.progress.showModeless();
    c.progress.setRange(0, LastNumber);
    c.progress.setValue(0);

    if (!read(c, Command::ReadPNT, false))
        return;
    const QString pointReply = c.link.ReplyText;
    const PointTableData points = c.points.table();
    int at = -1;
    Outcome outcome = scan(c, at, [&](int n) {
        const std::optional<QString> line = PointReply::pointLine(pointReply, n);
        return !samePoint(line ? &*line : nullptr, points[n]);
    });
    if (outcome == Outcome::Ended)
        return;
    if (outcome == Outcome::Different) {
        showResult(c, QStringLiteral("Point_No%1 NG").arg(at));
        return;
    }

    c.progress.setValue(0);
    if (!read(c, Command::ReadPRM, true))
        return;
    const QString parameterReply = c.link.ReplyText;
    // A controller whose type has no table here cannot be compared parameter by parameter: the
    // operator is told, and the program goes on.
    if (const auto type = parameterLine(parameterReply, 0);
        type && !ActuatorTypes::isSupported(*type)) {
        Ops::restore(c);
        ParameterRules::reportUnsupportedType(c.op);
        return;
    }
    const ParameterTableData params = c.params.table();
    // Each line is compared with the row of its own parameter number, so a controller that
    // leaves a number out cannot shift the later lines onto the wrong rows.
    outcome = scan(c, at, [&](int n) {
        const int row = ActuatorTypes::rowOfParameter(n);
        if (row < 0)
            return false;
        const std::optional<QString> value = parameterLine(parameterReply, n);
        return value && !sameParameter(*value, params[row].setting);
    });
    if (outcome == Outcome::Ended)
        return;
    if (outcome == Outcome::Different) {
        showResult(c, QStringLiteral("Parameter_No%1 NG").arg(at));
        return;
    }
    showResult(c, QStringLiteral("Comparison of data has finished successfully."));
}

} // namespace CompareOps
