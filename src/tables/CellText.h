#pragma once

#include <QString>
#include <optional>

// Reading and writing the numbers that table cells hold as text.
namespace CellText {

// The numeric reading of a cell: the whole text must be a plain decimal number, an optional
// minus sign, digits and an optional fraction ("12", "-3.5", ".5", "7."). Anything else
// (empty text, blanks, a plus sign, exponents, separators, "1/2") has no numeric reading.
std::optional<double> number(const QString& text);

// A plain decimal text divided by 10^shift and written with two decimals ("0.00" form),
// rounded half away from zero on the exact decimal digits, so "1.005" gives "1.01" and
// "-1250" with shift 2 gives "-12.50". A result of zero never carries a minus sign.
// Returns an empty text when the input has no numeric reading.
QString fixed2(const QString& text, int shift = 0);

// The number a text begins with, as a plain decimal text for number() and fixed2(): leading
// blanks are skipped, then an optional sign, digits and a fraction are taken up to the first
// other character ("12abc" -> "12", "-3.456-" -> "-3.456", "+7" -> "7"). A text that does
// not begin with a digit (after the sign) reads as "0".
QString leadingNumber(const QString& text);

// A value field of a settings file: empty, or a plain decimal number with the blanks around
// it dropped. None for anything else.
std::optional<QString> plainValue(const QString& field);

// Rounds to a whole number, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

} // namespace CellText
