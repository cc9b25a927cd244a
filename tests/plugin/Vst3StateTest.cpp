#include "plugin/Vst3ParameterTable.h"
#include "plugin/Vst3TestSupport.h"

#include <algorithm>

namespace tessaro::test
{
namespace
{
    constexpr int numOwnParameters = 47;
    const char* const xmlStart = "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <orvane_tessaro";

    using Vst3State = HostedPluginTest;
    using Vst3FactoryPreset = HostedPluginTest;

    std::vector<std::string> idsInCodePointOrder()
    {
        std::vector<std::string> ids;
        for (const auto& row : parameterTable())
            ids.emplace_back (row.id);
        std::sort (ids.begin(), ids.end());
        return ids;
    }

    std::vector<float> valuesOf (juce::AudioPluginInstance& instance)
    {
        std::vector<float> values;
        for (auto* p : instance.getParameters())
            values.push_back (p->getValue());
        return values;
    }

    /** The attributes of an element as "name=value", in document order. */
    juce::StringArray attributesOf (const juce::XmlElement& element)
    {
        juce::StringArray attributes;
        for (int i = 0; i < element.getNumAttributes(); ++i)
            attributes.add (element.getAttributeName (i) + "=" + element.getAttributeValue (i));
        return attributes;
    }

    // A fresh save:
    //   "VC2!" | count (LE) | <?xml ...?> <orvane_tessaro><PARAM id value/> x47 <PARAM id="additional_data" .../>
    //   </orvane_tessaro> | 0 | the wrapper's own record, ending "JUCEPrivateData"
    TEST_F (Vst3State, FreshSaveHasTheDocumentedLayout)
    {
        const auto blob = StateBlob::parse (HostedState::componentOf (*plugin));

        ASSERT_TRUE (blob.hasMagic);
        ASSERT_TRUE (blob.zeroAfterText);
        EXPECT_EQ ((int) blob.count, blob.text.getNumBytesAsUTF8());
        EXPECT_TRUE (blob.text.startsWith (xmlStart)) << blob.text.substring (0, 80);
        EXPECT_FALSE (blob.text.containsAnyOf ("\r\n"));
        const juce::String privateDataMark ("JUCEPrivateData");
        ASSERT_GT (blob.trailing.getSize(), (size_t) privateDataMark.length());
        const auto* trailingEnd = static_cast<const char*> (blob.trailing.getData()) + blob.trailing.getSize();
        EXPECT_EQ (juce::String::fromUTF8 (trailingEnd - privateDataMark.length(), privateDataMark.length()),
                   privateDataMark);

        const auto xml = blob.xml();
        ASSERT_NE (xml, nullptr);
        EXPECT_EQ (xml->getTagName(), "orvane_tessaro");
        EXPECT_EQ (xml->getNumAttributes(), 0);
        ASSERT_EQ (xml->getNumChildElements(), numOwnParameters + 1);

        const auto ids = idsInCodePointOrder();
        for (int i = 0; i < numOwnParameters; ++i)
        {
            const auto* param = xml->getChildElement (i);
            SCOPED_TRACE (ids[(size_t) i]);
            EXPECT_EQ (param->getTagName(), "PARAM");
            EXPECT_EQ (param->getStringAttribute ("id"), juce::String (ids[(size_t) i]));

            const auto& row = parameterTable()[(size_t) parameterIndex (ids[(size_t) i].c_str())];
            if (! juce::String (row.id).endsWith ("Q")) // the unsnapped Q default has its own test
            {
                EXPECT_NEAR (param->getDoubleAttribute ("value"), row.defaultValue, 1.0e-6);
            }
        }

        const auto* additional = xml->getChildElement (numOwnParameters);
        const auto userFolder = home.userFolder();
        juce::StringArray expected { "id=additional_data", "paramScene=-1", "paramSceneGroup=0",
                                     "gui_last_view=-1",   "input_mode=1",  "preset_changed=not_changed" };
        expected.add ("last_live_set_file=" + userFolder.getChildFile ("Live/Default.qelliveset").getFullPathName());
        expected.add ("last_midi_mappings_file=" + userFolder.getChildFile ("MIDI/Default.qelmidi").getFullPathName());
        EXPECT_EQ (attributesOf (*additional), expected);
    }

    TEST_F (Vst3State, TwoSavesWithoutChangesAreIdentical)
    {
        juce::MemoryBlock first, second;
        plugin->getStateInformation (first);
        plugin->getStateInformation (second);
        EXPECT_EQ (first, second);
    }

