#pragma once

#include <juce_core/juce_core.h>

#include <vector>

namespace tessaro::render
{
/** The command line of the render tool, checked. */
struct RenderOptions
{
    /** One "--set id=value": a parameter ID (or display name) and a plain value in the parameter's unit. */
    struct Setting
    {
        juce::String id;
        juce::String value;
    };

    juce::File plugin;             // the .vst3 bundle
    juce::File input;              // the WAV to render
    juce::File output;             // the stereo WAV written
    std::vector<Setting> settings; // applied in order before the plug-in is prepared
    int blockSize = 512;           // samples per host block
    double sampleRate = 0.0;       // processing and output rate; 0 keeps the input's rate
    double bpm = 120.0;            // tempo the play head reports
    bool compensateLatency = true; // drop the reported latency so the output lines up with the input
    bool showHelp = false;         // --help was given: nothing else is checked
    juce::File editorImage;        // --editor-png: a picture of the editor in a window; --in and --out optional

    /** Reads the arguments (without the program name). `defaultPlugin` is used when --plugin is absent. */
    static juce::Result parse (const juce::StringArray& arguments, const juce::File& defaultPlugin,
                               RenderOptions& options);

    /** The usage text. */
    static juce::String usage();
};
} // namespace tessaro::render
