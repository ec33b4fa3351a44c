#pragma once
// Number texts as the user sees them: fixed masks with a decimal comma, the
// BASIC-style str/val pair used by the calculator, and reading a box's text.
#include <QString>
#include <optional>

namespace numfmt
{

// Formats value with a mask such as "0.0##", "0.0## ### ###", "0.000 0#",
// "##0", "0.00E+00" or "#.#######E+00". '0' is a required digit, '#' an
// optional one, a space between decimals a group separator. The decimal
// separator of the result is always a comma.
QString format(double value, const QString &mask);

// Rounds to three significant digits the way the program does everywhere:
// written with "0.00E+00" and read back.
double round3(double value);

// Shortest decimal text with a decimal comma (graph labels: 0,1 1,5 0,025).
QString general(double value);

// BASIC Str$: leading blank for non-negative values, '.' as decimal point,
// no zero before the point (" .5", "-.25"), exponent form for very large or
// very small magnitudes (" 1E+15", " 1E-05"), 15 significant digits.
QString str(double value);

// BASIC Val: leading blanks skipped, the longest leading decimal number with
// '.' as decimal point and an optional E/D exponent; 0 when there is none.
double val(const QString &text);

// Reads the text of a control: decimal comma (a point is accepted too),
// grouping spaces skipped, optional sign and exponent. Empty when the text is
// not a number, so that "not a number" stays distinct from 0.
std::optional<double> readNumber(const QString &text);

// A single-precision value as the decimal it stands for (7 significant
// digits), so that 0.1f formats as 0,1 and not 0,100 000 001.
double single(float value);

// Real to integer: nearest, an exact half to the even neighbour.
int cint(double value);

} // namespace numfmt
