#include "render/EditorSnapshot.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>

namespace tessaro::render
{
namespace
{
    // Without a window manager some atoms JUCE sets do not exist; Xlib's default handler would
    // end the process on the first BadAtom.
    int ignoreXErrors (Display*, XErrorEvent*)
    {
        return 0;
    }

    // Reads a window's pixels, with those of the windows inside it, from the X server.
    juce::Image grabWindow (::Window window, int width, int height)
    {
        auto* display = XOpenDisplay (nullptr);
        if (display == nullptr)
            return {};

        XSync (display, False);
        auto* pixels = XGetImage (display, window, 0, 0, (unsigned) width, (unsigned) height, AllPlanes, ZPixmap);
        juce::Image picture;
        if (pixels != nullptr)
        {
            picture = juce::Image (juce::Image::RGB, width, height, false);
            juce::Image::BitmapData out (picture, juce::Image::BitmapData::writeOnly);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                {
                    const auto p = XGetPixel (pixels, x, y);
                    out.setPixelColour (x, y,
                                        juce::Colour ((juce::uint8) ((p >> 16) & 0xff), (juce::uint8) ((p >> 8) & 0xff),
                                                      (juce::uint8) (p & 0xff)));
                }
            XDestroyImage (pixels);
        }
        XCloseDisplay (display);
        return picture;
    }
} // namespace

juce::Result EditorSnapshot::capture (juce::AudioPluginInstance& plugin, juce::Image& picture, int settleMs)
{
    if (juce::Desktop::getInstance().getDisplays().displays.isEmpty())
        return juce::Result::fail ("No display to open the editor on (run under xvfb-run)");

    XSetErrorHandler (ignoreXErrors);

    std::unique_ptr<juce::AudioProcessorEditor> editor (plugin.createEditorIfNeeded());
    if (editor == nullptr)
        return juce::Result::fail (plugin.getName() + " has no editor");

    editor->setTopLeftPosition (0, 0);
    editor->addToDesktop (juce::ComponentPeer::windowIsTemporary);
    editor->setVisible (true);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (settleMs);

    auto* peer = editor->getPeer();
    if (peer != nullptr)
        picture = grabWindow ((::Window) (juce::pointer_sized_uint) peer->getNativeHandle(), editor->getWidth(),
                              editor->getHeight());

    editor->removeFromDesktop();
    plugin.editorBeingDeleted (editor.get());
    editor.reset();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);

    return picture.isValid() ? juce::Result::ok() : juce::Result::fail ("Could not read the editor's window");
}

juce::Result EditorSnapshot::writePng (juce::AudioPluginInstance& plugin, const juce::File& file)
{
    juce::Image picture;
    if (const auto captured = capture (plugin, picture); captured.failed())
        return captured;

    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream out (file);
    if (! out.openedOk() || ! juce::PNGImageFormat().writeImageToStream (picture, out))
        return juce::Result::fail ("Could not write " + file.getFullPathName());
    return juce::Result::ok();
}
} // namespace tessaro::render
