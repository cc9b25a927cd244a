#include "dsp/reverb/CloudSeedDelayLine.h"

#include <algorithm>
#include <cmath>

namespace CloudSeed
{
void FeedbackStore::prepare (int blockSize)
{
    size = std::max (blockSize, 2) + 2;
    store.assign ((std::size_t) size, 0.0f);
    readPosition = writePosition = 0;
}

void FeedbackStore::clear() noexcept
{
    std::fill (store.begin(), store.end(), 0.0f);
    readPosition = writePosition = 0;
}

// Both positions step back one place per sample: a block is at most two descending runs, one from the
// position down to 0 and one from the end of the ring.
void FeedbackStore::popBlock (float* dest, int n) noexcept
{
    const int direct = std::min (n, readPosition + 1);
    const float* from = store.data() + readPosition;
    for (int i = 0; i < direct; ++i)
        dest[i] = from[-i];

    const int wrapped = readPosition + size;
    for (int i = direct; i < n; ++i)
        dest[i] = store[(std::size_t) (wrapped - i)];

    readPosition -= n;
    if (readPosition < 0)
        readPosition += size;
}

void FeedbackStore::pushBlock (const double* source, int n) noexcept
{
    const int direct = std::min (n, writePosition + 1);
    float* to = store.data() + writePosition;
    for (int i = 0; i < direct; ++i)
        to[-i] = (float) source[i];

    const int wrapped = writePosition + size;
    for (int i = direct; i < n; ++i)
        store[(std::size_t) (wrapped - i)] = (float) source[i];

    writePosition -= n;
    if (writePosition < 0)
        writePosition += size;
}

void OnePoleLowPass::SetCutoff (double hz) noexcept
{
    cutoff = hz >= 0.5 * samplerate ? 0.499 * samplerate : hz;
    update();
}

void OnePoleLowPass::SetSamplerate (double rate) noexcept
{
    samplerate = rate;
    update();
}

void OnePoleLowPass::update() noexcept
{
    constexpr double twoPi = 6.283185307179586;
    const double w = twoPi * cutoff / samplerate;
    const double k = 2.0 - std::cos (w);
    b = k - std::sqrt (k * k - 1.0);
    a = 1.0 - b;
}

DelayLine::DelayLine (std::uint32_t phaseSeed, const DelayLimits& delayLimits)
    : limits (delayLimits), delay (limits.lineStoreLength (44100), 10000, phaseSeed * 16u + 1u),
      diffuser (phaseSeed * 16u + 2u, limits), lowShelf (AudioLib::Biquad::LowShelf),
      highShelf (AudioLib::Biquad::HighShelf), outputBuffer (4096, 0.0), lineBuffer (4096, 0.0),
      feedbackBuffer (4096, 0.0f), lowShelfRunning (AudioLib::Biquad::LowShelf),
      highShelfRunning (AudioLib::Biquad::HighShelf)
{
    lowShelf.Gain = highShelf.Gain = 0.1;
    lowShelf.Frequency = 20.0;
    highShelf.Frequency = 19000.0;
    lowShelf.Slope = highShelf.Slope = 1.0;
    cutoffFilter.cutoff = 1000.0;

    SetSamplerate (44100, 4096);

    diffuser.seed = 1;
    diffuser.crossSeed = 0.0;
    diffuser.UpdateSeeds();
}

void DelayLine::SetSamplerate (int rate, int blockSize)
{
    samplerate = rate;
    bufferSize = blockSize;
    diffuser.SetSamplerate (rate, blockSize);
    cutoffFilter.SetSamplerate (rate);

    for (auto* shelf : { &lowShelf, &highShelf })
    {
        shelf->Samplerate = rate;
        shelf->Update();
    }
    SetFilterCoefficients (GetFilterCoefficients());

    feedbackDelay.prepare (blockSize);
    feedbackRamp.reset (rate, feedbackRampSeconds);
    heardSinceClear = false;
    outputBuffer.assign ((std::size_t) std::max (blockSize, 1), 0.0);
    lineBuffer.assign ((std::size_t) std::max (blockSize, 1), 0.0);
    feedbackBuffer.assign ((std::size_t) std::max (blockSize, 1), 0.0f);
    delay.SetBufferSize (blockSize);
    delay.SetModRampSteps ((int) std::floor (rate * (double) 0.1f));
    delay.SetLength (limits.lineStoreLength (rate));
}

DelayLine::FilterCoefficients DelayLine::GetFilterCoefficients() const noexcept
{
    return { lowShelf.GetCoefficients(), highShelf.GetCoefficients(), cutoffFilter.a, cutoffFilter.b };
}

void DelayLine::SetFilterCoefficients (const FilterCoefficients& c) noexcept
{
    lowShelfRunning.SetCoefficients (c.lowShelf);
    highShelfRunning.SetCoefficients (c.highShelf);
    cutoffA = c.cutoffA;
    cutoffB = c.cutoffB;
}

void DelayLine::Process (const double* input, int n) noexcept
{
    if (clearDiffuserRequest.exchange (false))
        diffuser.ClearBuffers();

    takeFeedback();
    auto* fed = feedbackBuffer.data();
    feedbackDelay.popBlock (fed, n);
    if (feedbackRamp.isSmoothing())
    {
        for (int i = 0; i < n; ++i)
            lineBuffer[(std::size_t) i] = input[i] + feedbackRamp.getNextValue() * fed[i];
    }
    else
    {
        const double g = feedbackRamp.getTargetValue();
        for (int i = 0; i < n; ++i)
            lineBuffer[(std::size_t) i] = input[i] + g * fed[i];
    }

    const bool useDiffuser = diffuserEnabled.load (std::memory_order_relaxed);
    const double* result;
    if (lateStageTap.load (std::memory_order_relaxed))
    {
        if (useDiffuser)
        {
            diffuser.Process (lineBuffer.data(), n);
            tap = diffuser.GetOutput();
        }
        else
        {
            tap = lineBuffer.data();
        }
        delay.Process (tap, n);
        result = delay.GetOutput();
    }
    else
    {
        delay.Process (lineBuffer.data(), n);
        tap = delay.GetOutput();
        result = tap;
        if (useDiffuser)
        {
            diffuser.Process (tap, n);
            result = diffuser.GetOutput();
        }
    }

    // The feedback filters each read the stage before them, so the first one that runs reads the line's
    // result and writes the output buffer, the others work in place.
    double* filtered = outputBuffer.data();
    const double* source = result;
    if (lowShelfEnabled.load (std::memory_order_relaxed))
    {
        lowShelfRunning.Process (source, filtered, n);
        source = filtered;
    }
    if (highShelfEnabled.load (std::memory_order_relaxed))
    {
        highShelfRunning.Process (source, filtered, n);
        source = filtered;
    }
    if (cutoffEnabled.load (std::memory_order_relaxed))
    {
        double state = cutoffState;
        const double a = cutoffA, b = cutoffB;
        for (int i = 0; i < n; ++i)
            filtered[i] = OnePoleLowPass::Process (source[i], state, a, b);
        cutoffState = state;
        source = filtered;
    }
    if (source != filtered)
        std::copy (source, source + n, filtered);

    feedbackDelay.pushBlock (filtered, n);
}

void DelayLine::listWorkingSet (QEL::WorkingSet& set, int samples, int blockSize) const
{
    set.add (this, sizeof (*this));
    delay.listWorkingSet (set, samples, blockSize);
    if (diffuserEnabled.load())
        diffuser.listWorkingSet (set, samples, blockSize);
    feedbackDelay.listWorkingSet (set);
    for (const auto* buffer : { &outputBuffer, &lineBuffer })
        set.add (*buffer, (std::size_t) blockSize);
    set.add (feedbackBuffer, (std::size_t) blockSize);
}

void DelayLine::takeFeedback() noexcept
{
    // A step of the gain would cut an edge into the circulating signal; an empty line may take it at once.
    const double g = feedback.load (std::memory_order_relaxed);
    if (heardSinceClear)
    {
        feedbackRamp.setTargetValue (g);
    }
    else
    {
        feedbackRamp.setCurrentAndTargetValue (g);
        heardSinceClear = true;
    }
}

void DelayLine::SettleDepths() noexcept
{
    delay.SettleDepth();
    diffuser.SettleDepths();
}

void DelayLine::Restart() noexcept
{
    ClearBuffers();
    delay.Restart();
    diffuser.Restart();
}

void DelayLine::ClearBuffers() noexcept
{
    heardSinceClear = false;
    delay.ClearBuffers();
    diffuser.ClearBuffers();
    clearDiffuserRequest = false;
    lowShelf.ClearBuffers();
    highShelf.ClearBuffers();
    lowShelfRunning.ClearBuffers();
    highShelfRunning.ClearBuffers();
    cutoffFilter.output = 0.0;
    cutoffState = 0.0;
    std::fill (outputBuffer.begin(), outputBuffer.end(), 0.0);
    feedbackDelay.clear();
}
} // namespace CloudSeed
