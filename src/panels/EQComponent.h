#pragma once

#include "editor/CachedShadows.h"
#include "panels/QELEQComponent.h"

#include <functional>

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
};

/** Holds one EQ view: repaints it every 33 ms and asks its owner every 25 ms to refresh the band. */
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

    static constexpr int repaintTimer = 0, bandTimer = 1;
};
} // namespace tessaro::gui
