#include "inspection/verdict.h"

#include "compute/numberformat.h"
#include "inspection/measurementprocedure.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {

const QString Passed = u"соответствует"_s;
const QString Failed = u"не соответствует"_s;
const QString AtMinimumIdle = u"на минимальных оборотах"_s;
const QString AtIncreasedIdle = u"на повышенных оборотах"_s;

// How a quantity is printed in the report (and in the reasons): decimals and unit.
struct Printed
{
    const char *format;
    QString unit;

    QString Text(double value) const { return FormatFixed(format, value) + unit; }
    // The value as printed, read back: what the reader of the report compares.
    double Value(double value) const { return QString::asprintf(format, value).toDouble(); }
};

const Printed Percent { "%.2f", u" %"_s };
const Printed Ppm { "%.0f", u" ppm"_s };
const Printed Ratio { "%.2f", QString() };
const Printed Speed { "%.0f", u" об/мин"_s };

class Judge
{
public:
    explicit Judge(const MeasurementResults::PhaseValues &readings)
        : readings_(readings)
    { }

    // A gas at a phase must not exceed its limit.
    void AtMost(
        const QString &name, int quantity, IdlePhase phase, const Printed &printed, double limit)
    {
        const double value = Reading(phase, quantity);
        const QString where = name + u' ' + PhaseName(phase) + u' ';
        if (!std::isfinite(value))
            Fail(where + u"не измерен"_s);
        else if (printed.Value(value) > printed.Value(limit))
            Fail(where + printed.Text(value) + u" > "_s + printed.Text(limit));
    }

    // λ must lie within the range.
    void Within(const QString &name, int quantity, IdlePhase phase, const Printed &printed,
        double lowest, double highest)
    {
        const double value = Reading(phase, quantity);
        const QString where = name + u' ' + PhaseName(phase) + u' ';
        if (!std::isfinite(value))
            Fail(where + u"не измерен"_s);
        else if (printed.Value(value) < printed.Value(lowest))
            Fail(where + printed.Text(value) + u" < "_s + printed.Text(lowest));
        else if (printed.Value(value) > printed.Value(highest))
            Fail(where + printed.Text(value) + u" > "_s + printed.Text(highest));
    }

    // The engine speed of a phase should lie within the instruction's range;
    // outside it is noted only.
    void SpeedWithin(IdlePhase phase, int lowest, int highest)
    {
        const double value = Reading(phase, qnEngineSpeed);
        if (std::isfinite(value) && Speed.Value(value) >= lowest && Speed.Value(value) <= highest)
            return;
        const QString shown = std::isfinite(value) ? Speed.Text(value) : u"не измерены"_s;
        notes_ << u"обороты вне диапазона %1: %2, требуется %3-%4 об/мин"_s.arg(
            PhaseName(phase), shown, QString::number(lowest), QString::number(highest));
    }

    InspectionVerdict Verdict() const
    {
        return { failures_.isEmpty(), failures_.isEmpty() ? Passed : Failed, failures_ + notes_ };
    }

private:
    double Reading(IdlePhase phase, int quantity) const
    {
        return readings_[phase][std::size_t(quantity)];
    }
    static const QString &PhaseName(IdlePhase phase)
    {
        return phase == MinimumIdle ? AtMinimumIdle : AtIncreasedIdle;
    }
    void Fail(const QString &reason) { failures_ << reason; }

    const MeasurementResults::PhaseValues &readings_;
    QStringList failures_;
    QStringList notes_;
};

} // namespace

QString InspectionVerdict::Line() const
{
    QString line = text;
    if (!line.isEmpty())
        line[0] = line[0].toUpper();
    if (!reasons.isEmpty())
        line += u": "_s + reasons.first();
    return line;
}

QString InspectionVerdict::ReasonsText() const
{
    return reasons.isEmpty() ? u" - "_s : reasons.join(u"; "_s);
}

bool IsJudgedByLambda(int categoryCode)
{
    constexpr int ThreeComponent = 16;
    return IsMadeAfter1986(categoryCode)
        && (categoryCode & VehicleCode::AfterTreatmentMask) == ThreeComponent;
}

InspectionVerdict DecideVerdict(int categoryCode,
    const MeasurementResults::PhaseValues &afterAdjustment, const VerdictLimits &limits)
{
    Judge judge(afterAdjustment);
    judge.AtMost(u"CO"_s, qnCO, MinimumIdle, Percent, limits.co.LowLimit);
    judge.AtMost(u"CH"_s, qnCH, MinimumIdle, Ppm, limits.ch.LowLimit);
    judge.AtMost(u"CO"_s, qnCO, IncreasedIdle, Percent, limits.co.HighLimit);
    judge.AtMost(u"CH"_s, qnCH, IncreasedIdle, Ppm, limits.ch.HighLimit);
    if (IsJudgedByLambda(categoryCode)) {
        judge.Within(
            u"λ"_s, qnLambda, IncreasedIdle, Ratio, limits.lambdaLowest, limits.lambdaHighest);
    }
    // The ranges of the operator's instruction, in the same whole numbers.
    judge.SpeedWithin(MinimumIdle, LowestMinimumIdleSpeed, RoundToInt(limits.engineSpeed.LowLimit));
    judge.SpeedWithin(IncreasedIdle, RoundToInt(limits.engineSpeed.HighLimit),
        RoundToInt(limits.engineSpeed.MaxValue));
    return judge.Verdict();
}

} // namespace kavro
