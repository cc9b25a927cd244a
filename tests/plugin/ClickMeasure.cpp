#include "plugin/ClickMeasure.h"

#include "plugin/Vst3TestSupport.h"

#include <juce_dsp/juce_dsp.h>

#include <algorithm>
#include <cmath>

namespace tessaro::test
{
namespace
{
    constexpr double sampleRate = 44100.0;
    constexpr int changeAt = 22050;                 // 0.5 s: every start-up ramp is over
    constexpr int afterChange = 15435;              // 0.35 s: the latency, and every ramp the change starts
    constexpr int clickWindow = 441;                // 10 ms
    constexpr int dropoutWindow = 132;              // 3 ms
    constexpr double floorPerSample = 1.0e-10;      // -100 dBFS
    constexpr float amplitude = 0.125892541f;       // -18 dBFS

    /** Renders the sine through a new instance, setting `to` before the block that starts at switchAt. */
    juce::AudioBuffer<float> render (const ControlStep& step, int blockSize, float initial, int switchAt)
    {
        auto plugin = Vst3Bundle::create (sampleRate, blockSize);
        plugin->prepareToPlay (sampleRate, blockSize);
        apply (*plugin, step.context);

        auto* parameter = plugin->getParameters()[step.parameterIndex];
        const auto set = [parameter] (float value)
        {
            parameter->beginChangeGesture();
            parameter->setValueNotifyingHost (value);
            parameter->endChangeGesture();
        };
        set (initial);

        const int total = changeAt + afterChange;
        juce::AudioBuffer<float> output (2, total);
        juce::AudioBuffer<float> block (2, blockSize);
        juce::MidiBuffer midi;

        for (int start = 0; start < total; start += blockSize)
        {
            if (start >= switchAt && start < switchAt + blockSize)
                set (step.to);

            const int n = std::min (blockSize, total - start);
            block.setSize (2, n, false, false, true);
            for (int i = 0; i < n; ++i)
            {
                const float x = amplitude * (float) std::sin (2.0 * juce::MathConstants<double>::pi * 440.0 *
                                                              (double) (start + i) / sampleRate);
                block.setSample (0, i, x);
                block.setSample (1, i, x);
            }
            plugin->processBlock (block, midi);
            for (int ch = 0; ch < 2; ++ch)
                output.copyFrom (ch, start, block, ch, 0, n);
        }
        return output;
    }

    /** Running sums of the energy of both channels, optionally high-passed first: sums[n] covers [0, n). */
    std::vector<double> energySums (const juce::AudioBuffer<float>& audio, bool highPassed)
    {
        const int length = audio.getNumSamples();
        std::vector<double> energy ((size_t) length, 0.0);

        for (int ch = 0; ch < audio.getNumChannels(); ++ch)
        {
            std::vector<double> x (audio.getReadPointer (ch), audio.getReadPointer (ch) + length);
            if (highPassed)
            {
                const auto stages =
                    juce::dsp::FilterDesign<double>::designIIRHighpassHighOrderButterworthMethod (8000.0, sampleRate, 4);
                for (const auto& coefficients : stages)
                {
                    juce::dsp::IIR::Filter<double> filter (coefficients);
                    for (auto& v : x)
                        v = filter.processSample (v);
                }
            }
            for (int n = 0; n < length; ++n)
                energy[(size_t) n] += x[(size_t) n] * x[(size_t) n];
        }

        std::vector<double> sums ((size_t) length + 1, 0.0);
        for (int n = 0; n < length; ++n)
            sums[(size_t) n + 1] = sums[(size_t) n] + energy[(size_t) n];
        return sums;
    }

    double windowEnergy (const std::vector<double>& sums, int start, int length)
    {
        return std::max (sums[(size_t) (start + length)] - sums[(size_t) start], floorPerSample * length);
    }

    double decibels (double ratio)
    {
        return 10.0 * std::log10 (ratio);
    }
} // namespace

ClickMeasure measureClick (const ControlStep& step, int blockSize)
{
    const int never = changeAt * 4;
    const int switchAt = (changeAt + blockSize - 1) / blockSize * blockSize;

    const auto heldFrom = render (step, blockSize, step.from, never);
    const auto heldTo = render (step, blockSize, step.to, never);
    const auto switched = render (step, blockSize, step.from, switchAt);

    ClickMeasure measure;

    const auto highFrom = energySums (heldFrom, true), highTo = energySums (heldTo, true);
    const auto highSwitched = energySums (switched, true);
    const int end = changeAt + afterChange;
    int loudest = switchAt;
    for (int start = switchAt; start + clickWindow <= end; ++start)
        if (windowEnergy (highSwitched, start, clickWindow) > windowEnergy (highSwitched, loudest, clickWindow))
            loudest = start;
    measure.clickDb = decibels (windowEnergy (highSwitched, loudest, clickWindow) /
                                std::max (windowEnergy (highFrom, loudest, clickWindow),
                                          windowEnergy (highTo, loudest, clickWindow)));

    const auto fullFrom = energySums (heldFrom, false), fullTo = energySums (heldTo, false);
    const auto fullSwitched = energySums (switched, false);
    for (int start = switchAt; start + dropoutWindow <= end; start += dropoutWindow / 4)
        measure.dropoutDb = std::max (measure.dropoutDb,
                                      decibels (std::min (windowEnergy (fullFrom, start, dropoutWindow),
                                                          windowEnergy (fullTo, start, dropoutWindow)) /
                                                windowEnergy (fullSwitched, start, dropoutWindow)));
    return measure;
}
} // namespace tessaro::test
