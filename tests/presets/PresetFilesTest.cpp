#include "presets/PresetFiles.h"
#include "presets/PresetsTestSupport.h"

#include <gtest/gtest.h>

using namespace presets_test;

TEST (PresetFiles, NameRules)
{
    for (auto ok : { "Lead", "Lead 2", "Preset #2, bright; warm @ 3", "Ünïcode Vox", "a.b", "x~" })
        EXPECT_EQ (QEL::PresetFiles::problemWithName (ok, "preset"), "") << ok;

    for (auto refused : { "", "a/b", "a\\b", ".", "..", "~", "~home", ".hidden", "a*b", "a?b", "a|b", "a\"b", "a<b" })
        EXPECT_NE (QEL::PresetFiles::problemWithName (refused, "bank"), "") << refused;
}

TEST (PresetFiles, WalksSkipLinkedFolders)
{
    TempFolder temp ("tessaro-walk");
    const auto folder = temp.folder.getChildFile ("User");
    writeText (folder.getChildFile ("Lead.orvane"), "x");
    folder.getChildFile ("Bank").createDirectory();
    ASSERT_TRUE (folder.createSymbolicLink (folder.getChildFile ("Bank/loop"), true));
    ASSERT_TRUE (folder.getChildFile ("Lead.orvane").createSymbolicLink (folder.getChildFile ("link.orvane"), true));

    auto names = [] (const juce::Array<juce::File>& files)
    {
        juce::StringArray result;
        for (auto& f : files)
            result.add (f.getFileName());
        result.sort (false);
        return result;
    };
    EXPECT_EQ (names (QEL::PresetFiles::listChildren (folder)), juce::StringArray ({ "Bank", "Lead.orvane", "link.orvane" }));
    EXPECT_TRUE (QEL::PresetFiles::listChildren (folder.getChildFile ("Bank")).isEmpty());
}

TEST (PresetFiles, FoldersFirstThenNaturalCaseInsensitivePaths)
{
    TempFolder temp ("tessaro-order");
    for (auto name : { "b 10.orvane", "B 9.orvane", "a.orvane" })
        writeText (temp.folder.getChildFile (name), "x");
    temp.folder.getChildFile ("z").createDirectory();

    auto files = temp.folder.findChildFiles (juce::File::findFilesAndDirectories, false);
    QEL::PresetFiles::sortFoldersFirst (files);
    juce::StringArray names;
    for (auto& f : files)
        names.add (f.getFileName());
    EXPECT_EQ (names, juce::StringArray ({ "z", "a.orvane", "B 9.orvane", "b 10.orvane" }));
}

TEST (PresetFiles, FailedCopyLeavesTheDestination)
{
    TempFolder temp ("tessaro-copy");
    const auto destination = writeText (temp.folder.getChildFile ("Bank/Lead.orvane"), "kept");
    EXPECT_FALSE (QEL::PresetFiles::copyReplacing (temp.folder.getChildFile ("missing.orvane"), destination));
    EXPECT_EQ (destination.loadFileAsString(), "kept");

    const auto source = writeText (temp.folder.getChildFile ("New.orvane"), "new");
    EXPECT_TRUE (QEL::PresetFiles::copyReplacing (source, destination));
    EXPECT_EQ (destination.loadFileAsString(), "new");
    EXPECT_FALSE (QEL::PresetFiles::copyReplacing (source, temp.folder.getChildFile ("Bank")));
}

TEST (PresetFiles, WrittenStateHasNoTypeAttribute)
{
    TempFolder temp ("tessaro-write");
    RecordingProcessor processor;
    processor.stateMarker = "s";
    struct Typed : RecordingProcessor
    {
        std::unique_ptr<juce::XmlElement> getPluginState() override
        {
            auto state = RecordingProcessor::getPluginState();
            state->setAttribute ("type", "factory");
            return state;
        }
    } typed;

    const auto file = temp.folder.getChildFile ("Lead.orvane");
    ASSERT_TRUE (QEL::PresetFiles::writeState (&typed, file, [] (juce::XmlElement& e) { e.setAttribute ("tag", "x"); }));
    const auto xml = juce::parseXML (file);
    EXPECT_FALSE (xml->hasAttribute ("type"));
    EXPECT_EQ (xml->getStringAttribute ("tag"), "x");
    EXPECT_FALSE (QEL::PresetFiles::writeState (nullptr, file));
    EXPECT_FALSE (QEL::PresetFiles::writeState (&processor, temp.folder));
}
