#include "compute/numberformat.h"

#include "compute/quantities.h"

#include <QLocale>
#include <array>

namespace kavro {

namespace {

constexpr std::array<const char *, QuantityCount> QuantityFormats {
    "%4.2f", // CO
    "%4.0f", // CH
    "%4.1f", // CO2
    "%5.2f", // O2
    "%4.2f", // λ
    "%4.0f", // engine speed
    "%5.2f", // temperature
};

// QString::asprintf and QString::number always write '.'; the only '.' in
// their output is the decimal point.
QString WithLocaleSeparator(QString text)
{
    return text.replace(QLatin1Char('.'), QLocale().decimalPoint());
}

} // namespace

QString FormatFixed(const char *format, double value)
{
    if (value == 0)
        value = 0; // -0.0 would read "-0,00"
    return WithLocaleSeparator(QString::asprintf(format, value));
}

QString FormatGeneral(double value)
{
    if (value == 0)
        value = 0;
    return WithLocaleSeparator(QString::number(value, 'g', 15));
}

const char *QuantityFormat(int quantity)
{
    return IsQuantity(quantity) ? QuantityFormats[std::size_t(quantity)] : "";
}

QString FormatQuantity(int quantity, double value)
{
    if (!IsQuantity(quantity))
        return {};
    return FormatFixed(QuantityFormat(quantity), value);
}

} // namespace kavro
