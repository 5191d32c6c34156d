#include "rtfpicturecollector.h"

#include <QBuffer>
#include <QImageReader>

#include <utility>

namespace kavro {

namespace {

// A picture header may claim any size; larger ones are not decoded at all.
constexpr qint64 MaxPicturePixels = 40'000'000;

QImage decode(const QByteArray &bytes, const char *format)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > MaxPicturePixels)
        return {};
    return reader.read();
}

} // namespace

void RtfPictureCollector::begin()
{
    *this = {};
}

bool RtfPictureCollector::handleWord(RtfWord word, int parameter)
{
    switch (word) {
    case RtfWord::PngBlip:
        m_kind = Kind::Png;
        return true;
    case RtfWord::JpegBlip:
        m_kind = Kind::Jpeg;
        return true;
    case RtfWord::PictureWidthGoal:
    case RtfWord::PictureHeightGoal:
        m_goal[word == RtfWord::PictureHeightGoal] = qBound(0, parameter, RtfMaxTwips);
        return true;
    case RtfWord::PictureScaleX:
    case RtfWord::PictureScaleY:
        m_scale[word == RtfWord::PictureScaleY] = qBound(1, parameter, 1000);
        return true;
    default:
        return false;
    }
}

void RtfPictureCollector::addHexText(QByteArrayView text)
{
    if (!m_binary && m_kind != Kind::Other)
        m_data.append(text);
}

void RtfPictureCollector::setBinary(QByteArrayView data)
{
    m_data = data.toByteArray();
    m_binary = true;
}

std::optional<RtfPicture> RtfPictureCollector::finish()
{
    const QByteArray data = std::exchange(m_data, {});
    if (m_kind == Kind::Other)
        return std::nullopt;
    const QImage image
        = decode(m_binary ? data : QByteArray::fromHex(data), m_kind == Kind::Png ? "png" : "jpeg");
    if (image.isNull())
        return std::nullopt;
    // Without \picwgoal the bitmap's own pixels at 96 dpi are meant.
    RtfPicture picture;
    picture.image = image;
    const double width = m_goal[0] > 0 ? m_goal[0] : image.width() * 15.0;
    const double height = m_goal[1] > 0 ? m_goal[1] : image.height() * 15.0;
    picture.width = width * m_scale[0] / 100.0;
    picture.height = height * m_scale[1] / 100.0;
    return picture;
}

} // namespace kavro
