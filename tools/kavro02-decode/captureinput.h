#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace kavro {

// A line capture (kavro02 --capture) as the decoder's input: recognised by
// its first line, it gives the bytes the program's receiver was given, so
// that the trace shows what the program made of them.
class CaptureInput
{
public:
    static bool Recognises(const QByteArray &input);
    // Text that reads as the lines of a capture but lacks the first one:
    // taken as raw bytes it would decode to nonsense.
    static bool LacksItsHeader(const QByteArray &input);

    // The bytes, or nothing with the error set. A warning (a cut-off last
    // line left out) does not stop the decoding.
    static std::optional<QByteArray> ReceiverBytes(
        const QByteArray &input, QString &error, QString &warning);
};

} // namespace kavro
