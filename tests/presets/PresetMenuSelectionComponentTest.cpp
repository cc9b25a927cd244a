#include "presets/PresetMenuSelectionComponent.h"
#include "presets/PresetViewsTestSupport.h"

#include <gtest/gtest.h>

using namespace presets_test;
using tessaro::gui::PresetMenuSelectionComponent;

namespace
{
juce::StringArray strings (std::initializer_list<juce::String> items)
{
    juce::StringArray result;
    for (const auto& item : items)
        result.add (item);
    return result;
}

struct PresetListTest : PresetViewsFixture
{
    juce::File favouritesFile() const { return root().getChildFile ("favorites"); }

    /** Rows as "name" for presets, "[name]" for headers, "*" after favourites. */
    static juce::StringArray rowTexts (const PresetMenuSelectionComponent& list)
    {
        juce::StringArray texts;
        for (const auto& row : list.rows)
            texts.add (row.header ? "[" + row.name + "]" : row.name + (row.favourite ? "*" : ""));
        return texts;
    }

    juce::StringArray favouritePaths() const
    {
        juce::StringArray paths;
        if (auto xml = juce::parseXML (favouritesFile()))
        {
            EXPECT_EQ (xml->getTagName(), "favorites");
            for (auto* child : xml->getChildIterator())
                paths.add (child->getTagName() + "=" + child->getStringAttribute ("path"));
        }
        return paths;
    }
};
} // namespace

TEST (PresetFileComparator, ProductOrder)
{
    using C = tessaro::gui::PresetFileComparator;
    const juce::File folder ("/presets");
    auto sorted = [&] (std::initializer_list<const char*> names)
    {
        juce::Array<juce::File> files;
        for (auto n : names)
            files.add (folder.getChildFile (juce::String (n) + ".orvane"));
        C comparator;
        files.sort (comparator);
        juce::StringArray result;
        for (auto& f : files)
            result.add (f.getFileNameWithoutExtension());
        return result;
    };

    EXPECT_EQ (sorted ({ "FX Air", "Init", "Bright", "VOCAL Pop" }),
               juce::StringArray ({ "Init", "VOCAL Pop", "FX Air", "Bright" }));
    EXPECT_EQ (sorted ({ "vocal soft", "init", "VOCAL b", "fx a", "FX b" }),
               juce::StringArray ({ "init", "VOCAL b", "FX b", "fx a", "vocal soft" }));
    EXPECT_EQ (sorted ({ "Preset 10", "Preset 2", "Banana", "apple" }),
               juce::StringArray ({ "apple", "Banana", "Preset 2", "Preset 10" }));

    // Two entries reading "Init" tie on the group and fall back to the names, so sorting many
    // of them stays a strict weak order.
    EXPECT_EQ (C::compareElements (folder.getChildFile ("Init.orvane"), folder.getChildFile ("Init.orvane")), 0);
    EXPECT_EQ (C::compareElements (folder.getChildFile ("INIT.orvane"), folder.getChildFile ("init.orvane")), 0);
    EXPECT_EQ (C::compareElements (folder.getChildFile ("init.orvane"), folder.getChildFile ("INIT.orvane")), 0);
    EXPECT_LT (C::compareElements (folder.getChildFile ("Init"), folder.getChildFile ("Init.orvane")), 0);
    juce::Array<juce::File> inits;
    for (int i = 0; i < 40; ++i)
        inits.add (folder.getChildFile ((i % 2 == 0 ? "Init" : "INIT") + juce::String (i % 3 == 0 ? "" : ".orvane")));
    C comparator;
    inits.sort (comparator);
    EXPECT_EQ (inits.size(), 40);
}

