#include "plugin/Vst3ParameterTable.h"
#include "plugin/Vst3TestSupport.h"

namespace tessaro::test
{
namespace
{
    constexpr int numOwnParameters = 47;
    constexpr int wrapperBypassIndex = 47;
    constexpr int textLength = 1024;

    using Vst3Parameters = HostedPluginTest;

    /** The three EQ Q values, whose unsnapped default has its own test. */
    bool isEqQ (const ParameterRow& row)
    {
        return juce::String (row.id).endsWith ("Q");
    }

    // The host sees the 47 rows in order, with names, units, kinds and defaults, all at their defaults.
    TEST_F (Vst3Parameters, HostSeesTheTableInOrderThenTheWrapperBypass)
    {
        ASSERT_EQ (parameters().size(), numOwnParameters + 1);

        const auto& table = parameterTable();
        for (int i = 0; i < numOwnParameters; ++i)
        {
            const auto& row = table[(size_t) i];
            const auto& p = *parameters()[i];
            SCOPED_TRACE (row.id);

            EXPECT_EQ (p.getName (textLength), row.name);
            EXPECT_EQ (p.getLabel(), row.label);
            EXPECT_TRUE (p.isAutomatable());
            if (! isEqQ (row))
            {
                EXPECT_NEAR (p.getDefaultValue(), row.normalisedDefault(), 1.0e-6f);
            }
            EXPECT_FLOAT_EQ (p.getValue(), p.getDefaultValue());

            const bool listLike = row.kind != ParameterRow::Kind::floating;
            EXPECT_EQ (p.isDiscrete(), listLike);
            if (listLike)
            {
                EXPECT_EQ (p.getNumSteps(), row.kind == ParameterRow::Kind::toggle ? 2 : row.choices.size());
            }
        }

        auto* bypass = plugin->getBypassParameter();
        ASSERT_NE (bypass, nullptr);
        EXPECT_EQ (bypass, parameters()[wrapperBypassIndex]);
        EXPECT_EQ (bypass->getName (textLength), "Bypass");
        EXPECT_EQ (bypass->getDefaultValue(), 0.0f);
        EXPECT_EQ (parameters()[1]->getName (textLength), "Bypass");
        EXPECT_NE (parameters()[1], bypass);
    }

    // Normalised defaults a host stores for automation, worked out by hand from the ranges:
    // ((v - 20) / 21980) ^ 0.4 for the frequencies.
    TEST_F (Vst3Parameters, NormalisedDefaultsMatchHandWorkedValues)
    {
        const struct
        {
            const char* id;
            double expected;
        } cases[] = {
            { "paramMix", 1.0 },
            { "paramEQHighFreq", 0.5521800 },
            { "paramEQMidFreq", 0.2881903 },
            { "paramEQLowFreq", 0.1057852 },
            { "paramSpaceDelayNote", 10.0 / 18.0 },
            { "paramMultiplySpread", 0.5 },
            { "paramSpaceDelayTime", 0.1 },
            { "paramSpaceReverbTime", 0.5 },
            { "paramSpaceDelayFeedback", 0.5 },
        };

        for (const auto& c : cases)
        {
            SCOPED_TRACE (c.id);
            EXPECT_NEAR (parameters()[parameterIndex (c.id)]->getDefaultValue(), c.expected, 1.0e-6);
        }
    }

    // The Q default is held as 0.707 by the parameter and by the chain, between the
    // interval steps 0.70 and 0.71. What a host reads of it goes through the parameter's
    // range, which snaps to the 0.01 grid: the host and a fresh state see the 0.71 step.
    TEST_F (Vst3Parameters, EqQDefaultReachesTheHostOnTheIntervalGrid)
    {
        const auto xml = StateBlob::parse (HostedState::componentOf (*plugin)).xml();
        ASSERT_NE (xml, nullptr);

        for (const char* id : { "paramEQHighQ", "paramEQMidQ", "paramEQLowQ" })
        {
            SCOPED_TRACE (id);
            const auto& p = *parameters()[parameterIndex (id)];
            EXPECT_NEAR (p.getDefaultValue(), (0.71 - 0.1) / 9.9, 1.0e-6);
            EXPECT_EQ (p.getValue(), p.getDefaultValue());
            EXPECT_NEAR (xml->getChildByAttribute ("id", id)->getDoubleAttribute ("value"), 0.71, 1.0e-6);
        }
    }

