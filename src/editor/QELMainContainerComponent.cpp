#include "editor/QELMainContainerComponent.h"

namespace
{
int nearest (float x)
{
    return juce::roundToInt (x);
}
} // namespace

QELViewContainerComponent::QELViewContainerComponent()
{
    setOpaque (true);
}

void QELViewContainerComponent::paint (juce::Graphics& g)
{
    g.fillAll (backgroundColour);
}

void QELViewContainerComponent::resized()
{
    for (auto* child : getChildren())
        if (dynamic_cast<juce::QELComponentBase*> (child) != nullptr)
            child->setBounds (0, 0, getWidth(), getHeight());
}

void QELBottomBarComponent::paint (juce::Graphics& g)
{
    g.fillAll (backgroundColour);
}

QELMainContainerComponent::QELMainContainerComponent()
{
    setOpaque (true);
    addAndMakeVisible (topBar);
    addAndMakeVisible (viewContainer);
    addChildComponent (bottomBar);
}

void QELMainContainerComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

void QELMainContainerComponent::resized()
{
    const float s = scale;
    topBar.setBounds (0, 0, nearest ((float) viewWidth * s), nearest ((float) topBarHeight * s));
    viewContainer.setBounds (0, nearest ((float) topBarHeight * s), nearest ((float) viewWidth * s),
                             nearest ((float) viewHeight * s));
    bottomBar.setBounds (0, nearest ((float) (viewHeight + topBarHeight) * s), nearest ((float) bottomBarWidth * s),
                         nearest ((float) bottomBarHeight * s));
}
