#pragma once

#include "compute/quantities.h"
#include "ui/indicator.h"

#include <QWidget>
#include <array>
#include <memory>

class QLabel;

namespace kavro {

// The scales page tsLevels: the seven gauges with a name and a value panel
// each. Top to bottom: Panel2 (names and values of CO, CH, CO2, O2, λ),
// Panel3 (their vertical gauges), Panel4 (names and values of engine speed
// and temperature), Panel5 (their horizontal gauges). Left positions follow
// the page width (Layout); heights and tops stay as designed.
class LevelsPage : public QWidget
{
    Q_OBJECT

public:
    explicit LevelsPage(QWidget *parent);
    ~LevelsPage() override;

    // The seven gauges on Panel3 and Panel5, in the order CO2, CO, CH, O2,
    // λ, engine speed, temperature; hidden until their first placement.
    void CreateGauges();
    bool HasGauges() const { return gauges_[qnCO] != nullptr; }
    // The gauge of a quantity; nullptr before CreateGauges or for a number
    // that is not a quantity.
    TIndicator *Gauge(int quantity) const;
    void RedrawGauges();

    // Gives the strips their places at the page's size: Panel2 at the top,
    // Panel5 at the bottom, Panel4 above it, Panel3 the rest.
    void ArrangeStrips();
    // Places gauges and panels from the width of Panel2 and the height of
    // Panel3 (the main window's LayoutLevelsPage).
    void Layout();

    // A shown value: to the gauge, and text to the value panel.
    void ShowReading(int quantity, double value, const QString &text);

    QLabel *NamePanel(int quantity) const { return namePanels_[std::size_t(quantity)]; }
    QLabel *ValuePanel(int quantity) const { return valuePanels_[std::size_t(quantity)]; }

    QWidget *Panel2 = nullptr;
    QWidget *Panel3 = nullptr;
    QWidget *Panel4 = nullptr;
    QWidget *Panel5 = nullptr;
    QLabel *Panel6 = nullptr; // CO
    QLabel *Panel7 = nullptr;
    QLabel *Panel8 = nullptr; // CO2
    QLabel *Panel9 = nullptr;
    QLabel *Panel10 = nullptr; // CH
    QLabel *Panel11 = nullptr;
    QLabel *Panel12 = nullptr; // O2
    QLabel *Panel13 = nullptr;
    QLabel *Panel14 = nullptr; // λ
    QLabel *Panel15 = nullptr;
    QLabel *Panel16 = nullptr; // engine speed
    QLabel *Panel17 = nullptr;
    QLabel *Panel18 = nullptr; // temperature
    QLabel *Panel19 = nullptr;
    QLabel *Label3 = nullptr; // the "2" of CO2
    QLabel *Label4 = nullptr; // the "2" of O2

private:
    void CreatePanels();

    std::array<QLabel *, QuantityCount> namePanels_ {};
    std::array<QLabel *, QuantityCount> valuePanels_ {};
    std::array<std::unique_ptr<TIndicator>, QuantityCount> gauges_;
};

} // namespace kavro
