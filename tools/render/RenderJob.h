#pragma once

#include "render/RenderOptions.h"
#include "render/SignalLevels.h"

#include <juce_audio_processors/juce_audio_processors.h>

namespace tessaro::render
{
/** One offline render: reads the input WAV, loads the plug-in, applies the settings, processes
    the audio in host-sized blocks under a tempo-reporting play head and writes a stereo WAV. */
class RenderJob
{
public:
    /** What the render found and produced. */
    struct Summary
    {
        juce::String pluginName;       // the plug-in's own name
        int latencySamples = 0;        // latency the plug-in reported after prepare
        double sampleRate = 0.0;       // processing and output rate
        int inputChannels = 0;         // channels of the input file
        juce::String layout;           // bus layout used, e.g. "mono -> stereo"
        juce::StringArray settings;    // settings applied, one line each
        SignalLevels input, output;    // meter readings of the audio in and out
        juce::int64 outputSamples = 0; // samples per channel written
    };

    explicit RenderJob (RenderOptions options);

    /** Runs the whole render; on failure nothing is written and the result says why. */
    juce::Result run();

    /** Audio that went through a plug-in, and the latency the plug-in reported for it. */
    struct Rendered
    {
        juce::AudioBuffer<float> audio; // stereo
        int latencySamples = 0;
    };

    /** Prepares a loaded plug-in, runs `input` through it in blocks of `blockSize` and releases it.
        The result is stereo and as long as the input; the reported latency is removed from its start
        (the input is followed by that much silence) unless `compensateLatency` is off. */
    static Rendered process (juce::AudioPluginInstance& plugin, const juce::AudioBuffer<float>& input,
                             double sampleRate, int blockSize, double bpm, bool compensateLatency);

    /** Chooses the bus layout for the input: mono in to stereo out when the input is mono and the
        plug-in accepts it, else stereo to stereo. Returns a description of the layout, or empty. */
    static juce::String chooseLayout (juce::AudioPluginInstance& plugin, int inputChannels);

    /** The summary of the last successful run. */
    const Summary& getSummary() const noexcept { return summary; }

    /** The short report printed after a run. */
    juce::String report() const;

private:
    RenderOptions options;
    Summary summary;

    juce::Result readInput (juce::AudioBuffer<float>& audio, double& fileRate) const;
    juce::Result writeOutput (const juce::AudioBuffer<float>& audio) const;
    juce::Result applySettings (juce::AudioPluginInstance& plugin);

    static void fillBlock (juce::AudioBuffer<float>& block, const juce::AudioBuffer<float>& input, int inputChannels,
                           juce::int64 start);
    static void collectBlock (const juce::AudioBuffer<float>& block, int outputChannels,
                              juce::AudioBuffer<float>& rendered, juce::int64 start);
};
} // namespace tessaro::render
