#include "plugin/Vst3TestSupport.h"

#include <X11/Xlib.h>
#include <gtest/gtest.h>

namespace
{
// Without a window manager some atoms JUCE asks for do not exist; the default Xlib handler
// would end the process on the first BadAtom.
int ignoreXErrors (Display*, XErrorEvent*)
{
    return 0;
}
} // namespace

// Real windows on the display (under xvfb-run where there is none), in a temporary HOME.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    XSetErrorHandler (ignoreXErrors);
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    tessaro::test::ScopedHome processHome;
    return RUN_ALL_TESTS();
}