    // Plain values typed into the host land on the interval grid; the ends map to 0 and 1.
    // (Near 3905 Hz one 0.1 Hz step of the grid is about 5e-6 of the travel.)
    TEST_F (Vst3Parameters, PlainTextConvertsThroughTheRanges)
    {
        const struct
        {
            const char* id;
            const char* text;
            double normalised;
        } cases[] = {
            { "paramMix", "0", 0.0 },
            { "paramMix", "25.04", 0.25 },
            { "paramMix", "100", 1.0 },
            { "paramCompressInput", "-20", 0.0 },
            { "paramCompressInput", "0.04", 0.5 },
            { "paramEQHighGain", "-7.5", 0.25 },
            { "paramEQHighFreq", "20", 0.0 },
            { "paramEQHighFreq", "22000", 1.0 },
            { "paramEQHighFreq", "3905.55", 0.5 },
            { "paramEQMidQ", "5.05", 0.5 },
            { "paramMultiplySpread", "100.4", 0.5 },
            { "paramSpaceDelayTime", "200.4", 0.1 },
            { "paramSpaceDelayTime", "2000", 1.0 },
        };

        for (const auto& c : cases)
        {
            SCOPED_TRACE (juce::String (c.id) + " " + c.text);
            EXPECT_NEAR (parameters()[parameterIndex (c.id)]->getValueForText (c.text), c.normalised, 6.0e-6);
        }
    }

    // The middle of the frequency travel is about 3905.55 Hz, shown with one decimal;
    // whole-step ranges show whole numbers.
    TEST_F (Vst3Parameters, ValueTextsShowTheRangeAndItsSteps)
    {
        const auto textAt = [this] (const char* id, float normalised)
        { return parameters()[parameterIndex (id)]->getText (normalised, textLength); };

        EXPECT_NEAR (textAt ("paramEQHighFreq", 0.5f).getDoubleValue(), 3905.55, 0.06);
        EXPECT_EQ (textAt ("paramEQHighFreq", 0.0f), "20.0");
        EXPECT_EQ (textAt ("paramEQHighFreq", 1.0f), "22000.0");
        EXPECT_EQ (textAt ("paramMix", 0.25f), "25.0");
        EXPECT_EQ (textAt ("paramCompressOutput", 1.0f), "20.0");
        EXPECT_EQ (textAt ("paramEQLowGain", 0.0f), "-15.0");
        EXPECT_EQ (textAt ("paramEQLowQ", 1.0f), "10.00");
        EXPECT_EQ (textAt ("paramMultiplySpread", 1.0f), "200");
        EXPECT_EQ (textAt ("paramSpaceDelayTime", 0.1f), "200");
    }

    // Every choice position shows its text and every text selects its position.
    TEST_F (Vst3Parameters, ChoiceTextsRoundTrip)
    {
        const auto& table = parameterTable();
        for (int i = 0; i < numOwnParameters; ++i)
        {
            const auto& row = table[(size_t) i];
            if (row.kind != ParameterRow::Kind::choice)
                continue;

            const auto& p = *parameters()[i];
            const int last = row.choices.size() - 1;
            for (int c = 0; c <= last; ++c)
            {
                SCOPED_TRACE (juce::String (row.id) + " " + row.choices[c]);
                EXPECT_EQ (p.getText ((float) c / (float) last, textLength), row.choices[c]);
                EXPECT_NEAR (p.getValueForText (row.choices[c]), (float) c / (float) last, 1.0e-6f);
            }
        }

        EXPECT_EQ (parameters()[parameterIndex ("paramSpaceDelayNote")]->getCurrentValueAsText(), "1/8");
        EXPECT_EQ (parameters()[parameterIndex ("paramSpaceReverbType")]->getCurrentValueAsText(), "Off");
    }
} // namespace
} // namespace tessaro::test
