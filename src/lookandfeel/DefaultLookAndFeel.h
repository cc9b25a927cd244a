#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The product-wide default look-and-feel: draws the editor's dialogs, menus, combo boxes and
    text editors in Montserrat Regular. */
class DefaultLookAndFeel : public juce::LookAndFeel_V4
{
public:
    DefaultLookAndFeel();

    /** Montserrat Regular for every font that asks for the default sans-serif face. */
    juce::Typeface::Ptr getTypefaceForFont (const juce::Font& font) override;

private:
    juce::Typeface::Ptr montserrat;
};
