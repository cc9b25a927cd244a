// The EQ curves draw what the audio does: each view's magnitude on its own frequency grid against the
// plug-in's measured response (an impulse through the processor with only the EQ module on).
//
//   impulse -> [processor: EQ only] -> DFT at grid frequency f -> |H_audio(f)| dB
//   display cache + chain band      -> EQ view (evaluated at 96 kHz)  -> |H_view(f)| dB

#include "TestSandbox.h"
#include "core/Params.h"
#include "core/PluginProcessor.h"
#include "panels/EQBandFeed.h"
#include "panels/EQComponent.h"

#include <complex>
#include <gtest/gtest.h>

using namespace Params;

namespace
{
using tessaro::gui::EQBandFeed;
using tessaro::gui::EQBandSlot;

struct BandSetting
{
    const char* what;
    EQBandSlot slot;
    float hz, gainDb, q;
    /** At 44.1 and 48 kHz the audio's own frequency warping moves this response by more than 0.1 dB below
        5 kHz against the 96 kHz drawing: printed there, not asserted. */
    bool warpedBelow5k = false;
};

const BandSetting settings[] = {
    { "low shelf +6 dB", EQBandSlot::low, 100.0f, 6.0f, 0.707f },
    { "low shelf -6 dB, Q 2", EQBandSlot::low, 250.0f, -6.0f, 2.0f },
    { "low shelf half into high-pass (-12 dB)", EQBandSlot::low, 200.0f, -12.0f, 0.707f },
    { "low shelf mostly high-pass (-14 dB), Q 3", EQBandSlot::low, 120.0f, -14.0f, 3.0f },
    { "low high-pass (-15 dB)", EQBandSlot::low, 80.0f, -15.0f, 1.0f },
    { "high shelf +9 dB", EQBandSlot::high, 5000.0f, 9.0f, 0.707f, true },
    { "high shelf -6 dB", EQBandSlot::high, 5000.0f, -6.0f, 0.707f },
    { "high shelf half into low-pass (-12 dB)", EQBandSlot::high, 12000.0f, -12.0f, 0.707f, true },
    { "high shelf into low-pass (-11 dB), Q 1.5", EQBandSlot::high, 8000.0f, -11.0f, 1.5f, true },
    { "high low-pass (-15 dB), Q 2.5", EQBandSlot::high, 10000.0f, -15.0f, 2.5f, true },
    { "high low-pass (-15 dB) at 2 kHz", EQBandSlot::high, 2000.0f, -15.0f, 0.707f, true },
    { "mid peak +6 dB", EQBandSlot::mid, 1000.0f, 6.0f, 0.707f },
    { "mid cut -12 dB, Q 3.5", EQBandSlot::mid, 2500.0f, -12.0f, 3.5f, true },
    { "mid cut -9 dB at 800 Hz, Q 2", EQBandSlot::mid, 800.0f, -9.0f, 2.0f },
    { "mid peak +15 dB, Q 1", EQBandSlot::mid, 300.0f, 15.0f, 1.0f },
};

struct Ids
{
    const juce::String &hz, &gain, &q;
};

Ids idsOf (EQBandSlot slot)
{
    if (slot == EQBandSlot::low)
        return { paramEQLowFreq, paramEQLowGain, paramEQLowQ };
    if (slot == EQBandSlot::mid)
        return { paramEQMidFreq, paramEQMidGain, paramEQMidQ };
    return { paramEQHighFreq, paramEQHighGain, paramEQHighQ };
}

void set (OrvaneTessaroAudioProcessor& p, const juce::String& id, float value)
{
    auto* parameter = p.parameters.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

/** The processor at `rate` with only the EQ module on and the band set; the smoothing settled. */
std::unique_ptr<OrvaneTessaroAudioProcessor> eqOnly (double rate, const BandSetting& s)
{
    auto p = std::make_unique<OrvaneTessaroAudioProcessor>();
    for (auto* id : { &paramCompressPower, &paramEnhancePower, &paramMultiplyPower, &paramSpacePower, &paramGainPower })
        set (*p, *id, 0.0f);
    set (*p, paramEQPower, 1.0f);
    set (*p, paramMix, 100.0f);
    const auto ids = idsOf (s.slot);
    set (*p, ids.hz, s.hz);
    set (*p, ids.gain, s.gainDb);
    set (*p, ids.q, s.q);
    p->setPlayConfigDetails (2, 2, rate, 512);
    p->prepareToPlay (rate, 512);
    return p;
}

/** Runs silence for a second (settling every ramp), then an impulse; returns the first channel. */
std::vector<float> impulseResponse (OrvaneTessaroAudioProcessor& p, double rate, int length)
{
    juce::MidiBuffer midi;
    juce::AudioBuffer<float> block (2, 512);
    for (int done = 0; done < (int) rate; done += 512)
    {
        block.clear();
        p.processBlock (block, midi);
    }

    std::vector<float> response;
    constexpr float amplitude = 0.25f;
    for (int done = 0; done < length; done += 512)
    {
        block.clear();
        if (done == 0)
            for (int ch = 0; ch < 2; ++ch)
                block.setSample (ch, 0, amplitude);
        p.processBlock (block, midi);
        for (int i = 0; i < 512; ++i)
            response.push_back (block.getSample (0, i) / amplitude);
    }
    return response;
}

double magnitudeDb (const std::vector<float>& ir, double hz, double rate)
{
    std::complex<double> sum;
    const auto step = std::polar (1.0, -juce::MathConstants<double>::twoPi * hz / rate);
    std::complex<double> phasor (1.0, 0.0);
    for (float v : ir)
    {
        sum += (double) v * phasor;
        phasor *= step;
    }
    return 20.0 * std::log10 (std::abs (sum));
}

struct Comparison
{
    double worstBelow = 0.0, worstAbove = 0.0, worstAboveHz = 0.0, worstBelowHz = 0.0;
};

/** View against audio at every 4th grid point up to 0.45 x rate where the view draws inside its plot;
    `split` separates the two maxima. */
Comparison compare (const BandSetting& s, double rate, double split)
{
    auto p = eqOnly (rate, s);
    const auto ir = impulseResponse (*p, rate, 1 << 17);

    tessaro::gui::EQComponent view ({ 0.707f, 3.5f, 0.01f });
    view.setSize (182, 72);
    EQBandFeed::refresh (view, *p, s.slot);
    view.recomputeCurves();

    Comparison c;
    for (size_t i = 0; i < view.frequencies.size(); i += 4)
    {
        const double hz = view.frequencies[i];
        if (hz < 20.0 || hz > 0.45 * rate)
            continue;
        const double drawn = 20.0 * std::log10 (view.mainMagnitudes[i]);
        if (drawn < -view.gainRange)
            continue; // below the plot: not drawn
        const double error = std::abs (drawn - magnitudeDb (ir, hz, rate));
        auto& worst = hz < split ? c.worstBelow : c.worstAbove;
        auto& at = hz < split ? c.worstBelowHz : c.worstAboveHz;
        if (error > worst)
        {
            worst = error;
            at = hz;
        }
    }
    return c;
}
} // namespace

TEST (EQCurveAgreement, ViewsMatchTheMeasuredResponseAt96kHz)
{
    test_support::Sandbox sandbox;
    for (const auto& s : settings)
    {
        const auto c = compare (s, 96000.0, 1.0e9);
        EXPECT_LT (c.worstBelow, 0.1) << s.what << " at " << c.worstBelowHz << " Hz";
    }
}

TEST (EQCurveAgreement, ViewsMatchBelow5kHzAt44And48kHz)
{
    test_support::Sandbox sandbox;
    for (double rate : { 44100.0, 48000.0 })
        for (const auto& s : settings)
        {
            const auto c = compare (s, rate, 5000.0);
            if (! s.warpedBelow5k)
            {
                EXPECT_LT (c.worstBelow, 0.1) << s.what << " at " << rate << " Hz, worst at " << c.worstBelowHz << " Hz";
            }
            std::printf ("  %-42s %5.0f Hz: below 5 kHz %.3f dB, above %.2f dB (at %.0f Hz)\n", s.what, rate,
                         c.worstBelow, c.worstAbove, c.worstAboveHz);
        }
}
