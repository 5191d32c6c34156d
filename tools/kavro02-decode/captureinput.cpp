#include "captureinput.h"

#include "protocol/capturefile.h"

namespace kavro {

bool CaptureInput::Recognises(const QByteArray &input)
{
    return StartsLikeCapture(input);
}

bool CaptureInput::LacksItsHeader(const QByteArray &input)
{
    const QByteArray withHeader = "KAVRO02-CAPTURE 1 2000-01-01T00:00:00.000Z\n" + input;
    const CaptureReadResult asCapture = ParseCapture(withHeader);
    return asCapture.ok() && !asCapture.capture.records.isEmpty();
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
