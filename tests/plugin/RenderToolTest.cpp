#include "plugin/Vst3ParameterTable.h"
#include "plugin/Vst3TestSupport.h"

#include "render/PluginHost.h"
#include "render/RenderJob.h"
#include "render/RenderOptions.h"
#include "render/Resampler.h"
#include "render/SignalLevels.h"
#include "render/TempoPlayHead.h"

#include <juce_audio_formats/juce_audio_formats.h>

namespace tessaro::test
{
namespace
{
    using render::PluginHost;
    using render::RenderJob;
    using render::RenderOptions;
    using render::Resampler;
    using render::SignalLevels;
    using render::TempoPlayHead;

    juce::StringArray words (const juce::String& commandLine)
    {
        juce::StringArray args;
        args.addTokens (commandLine, " ", "\"");
        args.removeEmptyStrings();
        args.trim();
        for (auto& arg : args)
            arg = arg.unquoted();
        return args;
    }

    //==============================================================================
    TEST (RenderOptions, ReadsAFullCommandLine)
    {
        RenderOptions options;
        const auto result =
            RenderOptions::parse (words ("--plugin /x/A.vst3 --in /a/in.wav --out /a/out.wav --set paramMix=50 --set "
                                         "\"EQ - High - Freq = 3905.55\" --block 64 --rate 48000 --bpm 90.5 --raw"),
                                  {}, options);

        ASSERT_TRUE (result.wasOk()) << result.getErrorMessage();
        EXPECT_EQ (options.plugin.getFullPathName(), "/x/A.vst3");
        EXPECT_EQ (options.input.getFullPathName(), "/a/in.wav");
        EXPECT_EQ (options.output.getFullPathName(), "/a/out.wav");
        ASSERT_EQ (options.settings.size(), 2u);
        EXPECT_EQ (options.settings[0].id, "paramMix");
        EXPECT_EQ (options.settings[0].value, "50");
        EXPECT_EQ (options.settings[1].id, "EQ - High - Freq");
        EXPECT_EQ (options.settings[1].value, "3905.55");
        EXPECT_EQ (options.blockSize, 64);
        EXPECT_EQ (options.sampleRate, 48000.0);
        EXPECT_EQ (options.bpm, 90.5);
        EXPECT_FALSE (options.compensateLatency);
    }

    TEST (RenderOptions, DefaultsAndTheBuiltPlugin)
    {
        RenderOptions options;
        ASSERT_TRUE (RenderOptions::parse (words ("--in /a/in.wav --out /a/out.wav"), juce::File ("/b/T.vst3"), options)
                         .wasOk());
        EXPECT_EQ (options.plugin.getFullPathName(), "/b/T.vst3");
        EXPECT_EQ (options.blockSize, 512);
        EXPECT_EQ (options.sampleRate, 0.0);
        EXPECT_EQ (options.bpm, 120.0);
        EXPECT_TRUE (options.compensateLatency);
        EXPECT_TRUE (options.settings.empty());
    }

    TEST (RenderOptions, RefusesIncompleteOrIllegalArguments)
    {
        const char* const refused[] = {
            "--out /a/out.wav",
            "--in /a/in.wav",
            "--in /a/x.wav --out /a/x.wav",
            "--in /a/in.wav --out /a/out.wav --block 0",
            "--in /a/in.wav --out /a/out.wav --block 70000",
            "--in /a/in.wav --out /a/out.wav --block 12x",
            "--in /a/in.wav --out /a/out.wav --rate 100",
            "--in /a/in.wav --out /a/out.wav --rate -44100",
            "--in /a/in.wav --out /a/out.wav --bpm 0",
            "--in /a/in.wav --out /a/out.wav --bpm 1.2.3",
            "--in /a/in.wav --out /a/out.wav --set paramMix",
            "--in /a/in.wav --out /a/out.wav --set =5",
            "--in /a/in.wav --out /a/out.wav --set paramMix=",
            "--in /a/in.wav --out /a/out.wav --volume 3",
            "--in /a/in.wav --out",
            "--in --out /a/out.wav",
            "--in /a/in.wav --out /a/out.wav stray",
            "--editor-png /a/e.png --in /a/in.wav",
            "--editor-png",
        };

        for (const auto* commandLine : refused)
        {
            SCOPED_TRACE (commandLine);
            RenderOptions options;
            const auto result = RenderOptions::parse (words (commandLine), juce::File ("/b/T.vst3"), options);
            EXPECT_TRUE (result.failed());
            EXPECT_TRUE (result.getErrorMessage().isNotEmpty());
        }
    }

