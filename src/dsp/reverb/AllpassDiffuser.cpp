#include "dsp/reverb/AllpassDiffuser.h"

#include "dsp/reverb/ShaRandom.h"

#include <algorithm>
#include <cmath>

namespace CloudSeed
{
AllpassDiffuser::AllpassDiffuser (std::uint32_t phaseSeed, const DelayLimits& delayLimits) : limits (delayLimits)
{
    for (std::size_t i = 0; i < filters.size(); ++i)
        filters[i] = std::make_unique<ModulatedAllpass> (phaseSeed * 8u + (std::uint32_t) i,
                                                         limits.allpassLongestDelay (samplerate));

    seed = 23456;
    crossSeed = 0.0;
    UpdateSeeds();
    stages = 1;
    SetSamplerate (44100, 512);
}

void AllpassDiffuser::UpdateSeeds()
{
    const auto values = AudioLib::ShaRandom::Generate (seed, 3 * maxStages, crossSeed);
    std::copy (values.begin(), values.end(), seedValues.begin());
    // Every stage's delay, rate and depth is spread by the series: all of them follow the new one.
    SetDelay (delay);
    SetModRate (modRate);
    SetModAmount (modAmount);
}

void AllpassDiffuser::SetSamplerate (int rate, int blockSize)
{
    samplerate = rate;
    SetModRate (modRate);

    const int rampSteps = (int) std::floor (rate * (double) 0.1f);
    const int longestDelay = limits.allpassLongestDelay (rate);
    for (auto& stage : filters)
    {
        stage->SetLongestDelay (longestDelay);
        stage->SetBufferSize (blockSize);
        stage->SetModRampSteps (rampSteps);
    }
}

void AllpassDiffuser::SetDelay (int delaySamples) noexcept
{
    delay = delaySamples;
    for (std::size_t i = 0; i < filters.size(); ++i)
        filters[i]->sampleDelay = (int) (delay * (std::pow (10.0, seedValues[i]) * 0.1));
}

void AllpassDiffuser::SetModRate (double hz) noexcept
{
    modRate = hz;
    for (std::size_t i = 0; i < filters.size(); ++i)
        filters[i]->modRate = (seedValues[maxStages * 2 + i] * 0.3 + 0.85) * modRate / samplerate;
}

void AllpassDiffuser::SetModAmount (double samples) noexcept
{
    modAmount = samples;
    for (std::size_t i = 0; i < filters.size(); ++i)
        filters[i]->modAmountTarget.store ((float) ((seedValues[maxStages + i] * 0.3 + 0.85) * samples));
}

void AllpassDiffuser::SetFeedback (double g) noexcept
{
    for (auto& stage : filters)
        stage->feedback = g;
}

void AllpassDiffuser::SetInterpolationEnabled (bool enabled) noexcept
{
    for (auto& stage : filters)
        stage->interpolationEnabled = enabled;
}

void AllpassDiffuser::SettleDepths() noexcept
{
    for (auto& stage : filters)
        stage->SettleDepth();
}

void AllpassDiffuser::ClearBuffers() noexcept
{
    for (auto& stage : filters)
        stage->ClearBuffers();
}

void AllpassDiffuser::Restart() noexcept
{
    for (auto& stage : filters)
        stage->Restart();
}

void AllpassDiffuser::listWorkingSet (QEL::WorkingSet& set, int samples, int blockSize) const
{
    for (int k = 0; k <= lastStage(); ++k)
        filters[(std::size_t) k]->listWorkingSet (set, samples, blockSize);
}

int AllpassDiffuser::lastStage() const noexcept
{
    return std::clamp (stages.load (std::memory_order_relaxed), 1, maxStages) - 1;
}

void AllpassDiffuser::Process (const double* input, int n) noexcept
{
    const int last = lastStage();
    processedStages = last + 1;
    filters[0]->ProcessWithMod (input, n);
    for (int k = 1; k <= last; ++k)
        filters[(std::size_t) k]->ProcessWithMod (filters[(std::size_t) k - 1]->GetOutput(), n);
}
} // namespace CloudSeed
