#include "dsp/reverb/ReverbChannel.h"

#include "dsp/reverb/ShaRandom.h"

#include <algorithm>
#include <cmath>

namespace CloudSeed
{
namespace
{
    bool isOn (double value) noexcept
    {
        return value >= 0.5;
    }

    // Start phases differ between every modulated block of both channels.
    std::uint32_t phaseSeedFor (ChannelLR side, std::uint32_t part) noexcept
    {
        return (std::uint32_t) side * 1000u + part;
    }
} // namespace

ReverbChannel::ReverbChannel (ChannelLR side, const DelayLimits& limits)
    : preDelay (44100, 100, phaseSeedFor (side, 1)), diffuser (phaseSeedFor (side, 2), limits),
      highPass (AudioLib::Biquad::HighPass), lowPass (AudioLib::Biquad::LowPass), channelLr (side),
      highPassRunning (AudioLib::Biquad::HighPass), lowPassRunning (AudioLib::Biquad::LowPass)
{
    for (std::size_t i = 0; i < lines.size(); ++i)
        lines[i] = std::make_unique<DelayLine> (phaseSeedFor (side, 10 + (std::uint32_t) i), limits);

    for (int key = 0; key < Parameter::Count; ++key)
        parameters[(Parameter) key] = 0.0;

    crossSeed = 0.0;
    lineCount = 8;
    diffuser.SetInterpolationEnabled (true);

    highPass.Frequency = 20.0;
    highPass.Q = 0.7;
    highPass.Update();
    lowPass.Frequency = 20000.0;
    lowPass.Q = 0.7;
    lowPass.Update();
    samplerate = 44100;

    publishFilters();
    takeFilters();
}

double ReverbChannel::GetParameter (Parameter key) const
{
    const auto it = parameters.find (key);
    return it == parameters.end() ? 0.0 : it->second;
}

void ReverbChannel::SetParameter (Parameter key, double value)
{
    parameters[key] = value;

    switch (key)
    {
        case TapCount:
            multitap.count = (int) value;
            multitap.Update();
            break;
        case TapLength:
            multitap.lengthSamples = (int) (samplerate * (value / 1000.0));
            multitap.Update();
            break;
        case TapGain:
            multitap.gain = value;
            multitap.Update();
            break;
        case TapDecay:
            multitap.decay = value;
            multitap.Update();
            break;
        case DiffusionEnabled:
            if (isOn (value) != diffuserEnabled.load())
                clearDiffuserRequest = true;
            diffuserEnabled = isOn (value);
            break;
        case DiffusionStages: diffuser.stages = (int) value; break;
        case DiffusionDelay: diffuser.SetDelay ((int) (samplerate * (value / 1000.0))); break;
        case DiffusionFeedback: diffuser.SetFeedback (value); break;
        case SingleLine:
            singleLine = isOn (value);
            UpdateLines();
            break;
        case LineCount: lineCount = (int) value; break;
        case LineDelay:
        case LineDecay:
        case LineDelayRight:
        case LineDecayRight:
        case LineModAmount:
        case LineModRate:
        case LateDiffusionModAmount:
        case LateDiffusionModRate: UpdateLines(); break;
        case EarlyDiffusionModAmount: diffuser.SetModAmount (samplerate * (value / 1000.0)); break;
        case EarlyDiffusionModRate: diffuser.SetModRate (value); break;
        case TapSeed:
            multitap.seed = (int) value;
            multitap.UpdateSeeds();
            multitap.Update();
            break;
        case DiffusionSeed:
            diffuser.seed = (int) value;
            diffuser.UpdateSeeds();
            break;
        case DelaySeed:
            delayLineSeed = (int) value;
            UpdateLines();
            break;
        case PostDiffusionSeed:
            postDiffusionSeed = (int) value;
            setPostDiffusionSeeds();
            break;
        case CrossSeed:
            crossSeed = channelLr == ChannelLR::Right ? value : 0.0;
            multitap.crossSeed = value;
            multitap.UpdateSeeds();
            multitap.Update();
            diffuser.crossSeed = value;
            diffuser.UpdateSeeds();
            UpdateLines();
            setPostDiffusionSeeds();
            break;
        case DryOut: dryOut = value; break;
        case PredelayOut: predelayOut = value; break;
        case EarlyOut: earlyOut = value; break;
        case MainOut: mainOut = value; break;
        case HiPassEnabled: hiPassEnabled = isOn (value); break;
        case LowPassEnabled: lowPassEnabled = isOn (value); break;
        case ModEnabled:
            modEnabled = isOn (value);
            UpdateLines();
            break;
        case LateDiffusionEnabled:
        case LateDiffusionStages:
        case LateDiffusionDelay:
        case LateDiffusionFeedback:
        case PostLowShelfGain:
        case PostLowShelfFrequency:
        case PostHighShelfGain:
        case PostHighShelfFrequency:
        case PostCutoffFrequency:
        case LowShelfEnabled:
        case HighShelfEnabled:
        case CutoffEnabled:
        case LateStageTap:
        case Interpolation: applyLineKey (key, value); break;
        default: break;
    }
}

void ReverbChannel::applyLineKey (Parameter key, double value)
{
    bool filtersChanged = false;

    for (auto& line : lines)
    {
        switch (key)
        {
            case LateDiffusionEnabled:
                if (isOn (value) != line->diffuserEnabled.load())
                    line->clearDiffuserRequest = true;
                line->diffuserEnabled = isOn (value);
                break;
            case LateDiffusionStages: line->diffuser.stages = (int) value; break;
            case LateDiffusionDelay: line->diffuser.SetDelay ((int) (samplerate * (value / 1000.0))); break;
            case LateDiffusionFeedback: line->diffuser.SetFeedback (value); break;
            case PostLowShelfGain: line->lowShelf.Gain = value == 0.0 ? 0.001 : value; break;
            case PostLowShelfFrequency: line->lowShelf.Frequency = value; break;
            case PostHighShelfGain: line->highShelf.Gain = value == 0.0 ? 0.001 : value; break;
            case PostHighShelfFrequency: line->highShelf.Frequency = value; break;
            case PostCutoffFrequency: line->cutoffFilter.SetCutoff (value); break;
            case LowShelfEnabled: line->lowShelfEnabled = isOn (value); break;
            case HighShelfEnabled: line->highShelfEnabled = isOn (value); break;
            case CutoffEnabled: line->cutoffEnabled = isOn (value); break;
            case LateStageTap: line->lateStageTap = isOn (value); break;
            case Interpolation: line->diffuser.SetInterpolationEnabled (isOn (value)); break;
            default: break;
        }

        if (key == PostLowShelfGain || key == PostLowShelfFrequency)
            line->lowShelf.Update();
        if (key == PostHighShelfGain || key == PostHighShelfFrequency)
            line->highShelf.Update();
        filtersChanged = filtersChanged || (key >= PostLowShelfGain && key <= PostCutoffFrequency);
    }

    if (filtersChanged)
        publishFilters();
}

void ReverbChannel::setPostDiffusionSeeds()
{
    for (std::size_t j = 0; j < lines.size(); ++j)
    {
        auto& lineDiffuser = lines[j]->diffuser;
        lineDiffuser.seed = (std::int64_t) postDiffusionSeed * (std::int64_t) (j + 1);
        lineDiffuser.crossSeed = crossSeed;
        lineDiffuser.UpdateSeeds();
    }
}

void ReverbChannel::UpdateLines()
{
    const bool rightSingle = channelLr == ChannelLR::Right && singleLine.load();
    const double delayMs = GetParameter (rightSingle ? LineDelayRight : LineDelay);
    const double decaySeconds = GetParameter (rightSingle ? LineDecayRight : LineDecay);

    const double delaySamples = (int) ((delayMs / 1000.0) * samplerate);
    const double decaySamples = decaySeconds * samplerate;
    const bool modulate = modEnabled.load();
    const double modAmount = modulate ? (GetParameter (LineModAmount) / 1000.0) * samplerate : 0.0;
    const double modRate = GetParameter (LineModRate);
    const double lateModAmount = modulate ? samplerate * (GetParameter (LateDiffusionModAmount) / 1000.0) : 0.0;
    const double lateModRate = GetParameter (LateDiffusionModRate);

    if (lineSeries.empty() || lineSeriesSeed != delayLineSeed || lineSeriesCrossSeed != crossSeed)
    {
        lineSeries = AudioLib::ShaRandom::Generate (delayLineSeed, 3 * numLines, crossSeed);
        lineSeriesSeed = delayLineSeed;
        lineSeriesCrossSeed = crossSeed;
    }
    const auto& r = lineSeries;

    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        auto& line = *lines[i];
        const double amount = (r[numLines + i] * 0.3 + 0.7) * modAmount;
        double d = singleLine.load() ? delaySamples : (r[i] + 0.5) * delaySamples;
        d = std::max (amount + 2.0, d);

        line.delay.sampleDelay = (int) d;
        if (kill.load())
            line.feedback = 0.5;
        else if (freeze.load())
            line.feedback = 1.0;
        else
            line.feedback = std::pow (10.0, (d / decaySamples) * -60.0 / 20.0);

        line.delay.modAmountTarget = (float) amount;
        line.delay.modRate = (r[2 * numLines + i] * 0.3 + 0.7) * modRate / samplerate;
        line.diffuser.SetModAmount (lateModAmount);
        line.diffuser.SetModRate (lateModRate);
    }
}

