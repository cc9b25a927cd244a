#pragma once

#include "dsp/eq/FilterData.h"
#include "panels/QComponent.h"

#include <functional>
#include <juce_dsp/juce_dsp.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <vector>

namespace juce
{
/** One band of the EQ curve editor: its settings as the owner last fed them, its two coefficient sets and
    the responses and paths computed from them on the editor's frequency grid. */
class QELEQBand
{
public:
    using CoefficientsPtr = dsp::IIR::Coefficients<double>::Ptr;

    /** A band at its defaults, with a copy of the grid and all magnitudes 1. */
    explicit QELEQBand (const std::vector<double>& grid);

    /** Recomputes the magnitudes of the coefficient sets that are set (evaluated at 96 kHz). */
    void updateMagnitudes();

    /** Counts the calls of updateMagnitudes: a new count means new magnitudes. */
    int magnitudesRevision = 0;

    /** The rate both coefficient sets are designed for and evaluated at. */
    static constexpr double evaluationRate = 96000.0;

    bool used = true;
    float gain = 1.0f;
    float outputGainDb = 0.0f;
    float magnitudeScale = 1.0f;
    bool enabled = true;
    bool highlighted = false;
    bool isPassType = false;
    bool dynamic = false;
    float q = 0.707f;
    int slope = 0;
    CoefficientsPtr coefficientsA, coefficientsB;
    std::vector<double> frequencies;
    /** The first set's response x magnitudeScale, kept apart so combining with the second never compounds. */
    std::vector<double> firstMagnitudes;
    /** The first set's response; after each tick also x the second set's. */
    std::vector<double> magnitudes;
    std::vector<double> secondMagnitudes;
    std::vector<double> outputMagnitudes;
    Path curvePath, staticCurvePath, areaPath;
    Colour colour { 0xff96b8db };
    int id = 0;
    float frequency = 60.0f;
    float dragFrequency = 60.0f;
    int type = 2;
    int marker = 0;
    int auxMode = 0;
};
} // namespace juce

/** An optional panel that shows one band's settings next to its handle. None is attached in this product. */
class QELEQBandOverlay : public juce::Component
{
public:
    int bandIndex = -1;
    virtual void setBandEnabled (bool) {}
    virtual void setDynamic (bool) {}
    virtual void setType (int) {}
    virtual void setQ (float) {}
    virtual void setMarker (int) {}
    virtual void setAuxMode (int) {}
    virtual void setFrequency (float) {}
    virtual void setGain (float) {}
    virtual void setSlope (int) {}
};

/** A parametric EQ curve editor: each band's response and the combined curve on a logarithmic frequency
    axis and a decibel gain axis, with a handle per band and two Q handles beside the selected band.

    It never changes audio or parameters: every edit is reported through the on... callbacks, and the owner
    feeds the resulting settings back through updateBandA. Its 33 ms timer (while showing) does hover
    detection, Q-handle placement and curve recomputation; the owner repaints it. Message thread only. */
class QELEQComponent : public juce::Component, public juce::Timer
{
public:
    using CoefficientsPtr = juce::QELEQBand::CoefficientsPtr;

    QELEQComponent (juce::NormalisableRange<float> qRange, int numBands, float minFrequency, float maxFrequency,
                    float gainRange);
    ~QELEQComponent() override;

