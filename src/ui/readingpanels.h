#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QRect;
class QWidget;

namespace kavro {

// Building blocks of the scales and numbers pages: strips, panels with a
// centred caption, and the small "2" of CO2 and O2 placed as a subscript.

const QColor PanelSilver(192, 192, 192);

// A font by family and height in pixels. The reading panels' designed font
// sizes are pixel heights: only so do five Courier New characters ("00,00")
// fit the designed value panels (108 x 37 at 35, 150 x 85 at 48).
QFont PanelFont(const QString &family, int pixelSize, bool bold, bool italic = false);

// A borderless strip filled with color.
QWidget *CreateStrip(QWidget *parent, const QString &name, const QColor &color);

// A panel showing text centred, in font, at geometry, without a border.
QLabel *CreatePanel(QWidget *parent, const QString &name, const QString &text, const QFont &font,
    const QRect &geometry);

// Fill and text colour of a panel.
void SetPanelColors(QLabel &panel, const QColor &background, const QColor &text);

// An initial number text as designed ("0,00") with the locale's separator.
QString DesignNumberText(QString text);

// A subscript digit label inside caption (a child of it), left of it unset.
QLabel *CreateSubscript(QLabel *caption, const QString &name, const QFont &font);

// Where a subscript digit lies in its caption: its top sits a quarter of its
// own height below the caption text's baseline; across, it is centred in
// the gap of the caption text that starts at gapPosition and is gapLength
// characters long.
int SubscriptTop(const QLabel &caption, const QLabel &digit);
int SubscriptLeft(const QLabel &caption, const QLabel &digit, int gapPosition, int gapLength);

} // namespace kavro
