#pragma once

#include "editor/CachedShadows.h"
#include "panels/QELEQComponent.h"

#include <functional>
#include <vector>

namespace tessaro::gui
{
/** The product's look of the EQ curve editor: one band, a glowing curve over a soft blue fill, a round
    handle, a thin outline, and a flat dimmed look while the EQ module is bypassed. */
class EQComponent : public QELEQComponent
{
public:
    /** One band on 10 Hz ... 30 kHz and +-15 dB, with Q handles on qRange. */
    explicit EQComponent (juce::NormalisableRange<float> qRange);
    ~EQComponent() override;

    /** Repaints only: the pointer leaving never switches the editor to its idle look. */
    void mouseEnter (const juce::MouseEvent&) override;
    /** Repaints only. */
    void mouseExit (const juce::MouseEvent&) override;
    /** The editor's drawing. */
    void paint (juce::Graphics& g) override;
    /** The outline. */
    void paintOverChildren (juce::Graphics& g) override;

    /** True when what the view draws differs from what it drew at the last call: the curve, a band's
        settings, hover, selection, the pointer over it, the bypass look or the size. */
    bool drawnStateChanged();

    /** Bypass look: no glow, no fill, curve and handle dimmed. */
    bool bypassed = false;
    melatonin::internal::CachedShadows handleGlow, curveGlow;
    juce::Colour curveColour;

protected:
    /** No drag cue. */
    void drawDraggingCueImpl (juce::Graphics& g, float x, float y, int band) override;
    /** A 12-unit disc with a glow; the same for every band. */
    void drawBandThumbImpl (juce::Graphics& g, float x, float y, int band) override;
    /** Glow, gradient area down to the bottom, curve. */
    void drawMainPathImpl (juce::Graphics& g) override;

private:
    /** What the drawing depends on, besides the constant look. */
    struct DrawnState
    {
        juce::Path curve;
        std::vector<float> bandSettings;
        std::vector<int> flags;
        juce::Rectangle<int> bounds;

        bool operator== (const DrawnState& other) const
        {
            return curve == other.curve && bandSettings == other.bandSettings && flags == other.flags &&
                   bounds == other.bounds;
        }
    };

    void captureDrawnState (DrawnState& state) const;

    DrawnState lastDrawn, current;
};

/** Holds one EQ view: every 33 ms repaints it when it changed (or always, when no view is watched), and
    every 25 ms asks its owner to refresh the band. */
class EQContainer : public juce::Component, public juce::MultiTimer
{
public:
    /** Starts the repaint timer, then the band timer. */
    EQContainer();
    ~EQContainer() override;

    void paint (juce::Graphics&) override {}
    void paintOverChildren (juce::Graphics&) override {}
    /** 0: repaint; 1: onBandUpdate. */
    void timerCallback (int timerID) override;

    /** Refreshes the view's band; set by the owner. */
    std::function<void()> onBandUpdate;
    /** The view whose changes decide the repaints; null repaints on every tick. */
    EQComponent* view = nullptr;

    static constexpr int repaintTimer = 0, bandTimer = 1;
};
} // namespace tessaro::gui