TEST_F (PresetListTest, RowsFlattenEachTreeInProductOrderUnderTwoHeaders)
{
    writePreset ("Factory/Bright.orvane");
    writePreset ("Factory/VOCAL Pop.orvane");
    writePreset ("Factory/Init.orvane");
    writePreset ("User/Lead.orvane");
    writePreset ("User/FX Chains/Wide.orvane");
    writePreset ("User/FX Chains/Dub.orvane");
    writePreset ("User/Air.orvane");
    writeText (root().getChildFile ("User/readme.txt"), "x");
    writePreset ("User/Other.orvane", "<other_product/>");

    PresetMenuSelectionComponent list (&store);
    EXPECT_EQ (rowTexts (list), juce::StringArray ({ "[Factory]", "Init", "VOCAL Pop", "Bright", "[User]", "Dub", "Wide",
                                                     "Air", "Lead" }));
    EXPECT_EQ (list.listBox.getModel()->getNumRows(), 9);
    EXPECT_EQ (list.rows[1].path, root().getChildFile ("Factory/Init.orvane").getFullPathName());
}

TEST_F (PresetListTest, MissingFoldersGiveTheHeadersOnly)
{
    PresetMenuSelectionComponent list (&store);
    EXPECT_EQ (rowTexts (list), juce::StringArray ({ "[Factory]", "[User]" }));
}

TEST_F (PresetListTest, FavouritesAreReadAtBuildAndWrittenAtDestruction)
{
    const auto lead = writePreset ("User/Lead.orvane");
    const auto air = writePreset ("User/Air.orvane");
    writeText (favouritesFile(), "<favorites><favorite path=\"" + lead.getFullPathName()
                                     + "\"/><favorite/><favorite path=\"" + lead.getFullPathName()
                                     + "\"/><favorite path=\"/gone.orvane\"/></favorites>");
    {
        PresetMenuSelectionComponent list (&store);
        EXPECT_EQ (rowTexts (list), juce::StringArray ({ "[Factory]", "[User]", "Air", "Lead*" }));
        EXPECT_EQ (list.favourites.size(), 4);
    }
    // Unchanged: the same entries in the same order, the empty one included.
    EXPECT_EQ (favouritePaths(),
               strings ({ "favorite=" + lead.getFullPathName(), "favorite=", "favorite=" + lead.getFullPathName(),
                          "favorite=/gone.orvane" }));

    {
        PresetMenuSelectionComponent list (&store);
        list.listBoxModel->handleRowClick (3, 0.9f); // unmark Lead: both copies go
        list.listBoxModel->handleRowClick (2, 0.9f); // mark Air
        list.listBoxModel->handleRowClick (3, 0.9f); // mark Lead again: once
        EXPECT_EQ (rowTexts (list), juce::StringArray ({ "[Factory]", "[User]", "Air*", "Lead*" }));
    }
    EXPECT_EQ (favouritePaths(), strings ({ "favorite=", "favorite=/gone.orvane",
                                                      "favorite=" + air.getFullPathName(),
                                                      "favorite=" + lead.getFullPathName() }));
}

TEST_F (PresetListTest, DamagedFavouritesFileGivesNoneAndIsReplaced)
{
    const auto lead = writePreset ("User/Lead.orvane");

    for (auto damaged : { "<favorites><favorite path=", "\xff\xfe\x00garbage", "" })
    {
        writeText (favouritesFile(), damaged);
        {
            PresetMenuSelectionComponent list (&store);
            EXPECT_TRUE (list.favourites.isEmpty());
            list.listBoxModel->handleRowClick (2, 0.9f);
        }
        EXPECT_EQ (favouritePaths(), juce::StringArray ({ "favorite=" + lead.getFullPathName() }));
    }

    favouritesFile().deleteFile();
    root().deleteRecursively();
    {
        PresetMenuSelectionComponent list (&store);
    }
    EXPECT_TRUE (favouritesFile().existsAsFile()); // created with its folders
    EXPECT_TRUE (favouritePaths().isEmpty());
}

