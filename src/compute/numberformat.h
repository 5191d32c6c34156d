#pragma once

#include <QString>

namespace kavro {

// Numbers as the user sees them: printf-style fixed-point formats and the
// shortest general form, both with the decimal separator of the default
// locale (a comma under a Russian locale), never a hard-coded one.

// value in a printf fixed-point format such as "%4.2f" (at least 4
// characters, 2 decimals, padded with spaces on the left). Halves round away
// from zero, as QString::asprintf does. Negative zero is written as zero.
QString FormatFixed(const char *format, double value);

// The shortest general decimal form with at most 15 significant digits:
// 15.5 gives "15,5", 9999 gives "9999", 0.3 gives "0,3". Very large or small
// magnitudes use an exponent ("1e+20").
QString FormatGeneral(double value);

// The display format of a quantity (see quantities.h): CO "%4.2f", CH
// "%4.0f", CO2 "%4.1f", O2 "%5.2f", λ "%4.2f", engine speed "%4.0f",
// temperature "%5.2f". Empty for a number that is not a quantity.
const char *QuantityFormat(int quantity);

// value in its quantity's display format; empty for a number that is not a
// quantity.
QString FormatQuantity(int quantity, double value);

} // namespace kavro
