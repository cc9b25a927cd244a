#include "core/ProcessorFixture.h"

#include <gtest/gtest.h>

#include <set>

using namespace state_test;

namespace
{
/** Hears every parameter change the parameter state delivers, as the router does. */
struct ChangeRecorder : public juce::AudioProcessorValueTreeState::Listener
{
    explicit ChangeRecorder (Processor& p) : processor (p)
    {
        for (const auto& id : parameterIds (processor))
            processor.parameters.addParameterListener (id, this);
    }

    ~ChangeRecorder() override
    {
        for (const auto& id : parameterIds (processor))
            processor.parameters.removeParameterListener (id, this);
    }

    void parameterChanged (const juce::String& id, float) override { heard.insert (id.toStdString()); }

    Processor& processor;
    std::set<std::string> heard;
};

class PresetStateTest : public ::testing::Test
{
protected:
    PresetStateTest() { deliverPostedCalls(); }

    juce::File presetFile (const juce::String& name) const
    {
        return sandbox.folder.getChildFile ("presets").getChildFile (name + ".orvane");
    }

    /** A preset file holding the current content of p. */
    juce::File writePresetOf (Processor& p, const juce::String& name) const
    {
        return writeXml (presetFile (name), *p.getPluginState());
    }

    /** The live parameter tree as text, flushed. */
    static juce::String liveTreeText (Processor& p) { return p.parameters.copyState().toXmlString(); }

    Sandbox sandbox;
    std::unique_ptr<Processor> processor = makeProcessor();
};

const char* const perInstanceKeys[] = { "preset_path",        "preset_changed",         "gui_last_view",
                                        "input_mode",         "paramSceneGroup",        "paramScene",
                                        "last_live_set_file", "last_midi_mappings_file" };
} // namespace

//==============================================================================
TEST_F (PresetStateTest, ContentDropsExactlyThePerInstanceKeysWhileTheLiveTreeKeepsThem)
{
    auto source = makeProcessor();
    source->presetManagerModel->loadPreset (writePresetOf (*source, "Source"), false);
    auto xml = xmlOfBlob (saveState (*source));
    auto* sourceData = additionalDataOf (*xml);
    sourceData->setAttribute ("preset_version", "0.9.0");
    sourceData->setAttribute ("vendor_note", "kept");
    restoreState (*processor, blobFromXml (*xml));

    const auto content = processor->getPluginState();
    ASSERT_NE (content, nullptr);
    EXPECT_EQ (content->getTagName(), "orvane_tessaro");

    const auto* data = additionalDataOf (*content);
    ASSERT_NE (data, nullptr);
    EXPECT_EQ (attributeNames (*data), "id preset_version vendor_note");
    EXPECT_EQ (data->getStringAttribute ("preset_version"), "1.0.0");
    EXPECT_EQ (data->getStringAttribute ("vendor_note"), "kept");

    const auto live = liveAdditionalData (*processor);
    for (const auto* key : perInstanceKeys)
        EXPECT_TRUE (live.hasProperty (key)) << key;
    EXPECT_EQ (live.getProperty ("preset_version").toString(), "0.9.0");

    for (const auto& id : parameterIds (*processor))
    {
        const auto* param = content->getChildByAttribute ("id", id);
        ASSERT_NE (param, nullptr) << id;
        EXPECT_EQ ((float) param->getDoubleAttribute ("value"), valueOf (*processor, id)) << id;
    }
}

TEST_F (PresetStateTest, FreshContentCarriesOnlyTheVersion)
{
    const auto content = processor->getPluginState();
    const auto* data = additionalDataOf (*content);
    ASSERT_NE (data, nullptr);
    EXPECT_EQ (attributeNames (*data), "id preset_version");
    EXPECT_EQ (content->getNumChildElements(), 48);
}

TEST_F (PresetStateTest, ValueSetJustBeforeTheSaveIsInTheContent)
{
    setValue (*processor, "paramMix", 33.0f);
    setValue (*processor, "paramSpaceDelayType", 4.0f);

    const auto content = processor->getPluginState();
    EXPECT_EQ (content->getChildByAttribute ("id", "paramMix")->getDoubleAttribute ("value"), 33.0);
    EXPECT_EQ (content->getChildByAttribute ("id", "paramSpaceDelayType")->getDoubleAttribute ("value"), 4.0);
}

//==============================================================================
TEST_F (PresetStateTest, ContentRoundTripsThroughAFile)
{
    auto source = makeProcessor();
    applyDistinctValues (*source);
    const auto file = writePresetOf (*source, "Round Trip");
    const auto written = source->getPluginState();

    processor->presetManagerModel->loadPreset (file, false);

    const auto expected = captureState (*source).values;
    EXPECT_EQ (captureState (*processor).values, expected);
    EXPECT_EQ (processor->presetPath, file.getFullPathName());
    EXPECT_EQ (processor->presetManagerModel->currentPreset.getFullPathName(), file.getFullPathName());
    EXPECT_FALSE (processor->presetManagerModel->changed);

    const auto live = liveAdditionalData (*processor);
    EXPECT_EQ (live.getProperty ("preset_path").toString(), file.getFullPathName());
    EXPECT_EQ (live.getProperty ("preset_changed").toString(), "not_changed");

    const auto again = processor->getPluginState();
    for (const auto& id : parameterIds (*processor))
        EXPECT_EQ (again->getChildByAttribute ("id", id)->getDoubleAttribute ("value"),
                   written->getChildByAttribute ("id", id)->getDoubleAttribute ("value"))
            << id;
    EXPECT_TRUE (additionalDataOf (*again)->isEquivalentTo (additionalDataOf (*written), false))
        << additionalDataOf (*again)->toString() << " vs " << additionalDataOf (*written)->toString();
}