    TEST (RenderOptions, EditorPictureAloneNeedsNoAudioFiles)
    {
        RenderOptions options;
        ASSERT_TRUE (RenderOptions::parse (words ("--editor-png /a/e.png"), juce::File ("/b/T.vst3"), options).wasOk());
        EXPECT_EQ (options.editorImage.getFullPathName(), "/a/e.png");
        EXPECT_EQ (options.input, juce::File());
        EXPECT_TRUE (RenderOptions::parse (words ("--editor-png /a/e.png"), {}, options).failed());
    }

    TEST (RenderOptions, HelpNeedsNothingElse)
    {
        RenderOptions options;
        ASSERT_TRUE (RenderOptions::parse (words ("--help"), {}, options).wasOk());
        EXPECT_TRUE (options.showHelp);
        EXPECT_TRUE (RenderOptions::usage().contains ("--set"));
    }

    //==============================================================================
    // A full-scale sine of amplitude 0.5 reads -6.02 dBFS peak and -9.03 dBFS RMS on a meter.
    TEST (RenderSignalLevels, SineSilenceAndBrokenSamples)
    {
        const auto sine = Audio::sines ({ 1000.0 }, 44100, 44100.0);
        const auto levels = SignalLevels::measure (sine);
        EXPECT_NEAR (levels.peakDb, -6.02, 0.01);
        EXPECT_NEAR (levels.rmsDb, -9.03, 0.01);
        EXPECT_EQ (levels.nonFiniteSamples, 0);

        juce::AudioBuffer<float> silence (2, 100);
        silence.clear();
        EXPECT_TRUE (std::isinf (SignalLevels::measure (silence).peakDb));
        EXPECT_EQ (SignalLevels::format (SignalLevels::measure (silence).rmsDb), "-inf dBFS");
        EXPECT_EQ (SignalLevels::format (-6.0206f), "-6.02 dBFS");

        silence.setSample (1, 10, std::numeric_limits<float>::quiet_NaN());
        silence.setSample (0, 3, std::numeric_limits<float>::infinity());
        silence.setSample (0, 4, 0.25f);
        const auto broken = SignalLevels::measure (silence);
        EXPECT_EQ (broken.nonFiniteSamples, 2);
        EXPECT_NEAR (broken.peakDb, -12.04, 0.01);
    }

    //==============================================================================
    // Doubling the rate keeps pitch and timing: an impulse at input sample 1000 peaks at 2000,
    // and a 1 kHz sine matches the ideal 1 kHz sine at the new rate.
    TEST (RenderResampler, UpsamplingKeepsPitchAndTiming)
    {
        juce::AudioBuffer<float> impulse (1, 4000);
        impulse.clear();
        impulse.setSample (0, 1000, 1.0f);
        const auto movedImpulse = Resampler::resample (impulse, 22050.0, 44100.0);
        ASSERT_EQ (movedImpulse.getNumSamples(), 8000);
        const auto* data = movedImpulse.getReadPointer (0);
        EXPECT_EQ (std::max_element (data, data + 8000) - data, 2000);

        const auto sine = Audio::sines ({ 1000.0 }, 22050, 22050.0);
        const auto ideal = Audio::sines ({ 1000.0 }, 44100, 44100.0);
        const auto resampled = Resampler::resample (sine, 22050.0, 44100.0);
        ASSERT_EQ (resampled.getNumSamples(), 44100);

        float worst = 0.0f; // away from both ends, where the kernel sees silence
        for (int n = 1000; n < 43000; ++n)
            worst = juce::jmax (worst, std::abs (resampled.getSample (0, n) - ideal.getSample (0, n)));
        EXPECT_LT (worst, 1.0e-5f);
    }