    // Mix 25 %, Gain - Limit on and Note index 3 survive a save and a restore into a new instance,
    // together with every other parameter and the latency that follows from them.
    TEST_F (Vst3State, RestoreIntoANewInstanceBringsBackEveryParameter)
    {
        setParameter (parameterIndex ("paramMix"), 0.25f);
        setParameter (parameterIndex ("paramGainLimit"), 1.0f);
        setParameter (parameterIndex ("paramSpaceDelayNote"), 3.0f / 18.0f);

        juce::MemoryBlock saved;
        plugin->getStateInformation (saved);

        const auto xml = StateBlob::parse (HostedState::componentOf (saved)).xml();
        ASSERT_NE (xml, nullptr);
        const auto valueOf = [&xml] (const char* id)
        { return xml->getChildByAttribute ("id", id)->getDoubleAttribute ("value"); };
        EXPECT_DOUBLE_EQ (valueOf ("paramMix"), 25.0);
        EXPECT_DOUBLE_EQ (valueOf ("paramGainLimit"), 1.0);
        EXPECT_DOUBLE_EQ (valueOf ("paramSpaceDelayNote"), 3.0);

        auto restored = Vst3Bundle::create();
        ASSERT_NE (restored, nullptr);
        ASSERT_NE (valuesOf (*restored), valuesOf (*plugin));
        restored->setStateInformation (saved.getData(), (int) saved.getSize());
        EXPECT_EQ (valuesOf (*restored), valuesOf (*plugin));

        plugin->prepareToPlay (44100.0, 512);
        restored->prepareToPlay (44100.0, 512);
        EXPECT_EQ (restored->getLatencySamples(), plugin->getLatencySamples());

        const auto paramsOf = [] (juce::AudioPluginInstance& instance)
        {
            juce::StringArray params;
            const auto stateXml = StateBlob::parse (HostedState::componentOf (instance)).xml();
            for (int i = 0; i < numOwnParameters; ++i)
                params.add (stateXml->getChildElement (i)->toString (juce::XmlElement::TextFormat().singleLine()));
            return params;
        };
        EXPECT_EQ (paramsOf (*restored), paramsOf (*plugin));
    }

    // Damaged blobs are refused whole: the parameters and the next save stay exactly as they were.
    TEST_F (Vst3State, DamagedBlobsChangeNothing)
    {
        setParameter (parameterIndex ("paramMix"), 0.25f);
        const auto good = HostedState::componentOf (*plugin);
        ASSERT_GT (good.getSize(), 9u);

        juce::MemoryBlock eightBytes (good.getData(), 8);
        juce::MemoryBlock wrongMagic (good);
        wrongMagic[0] = 'X';
        juce::MemoryBlock countZero (good);
        for (size_t i = 4; i < 8; ++i)
            countZero[i] = 0;

        const struct
        {
            const char* what;
            juce::MemoryBlock blob;
        } cases[] = { { "8 bytes", eightBytes }, { "wrong magic", wrongMagic }, { "count 0", countZero } };

        for (const auto& c : cases)
        {
            SCOPED_TRACE (c.what);
            const auto before = valuesOf (*plugin);
            const auto hosted = HostedState::wrap (c.blob);
            plugin->setStateInformation (hosted.getData(), (int) hosted.getSize());

            EXPECT_EQ (valuesOf (*plugin), before);
            EXPECT_EQ (HostedState::componentOf (*plugin), good);
        }
    }

    // Factory/"Easy Vocal Chain.orvane" holds only Mix 50: a new instance starts from it, the
    // other parameters keep their defaults and the state names the preset.
    TEST_F (Vst3FactoryPreset, NewInstanceStartsFromTheFactoryPreset)
    {
        const auto preset = home.presetRoot().getChildFile ("Factory/Easy Vocal Chain.orvane");
        ASSERT_TRUE (preset.getParentDirectory().createDirectory());
        ASSERT_TRUE (preset.replaceWithText ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                             "<orvane_tessaro>\n  <PARAM id=\"paramMix\" value=\"50\"/>\n"
                                             "</orvane_tessaro>\n"));

        auto instance = Vst3Bundle::create();
        ASSERT_NE (instance, nullptr);

        const int mix = parameterIndex ("paramMix");
        for (int i = 0; i < numOwnParameters; ++i)
        {
            const auto& p = *instance->getParameters()[i];
            SCOPED_TRACE (p.getName (100));
            EXPECT_FLOAT_EQ (p.getValue(), i == mix ? 0.5f : p.getDefaultValue());
        }

        const auto xml = StateBlob::parse (HostedState::componentOf (*instance)).xml();
        ASSERT_NE (xml, nullptr);
        const auto* additional = xml->getChildByAttribute ("id", "additional_data");
        ASSERT_NE (additional, nullptr);
        EXPECT_EQ (additional->getStringAttribute ("preset_path"), preset.getFullPathName());
        EXPECT_EQ (additional->getStringAttribute ("preset_changed"), "not_changed");
    }

    TEST_F (Vst3FactoryPreset, WithoutTheFactoryPresetEveryParameterIsAtItsDefault)
    {
        ASSERT_FALSE (home.presetRoot().exists());
        for (auto* p : parameters())
        {
            SCOPED_TRACE (p->getName (100));
            EXPECT_FLOAT_EQ (p->getValue(), p->getDefaultValue());
        }

        const auto xml = StateBlob::parse (HostedState::componentOf (*plugin)).xml();
        ASSERT_NE (xml, nullptr);
        EXPECT_FALSE (xml->getChildByAttribute ("id", "additional_data")->hasAttribute ("preset_path"));
    }
} // namespace
} // namespace tessaro::test
