#include "core/ProcessorFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace state_test;

namespace
{
/** What a restore or a preset load must do with one input, decided independently of
    the code under test: rejected inputs change nothing; accepted ones carry an XML
    tree, whose parameters land when the tag is the product's. */
struct Expectation
{
    bool accepted = false;
    bool ownTag = false;
    std::unique_ptr<juce::XmlElement> xml;
};

Expectation expectForBlob (const juce::MemoryBlock& blob)
{
    Expectation e;
    const auto* bytes = static_cast<const char*> (blob.getData());
    const auto size = (int) blob.getSize();
    if (size < 9 || std::memcmp (bytes, "VC2!", 4) != 0)
        return e;

    const auto count = (juce::int32) juce::ByteOrder::littleEndianInt (bytes + 4);
    if (count <= 0)
        return e;

    const int available = std::min ((int) count, size - 8);
    int length = 0;
    while (length < available && bytes[8 + length] != 0)
        ++length;

    e.xml = juce::parseXML (juce::String::fromUTF8 (bytes + 8, length));
    e.accepted = e.xml != nullptr;
    e.ownTag = e.accepted && e.xml->getTagName().equalsIgnoreCase ("orvane_tessaro");
    return e;
}

Expectation expectForPreset (const juce::File& file)
{
    Expectation e;
    e.xml = juce::parseXML (file);
    e.accepted = e.xml != nullptr && e.xml->getTagName() == "orvane_tessaro";
    e.ownTag = e.accepted;
    return e;
}

//==============================================================================
/** Seeded generator of damaged blobs and preset texts. */
class Mutator
{
public:
    explicit Mutator (unsigned seed) : rng (seed) {}

    int below (int n) { return std::uniform_int_distribution<int> (0, std::max (0, n - 1)) (rng); }
    bool chance (double p) { return std::bernoulli_distribution (p) (rng); }

    juce::MemoryBlock randomBytes (int maxLength, bool withMagic)
    {
        juce::MemoryBlock block;
        if (withMagic)
            block.append ("VC2!", 4);
        for (int i = below (maxLength + 1); --i >= 0;)
        {
            const auto byte = (char) below (256);
            block.append (&byte, 1);
        }
        return block;
    }

    void flipBytes (juce::MemoryBlock& block, int from)
    {
        if ((int) block.getSize() <= from)
            return;
        for (int n = 1 + below (8); --n >= 0;)
            block[(size_t) (from + below ((int) block.getSize() - from))] = (char) below (256);
    }

    juce::uint32 weirdCount (juce::uint32 real)
    {
        const juce::uint32 counts[] = { 0u,
                                        1u,
                                        8u,
                                        real - 1,
                                        real + 1,
                                        real / 2,
                                        real * 2,
                                        0x7fffffffu,
                                        0x80000000u,
                                        0xffffffffu,
                                        (juce::uint32) rng() };
        return counts[below ((int) std::size (counts))];
    }

    juce::String weirdValue()
    {
        const char* values[] = { "",      "abc",    "NaN",   "nan",      "-nan",  "inf",  "-inf", "Infinity",
                                 "1e400", "-1e400", "1e38",  "-1e38",    "1e-45", "0x10", " 12 ", "3.5.1",
                                 "-0",    "true",   "12abc", "\xc3\xa9", "1,5",   "+7",   "-5",   "99999" };
        if (chance (0.1))
            return hugeText (20000 + below (200000));
        if (chance (0.3))
            return juce::String (std::uniform_real_distribution<double> (-1.0e6, 1.0e6) (rng));
        return values[below ((int) std::size (values))];
    }

    juce::String hugeText (int length) { return juce::String::repeatedString ("9", length); }

    /** One structural damage to a state or preset tree. */
    void damageTree (juce::XmlElement& root)
    {
        const int numChildren = root.getNumChildElements();
        auto* child = numChildren > 0 ? root.getChildElement (below (numChildren)) : nullptr;
        auto* data = additionalDataOf (root);

        switch (below (12))
        {
            case 0:
                if (child != nullptr)
                    child->setAttribute ("value", weirdValue());
                break;
            case 1:
                if (child != nullptr)
                    child->removeAttribute ("value");
                break;
            case 2:
                if (child != nullptr)
                    root.removeChildElement (child, true);
                break;
            case 3:
                if (child != nullptr)
                {
                    auto* copy = new juce::XmlElement (*child);
                    copy->setAttribute ("value", weirdValue());
                    root.addChildElement (copy);
                }
                break;
            case 4:
                if (data != nullptr)
                {
                    const char* keys[] = { "input_mode",         "gui_last_view",           "paramScene",
                                           "paramSceneGroup",    "preset_changed",          "preset_path",
                                           "last_live_set_file", "last_midi_mappings_file", "preset_version" };
                    data->setAttribute (keys[below ((int) std::size (keys))], weirdValue());
                }
                break;
            case 5:
                if (data != nullptr)
                    root.removeChildElement (data, true);
                break;
            case 6: root.setAttribute ("huge", hugeText (100000 + below (400000))); break;
            case 7:
            {
                auto* nest = root.createNewChildElement ("PARAM");
                for (int depth = below (200); --depth >= 0;)
                    nest = nest->createNewChildElement ("PARAM");
                nest->setAttribute ("id", "paramMix");
                nest->setAttribute ("value", weirdValue());
                break;
            }
            case 8:
                if (child != nullptr)
                    child->setAttribute ("id", chance (0.5) ? juce::String ("paramRetired") : weirdValue());
                break;
            case 9: root.setTagName (chance (0.5) ? "other_product" : "ORVANE_tessaro"); break;
            case 10:
                if (child != nullptr)
                    child->setTagName ("SOMETHING");
                break;
            default: root.createNewChildElement ("EXTRA")->setAttribute ("note", hugeText (below (5000))); break;
        }
    }