    TEST (RenderResampler, DownsamplingKeepsTheBandAndRemovesWhatWouldFoldBack)
    {
        const auto sine = Audio::sines ({ 1000.0 }, 48000, 48000.0);
        const auto resampled = Resampler::resample (sine, 48000.0, 44100.0);
        ASSERT_EQ (resampled.getNumSamples(), 44100);

        juce::AudioBuffer<float> middle (1, 40000);
        middle.copyFrom (0, 0, resampled, 0, 2000, 40000);
        EXPECT_NEAR (SignalLevels::measure (middle).rmsDb, SignalLevels::measure (sine).rmsDb, 0.1);

        // 20 kHz has no place below the new Nyquist frequency of 11025 Hz: it must not fold back.
        const auto high = Resampler::resample (Audio::sines ({ 20000.0 }, 48000, 48000.0), 48000.0, 22050.0);
        ASSERT_EQ (high.getNumSamples(), 22050);
        juce::AudioBuffer<float> highMiddle (1, 20000); // away from the switch-on and switch-off clicks
        highMiddle.copyFrom (0, 0, high, 0, 1000, 20000);
        EXPECT_LT (SignalLevels::measure (highMiddle).peakDb, -80.0f);

        const auto same = Resampler::resample (sine, 48000.0, 48000.0);
        EXPECT_EQ (Audio::maxDelayedDifference (same, 0, sine, 0, 0), 0.0f);
    }

    //==============================================================================
    // At 90 BPM in 4/4 a quarter note lasts 2/3 s: 2 s are 3 quarter notes, 4 s are 6, one bar in.
    TEST (RenderTempoPlayHead, ReportsTheTempoAndMovesOnWithEachBlock)
    {
        TempoPlayHead head (90.0, 48000.0);

        const struct
        {
            int advance;
            double seconds, quarterNotes, lastBarStart;
            juce::int64 bars;
        } steps[] = { { 0, 0.0, 0.0, 0.0, 0 }, { 96000, 2.0, 3.0, 0.0, 0 }, { 96000, 4.0, 6.0, 4.0, 1 } };

        for (const auto& step : steps)
        {
            head.advance (step.advance);
            const auto position = head.getPosition();
            ASSERT_TRUE (position.hasValue());
            EXPECT_EQ (*position->getBpm(), 90.0);
            EXPECT_TRUE (position->getIsPlaying());
            EXPECT_EQ (position->getTimeSignature()->numerator, 4);
            EXPECT_DOUBLE_EQ (*position->getTimeInSeconds(), step.seconds);
            EXPECT_NEAR (*position->getPpqPosition(), step.quarterNotes, 1.0e-12);
            EXPECT_DOUBLE_EQ (*position->getPpqPositionOfLastBarStart(), step.lastBarStart);
            EXPECT_EQ (*position->getBarCount(), step.bars);
        }

        head.rewind();
        EXPECT_EQ (*head.getPosition()->getTimeInSamples(), 0);
    }

    //==============================================================================
    using RenderPluginHost = HostedPluginTest;

