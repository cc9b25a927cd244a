#include "core/ProcessorFixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace state_test;

namespace
{
class HostStateTest : public ::testing::Test
{
protected:
    HostStateTest() { deliverPostedCalls(); }

    /** A preset file in the sandbox holding the current content of p. */
    juce::File writePresetOf (Processor& p, const juce::String& name) const
    {
        return writeXml (sandbox.folder.getChildFile ("presets").getChildFile (name + ".orvane"), *p.getPluginState());
    }

    /** A source instance: a preset applied, then parameters, view and input mode moved. */
    std::unique_ptr<Processor> makeEditedSource (juce::File& appliedPreset) const
    {
        auto source = makeProcessor();
        appliedPreset = writePresetOf (*source, "Lead");
        source->presetManagerModel->loadPreset (appliedPreset, false);
        applyDistinctValues (*source);
        source->guiLastView = 4;
        return source;
    }

    /** The XML of a blob of `source` after `edit` ran on its per-instance element. */
    juce::MemoryBlock editedBlob (Processor& source, const std::function<void (juce::XmlElement&)>& edit) const
    {
        auto xml = xmlOfBlob (saveState (source));
        edit (*additionalDataOf (*xml));
        return blobFromXml (*xml);
    }

    Sandbox sandbox;
    std::unique_ptr<Processor> processor = makeProcessor();
};

/** Restores the working directory on leaving a scope. */
struct ScopedWorkingDirectory
{
    explicit ScopedWorkingDirectory (const juce::File& folder) { folder.setAsCurrentWorkingDirectory(); }
    ~ScopedWorkingDirectory() { previous.setAsCurrentWorkingDirectory(); }

    juce::File previous = juce::File::getCurrentWorkingDirectory();
};
} // namespace

//==============================================================================
TEST_F (HostStateTest, FreshSaveHasTheBlobLayoutByteForByte)
{
    const auto blob = saveState (*processor);
    const auto* bytes = static_cast<const juce::uint8*> (blob.getData());
    const auto size = blob.getSize();

    ASSERT_GT (size, 9u);
    EXPECT_EQ (std::string (bytes, bytes + 4), "VC2!");
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (bytes), 0x21324356u);
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (bytes + 4), size - 9);
    EXPECT_EQ (bytes[size - 1], 0);
    EXPECT_EQ (std::find (bytes + 8, bytes + size - 1, 0), bytes + size - 1) << "no zero byte inside the text";

    const auto text = textOfBlob (blob);
    EXPECT_TRUE (text.startsWith (R"(<?xml version="1.0" encoding="UTF-8"?> <orvane_tessaro>)")) << text;
    EXPECT_TRUE (text.endsWith ("</orvane_tessaro>"));
    EXPECT_FALSE (text.containsAnyOf ("\r\n\t"));
}

TEST_F (HostStateTest, FreshSaveListsParametersInIdOrderThenThePerInstanceKeys)
{
    const auto xml = xmlOfBlob (saveState (*processor));
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "orvane_tessaro");
    EXPECT_EQ (xml->getNumAttributes(), 0);

    auto ids = parameterIds (*processor);
    ASSERT_EQ (ids.size(), 47);
    std::sort (ids.begin(), ids.end(),
               [] (const juce::String& a, const juce::String& b)
               { return std::string (a.toRawUTF8()) < std::string (b.toRawUTF8()); });

    ASSERT_EQ (xml->getNumChildElements(), 48);
    for (int i = 0; i < 47; ++i)
    {
        const auto* param = xml->getChildElement (i);
        EXPECT_EQ (param->getTagName(), "PARAM");
        EXPECT_EQ (attributeNames (*param), "id value");
        EXPECT_EQ (param->getStringAttribute ("id"), ids[i]);
        EXPECT_EQ ((float) param->getDoubleAttribute ("value"), valueOf (*processor, ids[i])) << ids[i];
    }

    const auto* data = xml->getChildElement (47);
    EXPECT_EQ (data->getTagName(), "PARAM");
    EXPECT_EQ (data->getNumChildElements(), 0) << "no \"midi\" child";
    EXPECT_EQ (attributeNames (*data), "id paramScene paramSceneGroup gui_last_view input_mode preset_changed "
                                       "last_live_set_file last_midi_mappings_file");
    EXPECT_EQ (data->getStringAttribute ("id"), "additional_data");
    EXPECT_EQ (data->getIntAttribute ("paramScene"), -1);
    EXPECT_EQ (data->getIntAttribute ("paramSceneGroup"), 0);
    EXPECT_EQ (data->getIntAttribute ("gui_last_view"), -1);
    EXPECT_EQ (data->getIntAttribute ("input_mode"), 1);
    EXPECT_EQ (data->getStringAttribute ("preset_changed"), "not_changed");
    const auto userFolder = sandbox.folder.getChildFile (".config/Orvane/Orvane Tessaro");
    EXPECT_EQ (data->getStringAttribute ("last_live_set_file"),
               userFolder.getChildFile ("Live/Default.qelliveset").getFullPathName());
    EXPECT_EQ (data->getStringAttribute ("last_midi_mappings_file"),
               userFolder.getChildFile ("MIDI/Default.qelmidi").getFullPathName());
}

