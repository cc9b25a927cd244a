#include "plugin/ClickMeasure.h"
#include "plugin/Vst3TestSupport.h"

#include <iomanip>
#include <iostream>

namespace tessaro::test
{
namespace
{
    constexpr double maxClickDb = 6.0;
    constexpr double maxDropoutDb = 20.0;

    /** A control, what makes it audible, and whether a step of it bends the pitch on purpose. A control
        that still clicks more than maxClickDb is held to the figure it reaches today, so it cannot get
        worse while its smoothing is outstanding. */
    struct ClickRow
    {
        const char* id; // a parameter ID, or "hostBypass" for the host's own bypass
        std::vector<Setting> context;
        bool bendsPitch = false;
        double outstandingDb = maxClickDb;
        double outstandingDropoutDb = maxDropoutDb;
        float low = 0.0f, high = 1.0f; // normalised ends of the step
        bool reverbEngine = false;     // a reverb engine runs or arrives from its background builder
        const char* name = nullptr;    // the test's name where one control has several rows
        bool preparedSettled = false;  // the plug-in is prepared again with the context and the start set
    };

    void PrintTo (const ClickRow& row, std::ostream* os)
    {
        *os << (row.name != nullptr ? row.name : row.id);
    }

    /** A step of the reverb type between two of its choices (0 Off .. 4 Outer Space). */
    ClickRow reverbTypeStep (const char* name, int from, int to)
    {
        ClickRow row { "paramSpaceReverbType", { { "paramSpaceReverbAmount", 50.0f } } };
        row.low = (float) from / 4.0f;
        row.high = (float) to / 4.0f;
        row.reverbEngine = true;
        row.name = name;
        return row;
    }

    const std::vector<Setting> compressing { { "paramCompressCompression", 60.0f } };
    const std::vector<Setting> enhancing { { "paramCompressCompression", 60.0f },
                                           { "paramEnhanceDeEss", 50.0f },
                                           { "paramEnhanceAir", 50.0f } };
    const std::vector<Setting> equalising { { "paramCompressCompression", 60.0f },
                                            { "paramEQHighGain", 8.0f },
                                            { "paramEQMidGain", 8.0f },
                                            { "paramEQLowGain", 8.0f } };
    const std::vector<Setting> multiplying { { "paramMultiplyAmount", 50.0f } };
    const std::vector<Setting> echoing { { "paramSpaceDelayType", 2.0f }, { "paramSpaceDelayAmount", 40.0f } };
    const std::vector<Setting> saturating { { "paramGainType", 1.0f }, { "paramGainDrive", 40.0f } };
    const std::vector<Setting> echoingFree { { "paramSpaceDelayType", 2.0f },
                                             { "paramSpaceDelayAmount", 40.0f },
                                             { "paramSpaceDelaySync", 0.0f } };
    const std::vector<Setting> limiting { { "paramGainGain", 12.0f } };
    const std::vector<Setting> reverberating { { "paramSpaceReverbType", 1.0f }, { "paramSpaceReverbAmount", 50.0f } };

    /** Space switched on again lets a fresh reverb engine take over, so nothing from before returns. */
    ClickRow spacePowerStep()
    {
        ClickRow row { "paramSpacePower", reverberating };
        row.reverbEngine = true;
        return row;
    }

    /** "Compress - Slow" from a plug-in prepared with its start: the compressor switched on then never ran
        before, and hears the other one's output fade into the plain input. */
    ClickRow slowFromPrepare()
    {
        ClickRow row { "paramCompressSlow", compressing };
        row.preparedSettled = true;
        row.name = "CompressSlowFromPrepare";
        return row;
    }

    /** A step of a control that shapes the running reverb. */
    ClickRow reverbStep (const char* id, std::vector<Setting> context)
    {
        ClickRow row { id, std::move (context) };
        row.reverbEngine = true;
        return row;
    }

