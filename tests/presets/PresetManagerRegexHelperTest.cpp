#include "presets/PresetManagerRegexHelper.h"
#include "presets/PresetsTestSupport.h"

#include <gtest/gtest.h>

using namespace presets_test;

TEST (PresetManagerRegexHelper, FolderPrefixGivesTheShownNameAndTheSortKey)
{
    struct Case
    {
        const char* name;
        const char* shownName;
        int order;
    };

    const Case cases[] = {
        { "_01 Warm Up", "Warm Up", 1 },
        { "_02 Lead Vocals", "Lead Vocals", 2 },
        { "_99 Z", "Z", 99 },
        { "_05 ", "", 5 },
        { "_07 X", "X", 7 },
        { "Mix_12 Bus", "Bus", 12 },
        { "Drums_03 Kick", "Kick", 3 },
        { "_00 _04 Inner", "_04 Inner", 0 },
        { "Warm Up", "Warm Up", 999 },
        { "_1 X", "_1 X", 999 },
        { "_ab Y", "_ab Y", 999 },
        { "01 Z", "01 Z", 999 },
        { "_07X", "_07X", 999 },
        { "_123 Long", "_123 Long", 999 },
        { "", "", 999 },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (PresetManagerRegexHelper::sanitizeFolderName (c.name), juce::String (c.shownName)) << c.name;
        EXPECT_EQ (PresetManagerRegexHelper::extractFolderOrder (c.name), c.order) << c.name;
    }
}

TEST (PresetManagerRegexHelper, ShownNameKeepsNonAsciiText)
{
    const auto name = juce::String (juce::CharPointer_UTF8 ("_04 Ch\xc5\x93urs \xe2\x99\xab"));
    EXPECT_EQ (PresetManagerRegexHelper::sanitizeFolderName (name),
               juce::String (juce::CharPointer_UTF8 ("Ch\xc5\x93urs \xe2\x99\xab")));
}

namespace
{
/** One folder listing sorted with the comparator, as names in the resulting order. */
juce::StringArray sortedNames (juce::Array<juce::File> entries)
{
    PresetFileComparator comparator;
    entries.sort (comparator);

    juce::StringArray names;
    for (const auto& entry : entries)
        names.add (entry.getFileName());
    return names;
}
} // namespace

TEST (PresetFileComparator, FoldersFirstByPrefixThenFilesInNaturalOrderIgnoringCase)
{
    // folder/
    //   Warm Up/        (no prefix: key 999)     _99 Z/    _02 Lead/    _01 Intro/
    //   Preset 10.orvane   Preset 2.orvane   B.orvane   a.orvane
    TempFolder temp;
    juce::Array<juce::File> entries;

    for (const auto* folder : { "Warm Up", "_99 Z", "_02 Lead", "_01 Intro" })
    {
        entries.add (temp.folder.getChildFile (folder));
        entries.getLast().createDirectory();
    }

    for (const auto* file : { "Preset 10.orvane", "Preset 2.orvane", "B.orvane", "a.orvane" })
        entries.add (writeText (temp.folder.getChildFile (file), "<orvane_tessaro/>"));

    EXPECT_EQ (sortedNames (entries), (juce::StringArray { "_01 Intro", "_02 Lead", "_99 Z", "Warm Up", "a.orvane",
                                                           "B.orvane", "Preset 2.orvane", "Preset 10.orvane" }));
}

TEST (PresetFileComparator, QelpresetFilesSortByTheirOrderAttribute)
{
    // "order" read like atoi: " 2" -> 2, "10abc" -> 10, "x" -> 0, missing -> 0; an
    // "orvane" file is never opened (key 0) and a missing file has key 0.
    TempFolder temp;
    const auto file = [&temp] (const char* name, const char* text)
    { return writeText (temp.folder.getChildFile (name), text); };

    const juce::Array<juce::File> entries {
        file ("z ten.qelpreset", R"(<p order="10abc"/>)"),
        file ("y two.qelpreset", R"(<p order=" 2"/>)"),
        file ("x none.qelpreset", R"(<p/>)"),
        file ("w text.qelpreset", R"(<p order="x"/>)"),
        file ("v minus.qelpreset", R"(<p order="-4"/>)"),
        file ("u product.orvane", R"(<p order="50"/>)"),
        file ("t broken.qelpreset", R"(order="1")"),
    };

    EXPECT_EQ (sortedNames (entries),
               (juce::StringArray { "v minus.qelpreset", "t broken.qelpreset", "u product.orvane", "w text.qelpreset",
                                    "x none.qelpreset", "y two.qelpreset", "z ten.qelpreset" }));
}

TEST (PresetFileComparator, ComparesSymmetricallyAndEqualPathsAreEqual)
{
    TempFolder temp;
    const auto folder = temp.folder.getChildFile ("_05 Bank");
    folder.createDirectory();
    const auto file = writeText (temp.folder.getChildFile ("a.orvane"), "<p/>");

    EXPECT_EQ (PresetFileComparator::compareElements (folder, file), -1);
    EXPECT_EQ (PresetFileComparator::compareElements (file, folder), 1);
    EXPECT_EQ (PresetFileComparator::compareElements (file, file), 0);
    EXPECT_EQ (PresetFileComparator::compareElements (folder, folder), 0);
}
