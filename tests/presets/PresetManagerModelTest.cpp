#include "presets/PresetManagerModel.h"
#include "presets/PresetActions.h"
#include "presets/PresetsTestSupport.h"

#include <gtest/gtest.h>

using namespace presets_test;

namespace
{
const juce::String validPreset = R"(<?xml version="1.0" encoding="UTF-8"?>
<orvane_tessaro><PARAM id="paramMix" value="50"/></orvane_tessaro>)";

/** Records every onPresetChange with what the store looked like at that moment. */
struct RecordingPresetListener : public juce::PresetManagerModel::Listener
{
    explicit RecordingPresetListener (juce::PresetManagerModel& storeToWatch) : store (storeToWatch) {}

    void onPresetChange (juce::File file) override
    {
        notifiedFiles.add (file);
        currentAtNotification.add (store.currentPreset);
        changedAtNotification.add (store.changed.load());
    }

    juce::PresetManagerModel& store;
    juce::Array<juce::File> notifiedFiles;
    juce::Array<juce::File> currentAtNotification;
    juce::Array<bool> changedAtNotification;
};

/** A store as the product sets it up ("orvane" presets, "Init" default) in a sandbox:

      <sandbox>/.local/share/Orvane/Orvane Tessaro/Presets   <- root
          Factory/ ...   User/ ...                          (written by each test)
*/
class PresetManagerModelTest : public ::testing::Test
{
protected:
    PresetManagerModelTest()
    {
        store.extension = "orvane";
        store.defaultName = "Init";
        store.addListener (&listener);
        processor.onApply = [this] { store.changed = true; };
    }

    ~PresetManagerModelTest() override { store.removeListener (&listener); }

    juce::File root() const { return store.getRootPresetFolder(); }

    juce::File writePreset (const juce::String& relativePath, const juce::String& text = validPreset)
    {
        return writeText (root().getChildFile (relativePath), text);
    }

    SandboxedPaths sandbox;
    RecordingProcessor processor;
    juce::PresetManagerModel store {
        "Orvane Tessaro", "Orvane", "Default", "qelpreset", "QEL Collaborators", &processor
    };
    RecordingPresetListener listener { store };
};
} // namespace

TEST_F (PresetManagerModelTest, StartsAtTheConstructionTimeDefaultPresetInsideTheSandbox)
{
    EXPECT_EQ (root(), sandbox.temp.folder.getChildFile (".local/share/Orvane/Orvane Tessaro/Presets"));
    EXPECT_EQ (store.currentPreset, root().getChildFile ("Default.qelpreset"));
    EXPECT_EQ (store.getDefaultPreset(), root().getChildFile ("Init.orvane"));
    EXPECT_EQ (store.collaboratorsFolder, "QEL Collaborators");
    EXPECT_FALSE (store.changed);
    EXPECT_FALSE (root().exists()) << "asking for the root must not create it";
}

TEST_F (PresetManagerModelTest, RecognisesOnlyParsableFilesWithTheExtensionAndTheExactProductTag)
{
    struct Case
    {
        const char* path;
        juce::String text;
        bool isPreset;
    };

    const Case cases[] = {
        { "User/Plain.orvane", validPreset, true },
        { "User/Capitals.ORVANE", validPreset, true },
        { "User/Other Product.orvane", "<other_product/>", false },
        { "User/Tag Case.orvane", "<Orvane_Tessaro/>", false },
        { "User/Wrong Extension.xml", validPreset, false },
        { "User/Old Extension.qelpreset", validPreset, false },
        { "User/Broken.orvane", "<orvane_tessaro><PARAM", false },
        { "User/Empty.orvane", "", false },
    };

    for (const auto& c : cases)
    {
        const auto file = writePreset (c.path, c.text);
        EXPECT_EQ (store.isQELPreset (file), c.isPreset) << c.path;

        store.loadPreset (file, true);
        EXPECT_EQ (store.currentPreset == file, c.isPreset) << c.path;
    }

    const auto folder = root().getChildFile ("User/Folder.orvane");
    folder.createDirectory();
    EXPECT_FALSE (store.isQELPreset (folder));
    EXPECT_FALSE (store.isQELPreset (root().getChildFile ("User/Missing.orvane")));

    const int loads = 2;
    EXPECT_EQ (processor.appliedFiles.size(), loads);
    EXPECT_EQ (listener.notifiedFiles.size(), loads);
}

