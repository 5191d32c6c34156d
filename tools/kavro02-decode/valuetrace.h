#pragma once

#include "compute/readingdispatch.h"

#include <functional>

class QString;

namespace kavro {

// Prints what the reading dispatch makes of the decoded readings:
//   zero <channel> <raw>       a raw reading stored into ZeroReadings
//   value <quantity> <number>  a converted value, before any display limit,
//                              printed with the C format "%.10g"
class ValueTrace : public ReadingSink
{
public:
    using Printer = std::function<void(const QString &line)>;

    explicit ValueTrace(Printer print);

    void ShowValue(int quantity, double value) override;
    void ZeroReadingStored(int channel, int rawValue) override;

private:
    Printer m_print;
};

} // namespace kavro
