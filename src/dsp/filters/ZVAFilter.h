#pragma once

#include "dsp/base/QELProcessorBase.h"

namespace QEL
{
/** Settings of a ZVAFilter, copied by value. */
struct ZVAFilterParameters
{
    /** The responses a ZVAFilter offers. */
    enum Algorithm
    {
        firstOrderLowPass = 0,
        firstOrderHighPass = 1,
        firstOrderAllPass = 2,
        stateVariableLowPass = 3,
        stateVariableHighPass = 4,
        stateVariableBandPass = 5,
        stateVariableBandStop = 6
    };

    int algorithm = stateVariableLowPass;
    double fc = 1000.0;
    double Q = 0.707;
    double outputGainDb = 0.0;
    bool gainCompensation = false;
    bool matchAnalogNyquist = false;
    bool selfOscillate = false;
    bool nonlinear = false;
};

/** A zero-delay-feedback (topology-preserving) filter: three first-order and four state-variable responses,
    with optional gain compensation, analog matching at Nyquist, self-oscillation and a soft-clipping
    band-pass integrator. Computes in double precision.

    Coefficients are computed by setParameters only: by its first call, and then only when fc, Q,
    selfOscillate or matchAnalogNyquist change; a new sample rate takes effect at the next such change. */
class ZVAFilter : public juce::QELProcessorBase
{
public:
    ZVAFilter() = default;
    /** Nothing beyond the base. */
    ~ZVAFilter() override = default;

    /** Prepares the base and clears the integrators; the coefficients stay as they are. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** Clears the dry path and the integrators. */
    void reset() override;
    /** Filters one sample. */
    virtual double processAudioSample (double x) noexcept;

    /** Stores p; computes the coefficients on the first call and whenever fc, Q, selfOscillate or
        matchAnalogNyquist differ from the stored settings. The output gain and the gain compensation follow p at once.
     */
    void setParameters (const ZVAFilterParameters& p);

    /** The stored settings; change them through setParameters. */
    ZVAFilterParameters parameters;
    double z1 = 0.0;
    double z2 = 0.0;
    double alpha0 = 0.0;
    double alpha = 0.0;
    double rho = 0.0;
    double sigma = 0.0;

private:
    double inputGain = 1.0;
    double outputGain = 1.0;
    bool designed = false;

    void calculateCoefficients();
    void calculateGains();
    bool isFirstOrder() const noexcept { return (unsigned int) parameters.algorithm <= 2u; }
};
} // namespace QEL
