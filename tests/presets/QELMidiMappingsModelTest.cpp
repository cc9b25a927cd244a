#include "presets/QELMidiMappingsModel.h"
#include "presets/MidiMappingFixture.h"
#include "presets/PresetsTestSupport.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <new>

using namespace presets_test;

namespace
{
struct CountingMappingsListener : public juce::QELMidiMappingsModel::Listener
{
    void onMappingsLoaded() override { ++loaded; }
    void onMappingsChange() override { ++changed; }

    int loaded = 0;
    int changed = 0;
};

class QELMidiMappingsModelTest : public ::testing::Test
{
protected:
    QELMidiMappingsModelTest()
    {
        deliverPostedCalls(); // nothing left over from earlier tests
        model.addListener (&listener);
    }

    ~QELMidiMappingsModelTest() override { model.removeListener (&listener); }

    juce::File midiFile (const juce::String& name) const { return model.getRootFolder().getChildFile (name); }

    SandboxedPaths sandbox;
    juce::QELMidiMappingsModel model { "Orvane Tessaro", "Orvane" };
    CountingMappingsListener listener;
};
} // namespace

TEST_F (QELMidiMappingsModelTest, DefaultFileLivesInThePerUserMidiFolder)
{
    EXPECT_EQ (model.getDefaultMidiMappingsFile(),
               sandbox.temp.folder.getChildFile (".config/Orvane/Orvane Tessaro/MIDI/Default.qelmidi"));
    EXPECT_EQ (model.currentFile, juce::File());
    EXPECT_TRUE (model.mappings.isEmpty());
}