void ReverbChannel::SetPreDelay (double ms)
{
    parameters[PreDelay] = ms;
    preDelay.sampleDelay = (int) (samplerate * (ms / 1000.0));
}

void ReverbChannel::SetHighPass (double hz)
{
    parameters[HighPass] = hz;
    highPass.Frequency = hz;
    highPass.Update();
    publishFilters();
}

void ReverbChannel::SetLowPass (double hz)
{
    parameters[LowPass] = hz;
    lowPass.Frequency = hz;
    lowPass.Update();
    publishFilters();
}

void ReverbChannel::publishFilters() noexcept
{
    FilterCoefficients c { highPass.GetCoefficients(), lowPass.GetCoefficients(), {} };
    for (std::size_t i = 0; i < lines.size(); ++i)
        c.lines[i] = lines[i]->GetFilterCoefficients();

    const juce::SpinLock::ScopedLockType lock (filterLock);
    publishedFilters = c;
    filtersDirty = true;
}

void ReverbChannel::takeFilters() noexcept
{
    const juce::SpinLock::ScopedTryLockType lock (filterLock);
    if (! lock.isLocked() || ! filtersDirty)
        return;

    applyFilters (publishedFilters);
    filtersDirty = false;
}

void ReverbChannel::applyFilters (const FilterCoefficients& c) noexcept
{
    highPassRunning.SetCoefficients (c.highPass);
    lowPassRunning.SetCoefficients (c.lowPass);
    for (std::size_t i = 0; i < lines.size(); ++i)
        lines[i]->SetFilterCoefficients (c.lines[i]);
}