TEST_F (HostStateTest, SavingWritesNoFileAndAddsTheKeysOnlyToTheCopy)
{
    saveState (*processor);

    EXPECT_FALSE (liveAdditionalData (*processor).isValid());
    EXPECT_TRUE (sandbox.folder.findChildFiles (juce::File::findFilesAndDirectories, true).isEmpty());
}

TEST_F (HostStateTest, SavingTwiceGivesIdenticalBlobs)
{
    EXPECT_EQ (saveState (*processor), saveState (*processor));

    applyDistinctValues (*processor);
    const auto first = saveState (*processor);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (150); // let the parameter state's timer flush
    EXPECT_EQ (saveState (*processor), first);
}

//==============================================================================
TEST_F (HostStateTest, RoundTripRestoresEveryParameterAndThePerInstanceValues)
{
    juce::File lead;
    auto source = makeEditedSource (lead);
    source->setInputMode (QEL::InputModeStereo);

    for (const bool changed : { true, false })
    {
        source->presetManagerModel->changed = changed;
        auto target = makeProcessor();
        restoreState (*target, saveState (*source));

        const auto expected = captureState (*source);
        EXPECT_EQ (differences (expected, captureState (*target)), "") << "changed " << changed;
        EXPECT_EQ (target->presetPath, lead.getFullPathName());
        EXPECT_EQ (target->presetManagerModel->currentPreset.getFullPathName(), lead.getFullPathName());
        EXPECT_EQ (target->guiLastView, 4);
        EXPECT_EQ (target->eqHighFreq.load(), valueOf (*target, "paramEQHighFreq")) << "the router heard the restore";
    }
}

TEST_F (HostStateTest, RoundTripRestoresInputModeZero)
{
    processor->setInputMode (QEL::InputModeMono);
    auto target = makeProcessor();
    restoreState (*target, saveState (*processor));
    EXPECT_EQ (target->inputMode, 0);
}

TEST_F (HostStateTest, ParametersMissingFromTheBlobKeepTheirValuesAndGetAnElement)
{
    // <orvane_tessaro> <PARAM id="paramMix"/> (no value) ... paramGainDrive absent ... </orvane_tessaro>
    auto xml = xmlOfBlob (saveState (*processor));
    xml->getChildByAttribute ("id", "paramMix")->removeAttribute ("value");
    xml->getChildByAttribute ("id", "paramEQHighGain")->setAttribute ("value", 3.0);
    xml->removeChildElement (xml->getChildByAttribute ("id", "paramGainDrive"), true);

    setValue (*processor, "paramMix", 30.0f);
    setValue (*processor, "paramGainDrive", 60.0f);
    restoreState (*processor, blobFromXml (*xml));

    EXPECT_EQ (valueOf (*processor, "paramMix"), 100.0f) << "an element without value gives the default";
    EXPECT_EQ (valueOf (*processor, "paramGainDrive"), 60.0f);
    EXPECT_EQ (valueOf (*processor, "paramEQHighGain"), 3.0f);

    const auto state = processor->parameters.copyState();
    for (const auto& id : parameterIds (*processor))
        EXPECT_TRUE (state.getChildWithProperty ("id", id).isValid()) << id;
    EXPECT_EQ ((float) state.getChildWithProperty ("id", "paramGainDrive").getProperty ("value"), 60.0f);
}

TEST_F (HostStateTest, NonFiniteValuesNeverReachAParameter)
{
    // <PARAM id="paramMix" value="nan"/>  <PARAM id="paramGainGain" value="inf"/>
    // <PARAM id="paramEQHighFreq" value="-inf"/>  <PARAM id="paramSpaceDelayTime" value="1e400"/>
    auto xml = xmlOfBlob (saveState (*processor));
    xml->getChildByAttribute ("id", "paramMix")->setAttribute ("value", "nan");
    xml->getChildByAttribute ("id", "paramGainGain")->setAttribute ("value", "inf");
    xml->getChildByAttribute ("id", "paramEQHighFreq")->setAttribute ("value", "-inf");
    xml->getChildByAttribute ("id", "paramSpaceDelayTime")->setAttribute ("value", "1e400");

    restoreState (*processor, blobFromXml (*xml));

    EXPECT_EQ (parametersOutOfRange (*processor), "");
}

