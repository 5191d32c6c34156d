#pragma once

#include <QColor>
#include <QWidget>
#include <array>
#include <cstdint>

class QLabel;

namespace kavro {

// A filled rectangle with a black outline one pixel wide. The fill is the
// palette's window colour.
class RectangleShape : public QWidget
{
    Q_OBJECT

public:
    explicit RectangleShape(QWidget *parent);

    QColor BrushColor() const;
    void SetBrushColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// Which way a gauge lies and how many coloured zones it has.
enum GaugeKind : std::uint8_t {
    gkVerticalTwoZones = 0,
    gkVerticalThreeZones = 1,
    gkHorizontalTwoZones = 2,
    gkHorizontalThreeZones = 3,
};

// Where a gauge lies, in the members of a rectangle whatever the
// orientation: Top is the start of the scale along its axis, Left the near
// long edge across it, Bottom the length and Right the thickness.
struct GaugeRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// The placement of a vertical gauge from its box (x, y, width, height) and
// of a horizontal one.
constexpr GaugeRect VerticalGaugeRect(int x, int y, int width, int height)
{
    return { x, y, width, height };
}
constexpr GaugeRect HorizontalGaugeRect(int x, int y, int width, int height)
{
    return { y, x, height, width };
}

// A bar gauge: a scale from 0 to MaxValue with coloured zones along both
// long edges (zone A from 0 to LowLimit, zone B up to HighLimit, zone C to
// the end; two-zone kinds have no zone C), a bar that grows from the zero
// end, and labels at both ends and at the limits. It is not a widget: it
// places six or eight rectangle shapes and three or four labels that belong
// to its parent panel, which paints them; later shapes lie over earlier ones.
// The parent panel outlives the gauge.
class TIndicator
{
public:
    static constexpr int MaxShapes = 8;
    static constexpr int MaxLabels = 4;

    // Creates the shapes and labels hidden; nothing shows before Redraw.
    // name, if given, prefixes the object names of the shapes and labels.
    TIndicator(QWidget *parent, GaugeKind kind, const GaugeRect &placement,
        const QString &name = QString());
    ~TIndicator();
    TIndicator(const TIndicator &) = delete;
    TIndicator &operator=(const TIndicator &) = delete;

    void SetColors(const QColor &background, const QColor &bar, const QColor &zoneA,
        const QColor &zoneB, const QColor &zoneC);
    // Stores the scale and rewrites the labels; the layout changes at the
    // next Redraw.
    void SetScale(double maxValue, double lowLimit, double highLimit);
    void SetPlacement(const GaugeRect &placement);
    // Shows value (callers keep it within 0 ... MaxValue).
    void SetValue(double value);
    // Shows and places every shape and label. Allocates nothing.
    void Redraw();

    double LowLimit() const { return lowLimit_; }
    double HighLimit() const { return highLimit_; }
    double MaxValue() const { return maxValue_; }
    double Value() const { return value_; }
    GaugeKind Kind() const { return kind_; }
    int ShapeCount() const { return shapeCount_; }
    int LabelCount() const { return labelCount_; }
    RectangleShape *Shape(int index) const { return shapes_[std::size_t(index)]; }
    QLabel *Label(int index) const { return labels_[std::size_t(index)]; }

private:
    bool IsVertical() const { return kind_ <= gkVerticalThreeZones; }
    bool HasThreeZones() const
    {
        return kind_ == gkVerticalThreeZones || kind_ == gkHorizontalThreeZones;
    }
    // round(amount / MaxValue × Length): the pixels of a part of the scale.
    int ScalePixels(double amount) const;
    void PlaceShape(
        int index, int alongStart, int alongLength, int acrossStart, int acrossThickness) const;
    void PlaceLabel(int index, int mark) const;
    void StorePlacement(const GaugeRect &placement);

    int axisStart_ = 0;
    int crossPos_ = 0;
    int length_ = 0;
    int thickness_ = 0;
    double lowLimit_ = 0;
    double highLimit_ = 0;
    double maxValue_ = 0;
    double value_ = 0;
    GaugeKind kind_;
    std::array<RectangleShape *, MaxShapes> shapes_ {};
    int shapeCount_ = 0;
    std::array<QLabel *, MaxLabels> labels_ {};
    int labelCount_ = 0;
    QColor backgroundColor_ = Qt::black;
    QColor barColor_ = Qt::black;
    QColor zoneAColor_ = Qt::black;
    QColor zoneBColor_ = Qt::black;
    QColor zoneCColor_ = Qt::black;
};

} // namespace kavro
