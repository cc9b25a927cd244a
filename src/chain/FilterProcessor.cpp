#include "chain/FilterProcessor.h"

namespace tessaro::dsp
{
FilterProcessor::FilterProcessor()
{
    applyRecord();
}

// The band record: a peak, both on flags set, no dynamics, whole signal; the three settings from the atomics.
void FilterProcessor::applyRecord()
{
    QEL::FilterData record;
    record.bandId = -1;
    record.frequency = std::min (frequency.load(), (float) (0.49 * preparedRate.load())); // below Nyquist
    record.gain = gainFactor.load();
    record.q = quality.load();
    record.slope = 0;
    record.enabled = true;
    record.switchedOn = true;
    record.type = 2;
    record.dynamic = false;
    record.threshold = 0.0f;
    record.attack = 1.0f;
    record.release = 1.0f;
    record.sidechain = false;
    record.shapedDetector = false;
    record.splitMode = 0;
    band.setFilterData (record);
}

void FilterProcessor::prepare (const juce::dsp::ProcessSpec& spec)
{
    juce::QELProcessorBase::prepare (spec);
    preparedRate.store (spec.sampleRate);
    applyRecord();
    band.prepare (spec);
}

void FilterProcessor::reset()
{
    juce::QELProcessorBase::reset();
    band.reset();
}

void FilterProcessor::processImpl (const float* const*, float* const* out, int numSamples, int numInputChannels,
                                   int numChannels)
{
    band.process (out, out, numSamples, numInputChannels, numChannels);
}

void FilterProcessor::setFrequency (float hz)
{
    frequency.store (hz);
    applyRecord();
}

void FilterProcessor::setGainFactor (float factor)
{
    gainFactor.store (factor);
    applyRecord();
}

void FilterProcessor::setQ (float q)
{
    quality.store (q);
    applyRecord();
}
} // namespace tessaro::dsp
