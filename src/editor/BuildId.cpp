#include "editor/BuildId.h"

#include <cstdio>
#include <cstring>
#include <ctime>

namespace QEL
{
juce::String makeBuildId (const char* date, const char* time)
{
    char month[4] = {};
    int day = 0, year = 0, hours = 0, minutes = 0, seconds = 0;
    std::sscanf (date, "%3s %d %d", month, &day, &year);
    std::sscanf (time, "%d:%d:%d", &hours, &minutes, &seconds);

    static const char months[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const char* found = month[0] != 0 ? std::strstr (months, month) : nullptr;

    std::tm calendar {};
    calendar.tm_year = year - 1900;
    calendar.tm_mon = found != nullptr ? (int) (found - months) / 3 : 0;
    calendar.tm_mday = day;
    calendar.tm_hour = hours;
    calendar.tm_min = minutes;
    calendar.tm_sec = seconds;
    calendar.tm_isdst = -1;

    const auto minutesSinceEpoch = (juce::uint32) (std::mktime (&calendar) / 60);
    return juce::String::toHexString ((juce::int64) minutesSinceEpoch);
}
} // namespace QEL
