#include "plugin/Vst3TestSupport.h"

#include <gtest/gtest.h>

// The hosted plug-in needs a message manager on the test thread. The whole run happens in a
// temporary HOME, so loading the bundle never touches the real user folders.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    tessaro::test::ScopedHome processHome;
    return RUN_ALL_TESTS();
}
