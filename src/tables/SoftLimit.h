#pragma once

#include <QChar>
#include <QString>

// The soft limit dialog's rules: which keys its two boxes take and the check made on OK.
// Plus soft limit: 0 to 9999; minus soft limit: 0 to -9999 (both in 0.01 mm).
namespace SoftLimit {

enum class Field { Plus, Minus };

// Caption of the refusal messages.
QString errorCaption();      // "Error"
QString plusRangeMessage();  // "Please set a value within 0 to 9999"
QString minusRangeMessage(); // "Please set a value within 0 to -9999"

// True when a key producing the character ch may reach the box: digits, backspace and Enter;
// the minus box also takes "-". Tab and Escape pass so that focus and the dialog keys work.
bool acceptsKey(Field field, QChar ch);

struct Result {
    bool accepted = false;
    double plus = 0; // the number in the plus box
    int minus = 0;   // the number in the minus box, as an integer
    QString message; // the refusal message when not accepted
};

// Checks the texts of the plus and minus boxes in the dialog's order: the plus box first,
// then the minus box. Blanks around a text are ignored.
Result validate(const QString& plusText, const QString& minusText);

// The values nearest to a suggestion that the check on OK accepts: plus within 0 to 9999,
// minus within -9999 to 0. A suggestion the dialog would refuse is of no use to the operator.
struct Nearest {
    double plus = 0;
    int minus = 0;
    QString note; // says which value was moved and from what; empty when none was
};
Nearest nearestAccepted(double plus, int minus);

// The soft limits suggested when the origin point shift moves from previousShift (the
// controller's) to newShift (0.01 mm): each of the controller's limits moved by the change,
// so the limits stay where they were on the actuator. The minus limit is a 16-bit whole
// number (halves to even). Both Transmit(Parameters) and the taught origin point shift use
// this one rule; the result is brought to the nearest values the dialog accepts
// (nearestAccepted), its note saying so.
struct Suggestion {
    double plus = 0;
    int minus = 0;
    QString note;
};
Suggestion suggest(double controllerPlus, double controllerMinus, double newShift,
                   double previousShift);

// The texts the boxes show for stored values.
QString plusText(double plus);
QString minusText(int minus);

} // namespace SoftLimit
