#include "captureinput.h"

#include "protocol/capturefile.h"

namespace kavro {

bool CaptureInput::Recognises(const QByteArray &input)
{
    return StartsLikeCapture(input);
}

std::optional<QByteArray> CaptureInput::ReceiverBytes(
    const QByteArray &input, QString &error, QString &warning)
{
    const CaptureReadResult result = ParseCapture(input);
    warning = result.warning;
    if (!result.ok()) {
        error = result.error;
        return std::nullopt;
    }
    return result.capture.ReceiverBytes();
}

} // namespace kavro
