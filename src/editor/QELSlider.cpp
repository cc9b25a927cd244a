#include "QELSlider.h"

namespace juce
{
namespace
{
    bool isHorizontalStyle (Slider::SliderStyle s)
    {
        return s == Slider::LinearHorizontal || s == Slider::LinearBar || s == Slider::TwoValueHorizontal ||
               s == Slider::ThreeValueHorizontal;
    }

    bool isVerticalStyle (Slider::SliderStyle s)
    {
        return s == Slider::LinearVertical || s == Slider::LinearBarVertical || s == Slider::TwoValueVertical ||
               s == Slider::ThreeValueVertical;
    }

    /** How far the framework's absolute drag has moved for a mouse position, in the direction it reads
        (x grows the value, y shrinks it); nullopt for styles whose drag does not depend on a distance. */
    std::optional<float> dragCoordinate (const Slider& slider, Point<float> p)
    {
        switch (slider.getSliderStyle())
        {
            case Slider::RotaryHorizontalDrag: return p.x;
            case Slider::RotaryVerticalDrag: return -p.y;
            case Slider::RotaryHorizontalVerticalDrag: return p.x - p.y;
            case Slider::LinearHorizontal:
            case Slider::LinearBar:
                return slider.getSliderSnapsToMousePosition() ? std::nullopt : std::optional<float> (p.x);
            case Slider::LinearVertical:
            case Slider::LinearBarVertical:
                return slider.getSliderSnapsToMousePosition() ? std::nullopt : std::optional<float> (-p.y);
            default: return std::nullopt;
        }
    }