    TEST_F (RenderPluginHost, FindsParametersByIdNumericIdAndName)
    {
        const struct
        {
            juce::String key;
            int index;
        } cases[] = {
            { "paramMix", 0 },
            { "paramGainLimit", 46 },
            { "paramEQHighQ", 16 },
            { PluginHost::vst3IdFor ("paramSpaceDelayNote"), 37 },
            { "Gain - Pre Fx", 45 },
            { "Bypass", 1 },
            { "  paramMix ", 0 },
            { "paramNothing", -1 },
            { "", -1 },
        };

        for (const auto& c : cases)
        {
            SCOPED_TRACE (c.key);
            EXPECT_EQ (parameters().indexOf (PluginHost::findParameter (*plugin, c.key)), c.index);
        }
    }

    TEST_F (RenderPluginHost, ConvertsPlainValuesOrSaysWhyNot)
    {
        const struct
        {
            const char* id;
            const char* text;
            std::optional<double> normalised;
        } cases[] = {
            { "paramMix", "25", 0.25 },
            { "paramMix", "+100", 1.0 },
            { "paramMix", "0", 0.0 },
            { "paramMix", "100.04", 1.0 },
            { "paramMix", "150", std::nullopt },
            { "paramMix", "-1", std::nullopt },
            { "paramMix", "abc", std::nullopt },
            { "paramMix", "nan", std::nullopt },
            { "paramCompressInput", "-20", 0.0 },
            { "paramCompressInput", "-3.5", 0.4125 },
            { "paramEQHighFreq", "5000", 0.5521800 },
            { "paramEQHighFreq", "1e3", 0.2881903 },
            { "paramEQHighFreq", "10", std::nullopt },
            { "paramSpaceDelayNote", "1/4", 13.0 / 18.0 },
            { "paramSpaceDelayNote", "1 bar", 1.0 },
            { "paramSpaceDelayNote", "3", 3.0 / 18.0 },
            { "paramSpaceDelayNote", "19", std::nullopt },
            { "paramSpaceDelayNote", "2.5", std::nullopt },
            { "paramSpaceDelayNote", "1/7", std::nullopt },
            { "paramSpaceReverbType", "Cathedral", 0.75 },
            { "paramGainLimit", "on", 1.0 },
            { "paramGainLimit", "Off", 0.0 },
            { "paramGainLimit", "1", 1.0 },
            { "paramGainLimit", "true", 1.0 },
            { "paramGainLimit", "2", std::nullopt },
            { "paramGainLimit", "maybe", std::nullopt },
        };

        for (const auto& c : cases)
        {
            SCOPED_TRACE (juce::String (c.id) + " = " + c.text);
            juce::String error;
            const auto normalised = PluginHost::toNormalised (*parameters()[parameterIndex (c.id)], c.text, error);
            ASSERT_EQ (normalised.has_value(), c.normalised.has_value()) << error;
            if (c.normalised.has_value())
                EXPECT_NEAR (*normalised, *c.normalised, 2.0e-6);
            else
                EXPECT_TRUE (error.isNotEmpty());
        }
    }

    // A setting by ID reaches the plug-in itself: its own saved state carries the new value.
    TEST_F (RenderPluginHost, SettingsReachThePlugIn)
    {
        ASSERT_TRUE (PluginHost::applySetting (*plugin, "paramMix", "40").wasOk());
        ASSERT_TRUE (PluginHost::applySetting (*plugin, "paramSpaceDelayNote", "1/4").wasOk());
        EXPECT_TRUE (PluginHost::applySetting (*plugin, "paramNothing", "1").failed());
        EXPECT_TRUE (PluginHost::applySetting (*plugin, "paramMix", "101").failed());

        const auto xml = StateBlob::parse (HostedState::componentOf (*plugin)).xml();
        ASSERT_NE (xml, nullptr);
        EXPECT_DOUBLE_EQ (xml->getChildByAttribute ("id", "paramMix")->getDoubleAttribute ("value"), 40.0);
        EXPECT_DOUBLE_EQ (xml->getChildByAttribute ("id", "paramSpaceDelayNote")->getDoubleAttribute ("value"), 13.0);
    }

