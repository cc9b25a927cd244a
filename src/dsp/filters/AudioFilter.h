#pragma once

#include "dsp/filters/CustomBiquad.h"

namespace QEL
{
/** A single-channel second-order filter with 29 designs and a wet/dry pair: y = d0·x + c0·biquad(x).

    The owner writes algorithm, fc, Q and boostCutDb and then calls calculateFilterCoeffs(). One filter holds
    one state: a block of several channels runs them one after the other through that state, so owners keep
    one AudioFilter per channel.

    Algorithms: 0 one-pole LP, 1 first-order LP, 2 first-order HP, 3 second-order LP, 4 second-order HP,
    5 band-pass, 6 band-stop, 7 Butterworth LP, 8 Butterworth HP, 9 Butterworth BP, 10 Butterworth BS,
    11 analog-matched LP (peak normalised), 12 analog-matched LP, 13 low shelf, 14 high shelf,
    15 peak (Q varies with gain), 16 peak (constant Q), 17 Linkwitz-Riley LP, 18 Linkwitz-Riley HP,
    19 first-order all-pass, 20 second-order all-pass, 21 resonator, 22 resonator with zeros at 0 and Nyquist,
    23/24 matched LP (tight/loose), 25/26 matched BP (tight/loose), 27/28 impulse-invariant LP (first/second
    order). */
class AudioFilter : public juce::QELProcessorBase
{
public:
    /** The largest bandwidth angle the band designs use (0.95·π/2), keeping their tangent off its pole. */
    static constexpr double maxBandwidthAngle = 1.4922565104551517;

    /** The number of designs; algorithm values 0 to numAlgorithms - 1 are valid. */
    static constexpr int numAlgorithms = 29;

    AudioFilter() = default;
    /** Nothing beyond the base. */
    ~AudioFilter() override = default;

    /** Prepares the base and the kernel's base, selects the transposed canonical kernel and designs. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** Clears the dry paths and the kernel's state, then designs. */
    void reset() override;
    /** Filters each channel in place, all through the one kernel state. */
    void processImpl (float* const* channels, int numSamples, int numInputChannels, int numOutputChannels) override;
    using juce::QELProcessorBase::processImpl;

    /** Designs coeffs from algorithm, fc, Q, boostCutDb and the sample rate and copies them to the kernel;
        an algorithm outside 0 to 28 leaves the kernel's coefficients as they were. */
    void calculateFilterCoeffs();

    /** Filters one sample: d0·x + c0·biquad(x). */
    double processSample (double x) noexcept
    {
        return coeffs[CustomBiquad::d0] * x + coeffs[CustomBiquad::c0] * biquad.processAudioSample (x);
    }

    CustomBiquad biquad;
    double coeffs[CustomBiquad::numCoefficients] = {};
    int algorithm = 1;
    double fc = 100.0;
    double Q = 0.707;
    double boostCutDb = 0.0;
};
} // namespace QEL
