// Reference renders through the whole chain: what the plug-in puts out must not move while its code is made
// faster or smaller.
//
// How the references were made: each case below (a setting, a signal, a sample rate) is rendered by
// OrvaneTessaroAudioProcessor in 512-sample stereo blocks, exactly as this test renders it, and stored in
// tests/core/references/<case>.txt as a digest and a short excerpt:
//   - per channel the RMS, an FNV-1a hash of the float bits (a bit-exact match passes at once), and
//     32 projections of the whole channel onto fixed pseudo-random ±1 series: the projections of the
//     difference of two renders have a mean square of N times the difference's mean square, so the digest
//     measures the difference over every sample without storing the samples;
//   - 128 frames from a quarter of the way in, compared sample by sample.
// A render passes when its difference, in both measures, stays 120 dB below the reference's RMS.
//
// Rewriting them: a change that alters the sound on purpose renders new references with
//     TESSARO_REWRITE_REFERENCES=1 build/tests/tessaro_tests --gtest_filter='ReferenceRender*'
// and commits tests/core/references/ with a message that says why the sound changed. The rewrite
// renders every case twice and refuses to write a render that is not reproducible.
//
// Everything in the chain that draws random numbers is seeded, and the render has the reverb's builder
// deliver the chosen engine before the first block (as it does within milliseconds while a host plays),
// so a render depends only on the code, the spoken phrase (espeak-ng on this machine; the phrase cases
// skip without it) and the settings.
#include "core/Params.h"
#include "core/PlatformPaths.h"
#include "core/PluginProcessor.h"

#include "SpokenPhrase.h"
#include "TestSandbox.h"
#include "plugin/HeaviestSettings.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace
{
using Settings = std::vector<tessaro::test::Setting>;

constexpr int blockSize = 512;
constexpr int projectionCount = 32;
constexpr int excerptFrames = 128;
constexpr double toleranceDb = -120.0;

const juce::File referenceFolder { TESSARO_SOURCE_DIR "/tests/core/references" };
const juce::File shippedPresets { TESSARO_SOURCE_DIR "/resources/presets" };

bool rewriting()
{
    const char* value = std::getenv ("TESSARO_REWRITE_REFERENCES");
    return value != nullptr && std::string (value) == "1";
}

//==============================================================================
/** A named starting point: parameter values set on a fresh instance, optionally after the factory bank
    is installed (a new instance then starts from "Easy Vocal Chain"). */
struct Setup
{
    const char* name;
    bool factoryBank;
    Settings settings;
};

const std::vector<Setup>& setups()
{
    static const std::vector<Setup> all {
        { "Defaults", false, {} },
        { "FactoryStart", true, {} },
        { "Heaviest", false, tessaro::test::heaviestSettings() },
        { "BrightRoom", false, { { "paramSpaceReverbType", 1.0f }, { "paramSpaceReverbAmount", 50.0f } } },
        { "DarkRoom", false, { { "paramSpaceReverbType", 2.0f }, { "paramSpaceReverbAmount", 50.0f } } },
        { "Cathedral", false, { { "paramSpaceReverbType", 3.0f }, { "paramSpaceReverbAmount", 50.0f } } },
        { "OuterSpace", false, { { "paramSpaceReverbType", 4.0f }, { "paramSpaceReverbAmount", 50.0f } } },
        { "LofiDelay", false, { { "paramSpaceDelayType", 1.0f }, { "paramSpaceDelayAmount", 50.0f } } },
        { "TapeDelay", false, { { "paramSpaceDelayType", 2.0f }, { "paramSpaceDelayAmount", 50.0f } } },
        { "ModernDelay", false, { { "paramSpaceDelayType", 3.0f }, { "paramSpaceDelayAmount", 50.0f } } },
        { "PongDelay", false, { { "paramSpaceDelayType", 4.0f }, { "paramSpaceDelayAmount", 50.0f } } },
    };
    return all;
}

//==============================================================================
/** The spoken phrase at a rate, stereo (the right channel quieter and a little later), then a second of
    silence for the tails; empty when espeak-ng is missing. */
juce::AudioBuffer<float> phraseAt (double rate)
{
    static const auto phrase = test_support::speak ("Loud words, then a quiet whisper, and loud again.");
    if (phrase.samples.empty())
        return {};

    const double ratio = phrase.sampleRate / rate;
    const int spoken = (int) std::floor ((double) phrase.samples.size() / ratio) - 8;
    const int offset = (int) (0.003 * rate);
    juce::AudioBuffer<float> buffer (2, spoken + offset + (int) rate);
    buffer.clear();

    juce::LagrangeInterpolator resampler;
    resampler.process (ratio, phrase.samples.data(), buffer.getWritePointer (0), spoken);
    buffer.copyFrom (1, offset, buffer.getReadPointer (0), spoken, 0.7f);
    return buffer;
}

/** Half a second of seeded white noise at -6 dBFS with 5 ms raised-cosine edges, a second of silence
    around it: an independent series per channel. */
juce::AudioBuffer<float> noiseBurstAt (double rate)
{
    const int start = (int) (0.05 * rate), length = (int) (0.5 * rate), edge = (int) (0.005 * rate);
    juce::AudioBuffer<float> buffer (2, start + length + (int) rate);
    buffer.clear();
    juce::Random random (24);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < length; ++i)
        {
            const int fromEdge = std::min (i, length - 1 - i);
            const double gain =
                fromEdge >= edge ? 1.0 : 0.5 - 0.5 * std::cos (juce::MathConstants<double>::pi * fromEdge / edge);
            buffer.setSample (ch, start + i, (float) (0.5 * gain * (2.0 * random.nextDouble() - 1.0)));
        }
    return buffer;
}

