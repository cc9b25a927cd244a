#pragma once

#include "QELTextButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace juce
{
/** The about layer: product, makers, version and build, host wrapper, and an "Open Manual" button.
    A click anywhere outside the button hides it. */
class AboutComponent : public Component, public Button::Listener
{
public:
    AboutComponent();
    ~AboutComponent() override;

    void mouseDown (const MouseEvent&) override;
    void paint (Graphics&) override;
    void resized() override;
    void buttonClicked (Button*) override;

    /** Opens the manual with the system, or warns that it does not exist. */
    void openManual();

    /** Row k (1..4) of the text, in the box's coordinates. */
    Rectangle<int> getRowArea (int k) const;
    /** The font the rows are drawn in. */
    Font getTextFont() const;
    /** The four row texts. */
    StringArray getRowTexts() const;

    String companyName;
    String productName;
    String version;
    String buildId;
    String wrapperName;
    String manualPath;
    QELTextButton manualButton { "Open Manual" };
    /** Fixed button size (width, height); (0, 0) sizes it from the box. */
    Point<float> buttonSize;
    float scale = 1.0f;

protected:
    /** Opens an existing document with the system's application for it. */
    virtual void launchDocument (const File& file);
    /** Tells the user that the manual is missing. */
    virtual void showMissingManualWarning();

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AboutComponent)
};
} // namespace juce