TEST_F (PresetManagerModelTest, LoadAppliesThenNotifiesWithTheOldPathThenClearsTheFlag)
{
    const auto previous = store.currentPreset;
    const auto preset = writePreset ("Factory/Easy Vocal Chain.orvane");

    store.loadPreset (preset, false);

    ASSERT_EQ (processor.appliedFiles, juce::Array<juce::File> { preset });
    EXPECT_FALSE (processor.keepParametersFlags[0]);
    ASSERT_EQ (listener.notifiedFiles, juce::Array<juce::File> { preset });
    EXPECT_EQ (listener.currentAtNotification[0], previous) << "listeners run before the path changes";
    EXPECT_TRUE (listener.changedAtNotification[0]) << "the applied state moved parameters";
    EXPECT_EQ (store.currentPreset, preset);
    EXPECT_FALSE (store.changed);
}

TEST_F (PresetManagerModelTest, ReloadOfTheCurrentPathNeedsForceAndACaseDifferenceIsANewPath)
{
    const auto preset = writePreset ("User/Vocal.orvane");
    const auto sameNameOtherCase = writePreset ("User/vocal.orvane");
    store.loadPreset (preset, false);
    store.changed = true;

    store.loadPreset (preset, false);
    EXPECT_EQ (processor.appliedFiles.size(), 1);
    EXPECT_EQ (listener.notifiedFiles.size(), 1);
    EXPECT_TRUE (store.changed);

    store.loadPreset (preset, true);
    EXPECT_EQ (processor.appliedFiles.size(), 2);
    EXPECT_EQ (listener.notifiedFiles.size(), 2);
    EXPECT_FALSE (store.changed);

    store.loadPreset (sameNameOtherCase, false);
    EXPECT_EQ (processor.appliedFiles.size(), 3);
    EXPECT_EQ (store.currentPreset.getFullPathName(), sameNameOtherCase.getFullPathName());
}

TEST_F (PresetManagerModelTest, LoadHookSeesEveryRecognisedPresetBeforeTheCurrentPathCheck)
{
    juce::Array<juce::File> hooked;
    store.loadHook = [&hooked] (const juce::File& file) { hooked.add (file); };
    const auto preset = writePreset ("User/Hooked.orvane");
    const auto foreign = writePreset ("User/Foreign.orvane", "<other/>");

    store.loadPreset (preset, false);
    store.loadPreset (preset, false);
    store.loadPreset (foreign, false);

    EXPECT_EQ (hooked, (juce::Array<juce::File> { preset, preset }));
    EXPECT_EQ (processor.appliedFiles.size(), 1);
}

TEST_F (PresetManagerModelTest, MissingFactoryPresetLeavesTheStartState)
{
    store.loadPreset (root().getChildFile ("Factory/Easy Vocal Chain.orvane"), false);

    EXPECT_EQ (store.currentPreset, root().getChildFile ("Default.qelpreset"));
    EXPECT_FALSE (store.changed);
    EXPECT_TRUE (processor.appliedFiles.isEmpty());
    EXPECT_TRUE (listener.notifiedFiles.isEmpty());
}

TEST_F (PresetManagerModelTest, FactoryPresetIsDecidedByTheFirstAttributeOnly)
{
    struct Case
    {
        const char* path;
        const char* text;
        bool isFactory;
    };

    const Case cases[] = {
        { "Factory/A.orvane", R"(<orvane_tessaro type="factory"/>)", true },
        { "Factory/B.orvane", R"(<any_tag kind="factory" order="1"/>)", true },
        { "Factory/C.orvane", R"(<orvane_tessaro order="3" type="factory"/>)", false },
        { "Factory/D.orvane", R"(<orvane_tessaro type="Factory"/>)", false },
        { "Factory/E.orvane", R"(<orvane_tessaro/>)", false },
        { "Factory/F.orvane", R"(type="factory")", false },
        { "Factory/G.xml", R"(<orvane_tessaro type="factory"/>)", false },
    };

    for (const auto& c : cases)
        EXPECT_EQ (store.getIsFactoryPreset (writePreset (c.path, c.text)), c.isFactory) << c.path;

    EXPECT_FALSE (store.getIsFactoryPreset (root().getChildFile ("Factory/Missing.orvane")));
}

TEST_F (PresetManagerModelTest, RenameMovesTheCurrentPresetAndLoadsIt)
{
    const auto original = writePreset ("User/Old Name.orvane");
    store.loadPreset (original, false);
    store.changed = true;

    ASSERT_TRUE (store.renameCurrentPreset ("New Name"));

    const auto renamed = root().getChildFile ("User/New Name.orvane");
    EXPECT_FALSE (original.exists());
    EXPECT_TRUE (renamed.existsAsFile());
    EXPECT_EQ (store.currentPreset, renamed);
    EXPECT_EQ (processor.appliedFiles.getLast(), renamed);
    EXPECT_EQ (listener.notifiedFiles.getLast(), renamed);
    EXPECT_FALSE (store.changed);
}

