#pragma once

namespace kavro {

// Which value of a gauge's scale GaugeScaleValue gives.
enum GaugeScaleChoice : int {
    gsLowLimit = 0,
    gsHighLimit = 1,
    gsMaxValue = 2,
};

// What the measurement procedure needs from the main window.
class MeasurementHost
{
public:
    virtual ~MeasurementHost() = default;

    // The value of a quantity (0..6) as the main window last showed it,
    // after limiting it to its display range.
    virtual double CurrentValue(int quantity) const = 0;

    // LowLimit, HighLimit or MaxValue of a quantity's gauge, which the
    // vehicle's category set.
    virtual double GaugeScaleValue(GaugeScaleChoice choice, int quantity) const = 0;

    // Enables or disables the print command (actPrint).
    virtual void SetPrintEnabled(bool enabled) = 0;

    // The measurement dialog has closed, however it was closed: the main
    // window enables actPump, actNewCar, actNewMesurment and actCalibr again.
    virtual void MeasurementDialogClosed() = 0;
};

} // namespace kavro