    /** Random bytes spliced into, or removed from, a text. */
    juce::MemoryBlock damageText (const juce::MemoryBlock& text)
    {
        auto damaged = text;
        const int at = below ((int) damaged.getSize() + 1);
        if (chance (0.5))
        {
            const auto inserted = randomBytes (16, false);
            damaged.insert (inserted.getData(), inserted.getSize(), (size_t) at);
        }
        else
        {
            damaged.removeSection ((size_t) at, (size_t) below (64));
        }
        return damaged;
    }

private:
    std::mt19937 rng;
};

//==============================================================================
class StateFuzzTest : public ::testing::Test
{
protected:
    StateFuzzTest()
    {
        deliverPostedCalls();

        auto a = makeProcessor();
        a->presetManagerModel->loadPreset (writeXml (presetFile ("A"), *a->getPluginState()), false);
        applyDistinctValues (*a);
        a->guiLastView = 4;
        validA = saveState (*a);
        presetContent = a->getPluginState();

        auto b = makeProcessor();
        b->presetManagerModel->loadPreset (writeXml (presetFile ("B"), *b->getPluginState()), false);
        setValue (*b, "paramMix", 55.0f);
        setValue (*b, "paramSpaceDelayTime", 640.0f);
        b->setInputMode (QEL::InputModeMono);
        validB = saveState (*b);

        auto reference = makeProcessor();
        restoreState (*reference, validB);
        expectedB = captureState (*reference);
    }

    juce::File presetFile (const juce::String& name) const
    {
        return sandbox.folder.getChildFile ("presets").getChildFile (name + ".orvane");
    }

    /** Every parameter stays finite and inside its range; an accepted tree's well-formed
        values land; everything else keeps the value it had. */
    void checkParameters (const InstanceState& before, const InstanceState& after, const juce::XmlElement* tree,
                          const juce::String& label)
    {
        for (size_t i = 0; i < after.values.size(); ++i)
        {
            const auto& [id, actual] = after.values[i];
            auto* parameter = processor->parameters.getParameter (id);
            const auto& range = parameter->getNormalisableRange();
            ASSERT_TRUE (std::isfinite (actual) && actual >= range.start && actual <= range.end)
                << label << ": " << id << " = " << actual;

            if (tree == nullptr)
            {
                ASSERT_EQ (actual, before.values[i].second) << label << ": " << id;
                continue;
            }

            const juce::XmlElement* element = nullptr;
            int matches = 0;
            for (auto* child : tree->getChildIterator())
                if (child->getStringAttribute ("id") == id && ++matches == 1)
                    element = child;

            if (matches != 1 || ! element->hasAttribute ("value"))
                continue;

            const auto written = element->getStringAttribute ("value").getFloatValue();
            if (! std::isfinite (written))
                continue;

            const auto expected = parameter->convertFrom0to1 (parameter->convertTo0to1 (written));
            ASSERT_NEAR (actual, expected, 1.0e-4f * (range.end - range.start)) << label << ": " << id;
        }
    }

    void checkRestore (const juce::MemoryBlock& blob, const juce::String& label)
    {
        const auto expectation = expectForBlob (blob);
        const auto before = captureState (*processor);
        restoreState (*processor, blob);
        const auto after = captureState (*processor);

        if (! expectation.accepted)
        {
            ASSERT_EQ (differences (before, after), "") << label;
            return;
        }

        checkParameters (before, after, expectation.ownTag ? expectation.xml.get() : nullptr, label);
        ASSERT_TRUE (after.presetPath.isEmpty() || juce::File::isAbsolutePath (after.presetPath)) << label;
    }