    /** A shift of the mouse position that changes dragCoordinate by amount. */
    Point<float> shiftFor (Slider::SliderStyle style, float amount)
    {
        const bool readsY = style == Slider::RotaryVerticalDrag || style == Slider::LinearVertical ||
                            style == Slider::LinearBarVertical;
        return readsY ? Point<float> { 0.0f, -amount } : Point<float> { amount, 0.0f };
    }
} // namespace

//==============================================================================
QELSlider::PopupDisplayComponent::PopupDisplayComponent (QELSlider& s)
    : owner (s), font (s.getLookAndFeel().getSliderPopupFont (s))
{
}

QELSlider::PopupDisplayComponent::~PopupDisplayComponent()
{
    owner.lastPopupDismissal = owner.now();
}

void QELSlider::PopupDisplayComponent::getContentSize (int& width, int& height)
{
    width = font.getStringWidth (text) + 18;
    height = (int) (owner.popupHeightFactor * font.getHeight() * 1.6f);
}

void QELSlider::PopupDisplayComponent::paintContent (Graphics& g, int width, int height)
{
    g.setFont (font);
    g.setColour (owner.findColour (TooltipWindow::textColourId, true));
    g.drawFittedText (text, Rectangle<int> (width, height), Justification (owner.popupJustification), 1, 0.0f);
}

void QELSlider::PopupDisplayComponent::updatePosition (const String& newText)
{
    text = newText;

    Rectangle<int> target;
    if (auto* parent = getParentComponent())
        target = parent->getLocalArea (&owner, owner.getLocalBounds());
    else
        target = owner.getScreenBounds().transformedBy (getTransform().inverted());

    if (! owner.popupFollowsThumb)
    {
        target += owner.popupOffset;
    }
    else
    {
        const double value = owner.getValue();
        const int thumb = (int) owner.getLinearSliderPos (value);
        const float h = 2.0f * (1.6f * font.getHeight() + 13.0f);
        const int above = thumb + (int) ((float) owner.popupOffset.y - h);
        const int at = thumb + owner.popupOffset.y;
        target.setX (target.getX() + owner.popupOffset.x);

        switch (owner.popupFollowMode)
        {
            case 0: target.setY (owner.valueToProportionOfLength (value) < 0.5 ? above : at); break;
            case 1: target.setY (above); break;
            case 2: target.setY (at); break;
            default: break;
        }
    }

    setPosition (target);
    repaint();
}

void QELSlider::PopupDisplayComponent::timerCallback()
{
    stopTimer();
    owner.popup.reset(); // deletes this
}

//==============================================================================
QELSlider::SliderAttachment::SliderAttachment (AudioProcessorValueTreeState& state, const String& parameterID,
                                               QELSlider& slider)
    : QEL::SliderAttachment (state, parameterID, slider)
{
    slider.setParameter (state.getParameter (parameterID));
    slider.setDoubleClickReturnValue (false, slider.getDoubleClickReturnValue(), ModifierKeys::altModifier);
}

//==============================================================================
QELSlider::QELSlider (SliderStyle style, TextEntryBoxPosition textBox, int) : Slider (style, textBox)
{
    setWantsKeyboardFocus (true);
    setVelocityModeParameters (1.0, 1, 0.0, false, ModifierKeys::ctrlAltCommandModifiers);
    setMouseDragSensitivity (initialDragDistance);

    menuLookAndFeel.setColour (PopupMenu::backgroundColourId, Colour (0xff2a2a2a));
    menuLookAndFeel.setColour (PopupMenu::highlightedBackgroundColourId, Colour (0xff464646));
    contextMenu.setLookAndFeel (&menuLookAndFeel);

    textEntry = std::make_unique<TextEditor> (String());
    addChildComponent (*textEntry);
    textEntry->addListener (this);
    textEntry->setSelectAllWhenFocused (true);
    textEntry->setInputRestrictions (0, "+-.0123456789");
    textEntry->setSize (40, 28);
}

QELSlider::~QELSlider()
{
    popup.reset();
    contextMenu.setLookAndFeel (nullptr);
    textEntry->removeListener (this);
    textEntry->setLookAndFeel (nullptr);
}

void QELSlider::initialize (Component* parent, LookAndFeel* lookAndFeel, SliderStyle style)
{
    setVisible (true);
    if (parent != nullptr)
        parent->addAndMakeVisible (*this);

    setSliderStyle (style);
    setPopupDisplayEnabled (true, true, parent, 2000);
    setTextBoxStyle (NoTextBox, true, 0, 0);
    setLookAndFeel (lookAndFeel);

    removeChildComponent (textEntry.get());
    if (parent != nullptr)
        parent->addChildComponent (*textEntry);
    textEntry->setLookAndFeel (lookAndFeel);
}

void QELSlider::setOnParamMidiLearn (bool enabled, std::function<void (QELMidiMapping)> callback)
{
    ignoreUnused (enabled);
    onMidiLearn = std::move (callback);
    midiLearnItemEnabled = true;
}

void QELSlider::setParameter (AudioProcessorParameter* newParameter)
{
    if (newParameter == parameter)
        return;

    parameter = newParameter;
    updateText();
    repaint();
}

double QELSlider::now() const
{
    return clock ? clock() : Time::getMillisecondCounterHiRes();
}

bool QELSlider::isResetModifier (const ModifierKeys& mods) const noexcept
{
    return altClickResets ? (mods.isAltDown() && ! mods.isCtrlDown()) : mods.isCtrlDown();
}

bool QELSlider::isTwoValueStyle() const noexcept
{
    return getSliderStyle() == TwoValueHorizontal || getSliderStyle() == TwoValueVertical;
}

double QELSlider::currentThumbValue() const
{
    if (! isTwoValueStyle())
        return getValue();
    return hoveredThumb == 1 ? getMinValue() : getMaxValue();
}

//==============================================================================
// Drag distance and fine drag

void QELSlider::applyDragDistance()
{
    float distance = dragDistance;
    if (fineDragActive)
        distance = fineDragFactor != 0.0f ? fineDragFactor * dragDistance : (float) fineDragDistance;

    setMouseDragSensitivity (jmax (1, (int) distance));

    if (getThumbBeingDragged() != -1)
        restartDragAtLastPosition();
}

void QELSlider::restartDragAtLastPosition()
{
    // The framework's absolute drag gives prop (valueOnMouseDown) + (d (pos) - d (start)) / distance. Shifting
    // later positions makes that equal prop (current value) + (d (pos) - d (last position)) / distance, as if
    // the drag had started again here with the current value.
    const auto start = dragCoordinate (*this, dragStartPosition);
    const auto last = dragCoordinate (*this, lastDragPosition);
    if (! start || ! last)
        return;

    const double distance = (double) getMouseDragSensitivity();
    const double propNow = valueToProportionOfLength (getValue());
    const double propAtDown = valueToProportionOfLength (valueOnMouseDown);
    const auto shift = (float) (distance * (propNow - propAtDown)) + *start - *last;
    dragOffset = shiftFor (getSliderStyle(), shift);
}

//==============================================================================
// Reset

void QELSlider::resetHoveredThumb()
{
    if (hoveredThumb == 2)
        setMaxValue (maxResetValue, sendNotificationAsync, false);
    else if (hoveredThumb == 1)
        setMinValue (minResetValue, sendNotificationAsync, false);
    else
        resetValueToDefault();
}

void QELSlider::resetValueToDefault()
{
    const double target = getDoubleClickReturnValue();
    const bool frameworkResetWasOn = isDoubleClickReturnEnabled();

    if (target < getMinimum() || target > getMaximum())
    {
        setValue (target, sendNotificationSync); // limited by the range
        return;
    }

    // The framework's own reset wraps the change in drag-start and drag-end notifications, so that an
    // attached parameter sees one begin/end gesture around it.
    setDoubleClickReturnValue (true, target, ModifierKeys::altModifier);
    Slider::mouseDoubleClick (MouseEvent (Desktop::getInstance().getMainMouseSource(), {}, {}, 0.0f, 0.0f, 0.0f, 0.0f,
                                          0.0f, this, this, Time::getCurrentTime(), {}, Time::getCurrentTime(), 1,
                                          false));
    setDoubleClickReturnValue (frameworkResetWasOn, target, ModifierKeys::altModifier);
}

//==============================================================================
// Mouse

void QELSlider::mouseDown (const MouseEvent& e)
{
    fineDragActive = e.mods.isShiftDown();
    applyDragDistance();

    if (popupEnabled)
    {
        popup.reset();
        showPopupDisplay();
    }

    if (isResetModifier (e.mods))
    {
        resetHoveredThumb();
        setPopupMenuEnabled (false);
    }
    else
    {
        dragStartPosition = lastDragPosition = e.position;
        dragOffset = {};
        Slider::mouseDown (e);
        valueOnMouseDown = getValue();

        if (e.mods.isRightButtonDown() && contextMenuEnabled)
            showContextMenu();
    }

    updateHoveredThumb (e);
}

void QELSlider::mouseDrag (const MouseEvent& e)
{
    if (e.mods.isShiftDown() != fineDragActive)
    {
        fineDragActive = e.mods.isShiftDown();
        applyDragDistance();
    }

    if (isEnabled())
        Slider::mouseDrag (e.withNewPosition (e.position + dragOffset));

    lastDragPosition = e.position;
}

void QELSlider::mouseUp (const MouseEvent& e)
{
    Slider::mouseUp (e);
    const bool didNotMove = ! e.mouseWasDraggedSinceMouseDown();

    if (clickSteps && didNotMove && ! e.mods.isCtrlDown())
    {
        double next = getValue() + getInterval();
        if (next > getMaximum())
            next = 0.0;
        setValue (next, sendNotificationAsync);
    }

    if (popupEnabled && (e.x < 0 || e.y < 0 || e.x >= getWidth() || e.y >= getHeight()))
        popup.reset();

    if (clickSetsValue && didNotMove && ! isResetModifier (e.mods) && getWidth() > 0)
    {
        const double proportion = jlimit (0.0, 1.0, (double) e.x / (double) getWidth());
        setValue (proportionOfLengthToValue (proportion), sendNotificationAsync);
    }
}

void QELSlider::mouseDoubleClick (const MouseEvent& e)
{
    if (! clickSteps)
    {
        if (isEnabled())
            Slider::mouseDoubleClick (e);

        if (doubleClickOpensTextEntry)
            openTextEntry (e);
        else if (doubleClickResets)
            resetHoveredThumb();
    }

    if (onDoubleClick)
        onDoubleClick (e, hoveredThumb);
}

void QELSlider::mouseWheelMove (const MouseEvent& e, const MouseWheelDetails& wheel)
{
    Slider::mouseWheelMove (e, wheel);
    if (textEntry->isVisible())
        hideTextEntry();
}

void QELSlider::mouseMove (const MouseEvent& e)
{
    Slider::mouseMove (e);
    updateHoveredThumb (e);

    const bool over = isMouseOver (true) || getLocalBounds().contains (e.getEventRelativeTo (this).getPosition());
    if (popupEnabled && now() - lastPopupDismissal > 250.0 && over)
    {
        if (popup == nullptr)
            showPopupDisplay();
        if (popup != nullptr && popupHideDelayMs != -1)
            popup->startTimer (jmax (1, popupHideDelayMs));
    }

    if (helpManager != nullptr)
        helpManager->showHint (this, getHint());
}

void QELSlider::mouseEnter (const MouseEvent& e)
{
    Slider::mouseEnter (e);
    updateHoveredThumb (e);
}

void QELSlider::mouseExit (const MouseEvent& e)
{
    Slider::mouseExit (e);
    if (popupEnabled)
        popup.reset();
}

void QELSlider::updateHoveredThumb (const MouseEvent& e)
{
    if (! isTwoValueStyle())
    {
        hoveredThumb = -1;
        return;
    }

    const bool vertical = getSliderStyle() == TwoValueVertical;
    const auto local = e.getEventRelativeTo (this).position;
    const float pos = vertical ? local.y : local.x;
    const float minPos = getLinearSliderPos (getMinValue());
    const float maxPos = getLinearSliderPos (getMaxValue());
    const float b = vertical ? 0.1f : -0.1f;
    const int thumb = std::abs (maxPos - b - pos) <= std::abs (minPos + b - pos) ? 2 : 1;

    if (thumb != hoveredThumb)
    {
        hoveredThumb = thumb;
        if (popupEnabled)
            popup.reset();
    }
}

float QELSlider::getLinearSliderPos (double value)
{
    double p;
    if (getMaximum() <= getMinimum())
        p = 0.5;
    else if (value < getMinimum())
        p = 0.0;
    else if (value > getMaximum())
        p = 1.0;
    else
        p = valueToProportionOfLength (value);

    const auto area = getLookAndFeel().getSliderLayout (*this).sliderBounds;
    const auto style = getSliderStyle();
    if (isHorizontalStyle (style))
        return (float) ((double) getWidth() * p);
    if (isVerticalStyle (style))
        return (float) ((double) area.getY() + (double) area.getHeight() * (1.0 - p));
    return (float) ((double) area.getY() + (double) area.getHeight() * p);
}

bool QELSlider::hitTest (int x, int y)
{
    const auto style = getSliderStyle();
    if ((isHorizontalStyle (style) || isVerticalStyle (style)) && hitTestThumbOnly)
    {
        const float halfW = thumbWidth == -1 ? 20.0f : (float) (thumbWidth / 2);
        const float halfH = thumbHeight == -1 ? 20.0f : (float) (thumbHeight / 2);
        const float w = (float) getWidth(), h = (float) getHeight();
        if (! ((float) x > w / 2.0f - halfW && (float) x < w / 2.0f + halfW))
            return false;

        const float pos = getLinearSliderPos (getValue());
        const float thumbY = (h - halfH) + (pos + halfH - (halfH + h)) * (halfH - (h - halfH)) / (halfH - (halfH + h));
        return (float) y > thumbY - halfH && (float) y < thumbY + halfH;
    }

    if (useHitBox)
        return x > hitBoxLeft && x < getWidth() + hitBoxRight && y > hitBoxTop && y < getHeight() + hitBoxBottom;

    return Slider::hitTest (x, y);
}

void QELSlider::modifierKeysChanged (const ModifierKeys& mods)
{
    if (isEnabled())
        Slider::modifierKeysChanged (mods);
    Component::modifierKeysChanged (mods); // passes the change on to the parent
}

//==============================================================================
// Value popup

void QELSlider::showPopupDisplay()
{
    if (textEntry->isVisible() || popup != nullptr || ! isEnabled())
        return;

    auto newPopup = std::make_unique<PopupDisplayComponent> (*this);
    if (popupParent == nullptr)
        newPopup->setTransform (AffineTransform::scale (Component::getApproximateScaleFactorForComponent (this)));
    newPopup->setAlwaysOnTop (true);
    newPopup->setAllowedPlacement (getLookAndFeel().getSliderPopupPlacement (*this));
    newPopup->setLookAndFeel (&getLookAndFeel());
    newPopup->setComponentEffect (nullptr);
    popup = std::move (newPopup);

    if (popupParent != nullptr)
        popupParent->addChildComponent (*popup);
    else
        popup->addToDesktop (ComponentPeer::windowIsTemporary | ComponentPeer::windowIgnoresKeyPresses |
                             ComponentPeer::windowIgnoresMouseClicks);

    popup->updatePosition (getTextFromValue (currentThumbValue()));
    popup->setVisible (true);
}

void QELSlider::valueChanged()
{
    if (popupEnabled && popup != nullptr)
        popup->updatePosition (getTextFromValue (currentThumbValue()));
}

//==============================================================================
// Text

String QELSlider::getTextFromValue (double value)
{
    if (specialText1.isNotEmpty() && value == (double) specialValue1)
        return specialText1;
    if (specialText2.isNotEmpty() && value == (double) specialValue2)
        return specialText2;
    return Slider::getTextFromValue (value);
}

double QELSlider::getValueFromText (const String& text)
{
    if (specialText1.isNotEmpty() && specialText1 == text)
        return specialValue1;
    if (specialText2.isNotEmpty() && specialText2 == text)
        return specialValue2;
    return Slider::getValueFromText (text);
}

void QELSlider::openTextEntry (const MouseEvent& e)
{
    auto* entryParent = textEntry->getParentComponent();
    const auto area = entryParent == this ? getLocalBounds() : getBounds();
    textEntry->setTopLeftPosition (area.getCentreX() - textEntry->getWidth() / 2 + textEntryOffset.x,
                                   area.getCentreY() - textEntry->getHeight() / 2 + textEntryOffset.y);

    if (isTwoValueStyle())
        updateHoveredThumb (e);
    else
        hoveredThumb = -1;
    const double value = currentThumbValue();

    String text;
    if (numericTextEntry)
    {
        const int places = getNumDecimalPlacesToDisplay();
        text = (places > 0 ? String (value, places) : String (roundToInt (value))) + getTextValueSuffix();
    }
    else
    {
        text = Slider::getTextFromValue ((double) (float) value);
    }

    textEntry->setText (text, false);
    textEntry->setVisible (true);
    textEntry->toFront (false);
    textEntry->grabKeyboardFocus();
}

void QELSlider::hideTextEntry()
{
    textEntry->setVisible (false);
}

void QELSlider::textEditorTextChanged (TextEditor&) {}

void QELSlider::textEditorReturnKeyPressed (TextEditor& editor)
{
    const auto text = editor.getText();
    double value = getValueFromText (text);
    if (text.contains ("k"))
        value *= 1000.0;

    if (hoveredThumb == 1)
        setMinValue (value, sendNotificationAsync, false);
    else if (hoveredThumb == 2)
        setMaxValue (value, sendNotificationAsync, false);
    else
        setValue (value, sendNotificationAsync);

    hideTextEntry();
}

void QELSlider::textEditorEscapeKeyPressed (TextEditor&)
{
    hideTextEntry();
}

void QELSlider::textEditorFocusLost (TextEditor&)
{
    auto* focused = Component::getCurrentlyFocusedComponent();
    if (focused != textEntry.get() && ! textEntry->isParentOf (focused))
        hideTextEntry();
}

void QELSlider::globalFocusChanged (Component*)
{
    hideTextEntry();
}

//==============================================================================
// Context menu

void QELSlider::buildContextMenu()
{
    contextMenu.clear();

    if (auto* withId = dynamic_cast<AudioProcessorParameterWithID*> (parameter))
        contextMenu.addSectionHeader ("Param: " + withId->getName (28));

    if (lockItemEnabled)
    {
        contextMenu.addSeparator();
        contextMenu.addItem (101, "Lock parameter", true, isParameterLocked != nullptr && isParameterLocked());
    }

    if (midiLearnItemEnabled)
    {
        contextMenu.addSeparator();
        contextMenu.addItem (100, "MIDI learn...", true, false);
    }
}

void QELSlider::handleContextMenuResult (int result)
{
    if (result == 101)
    {
        if (onLockToggle)
            onLockToggle();
        return;
    }

    if (result != 100 || ! onMidiLearn)
        return;

    // A mapping needs the parameter's ID; without one there is nothing to learn.
    auto* withId = dynamic_cast<AudioProcessorParameterWithID*> (parameter);
    if (withId == nullptr)
        return;

    QELMidiMapping mapping;
    mapping.type = QELMidiMapping::parameterType;
    mapping.signal = 0;
    mapping.data1 = withId->paramID;
    mapping.custom_value = -1;
    mapping.number = -1;
    mapping.lastValue = -1;
    mapping.is_momentary = false;
    onMidiLearn (mapping);
}

void QELSlider::showContextMenu()
{
    buildContextMenu();
    contextMenu.showMenuAsync (PopupMenu::Options().withTargetScreenArea (getScreenBounds()),
                               [safe = Component::SafePointer<QELSlider> (this)] (int result)
                               {
                                   if (safe != nullptr)
                                       safe->handleContextMenuResult (result);
                               });
}
} // namespace juce
