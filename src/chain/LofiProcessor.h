#pragma once

#include "dsp/base/QELProcessorBase.h"

namespace tessaro::dsp
{
/** The EQ module's AdLib voice: a telephone-like band (350 Hz to 3 kHz) with presence peaks at 1.5 and
    2.5 kHz, a cut below 273 Hz and about -6 dB overall. Designed in prepareToPlay only. */
class LofiProcessor : public juce::QELProcessorBase
{
public:
    LofiProcessor();

    /** Base preparation, then the five stages designed for both channels at the new rate. */
    void prepareToPlay (double newSampleRate, int newSamplesPerBlock) override;
    /** Runs one sample of a channel through the five stages and the output factor. */
    void processImpl (float* sample, int channel) override;

    static constexpr int numStages = 5;

private:
    juce::IIRFilter stages[2][numStages];
};
} // namespace tessaro::dsp