// A toggle stored as a fraction (a hand-edited or foreign state) comes back as exactly 0 or 1, and the
// chain follows the value the parameter reports.
//   <PARAM id="paramEQAdLib" value="0.3"/>  <PARAM id="paramCompressSlow" value="0.7"/>
TEST_F (HostStateTest, ToggleFractionsRestoreAsExactlyOffOrOn)
{
    auto xml = xmlOfBlob (saveState (*processor));
    xml->getChildByAttribute ("id", "paramEQAdLib")->setAttribute ("value", "0.3");
    xml->getChildByAttribute ("id", "paramCompressSlow")->setAttribute ("value", "0.7");

    restoreState (*processor, blobFromXml (*xml));

    EXPECT_EQ (processor->parameters.getParameter ("paramEQAdLib")->getValue(), 0.0f);
    EXPECT_EQ (processor->parameters.getParameter ("paramCompressSlow")->getValue(), 1.0f);
    EXPECT_FALSE (processor->tessaroProcessor.eqProcessor.adLib.active.load());
    EXPECT_TRUE (processor->tessaroProcessor.compressProcessor.isSlow());
}

//==============================================================================
TEST_F (HostStateTest, BlobsFailingTheChecksChangeNothing)
{
    juce::File lead;
    auto source = makeEditedSource (lead);
    const auto valid = saveState (*source);
    const auto validSize = valid.getSize();

    const auto withByte = [&valid] (size_t index, char value)
    {
        auto blob = valid;
        blob[index] = value;
        return blob;
    };
    const auto withCount = [&valid] (juce::uint32 count)
    {
        auto blob = valid;
        putCount (blob, count);
        return blob;
    };
    const auto firstBytes = [&valid] (size_t n) { return juce::MemoryBlock (valid.getData(), n); };

    const std::pair<const char*, juce::MemoryBlock> cases[] = {
        { "empty", juce::MemoryBlock() },
        { "8 bytes", firstBytes (8) },
        { "header and an empty text", blobFromText ({}) },
        { "wrong magic", withByte (0, 'v') },
        { "magic of another format", withByte (3, '?') },
        { "count 0", withCount (0) },
        { "count -1", withCount (0xffffffffu) },
        { "count INT_MIN", withCount (0x80000000u) },
        { "text cut by the count", withCount ((juce::uint32) (validSize - 9) / 2) },
        { "blob cut in the middle", firstBytes (validSize / 2) },
        { "zero byte inside the text", withByte (8 + (validSize - 9) / 2, 0) },
        { "text begins with a zero byte", withByte (8, 0) },
        { "text that is no XML", blobFromText ("VC2! is not XML") },
        { "unclosed element", blobFromText ("<orvane_tessaro><PARAM id=\"paramMix\" value=\"10\"/>") },
        { "unmatched tags", blobFromText ("<orvane_tessaro><PARAM id=\"paramMix\" value=\"10\"></orvane_tessaro>") },
    };

    for (const auto& [name, blob] : cases)
    {
        auto target = makeProcessor();
        const auto before = captureState (*target);
        restoreState (*target, blob);
        EXPECT_EQ (differences (before, captureState (*target)), "") << name;
        EXPECT_FALSE (liveAdditionalData (*target).isValid()) << name;
    }

    const auto before = captureState (*processor);
    processor->setStateInformation (valid.getData(), -1);
    processor->setStateInformation (nullptr, 100);
    EXPECT_EQ (differences (before, captureState (*processor)), "") << "negative size, null data";
}

TEST_F (HostStateTest, CountLargerThanTheDataReadsTheBytesPresent)
{
    juce::File lead;
    auto source = makeEditedSource (lead);
    const auto valid = saveState (*source);
    const auto expected = captureState (*source);

    auto withoutZero = juce::MemoryBlock (valid.getData(), valid.getSize() - 1);
    putCount (withoutZero, (juce::uint32) valid.getSize() + 1000);
    auto hugeCount = valid;
    putCount (hugeCount, 0x7fffffffu);

    for (const auto& blob : { withoutZero, hugeCount })
    {
        auto target = makeProcessor();
        restoreState (*target, blob);
        EXPECT_EQ (differences (expected, captureState (*target)), "");
    }
}

