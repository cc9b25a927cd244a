#include "editor/GuiTestSupport.h"

namespace gui_test
{
juce::Image paint (juce::Component& component, float scale)
{
    const auto w = juce::roundToInt ((float) component.getWidth() * scale);
    const auto h = juce::roundToInt ((float) component.getHeight() * scale);
    juce::Image image (juce::Image::ARGB, juce::jmax (1, w), juce::jmax (1, h), true, juce::SoftwareImageType());
    juce::Graphics g (image);
    g.addTransform (juce::AffineTransform::scale (scale));
    component.paintEntireComponent (g, true);
    return image;
}

juce::File writeArtifact (const juce::Image& image, const juce::String& name)
{
    const auto folder = juce::File::getSpecialLocation (juce::File::currentExecutableFile)
                            .getParentDirectory()
                            .getChildFile ("test-artifacts");
    folder.createDirectory();
    const auto file = folder.getChildFile (name + ".png");
    file.deleteFile();
    juce::FileOutputStream out (file);
    juce::PNGImageFormat().writeImageToStream (image, out);
    return file;
}

bool closeTo (juce::Colour a, juce::Colour b, int tolerance)
{
    const auto near = [tolerance] (juce::uint8 x, juce::uint8 y) { return std::abs ((int) x - (int) y) <= tolerance; };
    return near (a.getRed(), b.getRed()) && near (a.getGreen(), b.getGreen()) && near (a.getBlue(), b.getBlue()) &&
           near (a.getAlpha(), b.getAlpha());
}

juce::MouseEvent mouseEvent (juce::Component& component, juce::Point<float> position, juce::ModifierKeys modifiers,
                             int clicks)
{
    const auto now = juce::Time::getCurrentTime();
    return { juce::Desktop::getInstance().getMainMouseSource(),
             position,
             modifiers,
             juce::MouseInputSource::defaultPressure,
             juce::MouseInputSource::defaultOrientation,
             juce::MouseInputSource::defaultRotation,
             juce::MouseInputSource::defaultTiltX,
             juce::MouseInputSource::defaultTiltY,
             &component,
             &component,
             now,
             position,
             now,
             clicks,
             false };
}

void click (juce::Component& component, juce::Point<float> position, juce::ModifierKeys modifiers, int clicks)
{
    const auto down =
        mouseEvent (component, position, modifiers.withFlags (juce::ModifierKeys::leftButtonModifier), clicks);
    const auto up = mouseEvent (component, position, modifiers, clicks);
    component.mouseDown (down);
    component.mouseUp (up);
}

std::vector<MenuEntry> entriesOf (const juce::PopupMenu& menu)
{
    std::vector<MenuEntry> entries;
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();
        entries.push_back ({ item.text, item.itemID, item.isSectionHeader, item.isSeparator, item.isEnabled,
                             item.isTicked, item.colour, item.action != nullptr });
    }
    return entries;
}

void pump (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

bool pumpUntil (const std::function<bool()>& done, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs && ! done(); waited += 10)
        pump (10);
    return done();
}
} // namespace gui_test
