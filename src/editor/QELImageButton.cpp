#include "QELImageButton.h"

namespace juce
{
QELImageButton::PopupDisplayComponent::PopupDisplayComponent (QELImageButton& b) : owner (b) {}

QELImageButton::PopupDisplayComponent::~PopupDisplayComponent()
{
    owner.lastPopupDismissal = owner.now();
}

void QELImageButton::PopupDisplayComponent::getContentSize (int& width, int& height)
{
    width = font.getStringWidth (text) + 18;
    height = (int) (font.getHeight() * 1.6f);
}

void QELImageButton::PopupDisplayComponent::paintContent (Graphics& g, int width, int height)
{
    g.setFont (font);
    g.setColour (owner.findColour (TooltipWindow::textColourId, true));
    g.drawFittedText (text, Rectangle<int> (width, height), Justification::centred, 1, 0.0f);
}

void QELImageButton::PopupDisplayComponent::timerCallback()
{
    stopTimer();
    owner.popup.reset(); // deletes this
}

//==============================================================================
QELImageButton::QELImageButton() : ImageButton (String()) {}

QELImageButton::~QELImageButton()
{
    popup.reset();
}

double QELImageButton::now() const
{
    return clock ? clock() : Time::getMillisecondCounterHiRes();
}

void QELImageButton::setHint (const String& newHint)
{
    QEL::SettableHintClient::setHint (newHint);
    hintText = newHint;
}

Rectangle<int> QELImageButton::popupTarget() const
{
    auto b = getBounds();
    return { b.getX() + popupInset.x, b.getY() + popupInset.y, jmax (0, b.getWidth() - 2 * popupInset.x),
             jmax (0, b.getHeight() - 2 * popupInset.y) };
}

void QELImageButton::placePopup()
{
    popup->text = getToggleState() ? popupTextOn : popupTextOff;
    popup->setPosition (popupTarget());
    popup->repaint();
}

void QELImageButton::mouseMove (const MouseEvent& e)
{
    ImageButton::mouseMove (e);

    if (helpManager != nullptr && hintText.isNotEmpty() && hintEnabled)
        helpManager->showHint (this, hintText);

    if (! popupEnabled || now() - lastPopupDismissal <= 250.0)
        return;

    if (popup == nullptr)
    {
        popup = std::make_unique<PopupDisplayComponent> (*this);
        if (popupParent == nullptr)
            popup->setTransform (AffineTransform::scale (Component::getApproximateScaleFactorForComponent (this)));
        popup->setAlwaysOnTop (true);
        popup->setLookAndFeel (&getLookAndFeel());

        if (popupParent != nullptr)
            popupParent->addChildComponent (*popup);
        else
            popup->addToDesktop (ComponentPeer::windowIsTemporary | ComponentPeer::windowIgnoresKeyPresses |
                                 ComponentPeer::windowIgnoresMouseClicks);

        placePopup();
        popup->setVisible (true);
    }

    if (popupHideDelayMs != -1)
        popup->startTimer (jmax (1, popupHideDelayMs));
}

void QELImageButton::mouseExit (const MouseEvent& e)
{
    ImageButton::mouseExit (e);
    setState (buttonNormal);
    if (popupEnabled)
        popup.reset();
}

bool QELImageButton::hitTest (int x, int y)
{
    if (useHitBox)
        return x > hitBoxLeft && x < getWidth() + hitBoxRight && y > hitBoxTop && y < getHeight() + hitBoxBottom;
    return ImageButton::hitTest (x, y);
}

void QELImageButton::clicked()
{
    if (popup != nullptr)
        placePopup();
    ImageButton::clicked();
}

//==============================================================================
QELArrowButton::QELArrowButton (const String& name, float direction, Colour colour)
    : Button (name), arrowColour (colour)
{
    arrowPath.startNewSubPath (1.0f, 0.0f);
    arrowPath.lineTo (0.0f, 0.5f);
    arrowPath.lineTo (1.0f, 1.0f);
    arrowPath.applyTransform (AffineTransform::rotation (direction * MathConstants<float>::twoPi, 0.5f, 0.5f));
}

Path QELArrowButton::getPlacedArrow() const
{
    auto arrow = arrowPath;
    const auto w = (float) getWidth(), h = (float) getHeight();
    if (arrowStyle == 0)
        arrow.applyTransform (arrow.getTransformToScaleToFit ({ w / 3.0f, h * 0.25f, w * 0.25f, h * 0.5f }, false));
    else if (arrowStyle == 1)
        arrow.applyTransform (arrow.getTransformToScaleToFit ({ 6.0f, 6.0f, w - 12.0f, h - 12.0f }, false));
    return arrow;
}

void QELArrowButton::paintButton (Graphics& g, bool highlighted, bool down)
{
    const auto buttonColour = getLookAndFeel().findColour (TextButton::buttonColourId);
    auto base = buttonColour.withMultipliedSaturation (hasKeyboardFocus (true) ? 1.3f : 0.9f)
                    .withMultipliedAlpha (isEnabled() ? 1.0f : 0.5f);
    if (down)
        base = base.contrasting (0.2f);
    else if (highlighted)
        base = base.contrasting (0.05f);

    if (drawBackground)
    {
        const auto area = Rectangle<float> (0.5f, 0.5f, jmax (0.0f, (float) getWidth() - 1.0f),
                                            jmax (0.0f, (float) getHeight() - 1.0f));
        const auto outline = findColour (ComboBox::outlineColourId);
        constexpr float corner = 6.0f;

        if (isConnectedOnLeft() || isConnectedOnRight())
        {
            Path shape;
            shape.addRoundedRectangle (area.getX(), area.getY(), area.getWidth(), area.getHeight(), corner, corner,
                                       ! isConnectedOnLeft(), ! isConnectedOnRight(), ! isConnectedOnLeft(),
                                       ! isConnectedOnRight());
            g.setColour (base);
            g.fillPath (shape);
            g.setColour (outline);
            g.strokePath (shape, PathStrokeType (1.0f));
        }
        else
        {
            g.setColour (base);
            g.fillRoundedRectangle (area, corner);
            g.setColour (outline);
            g.drawRoundedRectangle (area, corner, 1.0f);
        }
    }

    // The chevron is an open line: stroked for style 0, closed into a triangle for style 1. Its shadow is
    // cast by what is actually drawn (an open path alone fills nothing).
    const auto arrow = getPlacedArrow();
    const PathStrokeType stroke (2.0f, PathStrokeType::mitered, PathStrokeType::butt);
    Path drawn;
    if (arrowStyle == 0)
    {
        stroke.createStrokedPath (drawn, arrow);
    }
    else if (arrowStyle == 1)
    {
        drawn = arrow;
        drawn.closeSubPath();
    }

    if (drawn.isEmpty())
        return;

    DropShadow (buttonColour.withAlpha ((uint8) 0x4c), shadowRadius (down), {}).drawForPath (g, drawn);
    g.setColour (arrowColour);
    g.fillPath (drawn);
}
} // namespace juce
