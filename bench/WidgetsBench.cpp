#include "editor/CachedBlur.h"
#include "editor/CachedShadows.h"

#include <benchmark/benchmark.h>

namespace
{
/** A 1300 x 800 face with some structure, as the overlay snapshots it. */
juce::Image faceSnapshot (juce::Image::PixelFormat format)
{
    juce::Image image (format, 1300, 800, true, juce::SoftwareImageType());
    juce::Graphics g (image);
    g.fillAll (juce::Colour (0xff1c1c22));
    juce::Random random (7);
    for (int i = 0; i < 60; ++i)
    {
        g.setColour (juce::Colour (random.nextInt()).withAlpha (1.0f));
        g.fillEllipse ((float) random.nextInt (1200), (float) random.nextInt (700), 90.0f, 90.0f);
    }
    return image;
}

/** The overlay's blur (radius 48) of a fresh snapshot, as when the preset list opens. */
void BM_CachedBlurFace (benchmark::State& state)
{
    const auto source = faceSnapshot (state.range (0) == 0 ? juce::Image::ARGB : juce::Image::RGB);
    for (auto _ : state)
    {
        melatonin::CachedBlur blur (48);
        blur.update (source);
        benchmark::DoNotOptimize (blur.blurredImage);
    }
    state.SetLabel (state.range (0) == 0 ? "ARGB" : "RGB snapshot");
}
BENCHMARK (BM_CachedBlurFace)->Arg (0)->Arg (1)->Unit (benchmark::kMillisecond);

/** A panel outline with the main panel's glow: five white layers, radii 1 to 16. */
melatonin::internal::CachedShadows panelGlow()
{
    const auto white = juce::Colours::white.withAlpha (0.75f);
    return melatonin::internal::CachedShadows ({ { white, 1, {}, 0, false },
                                                 { white, 2, {}, 0, false },
                                                 { white, 4, {}, 0, false },
                                                 { white, 8, {}, 0, false },
                                                 { white, 16, {}, 0, false } });
}

juce::Path panelOutline()
{
    juce::Path outline;
    outline.addRoundedRectangle (40.0f, 40.0f, 400.0f, 240.0f, 12.0f);
    juce::Path stroked;
    juce::PathStrokeType (2.0f).createStrokedPath (stroked, outline);
    return stroked;
}

/** Rendering and compositing the set from scratch (a new outline or display scale). */
void BM_CachedShadowsRender (benchmark::State& state)
{
    const float scale = (float) state.range (0);
    const auto path = panelOutline();
    juce::Image canvas (juce::Image::ARGB, (int) (520 * scale), (int) (360 * scale), true, juce::SoftwareImageType());
    for (auto _ : state)
    {
        auto shadows = panelGlow();
        juce::Graphics g (canvas);
        g.addTransform (juce::AffineTransform::scale (scale));
        shadows.render (g, path);
    }
}
BENCHMARK (BM_CachedShadowsRender)->Arg (1)->Arg (2)->Unit (benchmark::kMillisecond);

/** A repaint with an unchanged outline: one image draw. */
void BM_CachedShadowsRedraw (benchmark::State& state)
{
    const float scale = (float) state.range (0);
    const auto path = panelOutline();
    juce::Image canvas (juce::Image::ARGB, (int) (520 * scale), (int) (360 * scale), true, juce::SoftwareImageType());
    auto shadows = panelGlow();
    for (auto _ : state)
    {
        juce::Graphics g (canvas);
        g.addTransform (juce::AffineTransform::scale (scale));
        shadows.render (g, path);
    }
}
BENCHMARK (BM_CachedShadowsRedraw)->Arg (1)->Arg (2)->Unit (benchmark::kMillisecond);
} // namespace
