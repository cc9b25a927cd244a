#include "dsp/reverb/SkyChoraleReverbProcessor.h"

#include <cmath>

namespace QEL
{
SkyChoraleReverbProcessor::SkyChoraleReverbProcessor()
    : SkyEngineReverbProcessor (QELReverbProcessor::preset1, { 1.0f, 81.0f, 19.0f, 78.0f, 22.0f })
{
    chorus.numVoices = 3;
    setMix (100.0f);
    setDecay (0.0f);
    setTone (100.0f);
    setPreDelay (0.0f);
    updateChorusRate();
    chorus.depth = 0.02f + (chorus.maxDepth - 0.02f) * 50.0f / 100.0f;
    setTone (50.0f);
    setPreDelay (0.0f);
    setMassive (false);
}

SkyChoraleReverbProcessor::~SkyChoraleReverbProcessor() = default;

void SkyChoraleReverbProcessor::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    SkyEngineReverbProcessor::prepareToPlay (newSampleRate, newSamplesPerBlock);
    chorus.prepareToPlay (newSampleRate, newSamplesPerBlock);
}

void SkyChoraleReverbProcessor::reset()
{
    SkyEngineReverbProcessor::reset();
    chorus.reset();
}

void SkyChoraleReverbProcessor::processImpl (const float* const* in, float* const* out, int numSamples,
                                             int numInputChannels, int numOutputChannels)
{
    if (chorus.active.load())
        chorus.processImpl (out, numSamples, numInputChannels, numOutputChannels);

    reverb.process (in, out, numSamples, numInputChannels, numOutputChannels);
}

void SkyChoraleReverbProcessor::listWorkingSet (WorkingSet& set, int samples, int blockSize) const
{
    SkyEngineReverbProcessor::listWorkingSet (set, samples, blockSize);
    // The voices read between the base delay and the base delay plus the depth behind the write position.
    const auto& voices = chorus.voices;
    const double rate = chorus.sampleRate;
    const long nearest = (long) std::floor ((double) chorus.baseDelay.load() * rate);
    const long farthest = (long) std::ceil ((double) (chorus.baseDelay.load() + chorus.depth.load()) * rate) + 1;
    set.add (&chorus, sizeof (chorus));
    for (const auto& history : voices.delayBuffer)
    {
        set.addRing (history, voices.writeIndex, samples);
        set.addRing (history, voices.writeIndex - farthest, farthest - nearest + samples + 1);
    }
}

void SkyChoraleReverbProcessor::setMod (float percent)
{
    chorus.voiceGain = percent / 100.0f;
    chorus.numVoices = (int) (percent * 2.0f / 100.0f + 3.0f);
}

void SkyChoraleReverbProcessor::setModRateNote (qel::TimeUtils::TempoSyncTimes note)
{
    modRateNote = note;
    updateChorusRate();
}

void SkyChoraleReverbProcessor::setSync (bool shouldSync)
{
    sync = shouldSync;
    reverb.preDelaySync = shouldSync;
    reverb.setInternalPreDelayS (preDelayToUse());
    updateChorusRate();
}

void SkyChoraleReverbProcessor::setModEnabled (bool shouldModulate)
{
    SkyEngineReverbProcessor::setModEnabled (shouldModulate);
    chorus.setBypassSmooth (shouldModulate);
}

void SkyChoraleReverbProcessor::updateChorusRate()
{
    chorus.rateHz = sync ? syncedRateHz (modRateNote, tempo.load()) : freeChorusRateHz;
}
} // namespace QEL
