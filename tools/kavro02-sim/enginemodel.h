#pragma once

#include <random>

namespace kavro::sim {

// What the instrument measures, in the units the program shows.
struct PhysicalValues
{
    double co = 0; // % vol
    double ch = 0; // ppm
    double co2 = 0; // % vol
    double o2 = 0; // % vol
    double rpm = 0; // revolutions per minute
    double temperature = 0; // °C
};

// A petrol engine at minimum or increased idle speed, warming up, with the
// instrument's sample cell between exhaust and sensors. Time is in seconds
// since the start of the session.
class EngineModel
{
public:
    struct Settings
    {
        double idleRpm = 800;
        double raisedIdleRpm = 2500;
        double startTemperature = 20;
        double warmTemperature = 85;
        double warmUpSeconds = 180; // to about 95 % of the way
        double cycleSeconds = 0; // alternate idle / increased idle; 0: no cycle
        bool startRaised = false;
        bool startWarm = false;
        double noise = 1; // 0 switches the noise off
        unsigned seed = 1;
    };

    explicit EngineModel(const Settings &settings);

    void Advance(double now);
    void ToggleIdleSpeed() { m_raised = !m_raised; }
    void SetRaisedIdle(bool raised) { m_raised = raised; }
    bool RaisedIdle() const { return m_raised; }

    // The pump draws exhaust through the cell; without it the cell slowly
    // fills with ambient air. During the automatic zero setting the pump
    // draws ambient air.
    void SetPump(bool running) { m_pumpRunning = running; }
    void SetDrawingAmbientAir(bool ambient) { m_drawingAmbientAir = ambient; }
    bool PumpRunning() const { return m_pumpRunning; }

    // Values of this moment, with the noise of one sensor reading.
    PhysicalValues Sample();
    // Values of this moment without noise.
    PhysicalValues Exact() const;

    static PhysicalValues AmbientAir();
    // Exhaust composition at a load between minimum (0) and increased idle
    // (1) and a coldness between warm (0) and cold start (1).
    static PhysicalValues Exhaust(double load, double coldness);

private:
    double Load() const;
    double Coldness() const;

    Settings m_settings;
    std::mt19937 m_random;
    double m_time = 0;
    double m_nextCycleToggle = 0;
    bool m_raised = false;
    bool m_pumpRunning = false;
    bool m_drawingAmbientAir = false;
    double m_rpm = 0;
    double m_temperature = 0;
    PhysicalValues m_cell; // gas in the sample cell
};

} // namespace kavro::sim
