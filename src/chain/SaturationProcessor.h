#pragma once

#include "chain/VintageTapeProcessor.h"
#include "dsp/saturation/ClassAValve.h"
#include "dsp/saturation/ClassBValvePair.h"
#include "dsp/utility/GainProcessor.h"
#include "dsp/utility/MixProcessor.h"

namespace tessaro::dsp
{
/** The Gain module's saturation: drive in, one of four shapers, drive out, blended with the dry signal. */
class SaturationProcessor : public juce::QELProcessorBase
{
public:
    /** The "Gain - Type" choices. */
    enum SaturationType : int
    {
        off = 0,
        vintageTape = 1,
        cleanTube = 2,
        warmTube = 3,
        brokenTube = 4
    };

    SaturationProcessor();

    void prepare (const juce::dsp::ProcessSpec& spec) override;
    void reset() override;
    /** Drive in, the shapers, drive out, then the blend with the dry copy. */
    void processImpl (const float* const* in, float* const* out, int numSamples, int numInputChannels,
                      int numChannels) override;

    /** Crossfades to a character; the drive stages are on for every type but Off. */
    void setType (int type);
    /** Drive in percent: +20 p/100 dB in, the same out. */
    void setDrive (float percent);
    /** Blend in percent. */
    void setMix (float percent) { blend.setMix (percent / 100.0f); }

    int getType() const noexcept { return type.load(); }
    float getDriveDb() const noexcept { return driveDb.load(); }

    QEL::GainProcessor driveIn, driveOut;
    QEL::MixProcessor blend;
    VintageTapeProcessor tape;
    QEL::ClassAValve warm, broken;
    QEL::ClassBValvePair clean;

    /** The clean pair's record for a rate. */
    static QEL::ClassBValveParameters cleanRecord (double rate);

private:
    std::atomic<int> type { off };
    std::atomic<float> driveDb { 0.0f };
    juce::AudioBuffer<float> dry;
};
} // namespace tessaro::dsp
