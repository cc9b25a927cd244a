#include "plugin/Vst3TestSupport.h"

#include "TempFolder.h"
#include "render/PluginHost.h"

#include <cmath>
#include <cstdlib>

#ifndef TESSARO_VST3_BUNDLE_PATH
#error "TESSARO_VST3_BUNDLE_PATH must name the built bundle"
#endif

namespace tessaro::test
{
namespace
{
    const juce::String brand = "Orvane", product = "Orvane Tessaro";
} // namespace

//==============================================================================
ScopedHome::ScopedHome()
    : home (test_support::createUniqueTempFolder ("tessaro-vst3-home"))
{
    point ("HOME", home);
    point ("XDG_CONFIG_HOME", home.getChildFile (".config"));
    point ("XDG_DATA_HOME", home.getChildFile (".local/share"));
}

ScopedHome::~ScopedHome()
{
    for (auto it = saved.rbegin(); it != saved.rend(); ++it)
    {
        if (it->value.has_value())
            ::setenv (it->name.c_str(), it->value->c_str(), 1);
        else
            ::unsetenv (it->name.c_str());
    }

    home.deleteRecursively();
}

void ScopedHome::point (const char* name, const juce::File& target)
{
    const char* previous = std::getenv (name);
    saved.push_back ({ name, previous != nullptr ? std::optional<std::string> (previous) : std::nullopt });
    ::setenv (name, target.getFullPathName().toRawUTF8(), 1);
}

juce::File ScopedHome::presetRoot() const
{
    return home.getChildFile (".local/share").getChildFile (brand).getChildFile (product).getChildFile ("Presets");
}

juce::File ScopedHome::userFolder() const
{
    return home.getChildFile (".config").getChildFile (brand).getChildFile (product);
}

//==============================================================================
juce::File Vst3Bundle::file()
{
    return juce::File (TESSARO_VST3_BUNDLE_PATH);
}

const juce::PluginDescription& Vst3Bundle::description()
{
    static const auto scanned = []
    {
        juce::String error;
        const auto found = render::PluginHost::describe (file(), error);
        if (! found.has_value())
            ADD_FAILURE() << error;
        return found.value_or (juce::PluginDescription());
    }();

    return scanned;
}

std::unique_ptr<juce::AudioPluginInstance> Vst3Bundle::create (double sampleRate, int blockSize)
{
    juce::String error;
    auto instance = render::PluginHost::instantiate (description(), sampleRate, blockSize, error);
    if (instance == nullptr)
        ADD_FAILURE() << "Loading " << file().getFullPathName() << " failed: " << error;
    return instance;
}

//==============================================================================
juce::MemoryBlock HostedState::componentOf (const juce::MemoryBlock& hostedState)
{
    juce::MemoryBlock component;
    if (auto xml = juce::AudioProcessor::getXmlFromBinary (hostedState.getData(), (int) hostedState.getSize()))
        if (auto* element = xml->getChildByName ("IComponent"))
            component.fromBase64Encoding (element->getAllSubText());

    return component;
}

juce::MemoryBlock HostedState::componentOf (juce::AudioPluginInstance& plugin)
{
    juce::MemoryBlock hostedState;
    plugin.getStateInformation (hostedState);
    return componentOf (hostedState);
}

juce::MemoryBlock HostedState::wrap (const juce::MemoryBlock& component)
{
    juce::XmlElement state ("VST3PluginState");
    state.createNewChildElement ("IComponent")->addTextElement (component.toBase64Encoding());

    juce::MemoryBlock hostedState;
    juce::AudioProcessor::copyXmlToBinary (state, hostedState);
    return hostedState;
}

//==============================================================================
StateBlob StateBlob::parse (const juce::MemoryBlock& component)
{
    constexpr size_t headerSize = 8;
    StateBlob blob;
    if (component.getSize() < headerSize)
        return blob;

    const auto* bytes = static_cast<const juce::uint8*> (component.getData());
    blob.hasMagic = std::memcmp (bytes, "VC2!", 4) == 0;
    blob.count = juce::ByteOrder::littleEndianInt (bytes + 4);

    const size_t textEnd = headerSize + blob.count;
    if (textEnd >= component.getSize())
        return blob;

    blob.text = juce::String::fromUTF8 (reinterpret_cast<const char*> (bytes + headerSize), (int) blob.count);
    blob.zeroAfterText = bytes[textEnd] == 0;
    blob.trailing = juce::MemoryBlock (bytes + textEnd + 1, component.getSize() - textEnd - 1);
    return blob;
}

std::unique_ptr<juce::XmlElement> StateBlob::xml() const
{
    return juce::parseXML (text);
}

//==============================================================================
juce::AudioBuffer<float> Audio::sines (const std::vector<double>& frequencies, int numSamples, double sampleRate)
{
    juce::AudioBuffer<float> buffer ((int) frequencies.size(), numSamples);
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
    {
        const double amplitude = 0.5 - 0.1 * ch;
        const double step = juce::MathConstants<double>::twoPi * frequencies[(size_t) ch] / sampleRate;
        for (int i = 0; i < numSamples; ++i)
            buffer.setSample (ch, i, (float) (amplitude * std::sin (step * i)));
    }
    return buffer;
}

juce::AudioBuffer<float> Audio::stream (juce::AudioPluginInstance& plugin, const juce::AudioBuffer<float>& input,
                                        int blockSize)
{
    const int ins = plugin.getTotalNumInputChannels();
    const int outs = plugin.getTotalNumOutputChannels();
    const int total = input.getNumSamples();

    juce::AudioBuffer<float> output (outs, total);
    juce::AudioBuffer<float> block (juce::jmax (ins, outs), blockSize);
    juce::MidiBuffer midi;

    for (int start = 0; start < total; start += blockSize)
    {
        const int n = juce::jmin (blockSize, total - start);
        block.setSize (block.getNumChannels(), n, false, false, true);
        block.clear();
        for (int ch = 0; ch < juce::jmin (ins, input.getNumChannels()); ++ch)
            block.copyFrom (ch, 0, input, ch, start, n);

        plugin.processBlock (block, midi);

        for (int ch = 0; ch < outs; ++ch)
            output.copyFrom (ch, start, block, ch, 0, n);
    }

    return output;
}

float Audio::maxDelayedDifference (const juce::AudioBuffer<float>& out, int outChannel,
                                   const juce::AudioBuffer<float>& in, int inChannel, int delay)
{
    float worst = 0.0f;
    for (int n = delay; n < juce::jmin (out.getNumSamples(), in.getNumSamples() + delay); ++n)
        worst = juce::jmax (worst, std::abs (out.getSample (outChannel, n) - in.getSample (inChannel, n - delay)));
    return worst;
}

float Audio::peak (const juce::AudioBuffer<float>& buffer, int channel, int start, int end)
{
    float largest = 0.0f;
    for (int n = start; n < end; ++n)
        largest = juce::jmax (largest, std::abs (buffer.getSample (channel, n)));
    return largest;
}

double Audio::compressAtDefaults (double x)
{
    const double toClip = std::pow (10.0, (-30.0 + 27.0) / 20.0), autoGain = std::pow (10.0, 2.0 / 20.0);
    const double t = x * toClip;
    return t / (t * t * 0.25 + 1.0) * autoGain;
}

double Audio::toneAmplitude (const juce::AudioBuffer<float>& buffer, int channel, double hz, double sampleRate,
                             int start, int end)
{
    double sine = 0.0, cosine = 0.0;
    for (int n = start; n < end; ++n)
    {
        const double phase = juce::MathConstants<double>::twoPi * hz * n / sampleRate;
        sine += buffer.getSample (channel, n) * std::sin (phase);
        cosine += buffer.getSample (channel, n) * std::cos (phase);
    }
    return 2.0 * std::sqrt (sine * sine + cosine * cosine) / (end - start);
}

bool Audio::allFinite (const juce::AudioBuffer<float>& buffer)
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int n = 0; n < buffer.getNumSamples(); ++n)
            if (! std::isfinite (buffer.getSample (ch, n)))
                return false;
    return true;
}

juce::AudioProcessor::BusesLayout Audio::layout (const juce::AudioChannelSet& in, const juce::AudioChannelSet& out)
{
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (in);
    layout.outputBuses.add (out);
    return layout;
}

//==============================================================================
void HostedPluginTest::setParameter (int index, float normalised)
{
    auto* parameter = parameters()[index];
    parameter->beginChangeGesture();
    parameter->setValueNotifyingHost (normalised);
    parameter->endChangeGesture();
}
} // namespace tessaro::test
