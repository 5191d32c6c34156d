#pragma once

#include "rtfcontent.h"
#include "rtfcontrolword.h"

#include <QByteArray>

#include <optional>

namespace kavro {

// Collects one \pict group: its kind, its intended size and its data (hex
// digits, or raw bytes after \bin). Only PNG and JPEG pictures are shown.
class RtfPictureCollector
{
public:
    void begin();
    bool handleWord(RtfWord word, int parameter); // false if `word` is no picture word
    void addHexText(QByteArrayView text);
    void setBinary(QByteArrayView data);

    // The picture, or nothing when it is of another kind or does not decode.
    std::optional<RtfPicture> finish();

private:
    enum class Kind { Other, Png, Jpeg } m_kind = Kind::Other;
    QByteArray m_data;
    bool m_binary = false;
    int m_goal[2] = { 0, 0 }; // \picwgoal, \pichgoal: twips
    int m_scale[2] = { 100, 100 }; // \picscalex, \picscaley: percent
};

} // namespace kavro
