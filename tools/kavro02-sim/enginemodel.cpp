#include "enginemodel.h"

#include <algorithm>
#include <cmath>

namespace kavro::sim {

namespace {

constexpr double RpmTimeConstant = 0.8; // s, engine speed following the throttle
constexpr double PumpedCellTimeConstant = 1.5; // s, sample cell flushed by the pump
constexpr double StillCellTimeConstant = 30; // s, cell slowly leaking without the pump

// Standard deviations of one reading's noise (at noise 1).
constexpr PhysicalValues NoiseSigma { 0.01, 2.0, 0.04, 0.02, 8.0, 0.1 };

double Approach(double value, double target, double dt, double timeConstant)
{
    return target + (value - target) * std::exp(-dt / timeConstant);
}

} // namespace

EngineModel::EngineModel(const Settings &settings)
    : m_settings(settings)
    , m_random(settings.seed)
    , m_nextCycleToggle(settings.cycleSeconds)
    , m_raised(settings.startRaised)
    , m_rpm(settings.startRaised ? settings.raisedIdleRpm : settings.idleRpm)
    , m_temperature(settings.startWarm ? settings.warmTemperature : settings.startTemperature)
    , m_cell(AmbientAir())
{ }

PhysicalValues EngineModel::AmbientAir()
{
    return { 0.0, 0.0, 0.04, 20.9, 0.0, 0.0 };
}

PhysicalValues EngineModel::Exhaust(double load, double coldness)
{
    // A cold engine runs rich: more CO and CH, less CO2. At increased idle
    // the mixture burns more completely.
    PhysicalValues gas;
    gas.co = 0.80 - 0.50 * load + 1.20 * coldness;
    gas.ch = 180 - 90 * load + 200 * coldness;
    gas.co2 = 13.8 + 0.7 * load - 1.2 * coldness;
    gas.o2 = 0.80 - 0.30 * load + 0.20 * coldness;
    return gas;
}

double EngineModel::Load() const
{
    const double span = m_settings.raisedIdleRpm - m_settings.idleRpm;
    return span > 0 ? std::clamp((m_rpm - m_settings.idleRpm) / span, 0.0, 1.0) : 0.0;
}

double EngineModel::Coldness() const
{
    const double span = m_settings.warmTemperature - m_settings.startTemperature;
    return span > 0 ? std::clamp((m_settings.warmTemperature - m_temperature) / span, 0.0, 1.0)
                    : 0.0;
}

void EngineModel::Advance(double now)
{
    while (m_settings.cycleSeconds > 0 && now >= m_nextCycleToggle) {
        m_raised = !m_raised;
        m_nextCycleToggle += m_settings.cycleSeconds;
    }
    const double dt = now - m_time;
    if (dt <= 0)
        return;
    m_time = now;

    const double targetRpm = m_raised ? m_settings.raisedIdleRpm : m_settings.idleRpm;
    m_rpm = Approach(m_rpm, targetRpm, dt, RpmTimeConstant);
    // Three time constants reach 95 % of the way.
    m_temperature = Approach(m_temperature, m_settings.warmTemperature, dt,
        std::max(m_settings.warmUpSeconds / 3, 1e-3));

    const bool pumpingExhaust = m_pumpRunning && !m_drawingAmbientAir;
    const PhysicalValues source = pumpingExhaust ? Exhaust(Load(), Coldness()) : AmbientAir();
    const double timeConstant = m_pumpRunning ? PumpedCellTimeConstant : StillCellTimeConstant;
    m_cell.co = Approach(m_cell.co, source.co, dt, timeConstant);
    m_cell.ch = Approach(m_cell.ch, source.ch, dt, timeConstant);
    m_cell.co2 = Approach(m_cell.co2, source.co2, dt, timeConstant);
    m_cell.o2 = Approach(m_cell.o2, source.o2, dt, timeConstant);
}

PhysicalValues EngineModel::Exact() const
{
    PhysicalValues values = m_cell;
    values.rpm = m_rpm;
    values.temperature = m_temperature;
    return values;
}

PhysicalValues EngineModel::Sample()
{
    PhysicalValues values = Exact();
    if (m_settings.noise <= 0)
        return values;
    std::normal_distribution<double> gauss(0.0, m_settings.noise);
    values.co = std::max(0.0, values.co + NoiseSigma.co * gauss(m_random));
    values.ch = std::max(0.0, values.ch + NoiseSigma.ch * gauss(m_random));
    values.co2 = std::max(0.0, values.co2 + NoiseSigma.co2 * gauss(m_random));
    values.o2 = std::max(0.0, values.o2 + NoiseSigma.o2 * gauss(m_random));
    values.rpm = std::max(0.0, values.rpm + NoiseSigma.rpm * gauss(m_random));
    values.temperature += NoiseSigma.temperature * gauss(m_random);
    return values;
}

} // namespace kavro::sim
