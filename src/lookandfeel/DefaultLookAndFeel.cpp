#include "lookandfeel/DefaultLookAndFeel.h"

#include "editor/EmbeddedResources.h"

DefaultLookAndFeel::DefaultLookAndFeel() : montserrat (QEL::EmbeddedResources::montserratRegular()) {}

juce::Typeface::Ptr DefaultLookAndFeel::getTypefaceForFont (const juce::Font& font)
{
    if (montserrat != nullptr && font.getTypefaceName() == juce::Font::getDefaultSansSerifFontName())
        return montserrat;
    return juce::LookAndFeel_V4::getTypefaceForFont (font);
}
