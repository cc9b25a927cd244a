#pragma once

#include <gtest/gtest.h>
#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>
#include <vector>

namespace test_support
{
/** A phrase spoken by espeak-ng: mono samples at the speaker's own rate. */
struct SpokenPhrase
{
    std::vector<float> samples;
    double sampleRate = 0.0;
};

/** True under CI (the variable CI set, as tools/test.sh does): there tools/setup.sh has installed espeak-ng,
    so a missing phrase is a failure, not a reason to skip. */
inline bool speechRequired()
{
    return juce::SystemStats::getEnvironmentVariable ("CI", {}).isNotEmpty();
}

/** Has espeak-ng speak the text; the result is empty when espeak-ng is missing or fails. */
inline SpokenPhrase speak (const juce::String& text)
{
    SpokenPhrase result;
    const auto file = juce::File::createTempFile (".wav");
    juce::ChildProcess speaker;
    const juce::StringArray command { "espeak-ng", "-w", file.getFullPathName(), text };

    if (speaker.start (command) && speaker.waitForProcessToFinish (20000) && speaker.getExitCode() == 0)
    {
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatReader> reader (
            wav.createReaderFor (file.createInputStream().release(), true));

        if (reader != nullptr && reader->lengthInSamples > 0)
        {
            juce::AudioBuffer<float> buffer (1, (int) reader->lengthInSamples);
            reader->read (&buffer, 0, buffer.getNumSamples(), 0, true, false);
            result.samples.assign (buffer.getReadPointer (0), buffer.getReadPointer (0) + buffer.getNumSamples());
            result.sampleRate = reader->sampleRate;
        }
    }

    file.deleteFile();
    return result;
}
} // namespace test_support

/** Ends the calling test when the phrase is empty: it fails under CI and is skipped elsewhere. */
#define TESSARO_REQUIRE_SPEECH(phrase)                                                                             \
    do                                                                                                             \
    {                                                                                                              \
        if ((phrase).samples.empty())                                                                              \
        {                                                                                                          \
            if (test_support::speechRequired())                                                                    \
                FAIL() << "espeak-ng is not available, and CI needs it";                                           \
            GTEST_SKIP() << "espeak-ng is not available";                                                          \
        }                                                                                                          \
    } while (false)
