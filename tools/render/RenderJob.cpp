#include "render/RenderJob.h"

#include "render/PluginHost.h"
#include "render/Resampler.h"
#include "render/TempoPlayHead.h"

#include <juce_audio_formats/juce_audio_formats.h>

namespace tessaro::render
{
namespace
{
    constexpr double maxInputSeconds = 60.0 * 60.0;
    constexpr int outputBitDepth = 24;

    juce::String describeLayout (const juce::AudioProcessor& processor)
    {
        const auto name = [] (int channels)
        {
            return channels == 1   ? juce::String ("mono")
                   : channels == 2 ? juce::String ("stereo")
                                   : juce::String (channels) + " channels";
        };
        return name (processor.getTotalNumInputChannels()) + " -> " + name (processor.getTotalNumOutputChannels());
    }

    juce::AudioProcessor::BusesLayout layoutOf (const juce::AudioChannelSet& in, const juce::AudioChannelSet& out)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (in);
        layout.outputBuses.add (out);
        return layout;
    }
} // namespace

RenderJob::RenderJob (RenderOptions renderOptions) : options (std::move (renderOptions)) {}

//==============================================================================
juce::String RenderJob::chooseLayout (juce::AudioPluginInstance& plugin, int inputChannels)
{
    const auto mono = juce::AudioChannelSet::mono();
    const auto stereo = juce::AudioChannelSet::stereo();

    const bool accepted = (inputChannels == 1 && plugin.setBusesLayout (layoutOf (mono, stereo))) ||
                          plugin.setBusesLayout (layoutOf (stereo, stereo));

    return accepted ? describeLayout (plugin) : juce::String();
}

void RenderJob::fillBlock (juce::AudioBuffer<float>& block, const juce::AudioBuffer<float>& input, int inputChannels,
                           juce::int64 start)
{
    const int n = block.getNumSamples();
    const auto available = (int) juce::jlimit ((juce::int64) 0, (juce::int64) n, input.getNumSamples() - start);

    block.clear();
    for (int ch = 0; ch < inputChannels && available > 0; ++ch)
        block.copyFrom (ch, 0, input, juce::jmin (ch, input.getNumChannels() - 1), (int) start, available);
}

void RenderJob::collectBlock (const juce::AudioBuffer<float>& block, int outputChannels,
                              juce::AudioBuffer<float>& rendered, juce::int64 start)
{
    for (int ch = 0; ch < rendered.getNumChannels(); ++ch)
        rendered.copyFrom (ch, (int) start, block, juce::jmin (ch, outputChannels - 1), 0, block.getNumSamples());
}

RenderJob::Rendered RenderJob::process (juce::AudioPluginInstance& plugin, const juce::AudioBuffer<float>& input,
                                        double sampleRate, int blockSize, double bpm, bool compensateLatency)
{
    TempoPlayHead playHead (bpm, sampleRate);
    plugin.setPlayHead (&playHead);
    plugin.setNonRealtime (true);
    plugin.prepareToPlay (sampleRate, blockSize);

    // A VST3 plug-in announces the latency of the new rate with a message after it is prepared.
    if (auto* messages = juce::MessageManager::getInstanceWithoutCreating())
        messages->runDispatchLoopUntil (20);

    Rendered result;
    result.latencySamples = juce::jmax (0, plugin.getLatencySamples());

    const int ins = plugin.getTotalNumInputChannels();
    const int outs = juce::jmax (1, plugin.getTotalNumOutputChannels());
    const juce::int64 total = input.getNumSamples() + (compensateLatency ? result.latencySamples : 0);

    juce::AudioBuffer<float> rendered (2, (int) total);
    juce::AudioBuffer<float> block (juce::jmax (ins, outs), blockSize);
    juce::MidiBuffer midi;

    for (juce::int64 start = 0; start < total; start += blockSize)
    {
        const auto n = (int) juce::jmin ((juce::int64) blockSize, total - start);
        block.setSize (block.getNumChannels(), n, false, false, true);
        fillBlock (block, input, ins, start);
        plugin.processBlock (block, midi);
        midi.clear();
        collectBlock (block, outs, rendered, start);
        playHead.advance (n);
    }

    plugin.releaseResources();
    plugin.setPlayHead (nullptr);

    const int skip = compensateLatency ? result.latencySamples : 0;
    result.audio.setSize (2, input.getNumSamples());
    for (int ch = 0; ch < 2; ++ch)
        result.audio.copyFrom (ch, 0, rendered, ch, skip, input.getNumSamples());

    return result;
}

//==============================================================================
juce::Result RenderJob::readInput (juce::AudioBuffer<float>& audio, double& fileRate) const
{
    juce::AudioFormatManager formats;
    formats.registerBasicFormats();

    if (! options.input.existsAsFile())
        return juce::Result::fail ("No input file " + options.input.getFullPathName());

    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (options.input));
    if (reader == nullptr)
        return juce::Result::fail ("Cannot read " + options.input.getFullPathName() + " as audio");

    fileRate = reader->sampleRate;
    if (reader->numChannels < 1 || reader->lengthInSamples < 1 || fileRate <= 0.0)
        return juce::Result::fail (options.input.getFullPathName() + " holds no audio");
    if ((double) reader->lengthInSamples > maxInputSeconds * fileRate)
        return juce::Result::fail (options.input.getFullPathName() + " is longer than an hour");

    const int channels = (int) juce::jmin (2u, reader->numChannels);
    audio.setSize (channels, (int) reader->lengthInSamples);
    if (! reader->read (&audio, 0, audio.getNumSamples(), 0, true, channels > 1))
        return juce::Result::fail ("Reading " + options.input.getFullPathName() + " failed");

    return juce::Result::ok();
}

