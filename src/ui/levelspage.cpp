#include "ui/levelspage.h"

#include "ui/pixelrounding.h"
#include "ui/readingpanels.h"

#include <QLabel>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {

constexpr int TopStripHeight = 85; // Panel2
constexpr int BottomNamesHeight = 85; // Panel4
constexpr int BottomGaugesHeight = 106; // Panel5
constexpr int NameTop = 2;
constexpr int NameHeight = 36;
constexpr int ValueTop = 40;
constexpr QSize ValueSize(108, 37);
constexpr int GaugeThickness = 70;

const QColor GaugeBackground(224, 224, 224);
const QColor BarColor(0, 128, 255);
const QColor Green(56, 201, 52);
const QColor Red(234, 11, 55);
const QColor Yellow(240, 240, 0);

struct PanelDesign
{
    int Quantity;
    QLabel *LevelsPage::*Name;
    QString NameObject;
    QLabel *LevelsPage::*Value;
    QString ValueObject;
    QString Caption;
    int NameWidth;
    QString InitialText;
};

// Left positions of the vertical gauges in sixteenths of the width of
// Panel2: CH, CO, CO2, O2, λ from left to right.
struct VerticalGaugeColumn
{
    int Quantity;
    int Sixteenths;
};
constexpr VerticalGaugeColumn VerticalColumns[] = {
    { qnCH, 1 },
    { qnCO, 4 },
    { qnCO2, 7 },
    { qnO2, 10 },
    { qnLambda, 13 },
};

struct GaugeDesign
{
    int Quantity;
    bool OnBottomStrip; // Panel5, else Panel3
    GaugeKind Kind;
    QColor ZoneA, ZoneB, ZoneC;
    QString Name;
};

} // namespace

LevelsPage::LevelsPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"tsLevels"_s);
    CreatePanels();
}

LevelsPage::~LevelsPage() = default; // the gauges go before their panels

void LevelsPage::CreatePanels()
{
    Panel2 = CreateStrip(this, u"Panel2"_s, PanelSilver);
    Panel3 = CreateStrip(this, u"Panel3"_s, PanelSilver);
    Panel4 = CreateStrip(this, u"Panel4"_s, PanelSilver);
    Panel5 = CreateStrip(this, u"Panel5"_s, PanelSilver);
    // The gauges' labels take the font of their panel.
    const QFont scaleFont = PanelFont(u"Arial"_s, 11, false);
    Panel3->setFont(scaleFont);
    Panel5->setFont(scaleFont);

    const PanelDesign designs[] = {
        { qnCO, &LevelsPage::Panel6, u"Panel6"_s, &LevelsPage::Panel7, u"Panel7"_s, u"CO, %"_s, 93,
            u"0,00"_s },
        { qnCH, &LevelsPage::Panel10, u"Panel10"_s, &LevelsPage::Panel11, u"Panel11"_s,
            u"CН, ppm"_s, 121, u"0000"_s },
        { qnCO2, &LevelsPage::Panel8, u"Panel8"_s, &LevelsPage::Panel9, u"Panel9"_s, u"СО , %"_s,
            99, u"0,00"_s },
        { qnO2, &LevelsPage::Panel12, u"Panel12"_s, &LevelsPage::Panel13, u"Panel13"_s, u"O , %"_s,
            82, u"00,00"_s },
        // The instrument's λ sign, written as the letter itself.
        { qnLambda, &LevelsPage::Panel14, u"Panel14"_s, &LevelsPage::Panel15, u"Panel15"_s, u"λ"_s,
            93, u"0,00"_s },
        { qnEngineSpeed, &LevelsPage::Panel16, u"Panel16"_s, &LevelsPage::Panel17, u"Panel17"_s,
            u"Тахометр, об/мин"_s, 230, u"0000"_s },
        { qnTemperature, &LevelsPage::Panel18, u"Panel18"_s, &LevelsPage::Panel19, u"Panel19"_s,
            u"Температура, °C"_s, 216, u"00,00"_s },
    };
    const QFont nameFont = PanelFont(u"Arial"_s, 24, true);
    const QFont valueFont = PanelFont(u"Courier New"_s, 35, true);
    for (const PanelDesign &design : designs) {
        QWidget *strip = design.Quantity >= qnEngineSpeed ? Panel4 : Panel2;
        QLabel *name = CreatePanel(strip, design.NameObject, design.Caption, nameFont,
            QRect(0, NameTop, design.NameWidth, NameHeight));
        QLabel *value = CreatePanel(strip, design.ValueObject, DesignNumberText(design.InitialText),
            valueFont, QRect(QPoint(0, ValueTop), ValueSize));
        value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        value->setLineWidth(1);
        this->*design.Name = name;
        this->*design.Value = value;
        namePanels_[std::size_t(design.Quantity)] = name;
        valuePanels_[std::size_t(design.Quantity)] = value;
    }

    // "СО , %" and "O , %": the "2" sits in the gap after the letters.
    const QFont subscriptFont = PanelFont(u"Arial"_s, 16, true);
    Label3 = CreateSubscript(Panel8, u"Label3"_s, subscriptFont);
    Label3->move(SubscriptLeft(*Panel8, *Label3, 2, 1), SubscriptTop(*Panel8, *Label3));
    Label4 = CreateSubscript(Panel12, u"Label4"_s, subscriptFont);
    Label4->move(SubscriptLeft(*Panel12, *Label4, 1, 1), SubscriptTop(*Panel12, *Label4));
}