    //==============================================================================
    class RenderJobTest : public ::testing::Test
    {
    protected:
        ScopedHome home;
        juce::File folder = home.folder().getChildFile ("render");

        void SetUp() override { ASSERT_TRUE (folder.createDirectory()); }

        juce::File writeWav (const juce::String& name, const juce::AudioBuffer<float>& audio, double rate) const
        {
            const auto file = folder.getChildFile (name);
            auto stream = std::make_unique<juce::FileOutputStream> (file);
            std::unique_ptr<juce::AudioFormatWriter> writer (juce::WavAudioFormat().createWriterFor (
                stream.get(), rate, (unsigned int) audio.getNumChannels(), 32, {}, 0));
            EXPECT_NE (writer, nullptr);
            stream.release();
            writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples());
            return file;
        }

        static juce::AudioBuffer<float> readWav (const juce::File& file, double& rate)
        {
            juce::AudioFormatManager formats;
            formats.registerBasicFormats();
            std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file));
            if (reader == nullptr)
                return {};
            rate = reader->sampleRate;
            juce::AudioBuffer<float> audio ((int) reader->numChannels, (int) reader->lengthInSamples);
            reader->read (&audio, 0, audio.getNumSamples(), 0, true, true);
            return audio;
        }

        RenderOptions optionsFor (const juce::File& in, const juce::String& extra = {}) const
        {
            RenderOptions options;
            const auto args = words ("--in \"" + in.getFullPathName() + "\" --out \"" +
                                     folder.getChildFile ("out.wav").getFullPathName() + "\" " + extra);
            const auto parsed = RenderOptions::parse (args, Vst3Bundle::file(), options);
            EXPECT_TRUE (parsed.wasOk()) << parsed.getErrorMessage();
            return options;
        }
    };

    // Stereo in at 44.1 kHz with every module off: the stereo WAV written carries the input, sample for
    // sample within 24-bit resolution, and the report reads the same levels in and out.
    TEST_F (RenderJobTest, StereoRenderWritesTheProcessedAudioAndReportsIt)
    {
        const auto input = Audio::sines ({ 440.0, 1000.0 }, 30000, 44100.0);
        RenderJob job (
            optionsFor (writeWav ("in.wav", input, 44100.0),
                        "--block 300 --set paramMix=100 --set paramCompressPower=0 --set paramEnhancePower=0 --set "
                        "paramEQPower=0 --set paramMultiplyPower=0 --set paramSpacePower=0 --set paramGainPower=0"));

        const auto result = job.run();
        ASSERT_TRUE (result.wasOk()) << result.getErrorMessage();

        double rate = 0.0;
        const auto output = readWav (folder.getChildFile ("out.wav"), rate);
        EXPECT_EQ (rate, 44100.0);
        ASSERT_EQ (output.getNumChannels(), 2);
        ASSERT_EQ (output.getNumSamples(), input.getNumSamples());
        EXPECT_LE (Audio::maxDelayedDifference (output, 0, input, 0, 0), 1.0e-6f);
        EXPECT_LE (Audio::maxDelayedDifference (output, 1, input, 1, 0), 1.0e-6f);

        const auto& summary = job.getSummary();
        EXPECT_EQ (summary.pluginName, "Orvane Tessaro");
        EXPECT_EQ (summary.layout, "stereo -> stereo");
        EXPECT_NEAR (summary.input.peakDb, summary.output.peakDb, 0.01);
        EXPECT_NEAR (summary.input.rmsDb, summary.output.rmsDb, 0.01);
        EXPECT_TRUE (job.report().contains ("Latency:  " + juce::String (summary.latencySamples) + " samples"));
        EXPECT_TRUE (job.report().contains ("Mix: 100.0 %"));
    }

    // At 48 kHz the plug-in reports 2287 samples (the limiter's look-ahead is longer in samples); the
    // render removes exactly those, so the output lines up with the input.
    TEST_F (RenderJobTest, TheLatencyRemovedIsTheOneReportedAtTheRenderRate)
    {
        const auto input = Audio::sines ({ 440.0, 1000.0 }, 12000, 48000.0);
        RenderJob job (optionsFor (writeWav ("in.wav", input, 48000.0),
                                   "--set paramCompressPower=0 --set paramEnhancePower=0 --set paramEQPower=0 --set "
                                   "paramMultiplyPower=0 --set paramSpacePower=0 --set paramGainPower=0"));

        const auto result = job.run();
        ASSERT_TRUE (result.wasOk()) << result.getErrorMessage();
        EXPECT_EQ (job.getSummary().latencySamples, 2287);

        double rate = 0.0;
        const auto output = readWav (folder.getChildFile ("out.wav"), rate);
        EXPECT_EQ (rate, 48000.0);
        EXPECT_LE (Audio::maxDelayedDifference (output, 0, input, 0, 0), 1.0e-6f);
    }

    // A mono voice at 22.05 kHz rendered at 44.1 kHz: mono into the plug-in's stereo output,
    // twice the samples, the same channel on both sides (every module off).
    TEST_F (RenderJobTest, MonoInputAtAnotherRateIsResampledAndComesOutStereo)
    {
        const auto input = Audio::sines ({ 300.0 }, 11025, 22050.0);
        RenderJob job (
            optionsFor (writeWav ("voice.wav", input, 22050.0),
                        "--rate 44100 --set paramCompressPower=0 --set paramEnhancePower=0 --set paramEQPower=0 --set "
                        "paramMultiplyPower=0 --set paramSpacePower=0 --set paramGainPower=0"));

        const auto result = job.run();
        ASSERT_TRUE (result.wasOk()) << result.getErrorMessage();
        EXPECT_EQ (job.getSummary().layout, "mono -> stereo");

        double rate = 0.0;
        const auto output = readWav (folder.getChildFile ("out.wav"), rate);
        EXPECT_EQ (rate, 44100.0);
        ASSERT_EQ (output.getNumChannels(), 2);
        EXPECT_EQ (output.getNumSamples(), 22050);
        EXPECT_LE (Audio::maxDelayedDifference (output, 1, output, 0, 0), 1.0e-6f);
        EXPECT_NEAR (SignalLevels::measure (output).peakDb, -6.02, 0.1);
    }

    TEST_F (RenderJobTest, FailuresSayWhyAndWriteNothing)
    {
        const auto good = writeWav ("in.wav", Audio::sines ({ 440.0, 440.0 }, 1000, 44100.0), 44100.0);
        const auto notAudio = folder.getChildFile ("notes.wav");
        ASSERT_TRUE (notAudio.replaceWithText ("not a wave file"));
        const auto notAPlugin = folder.getChildFile ("Fake.vst3");
        ASSERT_TRUE (notAPlugin.createDirectory());

        const struct
        {
            const char* what;
            RenderOptions options;
        } cases[] = {
            { "missing input", optionsFor (folder.getChildFile ("absent.wav")) },
            { "input not audio", optionsFor (notAudio) },
            { "no plug-in there", optionsFor (good, "--plugin " + folder.getChildFile ("No.vst3").getFullPathName()) },
            { "folder that is no plug-in", optionsFor (good, "--plugin " + notAPlugin.getFullPathName()) },
            { "unknown parameter", optionsFor (good, "--set paramVolume=3") },
            { "value out of range", optionsFor (good, "--set paramMix=120") },
        };

        for (const auto& c : cases)
        {
            SCOPED_TRACE (c.what);
            RenderJob job (c.options);
            const auto result = job.run();
            EXPECT_TRUE (result.failed());
            EXPECT_TRUE (result.getErrorMessage().isNotEmpty());
            EXPECT_FALSE (folder.getChildFile ("out.wav").exists());
        }
    }
} // namespace
} // namespace tessaro::test
