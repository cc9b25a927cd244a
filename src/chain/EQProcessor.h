#pragma once

#include "chain/FilterProcessor.h"
#include "chain/LofiProcessor.h"
#include "chain/ModuleProcessorBase.h"
#include "chain/ShelfPassFilterProcessor.h"
#include "dsp/base/SwitchFade.h"

namespace tessaro::dsp
{
/** The tone module: low and high shelf-to-pass bands, a parametric mid band and the AdLib voice.

    "EQ - Power" fades the module in and out itself, sample by sample over fadeSeconds with a raised-cosine
    gain, whatever the block size. Switched off, the bands go on running unheard so that they fade in
    settled; only a module whose bands are all flat and whose AdLib is out rests. */
class EQProcessor : public ModuleProcessorBase
{
public:
    EQProcessor();

    /** Prepares AdLib, mid, low and high band. */
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    /** Resets the dry path, AdLib, mid, low and high band. */
    void reset() override;
    /** Low band, high band, mid band, AdLib, each through its own switch, faded in by the module's switch. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;
    /** Fades the module in (true) or out (false), starting with the next block. */
    void setBypassSmooth (bool shouldBeActive) override;
    /** Switches the module in or out at the next block, without a fade. */
    void setBypass (bool shouldBeActive) override;

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

    /** Length of the module's fade in or out. */
    static constexpr double fadeSeconds = 0.02;

    ShelfPassFilterProcessor lowBand;
    ShelfPassFilterProcessor highBand;
    FilterProcessor midBand;
    LofiProcessor adLib;

private:
    void runBands (float* const* channels, int numSamples, int numInputChannels, int numChannels);
    void processFading (float* const* out, int numSamples, int numInputChannels, int numChannels);
    void processUnheard (float* const* out, int numSamples, int numInputChannels, int numChannels);
    bool isFlat() const noexcept;

    QEL::SwitchFade fade;
    juce::AudioBuffer<float> dry;
};
} // namespace tessaro::dsp
