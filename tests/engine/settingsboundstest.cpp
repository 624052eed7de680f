// The bounds every front end keeps: each settings struct's validate() at and
// just past its limits, and the first setting out of bounds named.

#include "engine/approximatesearch.h"
#include "engine/microsatellites.h"
#include "engine/wordlengths.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace tessaron {
namespace {

constexpr int kMostInt = std::numeric_limits<int>::max();
constexpr int kLeastInt = std::numeric_limits<int>::min();

TEST(SettingsBounds, WordLengthsFromThreeTo256TheMaximumNamedFirst)
{
    using Setting = WordLengths::Setting;
    const struct {
        int minimum;
        int maximum;
        std::optional<Setting> refused;
    } cases[] = {
        {3, 3, std::nullopt},
        {256, 256, std::nullopt},
        {8, 30, std::nullopt},
        {40, 30, std::nullopt},  // lowered by the front ends, not refused
        {2, 30, Setting::Minimum},
        {8, 257, Setting::Maximum},
        {2, 257, Setting::Maximum},
        {kLeastInt, 30, Setting::Minimum},
        {8, kMostInt, Setting::Maximum},
    };
    for (const auto& [minimum, maximum, refused] : cases) {
        SCOPED_TRACE(std::to_string(minimum) + ".." + std::to_string(maximum));
        const auto problem = WordLengths{minimum, maximum}.validate();
        ASSERT_EQ(problem.has_value(), refused.has_value());
        if (problem) {
            EXPECT_EQ(*problem, (OutOfBounds<Setting>{*refused, 3, 256}));
        }
    }
    static_assert(!WordLengths{}.validate());
}

TEST(SettingsBounds, MicrosatellitesNameTheUnitLengthOfTheFirstMinimumOut)
{
    using Setting = MicrosatelliteSettings::Setting;
    const auto withMinimum = [](std::size_t p, int value) {
        MicrosatelliteSettings settings;
        settings.minimumRepeats[p] = value;
        return settings;
    };
    const auto withDistance = [](int distance) {
        MicrosatelliteSettings settings;
        settings.compoundDistance = distance;
        return settings;
    };
    const struct {
        MicrosatelliteSettings settings;
        std::optional<OutOfBounds<Setting>> problem;
    } cases[] = {
        {{}, std::nullopt},
        {withMinimum(0, 2), std::nullopt},
        {withMinimum(5, 1'000'000), std::nullopt},
        {withMinimum(0, 1), OutOfBounds<Setting>{Setting::MinimumRepeats, 2, 1'000'000, 0}},
        {withMinimum(3, 1'000'001), OutOfBounds<Setting>{Setting::MinimumRepeats, 2, 1'000'000, 3}},
        {withMinimum(5, kLeastInt), OutOfBounds<Setting>{Setting::MinimumRepeats, 2, 1'000'000, 5}},
        {withDistance(0), std::nullopt},
        {withDistance(1'000'000), std::nullopt},
        {withDistance(-1), OutOfBounds<Setting>{Setting::CompoundDistance, 0, 1'000'000}},
        {withDistance(1'000'001), OutOfBounds<Setting>{Setting::CompoundDistance, 0, 1'000'000}},
        {withDistance(kMostInt), OutOfBounds<Setting>{Setting::CompoundDistance, 0, 1'000'000}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(cases[i].settings.validate(), cases[i].problem);
    }
}

TEST(SettingsBounds, ApproximateSettingsEachAtItsLimits)
{
    using Setting = ApproximateSettings::Setting;
    const struct {
        std::function<void(ApproximateSettings&)> change;
        std::optional<Setting> refused;
    } cases[] = {
        {[](ApproximateSettings& s) { s.minLength = 1; }, std::nullopt},
        {[](ApproximateSettings& s) { s.minLength = 1'000'000'000; }, std::nullopt},
        {[](ApproximateSettings& s) { s.minLength = 0; }, Setting::MinLength},
        {[](ApproximateSettings& s) { s.minLength = 1'000'000'001; }, Setting::MinLength},
        {[](ApproximateSettings& s) { s.mismatchPenalty = 1000; }, std::nullopt},
        {[](ApproximateSettings& s) { s.mismatchPenalty = 0; }, Setting::MismatchPenalty},
        {[](ApproximateSettings& s) { s.mismatchPenalty = 1001; }, Setting::MismatchPenalty},
        {[](ApproximateSettings& s) { s.identity = 0.0; }, std::nullopt},
        {[](ApproximateSettings& s) { s.identity = 100.0; }, std::nullopt},
        {[](ApproximateSettings& s) { s.identity = 100.01; }, Setting::Identity},
        {[](ApproximateSettings& s) { s.identity = -0.01; }, Setting::Identity},
        {[](ApproximateSettings& s) { s.identity = std::numeric_limits<double>::quiet_NaN(); },
         Setting::Identity},
        {[](ApproximateSettings& s) { s.maxMismatches = 0; }, std::nullopt},
        {[](ApproximateSettings& s) { s.maxMismatches = -1; }, Setting::MaxMismatches},
        {[](ApproximateSettings& s) { s.maxEvalue = 1e-300; }, std::nullopt},
        {[](ApproximateSettings& s) { s.maxEvalue = 0.0; }, Setting::MaxEvalue},
        {[](ApproximateSettings& s) { s.maxEvalue = std::numeric_limits<double>::quiet_NaN(); },
         Setting::MaxEvalue},
        {[](ApproximateSettings& s) { s.threads = -1; }, Setting::Threads},
        // The first out of bounds is named.
        {[](ApproximateSettings& s) {
             s.minLength = 0;
             s.mismatchPenalty = 0;
         },
         Setting::MinLength},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        ApproximateSettings settings;
        cases[i].change(settings);
        const auto problem = settings.validate();
        ASSERT_EQ(problem.has_value(), cases[i].refused.has_value());
        if (problem) {
            EXPECT_EQ(problem->setting, *cases[i].refused);
        }
    }
}

}  // namespace
}  // namespace tessaron