TEST_F (PresetManagerModelTest, RenameOntoAnExistingPresetReplacesIt)
{
    const auto original = writePreset ("User/Mine.orvane", R"(<orvane_tessaro marker="mine"/>)");
    const auto other = writePreset ("User/Theirs.orvane", R"(<orvane_tessaro marker="theirs"/>)");
    store.loadPreset (original, false);

    ASSERT_TRUE (store.renameCurrentPreset ("Theirs"));

    EXPECT_FALSE (original.exists());
    EXPECT_EQ (juce::parseXML (other)->getStringAttribute ("marker"), "mine");
    EXPECT_EQ (store.currentPreset, other);
    EXPECT_EQ (processor.appliedFiles.getLast(), other);
}

TEST_F (PresetManagerModelTest, RenameToItsOwnNameMovesAndReloadsNothing)
{
    const auto preset = writePreset ("User/Same.orvane");
    store.loadPreset (preset, false);

    EXPECT_TRUE (store.renameCurrentPreset ("Same"));
    EXPECT_TRUE (preset.existsAsFile());
    EXPECT_EQ (processor.appliedFiles.size(), 1);
}

TEST_F (PresetManagerModelTest, RenameRefusesNamesThatLeaveTheFolderOrHideTheFile)
{
    const auto preset = writePreset ("User/Bank/Keep.orvane");
    store.loadPreset (preset, false);
    const auto folderBefore = preset.getParentDirectory().findChildFiles (juce::File::findFilesAndDirectories, false);

    for (const auto* name :
         { "", "../Escaped", "Sub/Name", "Back\\Slash", ".", "..", "~Home", "~/Home", ".hidden", "/tmp/Absolute" })
    {
        EXPECT_FALSE (store.renameCurrentPreset (name)) << name;
        EXPECT_TRUE (preset.existsAsFile()) << name;
    }

    EXPECT_EQ (preset.getParentDirectory().findChildFiles (juce::File::findFilesAndDirectories, false), folderBefore);
    EXPECT_FALSE (root().getChildFile ("User/Escaped.orvane").exists());
    EXPECT_EQ (store.currentPreset, preset);
    EXPECT_EQ (processor.appliedFiles.size(), 1);
}

TEST_F (PresetManagerModelTest, RenameWithoutACurrentFileDoesNothing)
{
    store.currentPreset = root().getChildFile ("User/Gone.orvane");
    EXPECT_FALSE (store.renameCurrentPreset ("Other"));

    store.currentPreset = juce::File();
    EXPECT_FALSE (store.renameCurrentPreset ("Other"));
    EXPECT_TRUE (processor.appliedFiles.isEmpty());
}

TEST_F (PresetManagerModelTest, OverwriteWritesTheStateInTheDefaultTextFormatAndClearsTheFlag)
{
    const auto preset = writePreset ("User/Saved.orvane");
    store.loadPreset (preset, false);
    store.changed = true;
    processor.stateMarker = "after edits";

    ASSERT_TRUE (store.overwriteSelectedPresetWithProcessorState());

    // <?xml version="1.0" encoding="UTF-8"?>\r\n
    // \r\n
    // <orvane_tessaro state_marker="after edits"/>\r\n
    EXPECT_EQ (preset.loadFileAsString(),
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<orvane_tessaro state_marker=\"after edits\"/>\r\n");
    EXPECT_FALSE (store.changed);
    EXPECT_EQ (listener.notifiedFiles.size(), 1) << "overwriting notifies nobody";
}

TEST_F (PresetManagerModelTest, OverwriteKeepsTheFlagWhenThereIsNothingToWriteOrTheWriteFails)
{
    const auto preset = writePreset ("User/Deleted.orvane");
    store.loadPreset (preset, false);
    preset.deleteFile();

    const auto folder = root().getChildFile ("User/A Folder");
    folder.createDirectory();

    // A file whose folder refuses new entries, even to root: the write cannot succeed.
    const juce::File unwritable ("/proc/self/status");

    for (const auto& current : { preset, folder, juce::File(), unwritable })
    {
        store.currentPreset = current;
        store.changed = true;

        EXPECT_FALSE (store.overwriteSelectedPresetWithProcessorState()) << current.getFullPathName();
        EXPECT_TRUE (store.changed) << current.getFullPathName();
    }

    EXPECT_FALSE (preset.exists()) << "a deleted preset is not written again";
}

TEST_F (PresetManagerModelTest, BankNamesAreTheFoldersDirectlyInUser)
{
    EXPECT_TRUE (store.getBankNames().isEmpty());

    root().getChildFile ("User/Bank A").createDirectory();
    root().getChildFile ("User/.hidden bank").createDirectory();
    root().getChildFile ("User/Bank A/Nested").createDirectory();
    writePreset ("User/Loose.orvane");
    writePreset ("Factory/Factory Bank/X.orvane");

    auto names = store.getBankNames();
    names.sort (false);
    EXPECT_EQ (names, (juce::StringArray { ".hidden bank", "Bank A" }));
}