TEST_F (PresetStateTest, KeepParametersRecordsThePresetOnly)
{
    const auto file = writePresetOf (*processor, "Defaults");
    applyDistinctValues (*processor);
    ASSERT_TRUE (processor->presetManagerModel->changed);
    const auto before = captureState (*processor).values;

    processor->setPluginStateFromPreset (file, true);

    EXPECT_EQ (captureState (*processor).values, before);
    EXPECT_EQ (processor->presetPath, file.getFullPathName());
    EXPECT_FALSE (processor->presetManagerModel->changed);
    const auto live = liveAdditionalData (*processor);
    EXPECT_EQ (live.getProperty ("preset_path").toString(), file.getFullPathName());
    EXPECT_EQ (live.getProperty ("preset_changed").toString(), "not_changed");
}

TEST_F (PresetStateTest, FileThatDoesNotParseChangesNothing)
{
    processor->presetManagerModel->loadPreset (writePresetOf (*processor, "Applied"), false);
    setValue (*processor, "paramMix", 40.0f);

    const juce::File files[] = {
        writeText (presetFile ("Not XML"), "just some words"),
        writeText (presetFile ("Empty"), {}),
        writeText (presetFile ("Cut"), R"(<?xml version="1.0"?><orvane_tessaro><PARAM id="paramMix" value="5"/>)"),
        writeText (presetFile ("Unmatched"), R"(<orvane_tessaro><PARAM id="paramMix" value="5"></orvane_tessaro>)"),
        presetFile ("Missing"),
        sandbox.folder,
    };

    for (const auto& file : files)
    {
        const auto before = captureState (*processor);
        const auto treeBefore = liveTreeText (*processor);

        processor->setPluginStateFromPreset (file, false);

        EXPECT_EQ (differences (before, captureState (*processor)), "") << file.getFileName();
        EXPECT_EQ (liveTreeText (*processor), treeBefore) << file.getFileName();
    }
}

TEST_F (PresetStateTest, PresetLackingParametersLeavesThemAsTheyAre)
{
    // <orvane_tessaro>
    //   <PARAM id="paramMix" value="20"/>          -> 20
    //   <PARAM id="paramGainDrive"/>               -> default 0
    //   <PARAM id="paramRetired" value="5"/>       -> names no parameter, stays in the tree
    // </orvane_tessaro>                            every other parameter keeps its value
    const auto file = writeText (presetFile ("Partial"), R"(<?xml version="1.0" encoding="UTF-8"?>
<orvane_tessaro>
  <PARAM id="paramMix" value="20"/>
  <PARAM id="paramGainDrive"/>
  <PARAM id="paramRetired" value="5"/>
</orvane_tessaro>)");

    applyDistinctValues (*processor);
    setValue (*processor, "paramGainDrive", 60.0f);
    auto expected = captureState (*processor).values;
    for (auto& [id, value] : expected)
        if (id == "paramMix")
            value = 20.0f;
        else if (id == "paramGainDrive")
            value = 0.0f;

    processor->setPluginStateFromPreset (file, false);

    auto actual = captureState (*processor);
    auto wanted = actual;
    wanted.values = expected;
    EXPECT_EQ (differences (wanted, actual), "");

    const auto tree = processor->parameters.copyState();
    EXPECT_TRUE (tree.getChildWithProperty ("id", "paramRetired").isValid());
    for (const auto& id : parameterIds (*processor))
        EXPECT_EQ ((float) tree.getChildWithProperty ("id", id).getProperty ("value"), valueOf (*processor, id)) << id;
}

TEST_F (PresetStateTest, NonFiniteValuesNeverReachAParameter)
{
    const auto file = writeText (presetFile ("Non-finite"), R"(<?xml version="1.0" encoding="UTF-8"?>
<orvane_tessaro>
  <PARAM id="paramMix" value="NaN"/>
  <PARAM id="paramSpaceReverbTime" value="-nan"/>
  <PARAM id="paramGainGain" value="-inf"/>
  <PARAM id="paramEQLowFreq" value="Infinity"/>
</orvane_tessaro>)");

    processor->presetManagerModel->loadPreset (file, false);

    EXPECT_EQ (processor->presetPath, file.getFullPathName());
    EXPECT_EQ (parametersOutOfRange (*processor), "");
}

TEST_F (PresetStateTest, EveryChangedParameterReachesTheListeners)
{
    auto source = makeProcessor();
    applyDistinctValues (*source);
    const auto file = writePresetOf (*source, "Distinct");

    std::set<std::string> moved;
    for (const auto& [id, value] : distinctValues())
        if (value != valueOf (*processor, id))
            moved.insert (id.toStdString());

    ChangeRecorder recorder (*processor);
    processor->setPluginStateFromPreset (file, false);

    EXPECT_EQ (recorder.heard, moved);
    EXPECT_EQ (processor->eqHighFreq.load(), valueOf (*processor, "paramEQHighFreq"));
    EXPECT_EQ (processor->eqHighGain.load(), valueOf (*processor, "paramEQHighGain"));
    EXPECT_EQ (processor->eqMidQ.load(), valueOf (*processor, "paramEQMidQ"));
    EXPECT_EQ (processor->eqLowGain.load(), valueOf (*processor, "paramEQLowGain"));
    EXPECT_NE (processor->eqHighFreq.load(), 5000.0f);
    EXPECT_FALSE (processor->presetManagerModel->changed) << "set by the router, cleared once the preset is recorded";
}
