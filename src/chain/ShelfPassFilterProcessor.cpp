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
    jumpToSettings();
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

//==============================================================================
// The settings as the design takes them: the corner below the Nyquist frequency, Q and gain bounded.
ShelfPassFilterProcessor::Settings ShelfPassFilterProcessor::readSettings() const noexcept
{
    return { juce::jlimit (2.0f, (float) (sampleRate * 0.49), frequency.load()), std::max (quality.load(), 0.01f),
             std::max (gainFactor.load(), 1.0e-15f), gainDb.load() };
}

// The frequency glides on a log scale of the prewarped corner, tan (pi f / rate), the scale the filters
// themselves move on: an octave in the audio band, and ever more time as the corner nears the Nyquist
// frequency, where the filters change fastest.
float ShelfPassFilterProcessor::glideScaleOf (float hz) const noexcept
{
    return (float) std::log2 (std::tan (juce::MathConstants<double>::pi * (double) hz / sampleRate));
}

float ShelfPassFilterProcessor::hzOfGlideScale (float value) const noexcept
{
    return (float) (std::atan (std::exp2 ((double) value)) * sampleRate / juce::MathConstants<double>::pi);
}

// The point the glide has reached: frequency and Q on log scales, the gain in dB.
ShelfPassFilterProcessor::Settings ShelfPassFilterProcessor::glideSettings() const noexcept
{
    const float db = dbGlide.getCurrentValue();
    return { hzOfGlideScale (hzGlide.getCurrentValue()), std::exp2 (qGlide.getCurrentValue()),
             std::max (factorFromDb (db), 1.0e-15f), db };
}

// New settings start a glide from wherever the band is. A band that has not played since it was prepared
// or reset has nothing to glide from: it jumps, as it does before the first prepare.
void ShelfPassFilterProcessor::followSettings() noexcept
{
    if (! filtersDirty.exchange (false, std::memory_order_acquire))
        return;

    if (! playing)
    {
        jumpToSettings();
        return;
    }

    target = readSettings();
    hzGlide.setTargetValue (glideScaleOf (target.hz));
    qGlide.setTargetValue (std::log2 (target.q));
    dbGlide.setTargetValue (target.db);

    if (! glidesRunning())
        designFilters (target, 0);
}

void ShelfPassFilterProcessor::jumpToSettings() noexcept
{
    filtersDirty.store (false);
    target = readSettings();
    hzGlide.setCurrentAndTargetValue (glideScaleOf (target.hz));
    qGlide.setCurrentAndTargetValue (std::log2 (target.q));
    dbGlide.setCurrentAndTargetValue (target.db);
    designFilters (target, 0);
}

bool ShelfPassFilterProcessor::isFlat() const noexcept
{
    return target.db == 0.0f && ! glidesRunning() && ! filtersDirty.load (std::memory_order_acquire);
}

bool ShelfPassFilterProcessor::glidesRunning() const noexcept
{
    return hzGlide.isSmoothing() || qGlide.isSmoothing() || dbGlide.isSmoothing();
}

// Writes the designs into the band's own filters, at once or as the end of a glide of numSteps samples:
// nothing is allocated or released.
void ShelfPassFilterProcessor::designFilters (const Settings& settings, int numSteps) noexcept
{
    using Design = juce::dsp::IIR::ArrayCoefficients<float>;
    using QEL::GlidingBiquad;
    const bool low = type.load() == lowBand;
    const auto [hz, q, factor, db] = settings;

    shelf.glideTo (GlidingBiquad::normalise (low ? Design::makeLowShelf (sampleRate, hz, q, factor)
                                                 : Design::makeHighShelf (sampleRate, hz, q, factor)),
                   numSteps);
    pass.glideTo (GlidingBiquad::normalise (low ? Design::makeHighPass (sampleRate, hz, q)
                                                : Design::makeLowPass (sampleRate, hz, q)),
                  numSteps);

    weightTarget = blendWeight (db);
    weightStep = numSteps > 0 ? (weightTarget - appliedWeight) / (float) numSteps : 0.0f;
    if (numSteps <= 0)
        appliedWeight = weightTarget;
}

void ShelfPassFilterProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    const int glideSamples = (int) std::floor (glideSeconds * spec.sampleRate);
    for (auto* glide : { &hzGlide, &qGlide, &dbGlide })
        glide->reset (glideSamples);
    reset();
}

// A reset band stands at its settings with cleared filters, as a new one does.
void ShelfPassFilterProcessor::reset()
{
    juce::QELProcessorBase::reset();
    playing = false;
    jumpToSettings();
    shelf.reset();
    pass.reset();
}

void ShelfPassFilterProcessor::processImpl (const float* const*, float* const* out, int numSamples, int,
                                            int numChannels)
{
    followSettings();
    playing = true;
    const int channels = std::min (numChannels, QEL::GlidingBiquad::maxChannels);
    const int glided = glidesRunning() ? processGlide (out, numSamples, channels) : 0;

    if (glided < numSamples)
        processStill (out, glided, numSamples - glided, channels);
}

