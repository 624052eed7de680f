#pragma once

// The four kinds of repeat, described once for every layer: the engine's
// searches, the reports, the command line and the windows all read their
// names and captions from this table (the windows keep their own menu ids
// and list order; the colours they paint in are a scheme of their own).

#include "engine/repeatlist.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tessaron {

struct KindInfo {
    RepeatKind kind;
    std::string_view name;            // "direct": command line, GFF3, BED
    std::string_view secondCopy;      // what the second copy is, in words
    std::string_view heading;         // "Direct repeats": menu item, comparison list, summary heading
    std::string_view label;           // "direct repeats": tree branch and progress line
    std::string_view listingCaption;  // "Direct Repeats": the listing sheet's caption
    bool listsSecondCopy;             // the listing shows the text at the second copy
};

// Indexed by RepeatKind.
inline constexpr std::array<KindInfo, kRepeatKindCount> kKinds{{
    {RepeatKind::Direct, "direct", "the same word again", "Direct repeats", "direct repeats",
     "Direct Repeats", false},
    {RepeatKind::Inverted, "inverted", "the reverse complement", "Inverted repeats", "inverted repeats",
     "Inverted Repeats", true},
    {RepeatKind::Mirror, "mirror", "the word read backwards", "Mirror repeats", "mirror repeats",
     "Mirror Repeats", true},
    {RepeatKind::Complementary, "complementary", "the complement, read in the same direction",
     "Complementary repeats", "complementary repeats", "Complementary Repeats", true},
}};

// The order in which the searches run and every report lists the kinds.
inline constexpr std::array<RepeatKind, kRepeatKindCount> kKindOrder{
    RepeatKind::Direct, RepeatKind::Inverted, RepeatKind::Mirror, RepeatKind::Complementary};

[[nodiscard]] constexpr const KindInfo& kindInfo(RepeatKind kind)
{
    return kKinds[static_cast<std::size_t>(kind)];
}

[[nodiscard]] constexpr std::string_view kindName(RepeatKind kind)
{
    return kindInfo(kind).name;
}

// The kind of a name ("direct", "inverted", "mirror", "complementary").
[[nodiscard]] constexpr std::optional<RepeatKind> kindNamed(std::string_view name)
{
    for (const KindInfo& info : kKinds) {
        if (info.name == name) {
            return info.kind;
        }
    }
    return std::nullopt;
}

}  // namespace tessaron
