#include "ui/indicator.h"

#include "compute/numberformat.h"
#include "ui/pixelrounding.h"

#include <QLabel>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace kavro {

RectangleShape::RectangleShape(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent); // paints every pixel itself
}

QColor RectangleShape::BrushColor() const
{
    return palette().color(QPalette::Window);
}

void RectangleShape::SetBrushColor(const QColor &color)
{
    QPalette fill = palette();
    fill.setColor(QPalette::Window, color);
    setPalette(fill); // repaints
}

void RectangleShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), BrushColor());
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, width() - 1, height() - 1);
}

TIndicator::TIndicator(
    QWidget *parent, GaugeKind kind, const GaugeRect &placement, const QString &name)
    : kind_(kind)
{
    StorePlacement(placement);
    shapeCount_ = HasThreeZones() ? 8 : 6;
    labelCount_ = HasThreeZones() ? 4 : 3;
    for (int i = 0; i < shapeCount_; ++i) {
        auto *shape = new RectangleShape(parent);
        shape->hide();
        if (!name.isEmpty())
            shape->setObjectName(name + u"Shape%1"_s.arg(i));
        shapes_[std::size_t(i)] = shape;
    }
    for (int i = 0; i < labelCount_; ++i) {
        auto *label = new QLabel(parent);
        label->hide();
        if (!name.isEmpty())
            label->setObjectName(name + u"Label%1"_s.arg(i));
        labels_[std::size_t(i)] = label;
    }
}

TIndicator::~TIndicator()
{
    for (int i = 0; i < shapeCount_; ++i) {
        shapes_[std::size_t(i)]->hide();
        delete shapes_[std::size_t(i)];
    }
    for (int i = 0; i < labelCount_; ++i) {
        labels_[std::size_t(i)]->hide();
        delete labels_[std::size_t(i)];
    }
}

void TIndicator::SetColors(const QColor &background, const QColor &bar, const QColor &zoneA,
    const QColor &zoneB, const QColor &zoneC)
{
    backgroundColor_ = background;
    barColor_ = bar;
    zoneAColor_ = zoneA;
    zoneBColor_ = zoneB;
    zoneCColor_ = zoneC;
    const QColor fills[MaxShapes] = { background, bar, zoneA, zoneA, zoneB, zoneB, zoneC, zoneC };
    for (int i = 0; i < shapeCount_; ++i)
        shapes_[std::size_t(i)]->SetBrushColor(fills[i]);
}

void TIndicator::SetScale(double maxValue, double lowLimit, double highLimit)
{
    maxValue_ = maxValue;
    lowLimit_ = lowLimit;
    highLimit_ = highLimit;
    const QString texts[MaxLabels]
        = { u"0"_s, FormatGeneral(maxValue), FormatGeneral(lowLimit), FormatGeneral(highLimit) };
    for (int i = 0; i < labelCount_; ++i) {
        QLabel *label = labels_[std::size_t(i)];
        label->setText(texts[i]);
        label->adjustSize(); // labels size themselves to their text
    }
}

void TIndicator::StorePlacement(const GaugeRect &placement)
{
    axisStart_ = placement.Top;
    crossPos_ = placement.Left;
    length_ = placement.Bottom;
    thickness_ = placement.Right;
}

void TIndicator::SetPlacement(const GaugeRect &placement)
{
    StorePlacement(placement);
    Redraw();
}

void TIndicator::SetValue(double value)
{
    value_ = value;
    Redraw();
}

int TIndicator::ScalePixels(double amount) const
{
    return RoundToPixel(amount / maxValue_ * length_);
}

void TIndicator::Redraw()
{
    const int S = axisStart_;
    const int A = crossPos_;
    const int L = length_;
    const int T = thickness_;

    // Pixel lengths of the zones and the bar along the axis.
    const int F = ScalePixels(lowLimit_);
    const int G = HasThreeZones() ? ScalePixels(highLimit_ - lowLimit_) : L - F;
    const int H = HasThreeZones() ? L - F - G : 0;
    const int B = ScalePixels(value_);
    // Widths across the axis: a zone strip, and the gap between the strips.
    const double t = T * 0.2;
    const double u = T - 2 * t;
    const int strip = RoundToPixel(t);
    const int farStrip = RoundToPixel(A + u + t);

    // A vertical gauge has its zero at the bottom end, a horizontal one at
    // the left end.
    const bool vertical = IsVertical();
    const int zoneAStart = vertical ? S + G + H : S;
    const int zoneBStart = vertical ? S + H : S + F;
    const int zoneCStart = vertical ? S : S + F + G;
    const int barStart = vertical ? S + L - B : S;

    // Zone B overlaps its neighbours by one pixel so that their outlines meet.
    int zoneBFrom = zoneBStart;
    int zoneBLength = G;
    switch (kind_) {
    case gkVerticalTwoZones:
        zoneBLength += 1;
        break;
    case gkVerticalThreeZones:
    case gkHorizontalThreeZones:
        zoneBFrom -= 1;
        zoneBLength += 2;
        break;
    case gkHorizontalTwoZones:
        zoneBFrom -= 1;
        zoneBLength += 1;
        break;
    }

    PlaceShape(0, vertical ? S : S - 1, L + 1, A, T);
    PlaceShape(1, barStart, B, RoundToPixel(A + t) - 1, RoundToPixel(u) + 2);
    PlaceShape(2, zoneAStart, F, A, strip);
    PlaceShape(3, zoneAStart, F, farStrip, strip);
    PlaceShape(4, zoneBFrom, zoneBLength, A, strip);
    PlaceShape(5, zoneBFrom, zoneBLength, farStrip, strip);
    if (shapeCount_ == 8) {
        PlaceShape(6, zoneCStart, H, A, strip);
        PlaceShape(7, zoneCStart, H, farStrip, strip);
    }

    const int marks[MaxLabels] = {
        vertical ? S + L : S, // 0
        vertical ? S : S + L, // maximum
        vertical ? S + G + H : S + F, // LowLimit
        vertical ? S + H : S + F + G, // HighLimit
    };
    for (int i = 0; i < labelCount_; ++i)
        PlaceLabel(i, marks[i]);
}

void TIndicator::PlaceShape(
    int index, int alongStart, int alongLength, int acrossStart, int acrossThickness) const
{
    RectangleShape *shape = shapes_[std::size_t(index)];
    shape->setVisible(true);
    if (IsVertical())
        shape->setGeometry(acrossStart, alongStart, acrossThickness, alongLength);
    else
        shape->setGeometry(alongStart, acrossStart, alongLength, acrossThickness);
}

void TIndicator::PlaceLabel(int index, int mark) const
{
    QLabel *label = labels_[std::size_t(index)];
    label->setVisible(true);
    // Centred on its mark; the halving of the size rounds toward zero.
    if (IsVertical())
        label->move(crossPos_ + thickness_ + 4, mark - label->height() / 2);
    else
        label->move(mark - label->width() / 2, crossPos_ + thickness_);
}

} // namespace kavro