/** The whole input through a fresh instance with the setup's starting point, block by block. */
juce::AudioBuffer<float> render (const Setup& setup, const juce::AudioBuffer<float>& input, double rate)
{
    test_support::Sandbox sandbox;
    if (setup.factoryBank)
    {
        const auto root = QEL::PlatformPaths::presetRoot ("Orvane", "Orvane Tessaro");
        EXPECT_TRUE (root.createDirectory());
        EXPECT_TRUE (shippedPresets.copyDirectoryTo (root));
    }

    OrvaneTessaroAudioProcessor processor;
    processor.prepareToPlay (rate, blockSize);
    for (const auto& [id, plain] : setup.settings)
    {
        auto* parameter = processor.parameters.getParameter (id);
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (plain));
    }
    processor.tessaroProcessor.spaceProcessor.reverbStage.reverb.buildChosenEngine();

    juce::AudioBuffer<float> output (input);
    juce::MidiBuffer midi;
    for (int start = 0; start < output.getNumSamples(); start += blockSize)
    {
        const int count = std::min (blockSize, output.getNumSamples() - start);
        juce::AudioBuffer<float> block (output.getArrayOfWritePointers(), 2, start, count);
        processor.processBlock (block, midi);
    }
    return output;
}

//==============================================================================
/** The value of the k-th fixed ±1 series at frame n (a SplitMix64 hash, the same everywhere). */
double sign (int k, int n)
{
    std::uint64_t z = ((std::uint64_t) k << 32 | (std::uint32_t) n) + 0x9e3779b97f4a7c15ull;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return ((z ^ (z >> 31)) & 1u) != 0 ? 1.0 : -1.0;
}

/** What is kept of one channel of a render. */
struct ChannelDigest
{
    double rms = 0.0;
    std::uint64_t hash = 0;
    std::array<double, projectionCount> projections {};
    std::vector<float> excerpt;
};

/** What is kept of a render. */
struct Digest
{
    int frames = 0;
    int excerptStart = 0;
    std::array<ChannelDigest, 2> channels;
};