TEST_F (HostStateTest, ZeroByteEndsTheTextBeforeTrailingBytes)
{
    // "VC2!" <count> <?xml ...?> <orvane_tessaro>...</orvane_tessaro> \0 "<<garbage" \0
    juce::File lead;
    auto source = makeEditedSource (lead);
    auto blob = saveState (*source);
    blob.removeSection (blob.getSize() - 1, 1);
    blob.append ("\0<<garbage", 10);
    blob.append ("", 1);
    putCount (blob, (juce::uint32) blob.getSize() - 9);

    restoreState (*processor, blob);
    EXPECT_EQ (differences (captureState (*source), captureState (*processor)), "");
}

TEST_F (HostStateTest, RootTagDifferingOnlyInCaseIsAcceptedAndTheProductTagKept)
{
    juce::File lead;
    auto source = makeEditedSource (lead);
    auto text = textOfBlob (saveState (*source));
    text = text.replace ("<orvane_tessaro>", "<Orvane_TESSARO>").replace ("</orvane_tessaro>", "</Orvane_TESSARO>");

    restoreState (*processor, blobFromText (text));

    EXPECT_EQ (differences (captureState (*source), captureState (*processor)), "");
    EXPECT_EQ (xmlOfBlob (saveState (*processor))->getTagName(), "orvane_tessaro");
    EXPECT_EQ (processor->getPluginState()->getTagName(), "orvane_tessaro");
}

TEST_F (HostStateTest, OtherProductKeepsParametersAndReappliesTheCurrentKeys)
{
    juce::File lead;
    auto source = makeEditedSource (lead);
    source->setInputMode (QEL::InputModeStereo);
    const auto sourceBlob = saveState (*source);

    auto text = textOfBlob (sourceBlob);
    text = text.replace ("orvane_tessaro>", "other_product>")
               .replace (R"(id="paramMix" value="75.0")", R"(id="paramMix" value="10.0")");
    ASSERT_TRUE (text.contains ("<other_product>") && text.contains (R"(value="10.0")"));
    const auto foreign = blobFromText (text);

    // A fresh instance has no per-instance element: it is created empty and its
    // missing keys give view 0, input mode 0, no preset path and a cleared flag.
    {
        auto fresh = makeProcessor();
        auto expected = captureState (*fresh);
        expected.guiLastView = 0;
        expected.inputMode = 0;
        restoreState (*fresh, foreign);
        EXPECT_EQ (differences (expected, captureState (*fresh)), "");
        EXPECT_TRUE (liveAdditionalData (*fresh).isValid());
    }

    // An instance restored earlier goes back to the keys its live element holds.
    restoreState (*processor, sourceBlob);
    const auto restored = captureState (*processor);
    processor->guiLastView = 9;
    processor->setInputMode (QEL::InputModeMono);
    processor->presetManagerModel->changed = false;
    processor->presetPath = "/elsewhere/Other.orvane";

    restoreState (*processor, foreign);
    EXPECT_EQ (differences (restored, captureState (*processor)), "");
}

//==============================================================================
TEST_F (HostStateTest, MissingKeysGiveTheirDefaults)
{
    juce::File lead;
    auto source = makeEditedSource (lead);
    source->setInputMode (QEL::InputModeStereo);
    ASSERT_TRUE (source->presetManagerModel->changed);

    struct Case
    {
        const char* key;
        std::function<void (Processor&, const juce::File& targetPreset)> check;
    };
    const Case cases[] = {
        { "input_mode", [] (Processor& p, const juce::File&) { EXPECT_EQ (p.inputMode, 0); } },
        { "preset_changed", [] (Processor& p, const juce::File&) { EXPECT_FALSE (p.presetManagerModel->changed); } },
        { "gui_last_view", [] (Processor& p, const juce::File&) { EXPECT_EQ (p.guiLastView, 0); } },
        { "preset_path",
          [] (Processor& p, const juce::File& targetPreset)
          {
              EXPECT_TRUE (p.presetPath.isEmpty());
              EXPECT_EQ (p.presetManagerModel->currentPreset.getFullPathName(), targetPreset.getFullPathName())
                  << "the store's preset is left alone";
          } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.key);
        auto target = makeProcessor();
        const auto targetPreset = writePresetOf (*target, "Target");
        target->presetManagerModel->loadPreset (targetPreset, false);
        ASSERT_EQ (target->presetManagerModel->currentPreset.getFullPathName(), targetPreset.getFullPathName());

        const auto blob = editedBlob (*source, [&c] (juce::XmlElement& data) { data.removeAttribute (c.key); });
        restoreState (*target, blob);

        c.check (*target, targetPreset);
        EXPECT_EQ (valueOf (*target, "paramMix"), 75.0f) << "the parameters are restored all the same";
    }
}

