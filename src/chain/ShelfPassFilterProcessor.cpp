#include "chain/ShelfPassFilterProcessor.h"

namespace tessaro::dsp
{
namespace
{
    float factorFromDb (float db) noexcept
    {
        return db <= -100.0f ? 0.0f : std::pow (10.0f, db / 20.0f);
    }

    using Array6 = std::array<double, 6>;

    Array6 normalised (const Array6& c) noexcept
    {
        return { c[0] / c[3], c[1] / c[3], c[2] / c[3], 1.0, c[4] / c[3], c[5] / c[3] };
    }

    // The framework's shelf designs take a floored gain factor; the -300 dB floor keeps a factor of 0 drawable.
    Array6 shelfDesign (bool low, double rate, double hz, double q, double factor)
    {
        const double a = std::sqrt (std::max (factor, 1e-15));
        const double w = juce::MathConstants<double>::twoPi * std::max (hz, 2.0) / rate;
        const double c = std::cos (w);
        const double beta = std::sin (w) * std::sqrt (a) / q;
        const double ap = a + 1.0, am = a - 1.0;

        if (low)
            return { a * (ap - am * c + beta), 2.0 * a * (am - ap * c), a * (ap - am * c - beta),
                     ap + am * c + beta,       -2.0 * (am + ap * c),    ap + am * c - beta };

        return { a * (ap + am * c + beta), -2.0 * a * (am + ap * c), a * (ap + am * c - beta),
                 ap - am * c + beta,       2.0 * (am - ap * c),      ap - am * c - beta };
    }

    Array6 passDesign (bool low, double rate, double hz, double q)
    {
        if (low) // the low band's high-pass
        {
            const double n = std::tan (juce::MathConstants<double>::pi * hz / rate);
            const double c = 1.0 / (1.0 + n / q + n * n);
            return { c, -2.0 * c, c, 1.0, 2.0 * c * (n * n - 1.0), c * (1.0 - n / q + n * n) };
        }

        const double n = 1.0 / std::tan (juce::MathConstants<double>::pi * hz / rate);
        const double c = 1.0 / (1.0 + n / q + n * n);
        return { c, 2.0 * c, c, 1.0, 2.0 * c * (1.0 - n * n), c * (1.0 - n / q + n * n) };
    }
} // namespace

ShelfPassFilterProcessor::ShelfPassFilterProcessor()
{
    for (int ch = 0; ch < 2; ++ch)
    {
        shelf[ch].coefficients = new juce::dsp::IIR::Coefficients<float> (1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f);
        pass[ch].coefficients = new juce::dsp::IIR::Coefficients<float> (1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f);
    }
    designFilters();
}

float ShelfPassFilterProcessor::blendWeight (float gain) noexcept
{
    if (gain >= blendStart)
        return 0.0f;
    if (gain <= blendEnd)
        return 1.0f;
    return juce::jlimit (0.0f, 1.0f, (blendStart - gain) / std::max (blendStart - blendEnd, 0.001f));
}

void ShelfPassFilterProcessor::setType (int newType)
{
    type.store (newType == lowBand ? lowBand : highBand);
    updateFilters();
}

void ShelfPassFilterProcessor::setFrequency (float hz)
{
    frequency.store (hz);
    updateFilters();
}

void ShelfPassFilterProcessor::setQ (float q)
{
    quality.store (q);
    updateFilters();
}

void ShelfPassFilterProcessor::setGainDb (float newGainDb)
{
    gainDb.store (newGainDb);
    gainFactor.store (factorFromDb (newGainDb));
    updateFilters();
}

// Writes new values into the filters' own coefficient sets: nothing is allocated or released.
void ShelfPassFilterProcessor::designFilters()
{
    filtersDirty.store (false);

    using Design = juce::dsp::IIR::ArrayCoefficients<float>;
    const bool low = type.load() == lowBand;
    const float hz = juce::jlimit (2.0f, (float) (sampleRate * 0.49), frequency.load());
    const float q = std::max (quality.load(), 0.01f);
    const float factor = std::max (gainFactor.load(), 1.0e-15f);

    const auto shelfSet =
        low ? Design::makeLowShelf (sampleRate, hz, q, factor) : Design::makeHighShelf (sampleRate, hz, q, factor);
    const auto passSet = low ? Design::makeHighPass (sampleRate, hz, q) : Design::makeLowPass (sampleRate, hz, q);

    for (int ch = 0; ch < 2; ++ch)
    {
        *shelf[ch].coefficients = shelfSet;
        *pass[ch].coefficients = passSet;
    }
    appliedWeight = blendWeight (gainDb.load());
}

void ShelfPassFilterProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    designFilters();
    reset();
}

void ShelfPassFilterProcessor::reset()
{
    juce::QELProcessorBase::reset();
    for (int ch = 0; ch < 2; ++ch)
    {
        shelf[ch].reset();
        pass[ch].reset();
    }
}

void ShelfPassFilterProcessor::processImpl (const float* const*, float* const* out, int numSamples, int,
                                            int numChannels)
{
    if (filtersDirty.load (std::memory_order_acquire))
        designFilters();

    const float w = appliedWeight;

    for (int ch = 0; ch < std::min (numChannels, 2); ++ch)
    {
        float* x = out[ch];
        for (int i = 0; i < numSamples; ++i)
        {
            const float s = shelf[ch].processSample (x[i]);
            const float p = pass[ch].processSample (x[i]);
            x[i] = s + (p - s) * w;
        }
        shelf[ch].snapToZero();
        pass[ch].snapToZero();
    }
}

// The audio sums the two filters' outputs, (1 - w) shelf + w pass, so the drawn response is that sum: one
// fourth-order set over the product of both denominators (a plain biquad when only one of them sounds).
juce::dsp::IIR::Coefficients<double>::Ptr ShelfPassFilterProcessor::computeMixedCoefficients() const
{
    constexpr double drawRate = 96000.0;
    const bool low = type.load() == lowBand;
    const double hz = frequency.load();
    const double q = quality.load();
    const double w = blendWeight (gainDb.load());

    const auto s = normalised (shelfDesign (low, drawRate, hz, q, gainFactor.load()));
    const auto p = normalised (passDesign (low, drawRate, hz, q));

    if (w <= 0.0 || w >= 1.0)
    {
        const auto& only = w <= 0.0 ? s : p;
        return new juce::dsp::IIR::Coefficients<double> (only[0], only[1], only[2], 1.0, only[4], only[5]);
    }

    const double sa[] = { 1.0, s[4], s[5] }, pa[] = { 1.0, p[4], p[5] };
    double numerator[5] {}, denominator[5] {};
    for (int i = 0; i < 3; ++i)
    {
        for (int j = 0; j < 3; ++j)
        {
            numerator[i + j] += (1.0 - w) * s[(size_t) i] * pa[j] + w * p[(size_t) i] * sa[j];
            denominator[i + j] += sa[i] * pa[j];
        }
    }

    auto mixed = new juce::dsp::IIR::Coefficients<double>();
    mixed->coefficients = { numerator[0], numerator[1], numerator[2], numerator[3], numerator[4],
                            denominator[1], denominator[2], denominator[3], denominator[4] };
    return mixed;
}
} // namespace tessaro::dsp
