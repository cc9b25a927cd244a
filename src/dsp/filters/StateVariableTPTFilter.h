#pragma once

#include <juce_dsp/juce_dsp.h>

#include <vector>

namespace QEL
{
/** JUCE's topology-preserving state-variable filter (same coefficients, same per-sample step, same
    interface), with its states open to a real snap to zero: JUCE 7 only snaps them when a build flag
    is set, and only on Intel. */
template <typename SampleType> class StateVariableTPTFilter
{
public:
    using Type = juce::dsp::StateVariableTPTFilterType;

    /** Low-pass, 1000 Hz, resonance 1/sqrt 2, 44100 Hz, two channels. */
    StateVariableTPTFilter() { update(); }

    /** Selects the low-, band- or high-pass output. */
    void setType (Type newType) noexcept { filterType = newType; }
    /** Sets the cut-off in Hz (below the Nyquist frequency) and recomputes the coefficients. */
    void setCutoffFrequency (SampleType hz) noexcept
    {
        cutoffFrequency = hz;
        update();
    }
    /** Sets the resonance (above 0; 1/sqrt 2 is flat) and recomputes the coefficients. */
    void setResonance (SampleType newResonance) noexcept
    {
        resonance = newResonance;
        update();
    }

    Type getType() const noexcept { return filterType; }
    SampleType getCutoffFrequency() const noexcept { return cutoffFrequency; }
    SampleType getResonance() const noexcept { return resonance; }

    /** Takes the rate, sizes one state pair per channel, clears them and recomputes the coefficients. */
    void prepare (const juce::dsp::ProcessSpec& spec)
    {
        sampleRate = spec.sampleRate;
        s1.resize (spec.numChannels);
        s2.resize (spec.numChannels);
        reset();
        update();
    }

    /** Clears every state. */
    void reset() noexcept
    {
        std::fill (s1.begin(), s1.end(), SampleType (0));
        std::fill (s2.begin(), s2.end(), SampleType (0));
    }

    /** Sets states of magnitude 1e-8 or less to zero. */
    void snapToZero() noexcept
    {
        for (auto* states : { &s1, &s2 })
            for (auto& s : *states)
                if (! (s < SampleType (-1.0e-8) || s > SampleType (1.0e-8)))
                    s = 0;
    }

    /** Filters one sample of a channel. */
    SampleType processSample (int channel, SampleType x) noexcept
    {
        auto& ls1 = s1[(size_t) channel];
        auto& ls2 = s2[(size_t) channel];

        const auto yHP = h * (x - ls1 * (g + R2) - ls2);
        const auto yBP = yHP * g + ls1;
        ls1 = yHP * g + yBP;
        const auto yLP = yBP * g + ls2;
        ls2 = yBP * g + yLP;

        switch (filterType)
        {
            case Type::bandpass: return yBP;
            case Type::highpass: return yHP;
            case Type::lowpass:
            default: return yLP;
        }
    }

    /** Number of channels with a state pair. */
    int getNumChannels() const noexcept { return (int) s1.size(); }

    /** The states of each channel, open for inspection. */
    std::vector<SampleType> s1 = std::vector<SampleType> (2), s2 = std::vector<SampleType> (2);

private:
    void update() noexcept
    {
        g = (SampleType) std::tan (juce::MathConstants<double>::pi * cutoffFrequency / sampleRate);
        R2 = (SampleType) (1.0 / resonance);
        h = (SampleType) (1.0 / (1.0 + R2 * g + g * g));
    }

    SampleType g = 0, h = 0, R2 = 0;
    Type filterType = Type::lowpass;
    SampleType cutoffFrequency = (SampleType) 1000;
    SampleType resonance = (SampleType) (1.0 / juce::MathConstants<double>::sqrt2);
    double sampleRate = 44100.0;
};
} // namespace QEL