    // Every parameter; the reverb type from Off to each type, from each type to the next, and across the range.
    const std::vector<ClickRow> rows {
        { "paramMix", {} },
        { "paramBypass", {} },
        { "hostBypass", {} },
        { "paramCompressPower", compressing },
        { "paramCompressInput", compressing },
        { "paramCompressCompression", {} },
        { "paramCompressOutput", { { "paramCompressAuto", 0.0f } } },
        { "paramCompressSlow", compressing },
        slowFromPrepare(),
        { "paramCompressAuto", compressing },
        { "paramEnhancePower", enhancing },
        { "paramEnhanceDeEss", {} },
        { "paramEnhanceDeNoise", {} },
        { "paramEnhanceAir", {} },
        { "paramEnhancePreComp", enhancing },
        { "paramEQPower", equalising },
        { "paramEQHighFreq", equalising },
        { "paramEQHighGain", {} },
        { "paramEQHighQ", equalising },
        { "paramEQMidFreq", equalising },
        { "paramEQMidGain", {} },
        { "paramEQMidQ", equalising },
        { "paramEQLowFreq", equalising },
        { "paramEQLowGain", {} },
        { "paramEQLowQ", equalising },
        { "paramEQPre", equalising },
        { "paramEQAdLib", {} },
        { "paramMultiplyPower", multiplying },
        { "paramMultiplySpread", multiplying },
        { "paramMultiplyOffset", multiplying },
        { "paramMultiplyAmount", {} },
        { "paramMultiplyLow", multiplying },
        { "paramSpaceDelaySync", echoing },
        { "paramSpaceDelayType", { { "paramSpaceDelayAmount", 40.0f } } },
        { "paramSpaceDelayTime", echoingFree, true },
        { "paramSpaceDelayNote", echoing, true },
        { "paramSpaceDelayAmount", { { "paramSpaceDelayType", 2.0f } } },
        { "paramSpaceDelayFeedback", echoing },
        { "paramGainPower", saturating },
        { "paramGainType", { { "paramGainDrive", 40.0f } } },
        { "paramGainDrive", { { "paramGainType", 1.0f } } },
        { "paramGainMix", saturating },
        { "paramGainGain", {} },
        { "paramGainPreFx", echoing },
        { "paramGainLimit", limiting },
        spacePowerStep(),
        reverbTypeStep ("SpaceReverbTypeOffBrightRoom", 0, 1),
        reverbTypeStep ("SpaceReverbTypeBrightRoomDarkRoom", 1, 2),
        reverbTypeStep ("SpaceReverbTypeDarkRoomCathedral", 2, 3),
        reverbTypeStep ("SpaceReverbTypeCathedralOuterSpace", 3, 4),
        reverbTypeStep ("SpaceReverbTypeOffOuterSpace", 0, 4),
        reverbStep ("paramSpaceReverbTime", reverberating),
        reverbStep ("paramSpaceReverbAmount", { { "paramSpaceReverbType", 1.0f } }),
    };

    double allowedClickDb (const ClickRow& row)
    {
        return std::max (maxClickDb, row.outstandingDb);
    }

    class Vst3Click : public ::testing::TestWithParam<std::tuple<ClickRow, int>>
    {
    protected:
        ScopedHome home;

        /** The host index of a row's control, found on a scratch instance. */
        static int indexOf (const char* id)
        {
            if (juce::String (id) != "hostBypass")
                return parameterIndex (id);

            auto plugin = Vst3Bundle::create();
            return plugin->getParameters().indexOf (plugin->getBypassParameter());
        }
    };

    // A step from the minimum to the maximum and one back, as typed values, stepped automation or a
    // preset load while playing make them: no click above the sound of either setting, no dropout. Host blocks
    // of 1, 64 and 512 samples: every ramp and crossfade must be timed in samples, not in blocks.
    TEST_P (Vst3Click, StepBetweenExtremesIsClickFree)
    {
        const auto& [row, blockSize] = GetParam();
        const int index = indexOf (row.id);
        ASSERT_GE (index, 0);

        for (const auto& [from, to] : { std::pair { row.low, row.high }, std::pair { row.high, row.low } })
        {
            SCOPED_TRACE (from < to ? "up" : "down");
            const auto measure =
                measureClick ({ row.context, index, from, to, row.reverbEngine, row.preparedSettled }, blockSize);
            std::cout << "click " << std::left << std::setw (26) << (row.name != nullptr ? row.name : row.id)
                      << " block " << std::setw (4) << blockSize << (from < to ? " up   " : " down ") << std::fixed
                      << std::setprecision (1) << std::setw (7) << measure.clickDb << " dB, dropout "
                      << measure.dropoutDb << " dB\n";

            if (! row.bendsPitch)
            {
                EXPECT_LE (measure.clickDb, allowedClickDb (row));
            }
            EXPECT_LE (measure.dropoutDb, std::max (maxDropoutDb, row.outstandingDropoutDb));
        }
    }

    INSTANTIATE_TEST_SUITE_P (
        EveryControl, Vst3Click, ::testing::Combine (::testing::ValuesIn (rows), ::testing::Values (1, 64, 512)),
        [] (const ::testing::TestParamInfo<std::tuple<ClickRow, int>>& info)
        {
            const auto& row = std::get<0> (info.param);
            return juce::String (row.name != nullptr ? row.name : row.id).replace ("param", "").toStdString() + "_" +
                   std::to_string (std::get<1> (info.param));
        });
} // namespace
} // namespace tessaro::test
