#include "ui/numberspage.h"

#include "ui/pixelrounding.h"
#include "ui/readingpanels.h"

#include <QLabel>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {

constexpr int CaptionHeight = 65;
constexpr int ValueHeight = 85;
constexpr int FirstRowCaptionTop = 16;
constexpr int FirstRowValueTop = 92;
constexpr int SecondRowCaptionTop = 184;
constexpr int SecondRowValueTop = 260;
constexpr int FirstRowWidth = 150; // as designed, before the first layout
constexpr int SecondRowWidth = 385;

const QColor CaptionColor(208, 208, 208);
const QColor ValueColor(72, 72, 72);

struct PanelDesign
{
    int Quantity;
    QLabel *NumbersPage::*Caption;
    QString CaptionObject;
    QLabel *NumbersPage::*Value;
    QString ValueObject;
    QString CaptionText;
    QString InitialText;
};

// Row 1 from left to right, then row 2 from left to right.
constexpr int FirstRow[] = { qnCO, qnCO2, qnCH, qnO2, qnLambda };
constexpr int SecondRow[] = { qnEngineSpeed, qnTemperature };

} // namespace

NumbersPage::NumbersPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"tsNumbers"_s);
    const PanelDesign designs[] = {
        { qnCO, &NumbersPage::Panel20, u"Panel20"_s, &NumbersPage::Panel21, u"Panel21"_s,
            u"СO, %"_s, u"0,00"_s },
        { qnCO2, &NumbersPage::Panel23, u"Panel23"_s, &NumbersPage::Panel22, u"Panel22"_s,
            u"СO  , %"_s, u"00,0"_s },
        { qnCH, &NumbersPage::Panel25, u"Panel25"_s, &NumbersPage::Panel24, u"Panel24"_s,
            u"СН, ppm"_s, u"0000"_s },
        { qnO2, &NumbersPage::Panel27, u"Panel27"_s, &NumbersPage::Panel26, u"Panel26"_s,
            u"O  , %"_s, u"00,00"_s },
        // The instrument's λ sign, written as the letter itself.
        { qnLambda, &NumbersPage::Panel29, u"Panel29"_s, &NumbersPage::Panel28, u"Panel28"_s,
            u"λ"_s, u"0,00"_s },
        { qnEngineSpeed, &NumbersPage::Panel31, u"Panel31"_s, &NumbersPage::Panel32, u"Panel32"_s,
            u"Тахометр, об/мин"_s, u"0000"_s },
        { qnTemperature, &NumbersPage::Panel30, u"Panel30"_s, &NumbersPage::Panel33, u"Panel33"_s,
            u"Температура, °C"_s, u"00,00"_s },
    };
    const QFont captionFont = PanelFont(u"Arial"_s, 32, true);
    const QFont valueFont = PanelFont(u"Courier New"_s, 48, true, true);
    for (const PanelDesign &design : designs) {
        const bool firstRow = design.Quantity < qnEngineSpeed;
        const int width = firstRow ? FirstRowWidth : SecondRowWidth;
        QLabel *caption = CreatePanel(this, design.CaptionObject, design.CaptionText, captionFont,
            QRect(0, firstRow ? FirstRowCaptionTop : SecondRowCaptionTop, width, CaptionHeight));
        SetPanelColors(*caption, CaptionColor, Qt::black);
        caption->setFrameStyle(QFrame::Panel | QFrame::Raised);
        caption->setLineWidth(1);
        QLabel *value
            = CreatePanel(this, design.ValueObject, DesignNumberText(design.InitialText), valueFont,
                QRect(0, firstRow ? FirstRowValueTop : SecondRowValueTop, width, ValueHeight));
        SetPanelColors(*value, ValueColor, Qt::white);
        value->setFrameStyle(QFrame::Box | QFrame::Plain);
        value->setLineWidth(1);
        this->*design.Caption = caption;
        this->*design.Value = value;
        captionPanels_[std::size_t(design.Quantity)] = caption;
        valuePanels_[std::size_t(design.Quantity)] = value;
    }
    const QFont subscriptFont = PanelFont(u"Arial"_s, 20, true);
    Label6 = CreateSubscript(Panel23, u"Label6"_s, subscriptFont);
    Label6->move(0, SubscriptTop(*Panel23, *Label6));
    Label8 = CreateSubscript(Panel27, u"Label8"_s, subscriptFont);
    Label8->move(0, SubscriptTop(*Panel27, *Label8));
}

void NumbersPage::Layout()
{
    const double W = contentsRect().width();
    const double margin = 0.005 * W;
    const double fifth = (W - 6 * margin) / 5;
    const double half = (W - 3 * margin) / 2;

    for (int j = 0; j < int(std::size(FirstRow)); ++j) {
        const int left = RoundToPixel((j + 1) * margin + j * fifth);
        for (QLabel *panel : { CaptionPanel(FirstRow[j]), ValuePanel(FirstRow[j]) })
            panel->setGeometry(left, panel->y(), RoundToPixel(fifth), panel->height());
    }
    for (int j = 0; j < int(std::size(SecondRow)); ++j) {
        const int left = RoundToPixel((j + 1) * margin + j * half);
        for (QLabel *panel : { CaptionPanel(SecondRow[j]), ValuePanel(SecondRow[j]) })
            panel->setGeometry(left, panel->y(), RoundToPixel(half), panel->height());
    }
    // The "2" of CO2 and O2 in the gaps of their captions.
    Label6->move(RoundToPixel(0.47 * fifth), Label6->y());
    Label8->move(RoundToPixel(0.41 * fifth), Label8->y());
}

void NumbersPage::ShowText(int quantity, const QString &text)
{
    if (IsQuantity(quantity))
        valuePanels_[std::size_t(quantity)]->setText(text);
}

} // namespace kavro