void LevelsPage::CreateGauges()
{
    if (HasGauges())
        return;
    const GaugeDesign designs[] = {
        { qnCO2, false, gkVerticalTwoZones, Green, Red, Red, u"gaugeCO2"_s },
        { qnCO, false, gkVerticalThreeZones, Green, Green, Red, u"gaugeCO"_s },
        { qnCH, false, gkVerticalThreeZones, Green, Green, Red, u"gaugeCH"_s },
        { qnO2, false, gkVerticalTwoZones, Green, Red, Red, u"gaugeO2"_s },
        { qnLambda, false, gkVerticalThreeZones, Red, Green, Red, u"gaugeLambda"_s },
        { qnEngineSpeed, true, gkHorizontalThreeZones, Green, Red, Yellow, u"gaugeSpeed"_s },
        { qnTemperature, true, gkHorizontalTwoZones, Red, Green, Green, u"gaugeTemperature"_s },
    };
    // A placeholder placement until the first layout: length and thickness 10.
    constexpr GaugeRect Placeholder { 0, 0, 10, 10 };
    for (const GaugeDesign &design : designs) {
        auto gauge = std::make_unique<TIndicator>(
            design.OnBottomStrip ? Panel5 : Panel3, design.Kind, Placeholder, design.Name);
        gauge->SetColors(GaugeBackground, BarColor, design.ZoneA, design.ZoneB, design.ZoneC);
        gauges_[std::size_t(design.Quantity)] = std::move(gauge);
    }
}

TIndicator *LevelsPage::Gauge(int quantity) const
{
    return IsQuantity(quantity) ? gauges_[std::size_t(quantity)].get() : nullptr;
}

void LevelsPage::RedrawGauges()
{
    for (const auto &gauge : gauges_)
        if (gauge)
            gauge->Redraw();
}

void LevelsPage::ArrangeStrips()
{
    const int w = width();
    const int h = height();
    const int bottomGaugesTop = h - BottomGaugesHeight;
    const int bottomNamesTop = bottomGaugesTop - BottomNamesHeight;
    Panel2->setGeometry(0, 0, w, TopStripHeight);
    Panel3->setGeometry(0, TopStripHeight, w, std::max(0, bottomNamesTop - TopStripHeight));
    Panel4->setGeometry(0, bottomNamesTop, w, BottomNamesHeight);
    Panel5->setGeometry(0, bottomGaugesTop, w, BottomGaugesHeight);
}

void LevelsPage::Layout()
{
    if (!HasGauges())
        return;
    const double a = Panel2->contentsRect().width() / 16.0;
    const int gaugesHeight = Panel3->height();
    const int start = gaugesHeight / 16;
    const int length = 7 * gaugesHeight / 8;

    // Vertical gauges, each with its name and value centred on its middle.
    for (const VerticalGaugeColumn &column : VerticalColumns) {
        const double left = column.Sixteenths * a;
        const auto q = std::size_t(column.Quantity);
        gauges_[q]->SetPlacement(
            VerticalGaugeRect(RoundToPixel(left), start, GaugeThickness, length));
        for (QLabel *panel : { namePanels_[q], valuePanels_[q] })
            panel->move(
                RoundToPixel(left + GaugeThickness / 2.0 - panel->width() / 2.0), panel->y());
    }

    // Horizontal gauges side by side, a margin of a before, between and after.
    const QRect bottom = Panel5->contentsRect();
    const int across = bottom.height() / 8;
    const int horizontalLength = RoundToPixel((bottom.width() - 3 * a) / 2);
    const double middles[] = { a + horizontalLength / 2.0, 2 * a + 3 * horizontalLength / 2.0 };
    const double starts[] = { a, 2 * a + horizontalLength };
    const int quantities[] = { qnEngineSpeed, qnTemperature };
    for (std::size_t i = 0; i < 2; ++i) {
        const auto q = std::size_t(quantities[i]);
        gauges_[q]->SetPlacement(
            HorizontalGaugeRect(RoundToPixel(starts[i]), across, horizontalLength, GaugeThickness));
        for (QLabel *panel : { namePanels_[q], valuePanels_[q] })
            panel->move(RoundToPixel(middles[i] - panel->width() / 2.0), panel->y());
    }
}

void LevelsPage::ShowReading(int quantity, double value, const QString &text)
{
    if (!IsQuantity(quantity))
        return;
    if (TIndicator *gauge = Gauge(quantity))
        gauge->SetValue(value);
    valuePanels_[std::size_t(quantity)]->setText(text);
}

} // namespace kavro