void ReverbChannel::SetSamplerate (int rate, int bufferSize)
{
    samplerate = rate;
    diffuser.SetSamplerate (rate, bufferSize);

    preDelay.SetBufferSize (bufferSize);
    preDelay.SetModRampSteps ((int) std::floor (rate * (double) 0.1f));
    preDelay.SetLength (rate);

    for (auto* filter : { &highPass, &lowPass })
    {
        filter->Samplerate = rate;
        filter->Update();
    }

    tempBuffer.assign ((std::size_t) std::max (bufferSize, 1), 0.0);
    outBuffer.assign ((std::size_t) std::max (bufferSize, 1), 0.0);
    multitap.SetSamplerate (rate, bufferSize);

    for (auto& line : lines)
        line->SetSamplerate (rate, bufferSize);

    preDelay.sampleDelay = (int) (rate * (GetParameter (PreDelay) / 1000.0));
    SetParameter (TapLength, GetParameter (TapLength));
    SetParameter (DiffusionDelay, GetParameter (DiffusionDelay));
    SetParameter (LateDiffusionDelay, GetParameter (LateDiffusionDelay));
    SetParameter (EarlyDiffusionModRate, GetParameter (EarlyDiffusionModRate));
    SetParameter (EarlyDiffusionModAmount, GetParameter (EarlyDiffusionModAmount));
    UpdateLines();

    // No block runs now: the depths for the new rate, the new pre-delay and the filter designs take effect
    // from the first sample (a depth would otherwise glide there from the old rate's, and a pre-delay shorter
    // than one modulation update would drop the first samples after preparing).
    settleDepths();
    preDelay.Update();
    publishFilters();
    takeFilters();
}

void ReverbChannel::settleDepths() noexcept
{
    preDelay.SettleDepth();
    diffuser.SettleDepths();
    for (auto& line : lines)
        line->SettleDepths();
}

