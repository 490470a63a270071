#include "pointdata/PointRules.h"

#include "operator/OperatorInteraction.h"
#include "pointdata/PointParameters.h"

#include <cmath>
#include <utility>

namespace PointRules {

namespace {
bool isMode(const QString& mode) {
    return mode == u"A" || mode == u"I" || mode == u"O" || mode == u"C" || mode == u"U";
}

QString wholeNumber(double value) {
    return QString::number(static_cast<qlonglong>(CellText::roundHalfEven(value)));
}

Validity failure(Verdict verdict, int number, const QString& title, const QString& text) {
    return {verdict, number, title, text};
}

Validity incomplete(int number) {
    return failure(Verdict::Incomplete, number, QStringLiteral("Data un-transmitting"),
                   QStringLiteral("Data is not completed. Please check data."));
}

// A speed or pushing level that is a number but not a whole one: the controller stores whole
// numbers only.
std::optional<TableProblem> notWhole(const QString& item, const QString& field,
                                     const QString& value) {
    const auto v = CellText::number(value);
    if (!v || *v == std::floor(*v))
        return std::nullopt;
    return TableProblem{
        item, field, TableProblem::quoted(value) + QStringLiteral(" is not a whole number"), {}};
}
} // namespace

QString* field(PointRecord& point, int column) {
    switch (column) {
    case ColMode:
        return &point.mode;
    case ColPosition:
        return &point.position;
    case ColSpeed:
        return &point.speed;
    case ColPush:
        return &point.push;
    case ColNote:
        return &point.note;
    default:
        return nullptr;
    }
}

const QString* field(const PointRecord& point, int column) {
    return field(const_cast<PointRecord&>(point), column);
}

bool acceptsCharacter(int column, QChar c) {
    if (c.category() == QChar::Other_Control)
        return true; // backspace and other control keys
    switch (column) {
    case ColMode:
        return QStringLiteral("aiocuAIOCU").contains(c);
    case ColPosition:
        return c.unicode() >= 45 && c.unicode() <= 57; // "-", ".", "/" and the digits
    case ColSpeed:
    case ColPush:
        return c.unicode() >= '0' && c.unicode() <= '9';
    case ColNote:
        return true;
    default:
        return false;
    }
}

bool acceptsText(int column, const QString& text) {
    for (const QChar c : text)
        if (!acceptsCharacter(column, c))
            return false;
    return true;
}

bool applyChange(PointTableData& table, int row, int column, OperatorInteraction& op,
                 bool teachingSet) {
    if (row < 0 || row >= PointCount)
        return false;
    if (teachingSet) {
        for (int i = 0; i < 32; ++i)
            if (table[i].mode == u"O" || table[i].mode == u"C")
                table[i].position.clear();
    }

    PointRecord& r = table[row];

    // A lower-case letter comes from typing into the Mode cell: it also tidies the row for
    // that mode. A capital letter (typed or chosen in the mode dialog) does not.
    if (r.mode.size() == 1 && r.mode[0].isLower()) {
        if (r.mode == u"a" || r.mode == u"i") {
            r.push.clear();
        } else if (r.mode == u"c" || r.mode == u"o") {
            r.position.clear();
            const auto speed = CellText::number(r.speed.trimmed());
            if (speed && *speed > 35)
                r.speed = QStringLiteral("35");
        }
        r.mode = r.mode.toUpper();
    }
    if (!isMode(r.mode))
        r.mode.clear();

    if (!r.position.isEmpty())
        r.position = CellText::fixed2(r.position.trimmed()); // empty when not a number

    const bool positioning = r.mode == u"A" || r.mode == u"I";
    const bool pushing = r.mode == u"O" || r.mode == u"C";

    if (column == ColSpeed && !r.speed.isEmpty()) {
        const auto speed = CellText::number(r.speed.trimmed());
        if (!speed) { // text the keypad let through, such as "-" or "."
            r.speed.clear();
            return true;
        }
        const bool wide = positioning || r.mode == u"U";
        if (*speed < 1 || *speed > (wide ? 120 : 10)) {
            op.message(ErrorTitle, wide ? SpeedRangeWide : SpeedRangePush,
                       OperatorInteraction::Icon::Warning);
            r.speed.clear();
        } else {
            r.speed = wholeNumber(*speed);
        }
    }

    if (column == ColPush && !r.push.isEmpty() && !positioning) {
        const auto level = CellText::number(r.push.trimmed());
        if (!level) {
            r.push.clear();
            return true;
        }
        // The keypad can deliver a sign or a fraction, so the level is held to 1..10 here
        // rather than only refusing 0 and values above 10.
        if (*level < 1 || *level > 10) {
            op.message(ErrorTitle, PushLevelRange, OperatorInteraction::Icon::Warning);
            r.push.clear();
        } else {
            r.push = wholeNumber(*level);
        }
    }

    if (positioning)
        r.push.clear();
    if (pushing)
        r.position.clear();
    return true;
}

int strokeMillimetres(int settingStroke) {
    return static_cast<int>(CellText::roundHalfEven(settingStroke / 100.0));
}

void Validity::show(OperatorInteraction& op) const {
    if (ok())
        return;
    if (informative.isEmpty())
        op.message(title, text, OperatorInteraction::Icon::None);
    else
        op.informativeMessage(title, text, OperatorInteraction::Icon::None, informative);
}

QString modeLetter(const QString& mode) {
    if (mode.size() != 1)
        return {};
    const char16_t c = mode.at(0).unicode();
    const char16_t upper = (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c;
    switch (upper) {
    case u'A':
    case u'I':
    case u'O':
    case u'C':
    case u'U':
        return QString(QChar(upper));
    default:
        return {};
    }
}

void tidyAsStored(PointRecord& point) {
    const QString mode = modeLetter(point.mode);
    if (mode.isEmpty())
        return;
    point.mode = mode;
    if (mode == u"A" || mode == u"I")
        point.push.clear();
    if (mode == u"O" || mode == u"C")
        point.position.clear();
}

std::optional<TableProblem> valueProblem(const PointRecord& point, int number) {
    const QString item = QStringLiteral("Point %1").arg(number);
    const QString mode = modeLetter(point.mode);
    if (!point.mode.isEmpty() && mode.isEmpty())
        return TableProblem{item,
                            QStringLiteral("Mode"),
                            TableProblem::quoted(point.mode) +
                                QStringLiteral(" is none of A, I, O, C and U"),
                            {}};
    const auto outside = [&](const QString& field, const QString& value, double low, double high,
                             const QString& ruleText) -> std::optional<TableProblem> {
        if (value.isEmpty())
            return std::nullopt; // not set: a matter of completeness, checked at transmission
        const auto v = CellText::number(value);
        if (!v)
            return TableProblem{
                item, field, TableProblem::quoted(value) + QStringLiteral(" is not a number"), {}};
        if (*v < low || *v > high)
            return TableProblem{item, field,
                                TableProblem::quoted(value) +
                                    QStringLiteral(" is not within %1 to %2").arg(low).arg(high),
                                ruleText};
        return notWhole(item, field, value);
    };
    const bool positioning = mode == u"A" || mode == u"I" || mode == u"U";
    const bool pushing = mode == u"O" || mode == u"C";
    if (positioning && !point.position.isEmpty() && !CellText::number(point.position))
        return TableProblem{item,
                            QStringLiteral("Position"),
                            TableProblem::quoted(point.position) +
                                QStringLiteral(" is not a number"),
                            {}};
    if (positioning || pushing)
        if (auto p = outside(QStringLiteral("Speed"), point.speed, 1, pushing ? 10 : 120,
                             pushing ? SpeedRangePush : SpeedRangeWide))
            return p;
    if (pushing || mode == u"U")
        if (auto p = outside(QStringLiteral("Pushing level"), point.push, 1, 10, PushLevelRange))
            return p;
    return std::nullopt;
}

Validity checkPoint(const PointRecord& point, int number, const QString& type, int strokeMm) {
    const QString mode = modeLetter(point.mode);
    const bool pos = !point.position.isEmpty();
    const bool spd = !point.speed.isEmpty();
    const bool lvl = !point.push.isEmpty();
    const bool positioning = mode == u"A" || mode == u"I" || mode == u"U";
    const bool pushing = mode == u"O" || mode == u"C";

    bool complete = false;
    if (mode == u"A" || mode == u"I")
        complete = pos && spd;
    else if (pushing)
        complete = spd && lvl;
    else if (mode == u"U")
        complete = pos && spd && lvl;
    else if (point.mode.isEmpty())
        complete = !pos && !spd && !lvl;
    // Any other mode letter cannot be sent, so the point counts as incomplete.
    if (!complete)
        return incomplete(number);

    const QString title = QStringLiteral("Data abnormality");
    const QString confirmSpeed =
        QStringLiteral("\r\n\r\nPlease confirm speed data entry value of point No.%1.").arg(number);
    const auto speed = CellText::number(point.speed);
    const auto beside = [&](const QString& field, const QString& value) {
        return QStringLiteral("Point %1, %2: ").arg(number).arg(field) +
               TableProblem::quoted(value);
    };

    if (positioning && PointParameters::isSupported(type)) {
        const int limit = PointParameters::transmitSpeedLimit(type);
        if (!speed || *speed < 1 || *speed > limit)
            return failure(Verdict::SpeedOutOfRange, number, title,
                           QStringLiteral("A,I,U mode speed range of actuator type No.") + type +
                               QStringLiteral(" is 1.00 to %1.00 (mm/s).").arg(limit) +
                               confirmSpeed);
    }
    if (pushing && (!speed || *speed < 1 || *speed > 10))
        return failure(Verdict::SpeedOutOfRange, number, title,
                       QStringLiteral("O,C mode speed range of actuator type No.") + type +
                           QStringLiteral(" is 1.00 to 10.00 (mm/s).") + confirmSpeed);

    if (positioning) {
        const auto position = CellText::number(point.position);
        if (!position || *position < -strokeMm || *position > strokeMm)
            return failure(Verdict::PositionOutOfRange, number, title,
                           QStringLiteral("Values more than stroke are input. Please confirm "
                                          "position data entry value of point No.%1.")
                               .arg(number));
    }
    // What the controller takes whatever its type: the entry check's ranges. A controller of a
    // type without a speed rule of its own (once its type is known) still takes no speed
    // beyond 120 mm/s, and no pushing level outside 1 to 10.
    if (positioning && !type.isEmpty() && !PointParameters::isSupported(type) && speed &&
        (*speed < 1 || *speed > 120)) {
        Validity v = failure(Verdict::SpeedOutOfRange, number, title, SpeedRangeWide);
        v.informative = beside(QStringLiteral("Speed"), point.speed);
        return v;
    }
    if (pushing || mode == u"U") {
        const auto level = CellText::number(point.push);
        if (level && (*level < 1 || *level > 10)) {
            Validity v = failure(Verdict::LevelOutOfRange, number, title, PushLevelRange);
            v.informative = beside(QStringLiteral("Pushing level"), point.push);
            return v;
        }
    }
    // Every field the point sends goes on the line exactly as it stands, so it must be a
    // plain number: a blank or a line end in it would reach the controller. The rules above
    // do not cover them all.
    const QStringList sent = transmissionFields(point);
    for (qsizetype i = 1; i < sent.size(); ++i)
        if (!CellText::number(sent[i]))
            return incomplete(number);
    // A speed or level that is not whole would be stored otherwise than the table shows it.
    const QString item = QStringLiteral("Point %1").arg(number);
    for (const auto& [field, value] : {std::pair{QStringLiteral("Speed"), point.speed},
                                       std::pair{QStringLiteral("Pushing level"), point.push}}) {
        const bool sends = field == u"Speed" || pushing || mode == u"U";
        if (const auto p = sends ? notWhole(item, field, value) : std::nullopt) {
            Validity v = incomplete(number);
            v.informative = p->text();
            return v;
        }
    }
    return {};
}

Validity checkTable(const PointTableData& table, const QString& type, int strokeMm) {
    for (int i = 0; i < PointCount; ++i) {
        Validity v = checkPoint(table[i], i, type, strokeMm);
        if (!v.ok())
            return v;
    }
    return {};
}

QStringList transmissionFields(const PointRecord& point) {
    const QString mode = modeLetter(point.mode);
    if (mode == u"A" || mode == u"I")
        return {mode, point.position, point.speed};
    if (mode == u"O" || mode == u"C")
        return {mode, point.speed, point.push};
    if (mode == u"U")
        return {mode, point.position, point.speed, point.push};
    return {};
}

} // namespace PointRules