TEST_F (PresetManagerModelTest, UserBankFolderIsCreatedOnlyForNamesThatStayInUser)
{
    const auto user = root().getChildFile ("User");

    EXPECT_EQ (store.findOrCreateUserBankFolder (""), user);
    EXPECT_TRUE (user.isDirectory());

    EXPECT_EQ (store.findOrCreateUserBankFolder ("Live Sets"), user.getChildFile ("Live Sets"));
    EXPECT_TRUE (user.getChildFile ("Live Sets").isDirectory());
    EXPECT_EQ (store.findOrCreateUserBankFolder ("Live Sets"), user.getChildFile ("Live Sets")) << "existing folder";

    for (const auto* name :
         { "../Escaped", "Sub/Bank", "Back\\Slash", ".", "..", "~Home", "/tmp/tessaro-absolute-bank" })
        EXPECT_EQ (store.findOrCreateUserBankFolder (name), juce::File()) << name;

    EXPECT_FALSE (root().getChildFile ("Escaped").exists());
    EXPECT_FALSE (juce::File ("/tmp/tessaro-absolute-bank").exists());
    EXPECT_EQ (user.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1);
}

TEST_F (PresetManagerModelTest, ListenersHearLoadsInTheOrderTheyWereAdded)
{
    // The fixture's listener came first; a second one added now hears after it, and one
    // that removes a later listener during the call keeps that listener from hearing it.
    juce::StringArray order;
    struct Named : juce::PresetManagerModel::Listener
    {
        Named (juce::String n, juce::StringArray& o) : name (std::move (n)), order (o) {}
        void onPresetChange (juce::File) override
        {
            order.add (name);
            if (toRemove != nullptr)
                store->removeListener (toRemove);
        }
        juce::String name;
        juce::StringArray& order;
        juce::PresetManagerModel* store = nullptr;
        Listener* toRemove = nullptr;
    } first ("first", order), second ("second", order), third ("third", order);

    store.removeListener (&listener);
    for (auto* l : { &first, &second, &third })
        store.addListener (l);
    store.addListener (&first); // not twice

    store.loadPreset (writePreset ("Factory/A.orvane"), false);
    EXPECT_EQ (order, juce::StringArray ({ "first", "second", "third" }));

    order.clear();
    second.store = &store;
    second.toRemove = &third;
    store.loadPreset (writePreset ("Factory/B.orvane"), false);
    EXPECT_EQ (order, juce::StringArray ({ "first", "second" }));
    store.addListener (&listener);
}

// A typed name that climbs out of the folder, or names the folder itself, is refused with its reason, and the
// store writes, creates and moves nothing anywhere: saving, making a bank and renaming all go through it.
TEST_F (PresetManagerModelTest, NamesThatLeaveTheFolderAreRefusedAndTouchNothing)
{
    const auto preset = writePreset ("User/Bank/Keep.orvane");
    store.loadPreset (preset, false);
    const auto everythingBefore = sandbox.temp.folder.findChildFiles (juce::File::findFilesAndDirectories, true);

    // The absolute path points into the sandbox, so a broken guard writes where this test looks.
    const auto absolute = sandbox.temp.folder.getChildFile ("absolute").getFullPathName();
    const juce::String separator = "cannot contain \"/\" or \"\\\".", dots = "cannot be \".\" or \"..\".";
    struct Case
    {
        juce::String name, reason;
    };
    for (const auto& c : { Case { "..", dots }, Case { ".", dots }, Case { "../x", separator },
                           Case { "a/../../b", separator }, Case { "..\\x", separator }, Case { absolute, separator } })
    {
        int writes = 0;
        const auto write = [&writes] (const juce::File& file)
        {
            ++writes;
            writeText (file, validPreset);
        };
        EXPECT_EQ (QEL::PresetActions::saveNew (
                       store, "", c.name, [] { return true; }, write),
                   "A preset name " + c.reason)
            << c.name;
        EXPECT_EQ (QEL::PresetActions::saveNew (
                       store, c.name, "Lead", [] { return true; }, write),
                   "A bank name " + c.reason)
            << c.name;
        EXPECT_EQ (writes, 0) << c.name;
        EXPECT_EQ (store.findOrCreateUserBankFolder (c.name), juce::File()) << c.name;
        EXPECT_FALSE (store.renameCurrentPreset (c.name)) << c.name;
    }

    EXPECT_EQ (sandbox.temp.folder.findChildFiles (juce::File::findFilesAndDirectories, true), everythingBefore);
    EXPECT_TRUE (preset.existsAsFile());
    EXPECT_EQ (store.currentPreset, preset);
}
