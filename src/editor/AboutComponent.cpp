#include "AboutComponent.h"

namespace juce
{
AboutComponent::AboutComponent()
{
    manualButton.setButtonText ("Open Manual");
    manualButton.setColour (TextButton::buttonColourId, Colours::black);
    manualButton.setColour (TextButton::buttonOnColourId, Colours::silver);
    manualButton.addListener (this);
    addChildComponent (manualButton);
}

AboutComponent::~AboutComponent()
{
    manualButton.removeListener (this);
}

void AboutComponent::mouseDown (const MouseEvent&)
{
    setVisible (false);
}

void AboutComponent::buttonClicked (Button* button)
{
    if (button == &manualButton)
        openManual();
}

void AboutComponent::openManual()
{
    if (manualPath.isNotEmpty() && File::isAbsolutePath (manualPath))
    {
        const File manual (manualPath);
        if (manual.existsAsFile())
        {
            launchDocument (manual);
            return;
        }
    }
    showMissingManualWarning();
}

void AboutComponent::launchDocument (const File& file)
{
    file.startAsProcess();
}

void AboutComponent::showMissingManualWarning()
{
#if JUCE_MODAL_LOOPS_PERMITTED
    AlertWindow::showMessageBox (MessageBoxIconType::WarningIcon, "Warning", "Help file does not exist!");
#else
    AlertWindow::showMessageBoxAsync (MessageBoxIconType::WarningIcon, "Warning", "Help file does not exist!");
#endif
}

Rectangle<int> AboutComponent::getRowArea (int k) const
{
    // In double: trunc (1 * 0.13 * 800) is 104, where float arithmetic gives 103.
    const double h = (double) getHeight() * (double) scale;
    return { 0, (int) ((double) k * 0.13 * h), getWidth(), (int) (0.1 * h) };
}

Font AboutComponent::getTextFont() const
{
    return Font ((float) ((double) getHeight() * (double) scale * 0.05));
}

StringArray AboutComponent::getRowTexts() const
{
    return { productName, "Quellmoor", version + " (" + buildId + ")", wrapperName + " " + "64-bit" };
}

void AboutComponent::paint (Graphics& g)
{
    g.setColour (Colours::black.withAlpha (0.8f));
    g.fillRect (getLocalBounds());

    g.setColour (Colours::white);
    g.setFont (getTextFont());
    const auto rows = getRowTexts();
    for (int k = 1; k <= rows.size(); ++k)
        g.drawText (rows[k - 1], getRowArea (k), Justification::centred, true);
}

void AboutComponent::resized()
{
    const double h = (double) getHeight() * (double) scale;
    const bool fixedSize = buttonSize.x != 0.0f || buttonSize.y != 0.0f;
    const int w = fixedSize ? (int) buttonSize.x : (int) ((double) getWidth() * 0.1);
    const int bh = fixedSize ? (int) buttonSize.y : (int) (h * 0.07);

    manualButton.setSize (w, bh);
    manualButton.setCentrePosition (getLocalBounds().getCentre());
    manualButton.setTopLeftPosition (manualButton.getX(), (int) (h * 0.13 * 5.6));
}
} // namespace juce