    //==============================================================================
    // Gestures
    void mouseMove (const juce::MouseEvent& e) override;
    void mouseEnter (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseDoubleClick (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;
    /** Forwards to the parent, then checks the listen gesture. */
    void modifierKeysChanged (const juce::ModifierKeys& modifiers) override;

    //==============================================================================
    // Drawing
    /** The optional background, then paintControls. */
    void paint (juce::Graphics& g) override;
    /** Draws nothing. */
    void paintOverChildren (juce::Graphics& g) override;
    /** Grid, labels, main curve, bands, readouts, listen lines and lasso. */
    void paintControls (juce::Graphics& g);

    /** Lays out the interaction and plot areas and rebuilds the paths. */
    void resized() override;
    /** One tick, only while the view and its parents are visible on a window. */
    void timerCallback() override;

    //==============================================================================
    /** Copies one band's settings from a band record and recomputes its magnitudes (paths follow at the next
        tick). The coefficient sets are shared, designed for 96 kHz; either may be null. */
    void updateBandA (int band, QEL::FilterData data, juce::Colour colour, CoefficientsPtr a, CoefficientsPtr b);
    /** Output magnitudes of every band and the combined main magnitudes. */
    void updateMainMagnitudes();
    /** Rebuilds every band's paths and the main paths. */
    void updateFrequencyResponsePaths();
    /** Appends the open curve of the magnitudes. */
    void createFrequencyPlot (juce::Path& path, const std::vector<double>& mags, juce::Rectangle<int> unused = {},
                              float unusedScale = 0.0f);
    /** Appends the closed area of the magnitudes over area, closed at its bottom or along its middle. */
    void createFrequencyPlotClosed (juce::Path& path, const std::vector<double>& mags, juce::Rectangle<int> area,
                                    float unusedScale, bool closeAtBottom);
    /** Refreshes the band overlay, when one is attached. */
    void updateOverlay();
    /** Wires the two Q handles. */
    void initializeQComponents();

    /** The listen gesture for the keyboard part of modifiers and the pointer height y. */
    void checkBandListen (const juce::ModifierKeys& modifiers, float y);
    /** Adds a band on the first free slot at position; its id, or -1 when every slot is used. */
    int addBandAtPosition (juce::Point<float> position, bool dynamic);
    /** The lasso selection from the lasso corners. */
    void checkSelectedBands();

    /** Work of one tick whether or not the widget is showing: hover, Q handles, overlay, curves. */
    void tick();
    /** Ticks' last steps: combined band magnitudes, main magnitudes and all paths. */
    void recomputeCurves();
    /** True when something the curves are computed from changed since the last recomputeCurves. */
    bool curvesAreStale() const;

    //==============================================================================
    // Mapping (single precision)
    float ratioOf (float hz) const noexcept;
    float xForFrequency (float hz) const noexcept;
    float frequencyAtX (float x) const noexcept;
    float yForDecibels (float db) const noexcept;
    /** The linear gain at height y, y limited to the plot. */
    float gainAtY (float y) const noexcept;
    float yForQ (float q) const noexcept;
    float qAtY (float y) const noexcept;
    /** A band's handle point: its frequency across, its gain (or Q) up. */
    juce::Point<float> handlePoint (const juce::QELEQBand& band) const noexcept;
    /** 20 log10 g, not below -100; -100 for g <= 0. */
    static float decibels (double linear) noexcept;
    /** The band nearest to p within hoverRadius on both axes (lower index on ties), or -1. */
    int findHoveredBand (juce::Point<float> p) const noexcept;
    /** Keyboard part of the modifiers (mouse buttons removed) equals a non-zero set. */
    static bool matches (const juce::ModifierKeys& modifiers, int set) noexcept;

    //==============================================================================
    // Callbacks; ids equal band indices.
    std::function<void (int, bool)> onBandUsedChange;
    std::function<void (int, float)> onFrequencyChange;
    std::function<void (int, float)> onGainChange;
    std::function<void (int, int)> onTypeChange;
    std::function<void (int, int)> onMarkerChange;
    std::function<void (int, int)> onAuxModeChange;
    std::function<void (int, float, bool)> onQChange;
    std::function<void (int, int)> onSlopeChange;
    std::function<void (int, bool)> onDynamicChange;
    std::function<void (int, bool)> onBandEnabledChange;
    std::function<void (int)> onModifierClick;
    std::function<void (int, float)> onListen;
    std::function<void()> onListenEnd;
    std::function<void (float)> onMouseX;
    std::function<void (int)> onBandSelect;
    std::function<void (int)> onBandDoubleClick;

    //==============================================================================
    juce::Path mainPath, mainAreaPath;
    float minFrequency, maxFrequency;
    juce::OwnedArray<juce::QELEQBand> bands;
    juce::Array<float> frequencyGrid, labelledFrequencies, gainGrid;
    juce::Array<int> selectedBands;
    float gainRange;
    bool drawBandThumbs = true;
    bool fillBands = true;
    bool drawMainPath = true;
    bool showBandNumbers = true;
    bool mouseOver = true;
    bool bandsOnlyWhenMouseOver = true;
    bool showGrid = true;
    bool showGainLabels = true, showGainLines = true;
    bool showFrequencyLabels = true, showFrequencyLines = true;
    bool mainIncludesOutputGain = false;
    bool drawBackground = true;
    bool drawBands = true;
    bool uniformThumbColour = false;
    juce::Colour thumbColour { 0xffffffff };
    bool gradientBandFill = false;
    bool showFrequencyReadout = false, frequencyReadoutAlways = false, showNoteName = false;
    bool showGainReadout = false, gainReadoutAlways = false;
    juce::Colour mainFillColour { 0x33ffff00 };
    bool overlayEnabled = false;
    bool showMarkers = false;
    bool doubleClickTogglesBand = false;
    bool altAddsDynamicBand = false;
    float idleCurveLevel = 1.0f;
    int gainLabelsOnRight = 0;
    bool debugOutline = false;
    bool listening = false;
    bool mouseIsDown = false;
    int selectedBand = -1;
    int hoveredBand = -1;
    float mainGainScale = 1.0f;
    int hoverRadius = 100;
    bool hoverFadeEnabled = true;
    float hoverFade = 0.0f;
    float bandwidthLow = 20.0f, bandwidthHigh = 20.0f;
    float xInset = 0.0078f;
    float readoutOffset = -20.0f;
    juce::Colour mainColour { 0xff2e96ff };
    juce::Colour hoverDotColour { 0x96f9c80e };
    juce::Colour backgroundTopColour { 0x821c324a }, backgroundBottomColour { 0x4617293c };
    juce::Colour labelColour { 0xffffffff };
    juce::Rectangle<int> interactionArea, plotArea;
    std::vector<double> frequencies;
    std::vector<double> mainMagnitudes;
    juce::Point<float> dragLast;
    bool showAddGlyph = true;
    bool curveHoverEnabled = false;
    bool lassoEnabled = false;
    juce::Point<float> lassoStart, lassoEnd;
    juce::Point<float> hoverPoint;
    bool curveHovered = false;
    bool bandAddedInDrag = false;
    bool lassoActive = false;
    bool showListenLines = false;
    bool strokeAllBandCurves = false;
    bool showZeroLine = true;
    bool reportHoveredBand = false;
    bool labelLastGainLine = true;
    bool showQHandles = true;
    juce::Colour cueColour { 0xccffffff };
    float listenLineAlpha = 0.4f;
    float sizeScale = 1.0f;
    float newPeakQ = 0.707f;
    bool addPeaksOnly = false;
    bool showUnits = false;
    bool roundedCurves = true;
    bool qOnYAxis = false;
    bool wheelChangesSlope = false;
    int listenModifiers = 0, toggleModifiers = 0, actionModifiers = 0, lockFrequencyModifiers = 0,
        lockGainModifiers = 0;
    bool qDragEnabled = false;
    int qDragModifiers = 0;
    QEL::QComponent qHandleLeft, qHandleRight;
    juce::NormalisableRange<float> qRange;
    QELEQBandOverlay* overlay = nullptr;
    /** Band ids the audio side already uses, skipped when adding a band. */
    const juce::Array<int>* reservedIdSource = nullptr;
    float wheelAccumulator = 0.0f;

protected:
    /** The ring marking a grabbed or lasso-selected band. */
    virtual void drawDraggingCueImpl (juce::Graphics& g, float x, float y, int band);
    /** A band's thumb: outer and inner circle, optionally its number. */
    virtual void drawBandThumbImpl (juce::Graphics& g, float x, float y, int band);
    /** The main curve and area (three strokes of falling width, then the area fill). */
    virtual void drawMainPathImpl (juce::Graphics& g);

private:
    void reactToQHandle (QEL::QComponent& handle);
    void placeQHandles();
    void drawGrid (juce::Graphics& g);
    void drawAddGlyph (juce::Graphics& g);
    void drawBand (juce::Graphics& g, juce::QELEQBand& band, int index);
    void drawReadouts (juce::Graphics& g);
    juce::Path displayedPath (const juce::Path& path, float radius) const;
    bool isMarked (int index) const;
    int reportedBand() const noexcept { return reportHoveredBand ? hoveredBand : selectedBand; }
    bool isOnVisibleWindow() const;
    /** What the curves are computed from, besides the magnitudes' values. */
    std::vector<double> curveInputs() const;

    std::vector<double> lastCurveInputs;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QELEQComponent)
};
