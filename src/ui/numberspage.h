#pragma once

#include "compute/quantities.h"

#include <QWidget>
#include <array>

class QLabel;

namespace kavro {

// The numbers page tsNumbers: every quantity as a caption over a large
// number. Row 1 holds CO, CO2, CH, O2 and λ, row 2 engine speed and
// temperature; lefts and widths follow the page width (Layout), tops and
// heights stay as designed.
class NumbersPage : public QWidget
{
    Q_OBJECT

public:
    explicit NumbersPage(QWidget *parent);

    // Places the panels from the page's width (the main window's
    // LayoutNumbersPage).
    void Layout();
    void ShowText(int quantity, const QString &text);

    QLabel *CaptionPanel(int quantity) const { return captionPanels_[std::size_t(quantity)]; }
    QLabel *ValuePanel(int quantity) const { return valuePanels_[std::size_t(quantity)]; }

    QLabel *Panel20 = nullptr; // CO
    QLabel *Panel21 = nullptr;
    QLabel *Panel23 = nullptr; // CO2
    QLabel *Panel22 = nullptr;
    QLabel *Panel25 = nullptr; // CH
    QLabel *Panel24 = nullptr;
    QLabel *Panel27 = nullptr; // O2
    QLabel *Panel26 = nullptr;
    QLabel *Panel29 = nullptr; // λ
    QLabel *Panel28 = nullptr;
    QLabel *Panel31 = nullptr; // engine speed
    QLabel *Panel32 = nullptr;
    QLabel *Panel30 = nullptr; // temperature
    QLabel *Panel33 = nullptr;
    QLabel *Label6 = nullptr; // the "2" of CO2
    QLabel *Label8 = nullptr; // the "2" of O2

private:
    std::array<QLabel *, QuantityCount> captionPanels_ {};
    std::array<QLabel *, QuantityCount> valuePanels_ {};
};

} // namespace kavro