TEST_F (QELMidiMappingsModelTest, OverwriteOnAFreshModelWritesAnEmptyDefaultFileInTheDefaultTextFormat)
{
    model.overwriteCurrentFile();

    const auto file = model.getDefaultMidiMappingsFile();
    EXPECT_EQ (model.currentFile, file);

    // <?xml version="1.0" encoding="UTF-8"?>\r\n
    // \r\n
    // <midi product="Orvane Tessaro">\r\n
    //   <mappings/>\r\n
    // </midi>\r\n
    EXPECT_EQ (file.loadFileAsString(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n"
                                        "<midi product=\"Orvane Tessaro\">\r\n  <mappings/>\r\n</midi>\r\n");
}

TEST_F (QELMidiMappingsModelTest, MappingsAreWrittenWithTheirAttributesInOrderAndReadBack)
{
    model.addNewMapping (makeMapping (1, 3, "paramMix", 60, -1, true), juce::QELMidiMappingsModel::silent);
    model.addNewMapping (makeMapping (2, 2, "liveScene", 7, 4, false), juce::QELMidiMappingsModel::silent);
    model.addNewMapping (makeMapping (3, 1, "/presets/A & B.orvane", 127, -1, false),
                         juce::QELMidiMappingsModel::silent);

    const auto file = midiFile ("Nested/Live Rig.qelmidi");
    ASSERT_TRUE (model.saveTo (file));

    const auto text = file.loadFileAsString();
    EXPECT_TRUE (
        text.contains ("<mapping type=\"1\" signal=\"3\" data1=\"paramMix\" number=\"60\" custom_value=\"-1\"\r\n"
                       "             is_momentary=\"1\"/>"))
        << text;
    EXPECT_TRUE (text.contains ("data1=\"/presets/A &amp; B.orvane\"")) << text;

    juce::QELMidiMappingsModel reader ("Orvane Tessaro", "Orvane");
    reader.addNewMapping (makeMapping (9, 9, "stale", 9, 9, true), juce::QELMidiMappingsModel::silent);
    reader.loadFromFile (file);

    EXPECT_EQ (reader.currentFile, file);
    ASSERT_EQ (reader.mappings.size(), 3);

    for (int i = 0; i < 3; ++i)
    {
        const auto& written = *model.mappings[i];
        const auto& read = *reader.mappings[i];
        EXPECT_EQ (read.type, written.type) << i;
        EXPECT_EQ (read.signal, written.signal) << i;
        EXPECT_EQ (read.data1, written.data1) << i;
        EXPECT_EQ (read.custom_value, written.custom_value) << i;
        EXPECT_EQ (read.number, written.number) << i;
        EXPECT_EQ (read.is_momentary, written.is_momentary) << i;
        EXPECT_EQ (read.lastValue, -1) << i;
    }
}

TEST_F (QELMidiMappingsModelTest, AnyRootWithAMappingsChildIsReadAndMissingAttributesReadAsZero)
{
    // <foreign>                       root neither "midi" nor carrying "product"
    //   <mappings>
    //     <mapping data1="paramMix"/>                 -> everything else 0 / false
    //     <whatever type="3" signal="2" number="5" custom_value="9" is_momentary="1"/>
    //     <mapping type="200" signal="-7" number="999" custom_value="abc"/>   -> stored as they stand
    const auto file = writeText (midiFile ("Foreign.qelmidi"), R"(<foreign><mappings>
        <mapping data1="paramMix"/>
        <whatever type="3" signal="2" number="5" custom_value="9" is_momentary="1"/>
        <mapping type="200" signal="-7" number="999" custom_value="abc"/>
        </mappings></foreign>)");

    model.loadFromFile (file);

    ASSERT_EQ (model.mappings.size(), 3);

    struct Expected
    {
        int type, signal, number, customValue;
        const char* data1;
        bool momentary;
    };

    const Expected expected[] = { { 0, 0, 0, 0, "paramMix", false },
                                  { 3, 2, 5, 9, "", true },
                                  { 200, -7, 999, 0, "", false } };

    for (int i = 0; i < 3; ++i)
    {
        const auto& m = *model.mappings[i];
        EXPECT_EQ (m.type, expected[i].type) << i;
        EXPECT_EQ (m.signal, expected[i].signal) << i;
        EXPECT_EQ (m.number, expected[i].number) << i;
        EXPECT_EQ (m.custom_value, expected[i].customValue) << i;
        EXPECT_EQ (m.data1, juce::String (expected[i].data1)) << i;
        EXPECT_EQ (m.is_momentary, expected[i].momentary) << i;
    }
}

TEST_F (QELMidiMappingsModelTest, LoadingPostsOneLoadedNotificationAlsoForAnEmptyList)
{
    model.addNewMapping (makeMapping (1, 1, "paramMix", 1, -1, false), juce::QELMidiMappingsModel::silent);
    const auto file = writeText (midiFile ("Empty.qelmidi"), R"(<midi product="Orvane Tessaro"><mappings/></midi>)");

    model.loadFromFile (file);

    EXPECT_TRUE (model.mappings.isEmpty());
    EXPECT_EQ (model.currentFile, file);
    EXPECT_EQ (listener.loaded, 0) << "posted, not called synchronously";

    deliverPostedCalls();
    EXPECT_EQ (listener.loaded, 1);
    EXPECT_EQ (listener.changed, 0);

    model.loadFromValueTree (juce::ValueTree ("midi"));
    deliverPostedCalls();
    EXPECT_EQ (listener.loaded, 2) << "a tree without mappings still notifies";
}

TEST_F (QELMidiMappingsModelTest, FilesThatAreNotMappingFilesChangeNothing)
{
    model.addNewMapping (makeMapping (1, 1, "paramMix", 1, -1, false), juce::QELMidiMappingsModel::silent);
    const auto validText = juce::String (R"(<midi><mappings><mapping type="1"/><mapping type="2"/></mappings></midi>)");

    const auto folder = midiFile ("Folder.qelmidi");
    folder.createDirectory();

    for (const auto& file :
         { writeText (midiFile ("settings.xml"), validText), midiFile ("Missing.qelmidi"), folder, juce::File() })
        model.loadFromFile (file);

    deliverPostedCalls();
    EXPECT_EQ (model.currentFile, juce::File());
    EXPECT_EQ (model.mappings.size(), 1);
    EXPECT_EQ (listener.loaded, 0);

    const auto capitals = writeText (midiFile ("Capitals.QELMIDI"), validText);
    model.loadFromFile (capitals);
    EXPECT_EQ (model.mappings.size(), 2) << "the extension test ignores case";
}

TEST_F (QELMidiMappingsModelTest, UnparsableFileBecomesCurrentButKeepsTheList)
{
    model.addNewMapping (makeMapping (1, 1, "paramMix", 1, -1, false), juce::QELMidiMappingsModel::silent);
    const auto broken = writeText (midiFile ("Broken.qelmidi"), "<midi><mappings>");

    model.loadFromFile (broken);
    deliverPostedCalls();

    EXPECT_EQ (model.currentFile, broken);
    EXPECT_EQ (model.mappings.size(), 1);
    EXPECT_EQ (listener.loaded, 0);
}

TEST_F (QELMidiMappingsModelTest, NotifyingAddsPostOneChangeEachAndDuplicatesAreKept)
{
    auto mapping = makeMapping (1, 1, "paramMix", 20, -1, false);
    mapping.lastValue = 64;

    model.addNewMapping (mapping, juce::QELMidiMappingsModel::notify);
    model.addNewMapping (mapping, juce::QELMidiMappingsModel::notify);
    model.addNewMapping (mapping, juce::QELMidiMappingsModel::silent);

    ASSERT_EQ (model.mappings.size(), 3);
    EXPECT_EQ (model.mappings[0]->lastValue, -1);
    EXPECT_EQ (model.mappings[1]->data1, "paramMix");
    EXPECT_EQ (listener.changed, 0);

    deliverPostedCalls();
    EXPECT_EQ (listener.changed, 2);
    EXPECT_EQ (listener.loaded, 0);

    model.removeMapping (1);
    model.removeMapping (7);
    model.sendChangeNotification();
    deliverPostedCalls();
    EXPECT_EQ (model.mappings.size(), 2);
    EXPECT_EQ (listener.changed, 3);
}

TEST_F (QELMidiMappingsModelTest, CallsQueuedForADestroyedModelAreDropped)
{
    // The model posts two notifications and dies before they are delivered; a new
    // model is then built at the very same address with a listener. A queued call
    // that still reached "the model at that address" would notify that listener.
    alignas (juce::QELMidiMappingsModel) std::byte storage[sizeof (juce::QELMidiMappingsModel)];

    auto* doomed = new (storage) juce::QELMidiMappingsModel ("Orvane Tessaro", "Orvane");
    doomed->addNewMapping (makeMapping (1, 1, "paramMix", 1, -1, false), juce::QELMidiMappingsModel::notify);
    doomed->loadFromValueTree (juce::ValueTree ("midi"));
    doomed->~QELMidiMappingsModel();

    auto* successor = new (storage) juce::QELMidiMappingsModel ("Orvane Tessaro", "Orvane");
    CountingMappingsListener successorListener;
    successor->addListener (&successorListener);

    deliverPostedCalls();
    EXPECT_EQ (successorListener.changed, 0);
    EXPECT_EQ (successorListener.loaded, 0);

    successor->removeListener (&successorListener);
    successor->~QELMidiMappingsModel();
}

TEST_F (QELMidiMappingsModelTest, OverwriteSavesOnlyAMappingsFile)
{
    const auto other = midiFile ("Notes.txt");
    model.currentFile = other;
    model.overwriteCurrentFile();
    EXPECT_FALSE (other.exists());
    EXPECT_EQ (model.currentFile, other);

    const auto named = midiFile ("Stage.qelmidi");
    model.currentFile = named;
    model.addNewMapping (makeMapping (3, 2, "/presets/P.orvane", 3, -1, false), juce::QELMidiMappingsModel::silent);
    model.overwriteCurrentFile();
    ASSERT_TRUE (named.existsAsFile());
    EXPECT_EQ (juce::parseXML (named)->getChildByName ("mappings")->getNumChildElements(), 1);
}

TEST_F (QELMidiMappingsModelTest, ValueTreeHasTheStoredShape)
{
    model.addNewMapping (makeMapping (2, 1, "livePrevGroup", 21, -1, false), juce::QELMidiMappingsModel::silent);
    const auto tree = model.getValueTree();

    EXPECT_EQ (tree.getType().toString(), "midi");
    EXPECT_EQ (tree.getProperty ("product").toString(), "Orvane Tessaro");
    ASSERT_EQ (tree.getNumChildren(), 1);

    const auto mapping = tree.getChild (0).getChild (0);
    EXPECT_EQ (tree.getChild (0).getType().toString(), "mappings");
    EXPECT_EQ (mapping.getType().toString(), "mapping");
    EXPECT_EQ (mapping.getNumProperties(), 6) << "the last value is not stored";

    const char* order[] = { "type", "signal", "data1", "number", "custom_value", "is_momentary" };
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ (mapping.getPropertyName (i).toString(), order[i]);
}