juce::Result RenderJob::writeOutput (const juce::AudioBuffer<float>& audio) const
{
    const auto folder = options.output.getParentDirectory();
    if (! folder.isDirectory() && ! folder.createDirectory())
        return juce::Result::fail ("Cannot create the folder " + folder.getFullPathName());

    // Written next to the target and moved over it at the end, so a failed write leaves no half file.
    juce::TemporaryFile temporary (options.output);
    {
        auto stream = std::make_unique<juce::FileOutputStream> (temporary.getFile());
        if (! stream->openedOk())
            return juce::Result::fail ("Cannot write " + options.output.getFullPathName());

        std::unique_ptr<juce::AudioFormatWriter> writer (juce::WavAudioFormat().createWriterFor (
            stream.get(), summary.sampleRate, (unsigned int) audio.getNumChannels(), outputBitDepth, {}, 0));
        if (writer == nullptr)
            return juce::Result::fail ("Cannot write a WAV at " + juce::String (summary.sampleRate) + " Hz");

        stream.release(); // owned by the writer from here on
        if (! writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples()))
            return juce::Result::fail ("Writing " + options.output.getFullPathName() + " failed");
    }

    if (! temporary.overwriteTargetFileWithTemporary())
        return juce::Result::fail ("Cannot replace " + options.output.getFullPathName());

    return juce::Result::ok();
}

juce::Result RenderJob::applySettings (juce::AudioPluginInstance& plugin)
{
    for (const auto& setting : options.settings)
    {
        const auto result = PluginHost::applySetting (plugin, setting.id, setting.value);
        if (result.failed())
            return result;

        const auto* parameter = PluginHost::findParameter (plugin, setting.id);
        summary.settings.add (
            setting.id + " = " + setting.value + "  (" + parameter->getName (PluginHost::maxTextLength) + ": " +
            (parameter->getText (parameter->getValue(), PluginHost::maxTextLength) + " " + parameter->getLabel())
                .trim() +
            ")");
    }

    return juce::Result::ok();
}

//==============================================================================
juce::Result RenderJob::run()
{
    summary = Summary();

    juce::AudioBuffer<float> input;
    double fileRate = 0.0;
    if (const auto read = readInput (input, fileRate); read.failed())
        return read;

    summary.inputChannels = input.getNumChannels();
    summary.sampleRate = options.sampleRate > 0.0 ? options.sampleRate : fileRate;
    input = Resampler::resample (input, fileRate, summary.sampleRate);
    summary.input = SignalLevels::measure (input);

    juce::String error;
    auto plugin = PluginHost::load (options.plugin, summary.sampleRate, options.blockSize, error);
    if (plugin == nullptr)
        return juce::Result::fail (error);

    summary.pluginName = plugin->getName();
    summary.layout = chooseLayout (*plugin, input.getNumChannels());
    if (summary.layout.isEmpty())
        return juce::Result::fail (summary.pluginName + " accepts neither mono -> stereo nor stereo -> stereo");

    if (const auto applied = applySettings (*plugin); applied.failed())
        return applied;

    auto rendered =
        process (*plugin, input, summary.sampleRate, options.blockSize, options.bpm, options.compensateLatency);

    summary.latencySamples = rendered.latencySamples;
    summary.output = SignalLevels::measure (rendered.audio);
    summary.outputSamples = rendered.audio.getNumSamples();

    if (summary.output.nonFiniteSamples > 0)
        return juce::Result::fail ("The output holds " + juce::String (summary.output.nonFiniteSamples) +
                                   " NaN or infinite samples; nothing was written");

    return writeOutput (rendered.audio);
}

juce::String RenderJob::report() const
{
    const auto milliseconds = 1000.0 * summary.latencySamples / summary.sampleRate;
    const auto levels = [] (const SignalLevels& l)
    { return "peak " + SignalLevels::format (l.peakDb) + ", RMS " + SignalLevels::format (l.rmsDb); };

    juce::StringArray lines;
    lines.add ("Plug-in:  " + summary.pluginName);
    lines.add ("Latency:  " + juce::String (summary.latencySamples) + " samples (" + juce::String (milliseconds, 2) +
               " ms), " + (options.compensateLatency ? "removed from the output" : "kept in the output"));
    lines.add ("Audio:    " + juce::String (summary.sampleRate, 0) + " Hz, " + juce::String (options.blockSize) +
               "-sample blocks, " + juce::String (options.bpm) + " BPM, " + summary.layout);
    for (const auto& setting : summary.settings)
        lines.add ("Set:      " + setting);
    lines.add ("Input:    " + levels (summary.input));
    lines.add ("Output:   " + levels (summary.output));
    lines.add ("Written:  " + options.output.getFullPathName() + " (" + juce::String (summary.outputSamples) +
               " samples, stereo, " + juce::String (outputBitDepth) + "-bit)");
    return lines.joinIntoString ("\n");
}
} // namespace tessaro::render