Digest digestOf (const juce::AudioBuffer<float>& render)
{
    Digest digest;
    digest.frames = render.getNumSamples();
    digest.excerptStart = digest.frames / 4;
    for (int ch = 0; ch < 2; ++ch)
    {
        auto& channel = digest.channels[(size_t) ch];
        const float* x = render.getReadPointer (ch);
        double energy = 0.0;
        std::uint64_t hash = 0xcbf29ce484222325ull;
        for (int n = 0; n < digest.frames; ++n)
        {
            energy += (double) x[n] * x[n];
            std::uint32_t bits;
            std::memcpy (&bits, x + n, sizeof bits);
            hash = (hash ^ bits) * 0x100000001b3ull;
            for (int k = 0; k < projectionCount; ++k)
                channel.projections[(size_t) k] += sign (k, n) * x[n];
        }
        channel.rms = std::sqrt (energy / digest.frames);
        channel.hash = hash;
        channel.excerpt.assign (x + digest.excerptStart, x + digest.excerptStart + excerptFrames);
    }
    return digest;
}

juce::String textOf (const Digest& digest, const juce::String& title)
{
    juce::String text;
    text << "# " << title << ": a reference render of tests/core/ReferenceRenderTest.cpp\n";
    text << "frames " << digest.frames << "\nexcerptStart " << digest.excerptStart << "\n";
    for (size_t ch = 0; ch < 2; ++ch)
    {
        const auto& channel = digest.channels[ch];
        text << "channel " << (int) ch << "\nrms " << juce::String (channel.rms, 17) << "\nhash "
             << juce::String::toHexString ((juce::int64) channel.hash) << "\nprojections";
        for (double p : channel.projections)
            text << " " << juce::String (p, 17);
        text << "\nexcerpt";
        for (float x : channel.excerpt)
            text << " " << juce::String::formatted ("%.9g", (double) x);
        text << "\n";
    }
    return text;
}

bool parse (const juce::String& text, Digest& digest)
{
    juce::StringArray tokens;
    tokens.addTokens (text.fromFirstOccurrenceOf ("\n", false, false), " \n", {});
    tokens.removeEmptyStrings();
    int at = 0;
    const auto next = [&] { return at < tokens.size() ? tokens[at++] : juce::String(); };
    const auto expect = [&] (const char* word) { return next() == word; };

    if (! expect ("frames"))
        return false;
    digest.frames = next().getIntValue();
    if (! expect ("excerptStart"))
        return false;
    digest.excerptStart = next().getIntValue();
    for (auto& channel : digest.channels)
    {
        if (! (expect ("channel") && (next(), expect ("rms"))))
            return false;
        channel.rms = next().getDoubleValue();
        if (! expect ("hash"))
            return false;
        channel.hash = (std::uint64_t) next().getHexValue64();
        if (! expect ("projections"))
            return false;
        for (auto& p : channel.projections)
            p = next().getDoubleValue();
        if (! expect ("excerpt"))
            return false;
        channel.excerpt.resize (excerptFrames);
        for (auto& x : channel.excerpt)
            x = next().getFloatValue();
    }
    return at == tokens.size();
}

double db (double ratio)
{
    return 20.0 * std::log10 (std::max (ratio, 1.0e-30));
}

/** Fails unless every channel of the render is within the tolerance of the reference. */
void expectMatches (const Digest& rendered, const Digest& reference)
{
    ASSERT_EQ (rendered.frames, reference.frames);
    ASSERT_EQ (rendered.excerptStart, reference.excerptStart);
    for (size_t ch = 0; ch < 2; ++ch)
    {
        SCOPED_TRACE ("channel " + std::to_string (ch));
        const auto& now = rendered.channels[ch];
        const auto& then = reference.channels[ch];
        if (now.hash == then.hash)
            continue;

        // A silent reference accepts only silence; anything else is held to its own level.
        const double level = std::max (then.rms, 1.0e-12);

        double projected = 0.0;
        for (size_t k = 0; k < now.projections.size(); ++k)
            projected += juce::square (now.projections[k] - then.projections[k]);
        const double wholeDifference = std::sqrt (projected / projectionCount / reference.frames);
        EXPECT_LE (db (wholeDifference / level), toleranceDb) << "the whole render differs";

        double excerpt = 0.0;
        for (size_t i = 0; i < now.excerpt.size(); ++i)
            excerpt += juce::square ((double) now.excerpt[i] - (double) then.excerpt[i]);
        const double excerptDifference = std::sqrt (excerpt / excerptFrames);
        EXPECT_LE (db (excerptDifference / level), toleranceDb) << "the excerpt differs";
    }
}

