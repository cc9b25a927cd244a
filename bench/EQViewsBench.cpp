// The three EQ curve views of the EQ panel inside the editor's 33 ms tick: the band refresh (display cache
// and chain band to the view's magnitudes), the recomputation of curves and paths, and painting.

#include "core/PluginProcessor.h"
#include "panels/EQBandFeed.h"
#include "panels/EQComponent.h"

#include <benchmark/benchmark.h>

namespace
{
using tessaro::gui::EQBandFeed;
using tessaro::gui::EQBandSlot;
using tessaro::gui::EQComponent;

constexpr EQBandSlot slots[] = { EQBandSlot::high, EQBandSlot::mid, EQBandSlot::low };

/** Three product views at the panel's size and settings. */
struct ThreeViews
{
    ThreeViews()
    {
        for (auto& v : views)
        {
            v = std::make_unique<EQComponent> (juce::NormalisableRange<float> (0.707f, 3.5f, 0.01f));
            v->drawBackground = v->fillBands = v->bandsOnlyWhenMouseOver = false;
            v->showGainLabels = v->showFrequencyLabels = v->showZeroLine = v->showQHandles = false;
            v->sizeScale = 7.0f;
            v->setSize (182, 72);
        }
    }

    void refresh (OrvaneTessaroAudioProcessor& p)
    {
        for (size_t i = 0; i < 3; ++i)
        {
            EQBandFeed::refresh (*views[i], p, slots[i]);
            views[i]->recomputeCurves();
        }
    }

    std::unique_ptr<EQComponent> views[3];
};

/** The low band half way into its high-pass (a fourth-order drawing set), the others boosted. */
void setBands (OrvaneTessaroAudioProcessor& p, float lowGainDb)
{
    p.tessaroProcessor.eqProcessor.setLowGain (lowGainDb);
    p.tessaroProcessor.eqProcessor.setMidGain (6.0f);
    p.tessaroProcessor.eqProcessor.setHighGain (4.0f);
    p.eqLowGain = lowGainDb;
    p.eqMidGain = 6.0f;
    p.eqHighGain = 4.0f;
}

/** Band refresh and curve recomputation of all three views (the 25 ms and 33 ms timers' work). */
void BM_EQViewsRefresh (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juce;
    OrvaneTessaroAudioProcessor processor;
    setBands (processor, -12.0f);
    ThreeViews three;
    for (auto _ : state)
    {
        three.refresh (processor);
        benchmark::DoNotOptimize (three.views[0]->mainPath);
    }
}
BENCHMARK (BM_EQViewsRefresh)->Unit (benchmark::kMicrosecond);

/** Painting all three views at a display scale; Arg 1 = a curve that moves every frame (new glow). */
void BM_EQViewsPaint (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juce;
    OrvaneTessaroAudioProcessor processor;
    ThreeViews three;
    const bool moving = state.range (0) != 0;
    const float scale = (float) state.range (1);
    juce::Image image (juce::Image::ARGB, (int) (182 * scale), (int) (72 * scale), true);
    float gain = 0.0f;
    setBands (processor, gain);
    three.refresh (processor);

    for (auto _ : state)
    {
        if (moving)
        {
            gain = gain > 5.0f ? -5.0f : gain + 0.5f;
            setBands (processor, gain);
            three.refresh (processor);
        }
        for (auto& v : three.views)
        {
            juce::Graphics g (image);
            g.addTransform (juce::AffineTransform::scale (scale));
            v->paintEntireComponent (g, false);
        }
        benchmark::DoNotOptimize (image.getPixelAt (0, 0));
    }
    state.SetLabel ((juce::String (moving ? "moving curves" : "still curves") + ", scale " + juce::String (scale)).toStdString());
}
BENCHMARK (BM_EQViewsPaint)->Args ({ 0, 1 })->Args ({ 1, 1 })->Args ({ 0, 2 })->Args ({ 1, 2 })->Unit (benchmark::kMicrosecond);
} // namespace