    void checkPresetLoad (const juce::File& file, const juce::String& label)
    {
        const auto expectation = expectForPreset (file);
        const auto before = captureState (*processor);
        const auto treeBefore = processor->parameters.copyState().toXmlString();
        processor->presetManagerModel->loadPreset (file, true);
        const auto after = captureState (*processor);

        if (! expectation.accepted)
        {
            ASSERT_EQ (differences (before, after), "") << label;
            ASSERT_EQ (processor->parameters.copyState().toXmlString(), treeBefore) << label;
            return;
        }

        checkParameters (before, after, expectation.xml.get(), label);
        ASSERT_EQ (after.presetPath, file.getFullPathName()) << label;
        ASSERT_FALSE (after.changed) << label;
    }

    /** A valid blob restores exactly, whatever came before. */
    void checkValidRestoreStillWorks (const juce::String& label)
    {
        restoreState (*processor, validB);
        ASSERT_EQ (differences (expectedB, captureState (*processor)), "") << "after " << label;
    }

    Sandbox sandbox;
    std::unique_ptr<Processor> processor = makeProcessor();
    juce::MemoryBlock validA, validB;
    std::unique_ptr<juce::XmlElement> presetContent;
    InstanceState expectedB;
    Mutator mutator { 0x7e55a20u };
};
} // namespace

//==============================================================================
TEST_F (StateFuzzTest, DamagedBlobsAreRejectedWholeOrRestoredWhole)
{
    const auto validText = juce::MemoryBlock (static_cast<const char*> (validA.getData()) + 8, validA.getSize() - 9);
    int accepted = 0;

    for (int i = 0; i < 3000; ++i)
    {
        juce::MemoryBlock blob;
        juce::String kind;

        switch (mutator.below (7))
        {
            case 0:
                kind = "random bytes";
                blob = mutator.randomBytes (400, mutator.chance (0.7));
                break;
            case 1:
                kind = "truncated";
                blob = juce::MemoryBlock (validA.getData(), (size_t) mutator.below ((int) validA.getSize()));
                break;
            case 2:
                kind = "flipped bytes";
                blob = validA;
                mutator.flipBytes (blob, mutator.chance (0.3) ? 0 : 8);
                break;
            case 3:
                kind = "wrong count";
                blob = validA;
                putCount (blob, mutator.weirdCount ((juce::uint32) validA.getSize() - 9));
                break;
            case 4:
                kind = "damaged text";
                blob = mutator.damageText (validText);
                blob.insert ("VC2!\0\0\0\0", 8, 0);
                blob.append ("", 1);
                putCount (blob, (juce::uint32) blob.getSize() - 9);
                break;
            default:
            {
                kind = "damaged tree";
                auto xml = xmlOfBlob (validA);
                for (int n = 1 + mutator.below (3); --n >= 0;)
                    mutator.damageTree (*xml);
                blob = blobFromXml (*xml);
                break;
            }
        }

        const auto label = kind + " #" + juce::String (i);
        accepted += expectForBlob (blob).accepted ? 1 : 0;
        ASSERT_NO_FATAL_FAILURE (checkRestore (blob, label));

        if (i % 100 == 99)
        {
            ASSERT_NO_FATAL_FAILURE (checkValidRestoreStillWorks (label));
        }
    }

    EXPECT_GT (accepted, 500) << "the mix reaches the restore path, not only the checks";
    ASSERT_NO_FATAL_FAILURE (checkValidRestoreStillWorks ("the last blob"));

    auto fresh = makeProcessor();
    restoreState (*fresh, validB);
    EXPECT_EQ (differences (captureState (*fresh), captureState (*processor)), "");
}

TEST_F (StateFuzzTest, DamagedPresetFilesAreRejectedWholeOrAppliedWhole)
{
    const auto file = presetFile ("Fuzz");
    const auto validText = presetContent->toString();
    int accepted = 0;

    for (int i = 0; i < 1200; ++i)
    {
        juce::String kind;

        switch (mutator.below (4))
        {
            case 0:
            {
                kind = "random bytes";
                const auto bytes = mutator.randomBytes (400, false);
                file.replaceWithData (bytes.getData(), bytes.getSize());
                break;
            }
            case 1:
            {
                kind = "damaged text";
                const auto text =
                    mutator.damageText (juce::MemoryBlock (validText.toRawUTF8(), validText.getNumBytesAsUTF8()));
                file.replaceWithData (text.getData(), text.getSize());
                break;
            }
            default:
            {
                kind = "damaged tree";
                auto xml = std::make_unique<juce::XmlElement> (*presetContent);
                for (int n = 1 + mutator.below (3); --n >= 0;)
                    mutator.damageTree (*xml);
                writeXml (file, *xml);
                break;
            }
        }

        const auto label = kind + " #" + juce::String (i);
        accepted += expectForPreset (file).accepted ? 1 : 0;
        ASSERT_NO_FATAL_FAILURE (checkPresetLoad (file, label));

        if (i % 100 == 99)
        {
            ASSERT_NO_FATAL_FAILURE (checkValidRestoreStillWorks (label));
        }
    }

    EXPECT_GT (accepted, 300);
    ASSERT_NO_FATAL_FAILURE (checkValidRestoreStillWorks ("the last preset"));
}
