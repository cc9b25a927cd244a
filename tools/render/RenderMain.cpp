#include "render/EditorSnapshot.h"
#include "render/PluginHost.h"
#include "render/RenderJob.h"
#include "render/RenderOptions.h"

#include <iostream>

#ifndef TESSARO_VST3_BUNDLE_PATH
#define TESSARO_VST3_BUNDLE_PATH ""
#endif

namespace
{
constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

juce::File defaultPlugin()
{
    const juce::String built (TESSARO_VST3_BUNDLE_PATH);
    return built.isNotEmpty() ? juce::File (built) : juce::File();
}

juce::Result writeEditorPicture (const tessaro::render::RenderOptions& options)
{
    juce::String error;
    auto plugin = tessaro::render::PluginHost::load (options.plugin, 44100.0, options.blockSize, error);
    if (plugin == nullptr)
        return juce::Result::fail (error);
    return tessaro::render::EditorSnapshot::writePng (*plugin, options.editorImage);
}
} // namespace

int main (int argc, char* argv[])
{
    juce::ScopedJuceInitialiser_GUI juce;

    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String::fromUTF8 (argv[i]));

    tessaro::render::RenderOptions options;
    if (const auto parsed = tessaro::render::RenderOptions::parse (arguments, defaultPlugin(), options);
        parsed.failed())
    {
        std::cerr << "tessaro_render: " << parsed.getErrorMessage() << "\n\n"
                  << tessaro::render::RenderOptions::usage();
        return exitUsage;
    }

    if (options.showHelp)
    {
        std::cout << tessaro::render::RenderOptions::usage();
        return 0;
    }

    if (options.editorImage != juce::File())
    {
        if (const auto written = writeEditorPicture (options); written.failed())
        {
            std::cerr << "tessaro_render: " << written.getErrorMessage() << "\n";
            return exitFailure;
        }
        std::cout << "Editor picture: " << options.editorImage.getFullPathName() << "\n";
        if (options.input == juce::File())
            return 0;
    }

    tessaro::render::RenderJob job (options);
    if (const auto result = job.run(); result.failed())
    {
        std::cerr << "tessaro_render: " << result.getErrorMessage() << "\n";
        return exitFailure;
    }

    std::cout << job.report() << "\n";
    return 0;
}
