#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

// The parameter state, the models' posted notifications and the timers need a
// message manager; the tests run on its thread.
int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    return RUN_ALL_TESTS();
}
