#include "ui/readingpanels.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QRect>

namespace kavro {

QFont PanelFont(const QString &family, int pixelSize, bool bold, bool italic)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QWidget *CreateStrip(QWidget *parent, const QString &name, const QColor &color)
{
    auto *strip = new QWidget(parent);
    strip->setObjectName(name);
    strip->setAutoFillBackground(true);
    QPalette palette = strip->palette();
    palette.setColor(QPalette::Window, color);
    strip->setPalette(palette);
    return strip;
}

QLabel *CreatePanel(QWidget *parent, const QString &name, const QString &text, const QFont &font,
    const QRect &geometry)
{
    auto *panel = new QLabel(text, parent);
    panel->setObjectName(name);
    panel->setFont(font);
    panel->setAlignment(Qt::AlignCenter);
    panel->setGeometry(geometry);
    return panel;
}

void SetPanelColors(QLabel &panel, const QColor &background, const QColor &text)
{
    panel.setAutoFillBackground(true);
    QPalette palette = panel.palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    panel.setPalette(palette);
}

QString DesignNumberText(QString text)
{
    return text.replace(QLatin1Char(','), QLocale().decimalPoint());
}

QLabel *CreateSubscript(QLabel *caption, const QString &name, const QFont &font)
{
    auto *digit = new QLabel(QStringLiteral("2"), caption);
    digit->setObjectName(name);
    digit->setFont(font);
    digit->adjustSize();
    return digit;
}

int SubscriptTop(const QLabel &caption, const QLabel &digit)
{
    const QFontMetrics big(caption.font());
    const QFontMetrics small(digit.font());
    const QRect area = caption.contentsRect();
    const int baseline = area.top() + (area.height() - big.height()) / 2 + big.ascent();
    return baseline + small.height() / 4 - small.ascent();
}

int SubscriptLeft(const QLabel &caption, const QLabel &digit, int gapPosition, int gapLength)
{
    const QFontMetrics big(caption.font());
    const QRect area = caption.contentsRect();
    const QString text = caption.text();
    const int textLeft = area.left() + (area.width() - big.horizontalAdvance(text)) / 2;
    const int gapLeft = textLeft + big.horizontalAdvance(text.left(gapPosition));
    const int gapWidth = big.horizontalAdvance(text.mid(gapPosition, gapLength));
    return gapLeft + (gapWidth - digit.width()) / 2;
}

} // namespace kavro