// Steps of glideStep samples: the glides advance, the filters are designed for the point reached (the
// settings themselves once there) and their coefficients and the blend weight move to it sample by
// sample. Returns the samples processed, which stop short of the block when the glide arrives.
int ShelfPassFilterProcessor::processGlide (float* const* out, int numSamples, int numChannels) noexcept
{
    int done = 0;

    while (done < numSamples && glidesRunning())
    {
        const int length = std::min (glideStep, numSamples - done);
        for (auto* glide : { &hzGlide, &qGlide, &dbGlide })
            glide->skip (length);
        designFilters (glidesRunning() ? glideSettings() : target, length);

        for (int i = done; i < done + length; ++i)
        {
            shelf.advance();
            pass.advance();
            appliedWeight += weightStep;

            for (int ch = 0; ch < numChannels; ++ch)
            {
                const float x = out[ch][i];
                const float s = shelf.processMoving (ch, x);
                const float p = pass.processMoving (ch, x);
                out[ch][i] = s + (p - s) * appliedWeight;
            }
        }

        appliedWeight = weightTarget;
        shelf.settle();
        pass.settle();
        done += length;
    }
    return done;
}

// The still band: the last two samples of each channel also go into the filters' history, so a glide can
// start at the next block. Two channels run in one loop, each with its own filters, as one channel does.
void ShelfPassFilterProcessor::processStill (float* const* out, int offset, int numSamples, int numChannels) noexcept
{
    const int plain = std::max (0, numSamples - 2);
    const bool pair = numChannels == 2 && out[0] != out[1];

    if (pair)
        processStillPair (out[0] + offset, out[1] + offset, plain);

    for (int ch = 0; ch < numChannels; ++ch)
    {
        float* x = out[ch] + offset;
        if (! pair)
            processStillChannel (ch, x, plain);

        const float w = appliedWeight;
        for (int i = plain; i < numSamples; ++i)
        {
            const float s = shelf.processStillRemembering (ch, x[i]);
            const float p = pass.processStillRemembering (ch, x[i]);
            x[i] = s + (p - s) * w;
        }
    }
    shelf.snapToZero();
    pass.snapToZero();
}

void ShelfPassFilterProcessor::processStillChannel (int ch, float* x, int numSamples) noexcept
{
    const float w = appliedWeight;
    auto s = shelf.beginStill (ch), p = pass.beginStill (ch);
    for (int i = 0; i < numSamples; ++i)
    {
        const float ys = s.process (x[i]);
        const float yp = p.process (x[i]);
        x[i] = ys + (yp - ys) * w;
    }
    shelf.endStill (ch, s);
    pass.endStill (ch, p);
}

// The four sections (shelf and pass of each channel) side by side in the lanes of one vector: every lane
// does processStill's float arithmetic in its order, so each section's output is the same bits.
void ShelfPassFilterProcessor::processStillPair (float* left, float* right, int numSamples) noexcept
{
    using Lanes = float __attribute__ ((vector_size (16)));
    QEL::GlidingBiquad::StillRun runs[4] = { shelf.beginStill (0), shelf.beginStill (1), pass.beginStill (0),
                                             pass.beginStill (1) };
    const auto lanes = [&runs] (auto member)
    {
        const Lanes values = { runs[0].*member, runs[1].*member, runs[2].*member, runs[3].*member };
        return values;
    };
    using Run = QEL::GlidingBiquad::StillRun;
    const Lanes b0 = lanes (&Run::b0), b1 = lanes (&Run::b1), b2 = lanes (&Run::b2);
    const Lanes a1 = lanes (&Run::a1), a2 = lanes (&Run::a2);
    Lanes v1 = lanes (&Run::v1), v2 = lanes (&Run::v2);
    const float w = appliedWeight;

    for (int i = 0; i < numSamples; ++i)
    {
        const Lanes x { left[i], right[i], left[i], right[i] };
        const Lanes y = (b0 * x) + v1;
        v1 = (b1 * x) - (a1 * y) + v2;
        v2 = (b2 * x) - (a2 * y);
        left[i] = y[0] + (y[2] - y[0]) * w;
        right[i] = y[1] + (y[3] - y[1]) * w;
    }

    for (int k = 0; k < 4; ++k)
    {
        runs[k].v1 = v1[k];
        runs[k].v2 = v2[k];
    }
    shelf.endStill (0, runs[0]);
    shelf.endStill (1, runs[1]);
    pass.endStill (0, runs[2]);
    pass.endStill (1, runs[3]);
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
    mixed->coefficients = { numerator[0],   numerator[1],   numerator[2],   numerator[3],  numerator[4],
                            denominator[1], denominator[2], denominator[3], denominator[4] };
    return mixed;
}
} // namespace tessaro::dsp