TEST_F (HostStateTest, RelativePathsInTheBlobAreTreatedAsEmpty)
{
    // Files that a relative path would reach from the working directory.
    ScopedWorkingDirectory cwd (sandbox.folder);
    writeXml (sandbox.folder.getChildFile ("Relative.orvane"), *processor->getPluginState());
    juce::LiveModel liveSet ("Orvane Tessaro", "Orvane");
    ASSERT_TRUE (liveSet.saveTo (sandbox.folder.getChildFile ("Relative.qelliveset")));

    const auto targetPreset = writePresetOf (*processor, "Target");
    processor->presetManagerModel->loadPreset (targetPreset, false);
    ASSERT_EQ (processor->presetPath, targetPreset.getFullPathName());

    const auto blob = editedBlob (*processor,
                                  [] (juce::XmlElement& data)
                                  {
                                      data.setAttribute ("preset_path", "Relative.orvane");
                                      data.setAttribute ("last_live_set_file", "Relative.qelliveset");
                                  });
    restoreState (*processor, blob);

    EXPECT_TRUE (processor->presetPath.isEmpty());
    EXPECT_EQ (processor->presetManagerModel->currentPreset.getFullPathName(), targetPreset.getFullPathName());
    EXPECT_EQ (processor->liveModel->currentFile.getFullPathName(), "");
}

TEST_F (HostStateTest, LivePositionIsRestoredOnlyWhenTheScenePresetExists)
{
    const auto scenePreset = writePresetOf (*processor, "Scene");
    const auto liveFile = processor->liveModel->getDefaultLiveSetFile();
    juce::LiveModel liveSet ("Orvane Tessaro", "Orvane");
    liveSet.groups[2]->scenes[3]->presetPath = scenePreset.getFullPathName();
    ASSERT_TRUE (liveSet.saveTo (liveFile));

    const auto blob = editedBlob (*processor,
                                  [] (juce::XmlElement& data)
                                  {
                                      data.setAttribute ("paramSceneGroup", 2);
                                      data.setAttribute ("paramScene", 3);
                                  });
    const auto presetBefore = processor->presetManagerModel->currentPreset;

    for (const bool presetExists : { true, false })
    {
        SCOPED_TRACE (presetExists ? "scene preset exists" : "scene preset deleted");
        if (! presetExists)
            scenePreset.deleteFile();

        auto target = makeProcessor();
        restoreState (*target, blob);
        deliverPostedCalls();

        const auto& live = *target->liveModel;
        EXPECT_EQ (live.currentFile.getFullPathName(), liveFile.getFullPathName());
        EXPECT_EQ (live.groups[2]->scenes[3]->presetPath, scenePreset.getFullPathName());
        EXPECT_EQ (live.activeGroup, presetExists ? 2 : 0);
        EXPECT_EQ (live.activeScene, presetExists ? 3 : -1);
        EXPECT_EQ (live.browsedGroup, presetExists ? 2 : 0);
        EXPECT_EQ (live.browsedScene, presetExists ? 3 : -1);
        EXPECT_EQ (target->presetManagerModel->currentPreset.getFullPathName(), presetBefore.getFullPathName())
            << "no scene preset is loaded";
    }
}

TEST_F (HostStateTest, AfterAPresetTheCarriedKeysComeFirst)
{
    const auto preset = writePresetOf (*processor, "Carried");
    processor->presetManagerModel->loadPreset (preset, true);
    setValue (*processor, "paramMix", 50.0f);

    const auto xml = xmlOfBlob (saveState (*processor));
    const auto* data = additionalDataOf (*xml);
    ASSERT_NE (data, nullptr);
    EXPECT_EQ (xml->getChildElement (xml->getNumChildElements() - 1), data);
    EXPECT_EQ (attributeNames (*data), "id preset_version preset_path preset_changed paramScene paramSceneGroup "
                                       "gui_last_view input_mode last_live_set_file last_midi_mappings_file");
    EXPECT_EQ (data->getStringAttribute ("preset_version"), "1.0.0");
    EXPECT_EQ (data->getStringAttribute ("preset_path"), preset.getFullPathName());
    EXPECT_EQ (data->getStringAttribute ("preset_changed"), "changed") << "written from the store's flag";
}
