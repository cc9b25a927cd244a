#include "dsp/eq/DynamicEQProcessor.h"

#include "dsp/filters/FilterForms.h"

#include <cmath>
#include <limits>

namespace QEL
{
namespace
{
    constexpr float rampSeconds = 0.05f;
    constexpr float tiny = 1.0e-25f;
    constexpr float shapeGain = 0.0031622776f; // 10^-2.5, -50 dB

    /** Each filter gets its own coefficient object, written in place from then on. */
    void giveOwnCoefficients (juce::dsp::IIR::Filter<float>& filter)
    {
        filter.coefficients = new juce::dsp::IIR::Coefficients<float> (1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f);
        filter.reset();
    }
} // namespace

DynamicEQProcessor::DynamicEQProcessor()
{
    for (int channel = 0; channel < 2; ++channel)
    {
        envelopes[channel].setRelease (40.0f);
        for (auto* filters : { dynamicFilters, shapeFilters, detectorHighPass, detectorLowPass })
            giveOwnCoefficients (filters[channel]);
    }
}

void DynamicEQProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    QELProcessorBase::prepare (spec);
    for (auto& envelope : envelopes)
        envelope.setSampleRate (spec.sampleRate);
    smoothFrequency.reset (spec.sampleRate, (double) rampSeconds);
    smoothQ.reset (spec.sampleRate, (double) rampSeconds);
    lastDynamicDesign.frequency = std::numeric_limits<float>::quiet_NaN(); // the rate changed: design again
    updateStaticFilters();
    updateDynamicFilters();
}

void DynamicEQProcessor::processImpl (const float* const*, float* const* out, int numSamples, int,
                                      int numOutputChannels)
{
    for (int channel = 0; channel < std::min (numOutputChannels, 2); ++channel)
        for (int i = 0; i < numSamples; ++i)
            out[channel][i] = processSpl (out[channel][i], i, channel);
    snapToZero();
}

void DynamicEQProcessor::snapToZero() noexcept
{
    for (auto* filters : { dynamicFilters, shapeFilters, detectorHighPass, detectorLowPass })
        for (int channel = 0; channel < 2; ++channel)
            filters[channel].snapToZero();
}

float DynamicEQProcessor::processSpl (float x, int, int channel) noexcept
{
    if (smoothFrequency.isSmoothing() || smoothQ.isSmoothing() || dirty)
    {
        updateStaticFilters();
        dirty = false;
    }

    const auto c = (size_t) channel;
    const float d = shapedDetector ? shapeFilters[c].processSample (x) - x
                                   : detectorLowPass[c].processSample (detectorHighPass[c].processSample (x));

    const float magnitude = std::abs (d) + tiny;
    const float level = magnitude > 0.0f ? std::max (20.0f * std::log10 (magnitude), -100.0f) : -100.0f;
    const float over = std::max (0.0f, level - threshold) + tiny;

    float& e = envelopeState[c];
    const float coefficient = over > e ? envelopes[c].attackDetector.coef.load (std::memory_order_relaxed)
                                       : envelopes[c].releaseDetector.coef.load (std::memory_order_relaxed);
    e = over + (e - over) * coefficient;

    const float u = e - tiny;
    const float gainDb = range >= 0.0f ? std::min (range, u) : std::max (range, -u);
    dynamicGain = gainDb <= -100.0f ? 0.0f : std::pow (10.0f, gainDb / 20.0f);

    updateDynamicFilters();
    return dynamicFilters[c].processSample (x);
}

void DynamicEQProcessor::updateStaticFilters() noexcept
{
    const float f = smoothFrequency.getNextValue();
    const float bandQ = smoothQ.getNextValue();

    if (shapedDetector)
    {
        assign (shapeFilters, bandForm (type, f, bandQ, shapeGain));
        return;
    }

    const float k = std::sqrt (1.0f + 1.0f / (4.0f * bandQ * bandQ)) + 1.0f / (2.0f * bandQ);
    assign (detectorHighPass, FilterForms::Forms::makeHighPass (sampleRate, std::max (f / k, 20.0f)));
    assign (detectorLowPass, FilterForms::Forms::makeLowPass (sampleRate, std::min (f * k, 20000.0f)));
}

void DynamicEQProcessor::updateDynamicFilters() noexcept
{
    const DesignKey key { type, frequency, q, dynamicGain };
    if (key == lastDynamicDesign)
        return;

    lastDynamicDesign = key;
    assign (dynamicFilters, bandForm (type, frequency, q, dynamicGain));
}

std::array<float, 6> DynamicEQProcessor::bandForm (int bandType, float f, float bandQ, float gain) const noexcept
{
    switch (bandType)
    {
        case 1: return FilterForms::lowShelf (sampleRate, f, bandQ, gain);
        case 3: return FilterForms::highShelf (sampleRate, f, bandQ, gain);
        default: return FilterForms::peak (sampleRate, f, bandQ, gain);
    }
}

void DynamicEQProcessor::assign (Filter (&filters)[2], const std::array<float, 6>& values) noexcept
{
    for (auto& filter : filters)
        *filter.coefficients = values;
}
} // namespace QEL
