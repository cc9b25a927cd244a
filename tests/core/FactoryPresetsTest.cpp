#include "core/Params.h"
#include "core/PlatformPaths.h"
#include "core/PluginProcessor.h"

#include "TestSandbox.h"

#include <gtest/gtest.h>

namespace
{
const juce::File shippedPresets { TESSARO_RESOURCES_DIR "/presets" };

/** The shipped bank installed into a temporary preset root, as the demo installs it. */
class FactoryPresetsTest : public ::testing::Test
{
protected:
    test_support::Sandbox sandbox;
    juce::File root;

    void SetUp() override
    {
        root = QEL::PlatformPaths::presetRoot ("Orvane", "Orvane Tessaro");
        ASSERT_TRUE (root.createDirectory());
        ASSERT_TRUE (shippedPresets.copyDirectoryTo (root));
    }
};
} // namespace

TEST_F (FactoryPresetsTest, ANewInstanceStartsFromEasyVocalChain)
{
    OrvaneTessaroAudioProcessor processor;

    EXPECT_EQ (processor.presetManagerModel->currentPreset,
               root.getChildFile ("Factory").getChildFile ("Easy Vocal Chain.orvane"));
    EXPECT_FALSE (processor.presetManagerModel->changed);
    EXPECT_EQ (processor.parameters.getRawParameterValue (Params::paramCompressCompression)->load(), 35.0f);
    EXPECT_EQ (processor.eqHighFreq.load(), 8000.0f);
}

TEST_F (FactoryPresetsTest, EveryShippedPresetIsAFactoryPresetWhoseValuesAreLegal)
{
    OrvaneTessaroAudioProcessor processor;
    auto& store = *processor.presetManagerModel;
    const auto files = root.findChildFiles (juce::File::findFiles, true, "*.orvane");
    ASSERT_GE (files.size(), 5);

    for (const auto& file : files)
    {
        SCOPED_TRACE (file.getFileName().toStdString());
        ASSERT_TRUE (store.isQELPreset (file));
        EXPECT_TRUE (store.getIsFactoryPreset (file));

        store.loadPreset (file, true);
        const auto xml = juce::parseXML (file);
        int parameterElements = 0;
        for (auto* element : xml->getChildIterator())
        {
            auto* parameter = processor.parameters.getParameter (element->getStringAttribute ("id"));
            if (parameter == nullptr)
                continue;

            ++parameterElements;
            const auto stored = (float) element->getDoubleAttribute ("value");
            const auto loaded = processor.parameters.getRawParameterValue (parameter->getParameterID())->load();
            EXPECT_NEAR (loaded, stored, 0.006f) << parameter->getParameterID(); // on the parameter's grid
            EXPECT_GE (stored, parameter->getNormalisableRange().start);
            EXPECT_LE (stored, parameter->getNormalisableRange().end);
        }
        EXPECT_EQ (parameterElements, 47);
    }
}
