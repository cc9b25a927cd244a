#include "QELTextButton.h"

namespace juce
{
Font QELTextButtonLookAndFeel::getTextButtonFont (TextButton&, int)
{
    return Font (fontHeight);
}

QELTextButton::QELTextButton (const String& buttonName) : TextButton (buttonName)
{
    lookAndFeel.fontHeight = 32.0f;
    setLookAndFeel (&lookAndFeel);
}

QELTextButton::~QELTextButton()
{
    setLookAndFeel (nullptr);
}

void QELTextButton::resized()
{
    lookAndFeel.fontHeight = fontSize == -1.0f ? (float) getHeight() * 0.5f : fontSize;
    TextButton::resized();
}
} // namespace juce

namespace QEL
{
juce::Font PopupMenuLookAndFeel::getPopupMenuFont()
{
    return juce::Font (fontHeight);
}
} // namespace QEL
