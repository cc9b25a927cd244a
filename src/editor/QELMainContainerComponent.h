#pragma once

#include "editor/QELComponentBase.h"

/** Holds every QELComponentBase child at its own full size; opaque. */
class QELViewContainerComponent : public juce::QELComponentBase
{
public:
    QELViewContainerComponent();

    /** Fills the background colour. */
    void paint (juce::Graphics& g) override;

    /** Gives every QELComponentBase child the whole container. */
    void resized() override;

    juce::Colour backgroundColour = juce::Colours::black;
};

/** The bar under the view; paints its background colour. */
class QELBottomBarComponent : public juce::QELComponentBase
{
public:
    /** Fills the background colour. */
    void paint (juce::Graphics& g) override;

    juce::Colour backgroundColour = juce::Colours::black;
};

/** The editor's one child: a top bar, the view container and a bottom bar stacked at the
    design size times its scale. Opaque black. */
class QELMainContainerComponent : public juce::QELComponentBase
{
public:
    QELMainContainerComponent();

    /** Fills opaque black. */
    void paint (juce::Graphics& g) override;

    /** Stacks the bars and the view at the design sizes times scale. */
    void resized() override;

    /** The design height: both bars and the view. */
    int getDesignHeight() const noexcept { return topBarHeight + viewHeight + bottomBarHeight; }

    juce::QELComponentBase topBar;
    QELViewContainerComponent viewContainer;
    QELBottomBarComponent bottomBar;

    int viewWidth = 0, viewHeight = 0, topBarHeight = 0, bottomBarWidth = 0, bottomBarHeight = 0;
};