//==============================================================================
struct Case
{
    const Setup* setup;
    bool phrase;
    double rate;

    juce::String name() const
    {
        return juce::String (setup->name) + (phrase ? "Phrase" : "NoiseBurst") + juce::String ((int) rate);
    }
};

class ReferenceRender : public ::testing::TestWithParam<const Setup*>
{
};

TEST_P (ReferenceRender, StaysWithin120dBOfItsReference)
{
    for (const bool phrase : { true, false })
        for (const double rate : { 44100.0, 48000.0 })
        {
            const Case c { GetParam(), phrase, rate };
            SCOPED_TRACE (c.name().toStdString());
            const auto input = phrase ? phraseAt (rate) : noiseBurstAt (rate);
            if (input.getNumSamples() == 0)
            {
                if (test_support::speechRequired())
                    ADD_FAILURE() << "espeak-ng is not available, and CI needs it";
                std::cout << "espeak-ng is missing: " << c.name() << " skipped\n";
                continue;
            }

            const auto digest = digestOf (render (*c.setup, input, rate));
            const auto file = referenceFolder.getChildFile (c.name() + ".txt");
            if (rewriting())
            {
                const auto again = digestOf (render (*c.setup, input, rate));
                ASSERT_EQ (again.channels[0].hash, digest.channels[0].hash) << "the render is not reproducible";
                ASSERT_EQ (again.channels[1].hash, digest.channels[1].hash) << "the render is not reproducible";
                ASSERT_TRUE (referenceFolder.createDirectory());
                ASSERT_TRUE (file.replaceWithText (textOf (digest, c.name())));
                continue;
            }

            Digest reference;
            ASSERT_TRUE (file.existsAsFile())
                << file.getFullPathName() << " is missing: TESSARO_REWRITE_REFERENCES=1 writes it";
            ASSERT_TRUE (parse (file.loadFileAsString(), reference)) << file.getFullPathName() << " is unreadable";
            expectMatches (digest, reference);
        }
}

INSTANTIATE_TEST_SUITE_P (WholeChain, ReferenceRender,
                          ::testing::ValuesIn (
                              []
                              {
                                  std::vector<const Setup*> all;
                                  for (const auto& setup : setups())
                                      all.push_back (&setup);
                                  return all;
                              }()),
                          [] (const auto& info) { return std::string (info.param->name); });

//==============================================================================
// The comparison itself: a difference at -110 dB fails, one at -130 dB passes, as does a bit-exact copy;
// the digest finds a difference outside the excerpt, the excerpt one inside it.
TEST (ReferenceRenderDigest, TellsADifferenceAbove120dBFromOneBelow)
{
    juce::AudioBuffer<float> signal (2, 20000);
    juce::Random random (3);
    for (int ch = 0; ch < 2; ++ch)
        for (int n = 0; n < signal.getNumSamples(); ++n)
            signal.setSample (ch, n, 0.5f * (2.0f * random.nextFloat() - 1.0f));
    const auto reference = digestOf (signal);

    Digest parsed;
    ASSERT_TRUE (parse (textOf (reference, "test"), parsed));
    expectMatches (parsed, reference);

    const auto inExcerpt = [&] (int n)
    { return n >= reference.excerptStart && n < reference.excerptStart + excerptFrames; };
    const auto offBy = [&] (double differenceDb, bool excerpt)
    {
        auto changed = signal;
        const double rms = reference.channels[0].rms * std::pow (10.0, differenceDb / 20.0);
        for (int n = 0; n < changed.getNumSamples(); ++n)
            if (inExcerpt (n) == excerpt)
                changed.setSample (0, n, (float) (changed.getSample (0, n) + rms * (n % 2 == 0 ? 1.0 : -1.0)));
        return digestOf (changed);
    };

    for (const bool excerpt : { false, true })
        expectMatches (offBy (-130.0, excerpt), reference);
    EXPECT_NONFATAL_FAILURE (expectMatches (offBy (-110.0, false), reference), "the whole render differs");
    EXPECT_NONFATAL_FAILURE (expectMatches (offBy (-110.0, true), reference), "the excerpt differs");
}
} // namespace
