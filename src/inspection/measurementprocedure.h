#pragma once

#include "inspection/measurementresults.h"

#include <QString>

namespace kavro {

class MeasurementHost;

// The lower end of the minimum-idle range in the operator's instruction; it
// does not depend on the vehicle.
inline constexpr int LowestMinimumIdleSpeed = 100;

// The idle-speed test of one vehicle without its window: minimum idle first,
// then increased idle; each "Запомнить" copies the seven values the main
// window shows into MeasurementResults. The procedure checks nothing: the
// speed range is an instruction to the operator.
class MeasurementProcedure
{
public:
    explicit MeasurementProcedure(MeasurementHost &host);

    const MeasurementResults &Results() const { return results_; }
    IdlePhase CurrentPhase() const { return phase_; }

    // The dialog is shown: back to minimum idle, printing off until a
    // measurement is completed.
    void Start();

    // "Запомнить" with the adjustment kind chosen for this measurement.
    // Returns true when it completed the measurement (the increased-idle step).
    bool Remember(AdjustmentKind adjustment);

    // Copies CurrentValue of every quantity into the cells of the current phase.
    void StoreReadings(AdjustmentKind adjustment);

    // Printing is possible when asked for and a measurement after adjustment exists.
    void UpdatePrintAvailability(bool available);

    // A new vehicle was registered: its flags start false and printing is off;
    // the readings of the previous vehicle stay until overwritten.
    void ResetForNewVehicle();

    // The phase heading (Panel1) and the speed instruction (Label2) of the current phase.
    QString PhaseHeading() const;
    QString Instruction() const;

private:
    MeasurementHost &host_;
    MeasurementResults results_;
    IdlePhase phase_ = MinimumIdle;
};

// The operator's instruction for an engine speed range in revolutions per minute.
QString SpeedInstruction(int lowest, int highest);

// A gauge value as a whole number: to the nearest, ties to even; out of the
// int range or not a number it is limited to the range (0 for not a number).
int RoundToInt(double value);

} // namespace kavro
