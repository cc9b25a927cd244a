#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tessaro::test
{
/** While alive, HOME and the XDG folders point into a fresh temporary folder, so every preset and
    user path the plug-in resolves lands there; the old values come back on destruction. */
class ScopedHome
{
public:
    ScopedHome();
    ~ScopedHome();

    ScopedHome (const ScopedHome&) = delete;
    ScopedHome& operator= (const ScopedHome&) = delete;

    /** The temporary home folder. */
    const juce::File& folder() const noexcept { return home; }

    /** The plug-in's preset root below this home. */
    juce::File presetRoot() const;

    /** The plug-in's per-user folder below this home. */
    juce::File userFolder() const;

private:
    struct SavedVariable
    {
        std::string name;
        std::optional<std::string> value;
    };

    juce::File home;
    std::vector<SavedVariable> saved;

    void point (const char* name, const juce::File& target);
};

/** The built Orvane Tessaro bundle, loaded through JUCE's VST3 hosting as a host does. */
struct Vst3Bundle
{
    /** The bundle built next to the tests. */
    static juce::File file();

    /** The bundle's description, scanned once per process. */
    static const juce::PluginDescription& description();

    /** A new hosted instance (not prepared); fails the current test when loading fails. */
    static std::unique_ptr<juce::AudioPluginInstance> create (double sampleRate = 44100.0, int blockSize = 512);
};

/** The processor's own state blob inside the hosted instance's state, and back. */
struct HostedState
{
    /** The component state the plug-in wrote: the hosted state's "IComponent" element, decoded. */
    static juce::MemoryBlock componentOf (const juce::MemoryBlock& hostedState);

    /** The component state of an instance, saved now. */
    static juce::MemoryBlock componentOf (juce::AudioPluginInstance& plugin);

    /** A hosted state that hands exactly `component` to the plug-in on restore. */
    static juce::MemoryBlock wrap (const juce::MemoryBlock& component);
};

/** The parts of the plug-in's state blob: header, XML text, zero byte and what follows it. */
struct StateBlob
{
    bool hasMagic = false;      // bytes 0-3 are "VC2!"
    juce::uint32 count = 0;     // little-endian bytes 4-7
    bool zeroAfterText = false; // byte 8 + count exists and is 0
    juce::String text;          // the XML text, bytes 8 .. 8 + count - 1
    juce::MemoryBlock trailing; // everything after the zero byte

    /** Splits a component state; fields stay at their defaults where the blob is too short. */
    static StateBlob parse (const juce::MemoryBlock& component);

    /** The parsed XML text, or nullptr. */
    std::unique_ptr<juce::XmlElement> xml() const;
};

/** Signals, streaming and meters for the audio checks. */
struct Audio
{
    /** A sine per channel at the given frequencies, with a small amplitude offset per channel. */
    static juce::AudioBuffer<float> sines (const std::vector<double>& frequencies, int numSamples, double sampleRate);

    /** Feeds `input` through a prepared plug-in in blocks of `blockSize` samples, in a buffer of
        max(ins, outs) channels, and returns the whole output (outs channels). */
    static juce::AudioBuffer<float> stream (juce::AudioPluginInstance& plugin, const juce::AudioBuffer<float>& input,
                                            int blockSize);

    /** Largest |out[n] - in[n - delay]| over n >= delay for one channel pair. */
    static float maxDelayedDifference (const juce::AudioBuffer<float>& out, int outChannel,
                                       const juce::AudioBuffer<float>& in, int inChannel, int delay);

    /** Largest absolute sample of a channel over [start, end). */
    static float peak (const juce::AudioBuffer<float>& buffer, int channel, int start, int end);

    /** The Compress module at its defaults, sample by sample: the Slay compressor at Compression 0 holds its
        gain at its -30 dB floor, drives +27 dB into the soft clip t / (t^2 / 4 + 1) and adds +2 dB of
        automatic gain, -1 dB in all for a quiet voice. Every other module is transparent at its defaults. */
    static double compressAtDefaults (double x);

    /** The amplitude of the tone at hz in one channel over [start, end), by correlation with a sine and a
        cosine; a whole number of periods (or many) keeps the other tones out. */
    static double toneAmplitude (const juce::AudioBuffer<float>& buffer, int channel, double hz, double sampleRate,
                                 int start, int end);

    /** True when no sample is NaN or infinite. */
    static bool allFinite (const juce::AudioBuffer<float>& buffer);

    /** A bus layout with one input and one output bus. */
    static juce::AudioProcessor::BusesLayout layout (const juce::AudioChannelSet& in, const juce::AudioChannelSet& out);
};

/** Every test starts in a fresh temporary HOME with a new hosted instance. */
class HostedPluginTest : public ::testing::Test
{
protected:
    ScopedHome home;
    std::unique_ptr<juce::AudioPluginInstance> plugin = Vst3Bundle::create();

    /** The instance's parameters in host order. */
    const juce::Array<juce::AudioProcessorParameter*>& parameters() const { return plugin->getParameters(); }

    /** Sets a host parameter by index as a host does (outside processing). */
    void setParameter (int index, float normalised);
};
} // namespace tessaro::test
