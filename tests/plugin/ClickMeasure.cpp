#include "plugin/ClickMeasure.h"

#include "plugin/Vst3TestSupport.h"

#include <juce_dsp/juce_dsp.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace tessaro::test
{
namespace
{
    constexpr double sampleRate = 44100.0;
    constexpr int changeAt = 22050;            // 0.5 s: every start-up ramp is over
    constexpr int afterChange = 15435;         // 0.35 s: the latency, and every ramp the change starts
    constexpr int clickWindow = 441;           // 10 ms
    constexpr int dropoutWindow = 132;         // 3 ms
    constexpr double floorPerSample = 1.0e-10; // -100 dBFS
    constexpr float amplitude = 0.125892541f;  // -18 dBFS

    constexpr float heardDifference = 1.0e-6f; // -120 dBFS: a change that is this far from the held render is heard
    constexpr double waitingPace = 5.0;        // until a change is heard, audio runs at a fifth of real time
    constexpr double longestWaitSeconds = 10.0;

    float sineAt (int n)
    {
        return amplitude * (float) std::sin (2.0 * juce::MathConstants<double>::pi * 440.0 * (double) n / sampleRate);
    }

    /** Sets a host parameter as a host's automation does. */
    void setAsHost (juce::AudioProcessorParameter& parameter, float value)
    {
        parameter.beginChangeGesture();
        parameter.setValueNotifyingHost (value);
        parameter.endChangeGesture();
    }

    /** A new instance with the context and the step's parameter at `initial`. Where a reverb engine is chosen
        or the step asks for it, one block hands the settings to the plug-in and preparing it again (as a host
        does when playback restarts) starts every stage from them: a reverb engine is then in place before the
        audio starts (it would otherwise arrive from its builder at a moment the render does not fix), and a
        switch starts at its setting without a ramp. */
    std::unique_ptr<juce::AudioPluginInstance> settled (const ControlStep& step, int blockSize, float initial)
    {
        auto plugin = Vst3Bundle::create (sampleRate, blockSize);
        plugin->prepareToPlay (sampleRate, blockSize);
        apply (*plugin, step.context);
        setAsHost (*plugin->getParameters()[step.parameterIndex], initial);
        if (! step.reverbEngine && ! step.preparedSettled)
            return plugin;

        juce::AudioBuffer<float> silence (2, blockSize);
        juce::MidiBuffer midi;
        silence.clear();
        plugin->processBlock (silence, midi);
        plugin->releaseResources();
        plugin->prepareToPlay (sampleRate, blockSize);
        return plugin;
    }

    /** True when a channel of the block starting at `start` departs from `reference` audibly. */
    bool departs (const juce::AudioBuffer<float>& block, const juce::AudioBuffer<float>& reference, int start)
    {
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < block.getNumSamples(); ++i)
                if (std::abs (block.getSample (ch, i) - reference.getSample (ch, start + i)) > heardDifference)
                    return true;
        return false;
    }

    /** Renders the sine through a new instance, setting `to` before the block that starts at switchAt. With a
        `held` render of the old setting, the blocks after the switch are paced slower than real time until the
        output departs from it, as a host's audio thread leaves time between blocks: a new reverb engine, built
        in the background, then takes over early in the measured stretch whatever the machine's load. */
    juce::AudioBuffer<float> render (const ControlStep& step, int blockSize, float initial, int switchAt,
                                     const juce::AudioBuffer<float>* held = nullptr)
    {
        auto plugin = settled (step, blockSize, initial);
        auto& parameter = *plugin->getParameters()[step.parameterIndex];

        const int total = changeAt + afterChange;
        juce::AudioBuffer<float> output (2, total);
        juce::AudioBuffer<float> block (2, blockSize);
        juce::MidiBuffer midi;
        using Clock = std::chrono::steady_clock;
        Clock::time_point switchTime;
        bool waiting = held != nullptr;

        for (int start = 0; start < total; start += blockSize)
        {
            if (start >= switchAt && start < switchAt + blockSize)
            {
                setAsHost (parameter, step.to);
                switchTime = Clock::now();
            }

            const int n = std::min (blockSize, total - start);
            block.setSize (2, n, false, false, true);
            for (int i = 0; i < n; ++i)
            {
                block.setSample (0, i, sineAt (start + i));
                block.setSample (1, i, sineAt (start + i));
            }
            plugin->processBlock (block, midi);
            for (int ch = 0; ch < 2; ++ch)
                output.copyFrom (ch, start, block, ch, 0, n);

            if (waiting && start >= switchAt)
            {
                const auto audioSinceSwitch = std::chrono::duration<double> ((start + n - switchAt) / sampleRate);
                waiting = ! departs (block, *held, start) &&
                          Clock::now() - switchTime < std::chrono::duration<double> (longestWaitSeconds);
                if (waiting)
                    std::this_thread::sleep_until (
                        switchTime + std::chrono::duration_cast<Clock::duration> (waitingPace * audioSinceSwitch));
            }
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
                const auto stages = juce::dsp::FilterDesign<double>::designIIRHighpassHighOrderButterworthMethod (
                    8000.0, sampleRate, 4);
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
    const auto switched = render (step, blockSize, step.from, switchAt, step.reverbEngine ? &heldFrom : nullptr);

    ClickMeasure measure;

    const auto highFrom = energySums (heldFrom, true), highTo = energySums (heldTo, true);
    const auto highSwitched = energySums (switched, true);
    const int end = changeAt + afterChange;
    int loudest = switchAt;
    for (int start = switchAt; start + clickWindow <= end; ++start)
        if (windowEnergy (highSwitched, start, clickWindow) > windowEnergy (highSwitched, loudest, clickWindow))
            loudest = start;
    measure.clickDb = decibels (
        windowEnergy (highSwitched, loudest, clickWindow) /
        std::max (windowEnergy (highFrom, loudest, clickWindow), windowEnergy (highTo, loudest, clickWindow)));

    const auto fullFrom = energySums (heldFrom, false), fullTo = energySums (heldTo, false);
    const auto fullSwitched = energySums (switched, false);
    for (int start = switchAt; start + dropoutWindow <= end; start += dropoutWindow / 4)
        measure.dropoutDb =
            std::max (measure.dropoutDb, decibels (std::min (windowEnergy (fullFrom, start, dropoutWindow),
                                                             windowEnergy (fullTo, start, dropoutWindow)) /
                                                   windowEnergy (fullSwitched, start, dropoutWindow)));
    return measure;
}
} // namespace tessaro::test
