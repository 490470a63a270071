#pragma once

#include <QString>

// A value of a table that the controller would not take, said so that the operator can find
// it: which row and field, what is wrong with it, and the program's own message for such a
// value where it has one ("Please set a value within 1 to 10.").
struct TableProblem {
    QString item;     // "Point 5", "Zone 2", "Parameter 4"
    QString field;    // "Pushing level", "Zone position A (mm)", "Acceleration"
    QString problem;  // "\"999\" is not within 1 to 10"
    QString ruleText; // empty when the program has no message of its own for it

    // "Point 5, Pushing level: "999" is not within 1 to 10"
    QString text() const {
        return item + QStringLiteral(", ") + field + QStringLiteral(": ") + problem;
    }

    // A value as a problem quotes it: in double quotes, control characters and characters
    // beyond ASCII made visible, at most 24 characters of it.
    static QString quoted(const QString& value);
};
