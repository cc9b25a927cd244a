#pragma once

#include "chain/FilterProcessor.h"
#include "chain/LofiProcessor.h"
#include "chain/ModuleProcessorBase.h"
#include "chain/ShelfPassFilterProcessor.h"

namespace tessaro::dsp
{
/** The tone module: low and high shelf-to-pass bands, a parametric mid band and the AdLib voice. */
class EQProcessor : public ModuleProcessorBase
{
public:
    EQProcessor();

    /** Prepares AdLib, mid, low and high band. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Resets the dry path, AdLib, mid, low and high band. */
    void reset() override;
    /** Low band, high band, mid band, AdLib, each through its own switch. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;

    void setLowFreq (float hz) { lowBand.setFrequency (hz); }
    void setLowGain (float db) { lowBand.setGainDb (db); }
    void setLowQ (float q) { lowBand.setQ (q); }
    void setHighFreq (float hz) { highBand.setFrequency (hz); }
    void setHighGain (float db) { highBand.setGainDb (db); }
    void setHighQ (float q) { highBand.setQ (q); }
    /** Sets the mid band's centre in Hz. */
    void setMidFreq (float hz) { midBand.setFrequency (hz); }
    /** Sets the mid band's gain in dB; -100 dB and below is a factor of 0. */
    void setMidGain (float db);
    void setMidQ (float q) { midBand.setQ (q); }
    /** Fades the AdLib voice in or out. */
    void setAdLib (bool on) { adLib.setBypassSmooth (on); }

    ShelfPassFilterProcessor lowBand;
    ShelfPassFilterProcessor highBand;
    FilterProcessor midBand;
    LofiProcessor adLib;
};
} // namespace tessaro::dsp
