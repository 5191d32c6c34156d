#pragma once

#include <QFont>
#include <QStringList>

namespace kavro {

// The dialogs' font, Tahoma at a pixel size; where Tahoma is not installed, a
// face of the same width class.
inline QFont DialogFont(int pixelSize = 11, bool bold = false)
{
    QFont font;
    font.setFamilies({ QStringLiteral("Tahoma"), QStringLiteral("Arial"),
        QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans") });
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace kavro
