#pragma once

#include "HintClient.h"

#include <functional>
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

namespace juce
{
/** An image button that can send a hint to the editor's help bubble, show a text bubble of its own whose
    text follows the toggle state, and restrict its clickable area to an inset box. */
class QELImageButton : public ImageButton, public QEL::SettableHintClient
{
public:
    /** The button's text bubble. */
    class PopupDisplayComponent : public BubbleComponent, public Timer
    {
    public:
        explicit PopupDisplayComponent (QELImageButton& owner);
        ~PopupDisplayComponent() override;

        /** Width: the text's width + 18; height: font height * 1.6, truncated. */
        void getContentSize (int& width, int& height) override;
        void paintContent (Graphics& g, int width, int height) override;
        void timerCallback() override;

        QELImageButton& owner;
        Font font;
        String text;

        JUCE_DECLARE_NON_COPYABLE (PopupDisplayComponent)
    };

    QELImageButton();
    ~QELImageButton() override;

    /** Sets the hint and the text sent to the help manager. */
    void setHint (const String& newHint) override;

    void mouseMove (const MouseEvent&) override;
    void mouseExit (const MouseEvent&) override;
    bool hitTest (int x, int y) override;
    void clicked() override;

    int hitBoxLeft = 0, hitBoxTop = 0, hitBoxRight = 0, hitBoxBottom = 0;
    bool popupEnabled = false;
    std::unique_ptr<PopupDisplayComponent> popup;
    Component* popupParent = nullptr;
    int popupHideDelayMs = 2000;
    double lastPopupDismissal = 0.0;
    Point<int> popupInset;
    bool useHitBox = false;
    String popupTextOff, popupTextOn;
    bool hintEnabled = true;
    String hintText;
    ContextualHelpManager* helpManager = nullptr;

    /** Milliseconds for the bubble's re-show rule; Time::getMillisecondCounterHiRes when empty. */
    std::function<double()> clock;

private:
    double now() const;
    /** The button's bounds in its parent, inset by popupInset. */
    Rectangle<int> popupTarget() const;
    void placePopup();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QELImageButton)
};

/** A button painting a rounded background and a chevron arrow. */
class QELArrowButton : public Button
{
public:
    /** direction turns the left-pointing chevron by direction * 2 pi (0.5 points right). */
    QELArrowButton (const String& name, float direction, Colour arrowColour);
    ~QELArrowButton() override = default;

    void paintButton (Graphics&, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

    /** The arrow placed in a button of this size (before stroking). */
    Path getPlacedArrow() const;
    /** The radius of the arrow's shadow for a button state. */
    static int shadowRadius (bool down) noexcept { return down ? 2 : 4; }

    /** 0: stroked arrow in the middle; 1: filled arrow inset by 6; other: no arrow. */
    int arrowStyle = 0;
    Colour arrowColour;
    Path arrowPath;
    bool drawBackground = true;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QELArrowButton)
};

/** The widget library's label. */
class QELLabel : public Label
{
public:
    using Label::Label;
    ~QELLabel() override = default;
};
} // namespace juce
