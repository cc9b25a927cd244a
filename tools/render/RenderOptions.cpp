#include "render/RenderOptions.h"

namespace tessaro::render
{
namespace
{
    constexpr int maxBlockSize = 1 << 16;
    constexpr double minRate = 8000.0, maxRate = 768000.0;
    constexpr double maxBpm = 999.0;

    bool isWholeNumber (const juce::String& text)
    {
        return text.isNotEmpty() && text.containsOnly ("0123456789");
    }

    bool isDecimal (const juce::String& text)
    {
        return text.isNotEmpty() && text.containsOnly ("0123456789.") &&
               text.indexOfChar ('.') == text.lastIndexOfChar ('.') && text != ".";
    }

    juce::Result parseSetting (const juce::String& text, RenderOptions& options)
    {
        const int equals = text.indexOfChar ('=');
        const auto id = text.substring (0, equals).trim();
        const auto value = text.substring (equals + 1).trim();

        if (equals < 0 || id.isEmpty() || value.isEmpty())
            return juce::Result::fail ("--set needs id=value, got \"" + text + "\"");

        options.settings.push_back ({ id, value });
        return juce::Result::ok();
    }

    juce::Result parseValue (const juce::String& option, const juce::String& value, RenderOptions& options)
    {
        if (option == "--plugin")
            options.plugin = juce::File::getCurrentWorkingDirectory().getChildFile (value);
        else if (option == "--in")
            options.input = juce::File::getCurrentWorkingDirectory().getChildFile (value);
        else if (option == "--out")
            options.output = juce::File::getCurrentWorkingDirectory().getChildFile (value);
        else if (option == "--set")
            return parseSetting (value, options);
        else if (option == "--editor-png")
            options.editorImage = juce::File::getCurrentWorkingDirectory().getChildFile (value);
        else if (option == "--block")
        {
            if (! isWholeNumber (value) || value.length() > 6 || value.getIntValue() < 1 ||
                value.getIntValue() > maxBlockSize)
                return juce::Result::fail ("--block needs a whole number from 1 to " + juce::String (maxBlockSize));
            options.blockSize = value.getIntValue();
        }
        else if (option == "--rate")
        {
            if (! isDecimal (value) || value.getDoubleValue() < minRate || value.getDoubleValue() > maxRate)
                return juce::Result::fail ("--rate needs a sample rate from 8000 to 768000 Hz");
            options.sampleRate = value.getDoubleValue();
        }
        else if (option == "--bpm")
        {
            if (! isDecimal (value) || value.getDoubleValue() <= 0.0 || value.getDoubleValue() > maxBpm)
                return juce::Result::fail ("--bpm needs a tempo above 0 and up to 999");
            options.bpm = value.getDoubleValue();
        }
        else
            return juce::Result::fail ("Unknown option " + option);

        return juce::Result::ok();
    }

    juce::Result checkComplete (const RenderOptions& options)
    {
        if (options.editorImage != juce::File() && options.input == juce::File() && options.output == juce::File())
            return options.plugin == juce::File() ? juce::Result::fail ("--plugin is missing") : juce::Result::ok();
        if (options.input == juce::File())
            return juce::Result::fail ("--in is missing");
        if (options.output == juce::File())
            return juce::Result::fail ("--out is missing");
        if (options.plugin == juce::File())
            return juce::Result::fail ("--plugin is missing");
        if (options.input == options.output)
            return juce::Result::fail ("--out must differ from --in");
        return juce::Result::ok();
    }
} // namespace

juce::Result RenderOptions::parse (const juce::StringArray& arguments, const juce::File& defaultPlugin,
                                   RenderOptions& options)
{
    options = RenderOptions();
    options.plugin = defaultPlugin;

    for (int i = 0; i < arguments.size(); ++i)
    {
        const auto& argument = arguments[i];

        if (argument == "--help" || argument == "-h")
        {
            options.showHelp = true;
            return juce::Result::ok();
        }

        if (argument == "--raw")
        {
            options.compensateLatency = false;
            continue;
        }

        if (i + 1 >= arguments.size() || (argument.startsWith ("--") && arguments[i + 1].startsWith ("--")))
            return juce::Result::fail (argument.startsWith ("--") ? argument + " needs a value"
                                                                  : "Unexpected argument " + argument);

        const auto result = parseValue (argument, arguments[++i].trim(), options);
        if (result.failed())
            return result;
    }

    return checkComplete (options);
}

juce::String RenderOptions::usage()
{
    return "Usage: tessaro_render [--plugin <bundle.vst3>] --in <in.wav> --out <out.wav>\n"
           "                      [--set <paramId>=<value> ...] [--block 512] [--rate 44100] [--bpm 120] [--raw]\n"
           "                      [--editor-png <editor.png>]\n"
           "\n"
           "Renders a WAV through a VST3 plug-in as a host would and prints a short report.\n"
           "  --plugin  the .vst3 bundle (default: the one built next to this tool)\n"
           "  --set     a parameter by ID (or display name) and a plain value in its unit:\n"
           "            paramMix=50, paramEQHighFreq=5000, paramSpaceDelayNote=1/4 (or its index 13),\n"
           "            paramGainLimit=on; applied in order before the plug-in is prepared\n"
           "  --block   samples per host block\n"
           "  --rate    processing and output rate; the input is resampled when it differs\n"
           "  --bpm     tempo reported by the play head\n"
           "  --raw     keep the plug-in's latency in the output instead of removing it\n"
           "  --editor-png  open the plug-in's editor in a window and save a picture of it\n"
           "            (needs a display: run under xvfb-run where there is none); --in and --out\n"
           "            may then be left out\n";
}
} // namespace tessaro::render
