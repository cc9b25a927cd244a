#include "dsp/reverb/SkyEngineReverbProcessor.h"

#include <cmath>

namespace QEL
{
using namespace CloudSeed;

SkyEngineReverbProcessor::SkyEngineReverbProcessor (QELReverbProcessor::Preset preset, Curves modeCurves)
    : reverb (preset), curves (modeCurves)
{
}

SkyEngineReverbProcessor::~SkyEngineReverbProcessor() = default;

void SkyEngineReverbProcessor::prepareToPlay (double newSampleRate, int newSamplesPerBlock)
{
    juce::QELProcessorBase::prepareToPlay (newSampleRate, newSamplesPerBlock);
    reverb.prepareToPlay (newSampleRate, newSamplesPerBlock);
}

void SkyEngineReverbProcessor::reset()
{
    juce::QELProcessorBase::reset();
    reverb.reset();
}

void SkyEngineReverbProcessor::processImpl (const float* const* in, float* const* out, int numSamples,
                                            int numInputChannels, int numOutputChannels)
{
    reverb.process (in, out, numSamples, numInputChannels, numOutputChannels);
}

void SkyEngineReverbProcessor::listWorkingSet (WorkingSet& set, int samples, int blockSize) const
{
    set.add (this, sizeof (*this));
    reverb.listWorkingSet (set, samples, blockSize);
}

float SkyEngineReverbProcessor::preDelayToUse() const
{
    if (reverb.preDelaySync.load())
        return qel::TimeUtils::noteToSeconds (reverb.preDelayNote.load(), tempo.load());
    return reverb.preDelaySeconds.load();
}

void SkyEngineReverbProcessor::setDecay (float percent)
{
    reverb.setSize (curves.decayScale * percent);
}

void SkyEngineReverbProcessor::setPreDelay (float percent)
{
    reverb.preDelaySeconds = percent / 100.0f;
    reverb.setInternalPreDelayS (preDelayToUse());
}

void SkyEngineReverbProcessor::setPreDelayNote (qel::TimeUtils::TempoSyncTimes note)
{
    reverb.preDelayNote = note;
    reverb.setInternalPreDelayS (preDelayToUse());
}

void SkyEngineReverbProcessor::setMix (float percent)
{
    reverb.setMixTarget (percent);
}

void SkyEngineReverbProcessor::setUseAltMix (bool useAltMix)
{
    reverb.setUseAltMix (useAltMix);
}

void SkyEngineReverbProcessor::setTone (float percent)
{
    reverb.setTone (percent);
}

void SkyEngineReverbProcessor::setMod (float percent)
{
    modPercent = percent;
    reverb.setMainDelayModAmount (percent * curves.modAmountScale / 100.0f + curves.modAmountOffset);
    updateModRate();
}

void SkyEngineReverbProcessor::setModRateNote (qel::TimeUtils::TempoSyncTimes note)
{
    modRateNote = note;
    updateModRate();
}

void SkyEngineReverbProcessor::setSaturation (float percent)
{
    const float g = percent / 100.0f * 30.0f;
    reverb.setDriveTarget (g > -100.0f ? std::pow (10.0f, g * 0.05f) : 0.0f);
}

void SkyEngineReverbProcessor::setFollow (float percent)
{
    reverb.followOn = percent > 0.0f;
    for (auto& gate : reverb.followGates)
        gate.setThresh (percent * 100.0f / 100.0f - 100.0f);
}

void SkyEngineReverbProcessor::setDuck (float percent)
{
    reverb.duckOn = percent > 0.0f;
    for (auto& duck : reverb.duckCompressors)
        duck.setThresh (percent * -50.0f / 100.0f);
}

void SkyEngineReverbProcessor::setComp (float percent)
{
    reverb.compOn = percent > 0.0f;
    reverb.setCompRatioTarget (percent * -0.9f / 100.0f + 1.0f);
}

void SkyEngineReverbProcessor::setDisintegrate (float percent)
{
    reverb.bitcrusher.setBypassSmooth (percent != 0.0f);
    reverb.bitcrusher.downsampleFactor = (int) (percent / 100.0f * 49.0f + 1.0f);
}

void SkyEngineReverbProcessor::setPitch (float semitones)
{
    reverb.setPitch (semitones);
}

void SkyEngineReverbProcessor::setFreeze (bool shouldFreeze)
{
    reverb.controller.freeze = shouldFreeze;
    for (auto* channel : { &reverb.controller.channelL, &reverb.controller.channelR })
    {
        channel->freeze = shouldFreeze;
        channel->UpdateLines();
    }
}

void SkyEngineReverbProcessor::setKill (bool shouldKill)
{
    reverb.controller.kill = shouldKill;
    for (auto* channel : { &reverb.controller.channelL, &reverb.controller.channelR })
    {
        channel->kill = shouldKill;
        channel->UpdateLines();
    }
}

void SkyEngineReverbProcessor::setSync (bool shouldSync)
{
    sync = shouldSync;
    reverb.preDelaySync = shouldSync;
    reverb.setInternalPreDelayS (preDelayToUse());
    updateModRate();
}

void SkyEngineReverbProcessor::setMassive (bool shouldBeMassive)
{
    reverb.massive = shouldBeMassive ? 1.0f : 0.0f;
    reverb.setSize (reverb.size.load());
}

void SkyEngineReverbProcessor::setWidth (float percent)
{
    reverb.monoStereo.setWidth (percent * 100.0f / 200.0f, 0.0f);
}

void SkyEngineReverbProcessor::setWetHighPassFilterCutoff (float hz)
{
    reverb.wetCut.setHighPassCutoff (hz);
}

void SkyEngineReverbProcessor::setWetLowPassFilterCutoff (float hz)
{
    reverb.wetCut.setLowPassCutoff (hz);
}

void SkyEngineReverbProcessor::setMonoLowEnd (bool shouldBeMono)
{
    reverb.monoizer.setBypassSmooth (shouldBeMono);
}

void SkyEngineReverbProcessor::setModEnabled (bool shouldModulate)
{
    const double value = shouldModulate ? 1.0 : 0.0;
    reverb.controller.parameters[ModEnabled] = value;
    reverb.controller.channelL.SetParameter (ModEnabled, value);
    reverb.controller.channelR.SetParameter (ModEnabled, value);
}

float SkyEngineReverbProcessor::syncedRateHz (qel::TimeUtils::TempoSyncTimes note, double bpm)
{
    const double beats = bpm / 60.0;
    const int n = (int) note;

    if (n == qel::TimeUtils::bar)
        return (float) (beats * 0.25);
    if (n < 1 || n > 18)
        return 0.0f;

    static constexpr double factors[] = { 16.0, 8.0, 4.0, 2.0, 1.0, 0.5 };
    float rate = (float) (beats * factors[(n - 1) / 3]);
    if ((n - 1) % 3 == 0)
        rate /= 0.67f;
    else if ((n - 1) % 3 == 2)
        rate /= 1.5f;
    return rate;
}

void SkyEngineReverbProcessor::updateModRate()
{
    if (! sync)
    {
        reverb.setMainDelayModRate (modPercent * curves.modRateScale / 100.0f + curves.modRateOffset);
        return;
    }

    reverb.controller.setMainDelayModRateInHz (syncedRateHz (modRateNote, tempo.load()));
}
} // namespace QEL
