#include "valuetrace.h"

#include <QString>

using namespace Qt::StringLiterals;

namespace kavro {

ValueTrace::ValueTrace(Printer print)
    : m_print(std::move(print))
{ }

void ValueTrace::ShowValue(int quantity, double value)
{
    // QString::asprintf formats like C printf, always with a '.'.
    m_print(u"value "_s + QString::number(quantity) + u' ' + QString::asprintf("%.10g", value));
}

void ValueTrace::ZeroReadingStored(int channel, int rawValue)
{
    m_print(u"zero "_s + QString::number(channel) + u' ' + QString::number(rawValue));
}

} // namespace kavro
