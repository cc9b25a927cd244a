#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <vector>

namespace tessaro::test
{
/** One host parameter as the host must see it. */
struct ParameterRow
{
    enum class Kind
    {
        floating,
        toggle,
        choice
    };

    const char* id;
    const char* name;
    Kind kind;
    juce::NormalisableRange<float> range; // floats only
    float defaultValue;                   // plain value; 0/1 for toggles, the index for choices
    const char* label;
    juce::StringArray choices; // choices only

    /** The normalised default the host should report. */
    float normalisedDefault() const
    {
        switch (kind)
        {
            case Kind::floating: return range.convertTo0to1 (defaultValue);
            case Kind::toggle: return defaultValue;
            case Kind::choice: return defaultValue / (float) (choices.size() - 1);
        }
        return 0.0f;
    }
};

/** The 47 parameters in host order. */
inline const std::vector<ParameterRow>& parameterTable()
{
    using Kind = ParameterRow::Kind;
    using Range = juce::NormalisableRange<float>;

    const Range percent { 0.0f, 100.0f, 0.1f };
    const Range trim { -20.0f, 20.0f, 0.1f };
    const Range freq { 20.0f, 22000.0f, 0.1f, 0.4f };
    const Range eqGain { -15.0f, 15.0f, 0.1f };
    const Range q { 0.1f, 10.0f, 0.01f };
    const Range spread { 0.0f, 200.0f, 1.0f };
    const Range delayTime { 0.0f, 2000.0f, 1.0f };
    const Range none;

    const juce::StringArray reverbTypes { "Off", "Bright Room", "Dark Room", "Cathedral", "Outer Space" };
    const juce::StringArray delayTypes { "Off", "Lofi", "Tape", "Modern", "Pong" };
    const juce::StringArray gainTypes { "Off", "Vintage Tape", "Clean Tube", "Warm Tube", "Broken Tube" };
    const juce::StringArray notes { "1/64T", "1/64",  "1/64D", "1/32T", "1/32", "1/32D", "1/16T",
                                    "1/16",  "1/16D", "1/8T",  "1/8",   "1/8D", "1/4T",  "1/4",
                                    "1/4D",  "1/2T",  "1/2",   "1/2D",  "1 Bar" };

    static const std::vector<ParameterRow> table {
        { "paramMix", "Mix", Kind::floating, percent, 100.0f, "%", {} },
        { "paramBypass", "Bypass", Kind::toggle, none, 0.0f, "", {} },
        { "paramCompressPower", "Compress - Power", Kind::toggle, none, 1.0f, "", {} },
        { "paramCompressInput", "Compress - Input", Kind::floating, trim, 0.0f, "dB", {} },
        { "paramCompressCompression", "Compress - Compression", Kind::floating, percent, 0.0f, "%", {} },
        { "paramCompressOutput", "Compress - Output", Kind::floating, trim, 0.0f, "dB", {} },
        { "paramCompressSlow", "Compress - Slow", Kind::toggle, none, 0.0f, "", {} },
        { "paramCompressAuto", "Compress - Auto", Kind::toggle, none, 1.0f, "", {} },
        { "paramEnhancePower", "Enhance - Power", Kind::toggle, none, 1.0f, "", {} },
        { "paramEnhanceDeEss", "Enhance - De-Ess", Kind::floating, percent, 0.0f, "%", {} },
        { "paramEnhanceDeNoise", "Enhance - De-Noise", Kind::floating, percent, 0.0f, "%", {} },
        { "paramEnhanceAir", "Enhance - Air", Kind::floating, percent, 0.0f, "%", {} },
        { "paramEnhancePreComp", "Enhance - PreComp", Kind::toggle, none, 0.0f, "", {} },
        { "paramEQPower", "EQ - Power", Kind::toggle, none, 1.0f, "", {} },
        { "paramEQHighFreq", "EQ - High - Freq", Kind::floating, freq, 5000.0f, "Hz", {} },
        { "paramEQHighGain", "EQ - High - Gain", Kind::floating, eqGain, 0.0f, "dB", {} },
        { "paramEQHighQ", "EQ - High - Q", Kind::floating, q, 0.707f, "", {} },
        { "paramEQMidFreq", "EQ - Mid - Freq", Kind::floating, freq, 1000.0f, "Hz", {} },
        { "paramEQMidGain", "EQ - Mid - Gain", Kind::floating, eqGain, 0.0f, "dB", {} },
        { "paramEQMidQ", "EQ - Mid - Q", Kind::floating, q, 0.707f, "", {} },
        { "paramEQLowFreq", "EQ - Low - Freq", Kind::floating, freq, 100.0f, "Hz", {} },
        { "paramEQLowGain", "EQ - Low - Gain", Kind::floating, eqGain, 0.0f, "dB", {} },
        { "paramEQLowQ", "EQ - Low - Q", Kind::floating, q, 0.707f, "", {} },
        { "paramEQPre", "EQ - Pre", Kind::toggle, none, 0.0f, "", {} },
        { "paramEQAdLib", "EQ - AdLib", Kind::toggle, none, 0.0f, "", {} },
        { "paramMultiplyPower", "Multiply - Power", Kind::toggle, none, 1.0f, "", {} },
        { "paramMultiplySpread", "Multiply - Spread", Kind::floating, spread, 100.0f, "%", {} },
        { "paramMultiplyOffset", "Multiply - Offset", Kind::floating, percent, 0.0f, "%", {} },
        { "paramMultiplyAmount", "Multiply - Amount", Kind::floating, percent, 0.0f, "%", {} },
        { "paramMultiplyLow", "Multiply - Low", Kind::floating, percent, 0.0f, "%", {} },
        { "paramSpacePower", "Space - Power", Kind::toggle, none, 1.0f, "", {} },
        { "paramSpaceReverbType", "Space - Reverb - Type", Kind::choice, none, 0.0f, "", reverbTypes },
        { "paramSpaceReverbTime", "Space - Reverb - Time", Kind::floating, percent, 50.0f, "%", {} },
        { "paramSpaceReverbAmount", "Space - Reverb - Amount", Kind::floating, percent, 0.0f, "%", {} },
        { "paramSpaceDelaySync", "Space - Delay - Sync", Kind::toggle, none, 1.0f, "", {} },
        { "paramSpaceDelayType", "Space - Delay - Type", Kind::choice, none, 0.0f, "", delayTypes },
        { "paramSpaceDelayTime", "Space - Delay - Time", Kind::floating, delayTime, 200.0f, "ms", {} },
        { "paramSpaceDelayNote", "Space - Delay - Note", Kind::choice, none, 10.0f, "", notes },
        { "paramSpaceDelayAmount", "Space - Delay - Amount", Kind::floating, percent, 0.0f, "%", {} },
        { "paramSpaceDelayFeedback", "Space - Delay - Feedback", Kind::floating, percent, 50.0f, "%", {} },
        { "paramGainPower", "Gain - Power", Kind::toggle, none, 1.0f, "", {} },
        { "paramGainType", "Gain - Type", Kind::choice, none, 0.0f, "", gainTypes },
        { "paramGainDrive", "Gain - Drive", Kind::floating, percent, 0.0f, "%", {} },
        { "paramGainMix", "Gain - Mix", Kind::floating, percent, 100.0f, "%", {} },
        { "paramGainGain", "Gain - Gain", Kind::floating, trim, 0.0f, "dB", {} },
        { "paramGainPreFx", "Gain - Pre Fx", Kind::toggle, none, 0.0f, "", {} },
        { "paramGainLimit", "Gain - Limit", Kind::toggle, none, 0.0f, "", {} },
    };
    return table;
}

/** Index of a parameter in host order; -1 when absent. */
inline int parameterIndex (const char* id)
{
    const auto& table = parameterTable();
    for (size_t i = 0; i < table.size(); ++i)
        if (juce::String (table[i].id) == id)
            return (int) i;
    return -1;
}
} // namespace tessaro::test