void ReverbChannel::ClearBuffers() noexcept
{
    std::fill (tempBuffer.begin(), tempBuffer.end(), 0.0);
    std::fill (outBuffer.begin(), outBuffer.end(), 0.0);
    for (auto* filter : { &highPass, &lowPass, &highPassRunning, &lowPassRunning })
        filter->ClearBuffers();
    preDelay.ClearBuffers();
    multitap.ClearBuffers();
    diffuser.ClearBuffers();
    // The diffuser is empty now: a clear still requested by a switch would only repeat this on the audio thread.
    clearDiffuserRequest = false;
    for (auto& line : lines)
        line->ClearBuffers();
}

void ReverbChannel::Restart() noexcept
{
    ClearBuffers();
    preDelay.Restart();
    // As at the end of SetSamplerate: the pre-delay reads at its set delay from the first sample.
    preDelay.Update();
    multitap.Restart();
    diffuser.Restart();
    for (auto& line : lines)
        line->Restart();
}

void ReverbChannel::Process (const double* input, int n) noexcept
{
    n = std::min (n, (int) outBuffer.size());
    if (n <= 0)
        return;

    takeFilters();
    if (clearDiffuserRequest.exchange (false))
        diffuser.ClearBuffers();

    const bool highPassOn = hiPassEnabled.load (std::memory_order_relaxed);
    const bool lowPassOn = lowPassEnabled.load (std::memory_order_relaxed);
    auto* temp = tempBuffer.data();

    // Each input filter hears only the one before it, so they run one after the other over the block.
    const double* filtered = input;
    if (highPassOn)
    {
        highPassRunning.Process (filtered, temp, n);
        filtered = temp;
    }
    if (lowPassOn)
    {
        lowPassRunning.Process (filtered, temp, n);
        filtered = temp;
    }
    for (int i = 0; i < n; ++i)
    {
        const double x = filtered[i];
        temp[i] = x * x < 1e-9 ? 0.0 : x;
    }

    preDelay.Process (temp, n);
    multitap.Process (preDelay.GetOutput(), n);

    const double* early = multitap.GetOutput();
    if (diffuserEnabled.load (std::memory_order_relaxed))
    {
        diffuser.Process (early, n);
        early = diffuser.GetOutput();
    }
    std::copy (early, early + n, temp);

    const bool single = singleLine.load (std::memory_order_relaxed);
    const int count = lineCount.load (std::memory_order_relaxed);
    const int linesToRun = std::min (single ? 1 : count, numLines);

    for (int l = 0; l < linesToRun; ++l)
        lines[(std::size_t) l]->Process (temp, n);

    if (linesToRun > 0)
    {
        std::copy (lines[0]->GetTap(), lines[0]->GetTap() + n, temp);
        for (int l = 1; l < linesToRun; ++l)
        {
            const double* tap = lines[(std::size_t) l]->GetTap();
            for (int i = 0; i < n; ++i)
                temp[i] += tap[i];
        }
    }

    const double scale = single ? 1.0 : 1.0 / std::sqrt ((double) count);
    const double dry = dryOut.load (std::memory_order_relaxed);
    const double pre = predelayOut.load (std::memory_order_relaxed);
    const double er = earlyOut.load (std::memory_order_relaxed);
    const double late = mainOut.load (std::memory_order_relaxed);
    const double* delayed = preDelay.GetOutput();

    for (int i = 0; i < n; ++i)
        outBuffer[(std::size_t) i] = ((dry * input[i] + pre * delayed[i]) + er * early[i]) + late * (temp[i] * scale);
}

void ReverbChannel::listWorkingSet (QEL::WorkingSet& set, int samples, int blockSize) const
{
    preDelay.listWorkingSet (set, samples, blockSize);
    multitap.listWorkingSet (set, samples, blockSize);
    if (diffuserEnabled.load())
        diffuser.listWorkingSet (set, samples, blockSize);

    const int linesToRun = std::min (singleLine.load() ? 1 : lineCount.load(), numLines);
    for (int l = 0; l < linesToRun; ++l)
        lines[(std::size_t) l]->listWorkingSet (set, samples, blockSize);

    set.add (tempBuffer, (std::size_t) blockSize);
    set.add (outBuffer, (std::size_t) blockSize);
}

void ReverbController::setMainDelayModRateInHz (double hz)
{
    for (auto* channel : { &channelL, &channelR })
    {
        channel->parameters[LineModRate] = hz;
        channel->UpdateLines();
    }
}
} // namespace CloudSeed
