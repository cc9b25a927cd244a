#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace juce
{
/** LookAndFeel_V4 with one fixed font height for every text button. */
class QELTextButtonLookAndFeel : public LookAndFeel_V4
{
public:
    ~QELTextButtonLookAndFeel() override = default;

    /** A plain font of fontHeight, whatever the button and its height. */
    Font getTextButtonFont (TextButton&, int buttonHeight) override;

    float fontHeight = 32.0f;
};

/** A text button whose text is half its height tall, unless a fixed size is set. */
class QELTextButton : public TextButton
{
public:
    explicit QELTextButton (const String& buttonName = {});
    ~QELTextButton() override;

    /** Sets the font height to fontSize, or to half the height when fontSize is -1. */
    void resized() override;

    /** Fixed text height, or -1 for half the button's height. */
    float fontSize = -1.0f;
    /** The button's own look-and-feel, installed by the constructor. */
    QELTextButtonLookAndFeel lookAndFeel;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QELTextButton)
};
} // namespace juce

namespace QEL
{
/** LookAndFeel_V4 with one font height for popup menus; owners change it as they resize. */
class PopupMenuLookAndFeel : public juce::LookAndFeel_V4
{
public:
    ~PopupMenuLookAndFeel() override = default;

    /** A plain font of fontHeight. */
    juce::Font getPopupMenuFont() override;

    float fontHeight = 32.0f;
};
} // namespace QEL