TEST_F (PresetListTest, ClicksLoadOrToggleByWhereTheyLand)
{
    const auto lead = writePreset ("User/Lead.orvane");
    store.loadPreset (lead, false);
    store.changed = true;
    PresetMenuSelectionComponent list (&store);
    int loaded = 0;
    list.onPresetLoaded = [&] { ++loaded; };
    list.setVisible (true);

    list.listBoxModel->handleRowClick (0, 0.5f); // a header: nothing
    list.listBoxModel->handleRowClick (2, 0.9f); // star zone: toggles, no load
    EXPECT_EQ (processor.appliedFiles.size(), 1);
    EXPECT_TRUE (list.rows[2].favourite);

    for (auto fraction : { 0.5f, 0.85f, 0.95f }) // elsewhere, the zone's own edges included: loads, forced
        list.listBoxModel->handleRowClick (2, fraction);
    EXPECT_EQ (processor.appliedFiles.size(), 4);
    EXPECT_EQ (loaded, 3);
    EXPECT_FALSE (store.changed);
    EXPECT_TRUE (list.rows[2].favourite);
    EXPECT_TRUE (list.isVisible());

    list.hideAfterLoad = true;
    list.listBoxModel->handleRowClick (2, 0.1f);
    EXPECT_FALSE (list.isVisible());
}

TEST_F (PresetListTest, LayoutAndPainting)
{
    writePreset ("User/Lead.orvane");
    PresetMenuSelectionComponent list (&store);
    list.setBounds (0, 0, 304, 740);
    EXPECT_EQ (list.listBox.getBounds(), juce::Rectangle<int> (10, 10, 284, 720));
    EXPECT_EQ (list.listBox.getRowHeight(), 38);
    EXPECT_EQ (list.listBox.getViewport()->getScrollBarThickness(), 13);
    EXPECT_EQ (&list.listBox.getViewport()->getVerticalScrollBar().getLookAndFeel(),
               static_cast<juce::LookAndFeel*> (&list.scrollBarLookAndFeel));

    // Outline: sides and rounded bottom, no top edge.
    list.outlineColour = juce::Colours::red;
    juce::Image image (juce::Image::ARGB, 304, 740, true);
    {
        juce::Graphics g (image);
        list.paintOverChildren (g);
    }
    EXPECT_GT (image.getPixelAt (2, 300).getRed(), 100);
    EXPECT_GT (image.getPixelAt (150, 737).getRed(), 100);
    EXPECT_EQ (image.getPixelAt (150, 2).getAlpha(), 0);

    // Rows: a favourite shows the filled star, a selected row its fill and an empty star.
    auto& model = *list.listBoxModel;
    model.selectedRowColour = juce::Colours::blue;
    auto paintRow = [&] (int row, bool selected)
    {
        juce::Image rowImage (juce::Image::ARGB, 284, 38, true);
        juce::Graphics g (rowImage);
        model.paintListBoxItem (row, g, 284, 38, selected);
        return rowImage;
    };
    auto starInk = [] (const juce::Image& img)
    {
        int ink = 0;
        for (int y = 10; y < 28; ++y)
            for (int x = 250; x < 266; ++x)
                ink += img.getPixelAt (x, y).getAlpha() > 0 && img.getPixelAt (x, y).getBlue() > 200 ? 1 : 0;
        return ink;
    };
    EXPECT_EQ (starInk (paintRow (2, false)), 0);
    list.rows.getReference (2).favourite = true;
    EXPECT_GT (starInk (paintRow (2, false)), 0);
    list.rows.getReference (2).favourite = false;
    const auto selected = paintRow (2, true);
    EXPECT_EQ (selected.getPixelAt (5, 5), juce::Colour (juce::Colours::blue));
    EXPECT_EQ (selected.getPixelAt (281, 5).getAlpha(), 0); // the fill stops 4 px short
    EXPECT_GT (starInk (selected), 0);
    EXPECT_EQ (paintRow (1, true).getPixelAt (5, 5).getAlpha(), 0); // a header shows no selection
}
