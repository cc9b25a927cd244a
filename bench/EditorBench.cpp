#include "core/PlatformPaths.h"
#include "core/PluginProcessor.h"
#include "editor/PluginEditor.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace
{
/** Per-user files go to a temporary folder for the whole run. */
struct BenchFolder
{
    juce::TemporaryFile base;
    std::unique_ptr<QEL::PlatformPaths::ScopedBaseOverride> paths;

    BenchFolder()
    {
        base.getFile().createDirectory();
        paths = std::make_unique<QEL::PlatformPaths::ScopedBaseOverride> (base.getFile());
    }
    ~BenchFolder()
    {
        paths.reset();
        base.getFile().deleteRecursively();
    }
};

/** What a host pays to open and close the editor: building the face, reading and writing the settings. */
void BM_EditorOpenAndClose (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juce;
    BenchFolder folder;
    OrvaneTessaroAudioProcessor processor;
    for (auto _ : state)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
        benchmark::DoNotOptimize (editor.get());
    }
}
BENCHMARK (BM_EditorOpenAndClose)->Unit (benchmark::kMillisecond);

/** One full repaint of the editor at a size (1 Mini .. 5 Very Large), in software. */
void BM_EditorPaint (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juce;
    BenchFolder folder;
    OrvaneTessaroAudioProcessor processor;
    auto editor = std::make_unique<OrvaneTessaroAudioProcessorEditor> (processor);
    editor->setGuiSize ((int) state.range (0));
    juce::Image image (juce::Image::ARGB, editor->getWidth(), editor->getHeight(), true, juce::SoftwareImageType());

    for (auto _ : state)
    {
        juce::Graphics g (image);
        editor->paintEntireComponent (g, true);
        benchmark::DoNotOptimize (image.getPixelData());
    }
    editor.reset();
}
BENCHMARK (BM_EditorPaint)->Arg (1)->Arg (3)->Arg (5)->Unit (benchmark::kMillisecond);
} // namespace
