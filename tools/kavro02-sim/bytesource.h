#pragma once

#include <QByteArray>
#include <cstdint>

namespace kavro::sim {

// What the instrument sends as session time passes (seconds since the
// session started), and what it makes of the program's commands. The pacer
// asks for the next bytes whenever the line is free.
class ByteSource
{
public:
    virtual ~ByteSource() = default;

    virtual void ReceiveCommand(std::uint8_t command) = 0;
    // The bytes to send now; empty when nothing is due before NextDueTime().
    virtual QByteArray NextChunk(double now) = 0;
    // When bytes are next due (infinity once the instrument fell silent).
    virtual double NextDueTime() const = 0;
};

} // namespace kavro::sim
