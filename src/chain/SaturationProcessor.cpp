#include "chain/SaturationProcessor.h"

#include "dsp/base/DspConstants.h"

namespace tessaro::dsp
{
SaturationProcessor::SaturationProcessor()
{
    warm.setParameters ({ 100.0, 0.0, 10.0, 10000.0, 5.0, 4.0, -1.5, 1.0, 2.0, 2.0, 1.0, 0.8, false, 0.0, true });
    broken.setParameters ({ 100.0, 0.0, 10.0, 10000.0, 5.0, 4.0, -1.5, 1.5, 1.0, 2.0, 1.0, 0.8, false, 0.0, false });
    clean.setParameters ({ 0u, 10.0, 20480.0, 1.0, 0.8, -1.5, 1.5, 0.5, 1.2, 1.7, 23.6, 0.5, 4.0, 1.01, 0.0, 0.0 });

    // Drive and character changes bend along raised cosines, without a corner the ear hears as a click.
    for (auto* stage : { &driveIn, &driveOut })
    {
        stage->smoothShape = true;
        stage->rampSeconds = 0.02f;
    }
    for (juce::QELProcessorBase* stage :
         { (juce::QELProcessorBase*) &driveIn, (juce::QELProcessorBase*) &driveOut, (juce::QELProcessorBase*) &tape,
           (juce::QELProcessorBase*) &warm, (juce::QELProcessorBase*) &broken, (juce::QELProcessorBase*) &clean })
        stage->smoothCrossfade = true;

    blend.rampSeconds = 0.05f;
    blend.setMix (1.0f);
    setType (off);
    setDrive (0.0f);
}

// The clean pair's 20480 Hz low-pass sits above Nyquist at low rates, where it would ring to infinity.
QEL::ClassBValveParameters SaturationProcessor::cleanRecord (double rate)
{
    const double lowPass = QEL::belowNyquist (20480.0, rate);
    return { 0u, 10.0, lowPass, 1.0, 0.8, -1.5, 1.5, 0.5, 1.2, 1.7, 23.6, 0.5, 4.0, 1.01, 0.0, 0.0 };
}

void SaturationProcessor::setType (int newType)
{
    type.store (newType);
    driveIn.setBypassSmooth (newType != off);
    driveOut.setBypassSmooth (newType != off);
    tape.setBypassSmooth (newType == vintageTape);
    clean.setBypassSmooth (newType == cleanTube);
    warm.setBypassSmooth (newType == warmTube);
    broken.setBypassSmooth (newType == brokenTube);
}

void SaturationProcessor::setDrive (float percent)
{
    const float d = 20.0f * percent / 100.0f;
    driveDb.store (d);
    driveIn.setGainDb (d);
    driveOut.setGainDb (-d);
}

void SaturationProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    driveIn.prepare (spec);
    driveOut.prepare (spec);
    blend.prepare (spec);
    tape.prepare (spec);
    warm.prepare (spec);
    broken.prepare (spec);
    clean.setParameters (cleanRecord (spec.sampleRate));
    clean.prepare (spec);
    dry.setSize (std::max (2, (int) spec.numChannels), std::max (1, (int) spec.maximumBlockSize));
}

void SaturationProcessor::reset()
{
    juce::QELProcessorBase::reset();
    driveIn.juce::QELProcessorBase::reset();
    driveOut.juce::QELProcessorBase::reset();
    blend.juce::QELProcessorBase::reset();
    tape.juce::QELProcessorBase::reset();
    warm.reset();
    broken.reset();
    clean.reset();
}

void SaturationProcessor::processImpl (const float* const*, float* const* out, int numSamples, int numInputChannels,
                                       int numChannels)
{
    if (numSamples > dry.getNumSamples() || numChannels > dry.getNumChannels())
        return;

    for (int ch = 0; ch < numChannels; ++ch)
        dry.copyFrom (ch, 0, out[ch], numSamples);

    driveIn.process (out, out, numSamples, numInputChannels, numChannels);
    tape.process (out, out, numSamples, numInputChannels, numChannels);
    clean.process (out, out, numSamples, numInputChannels, numChannels);
    warm.process (out, out, numSamples, numInputChannels, numChannels);
    broken.process (out, out, numSamples, numInputChannels, numChannels);
    driveOut.process (out, out, numSamples, numInputChannels, numChannels);
    blend.process (dry.getArrayOfReadPointers(), out, numSamples, numInputChannels, numChannels);
}
} // namespace tessaro::dsp
