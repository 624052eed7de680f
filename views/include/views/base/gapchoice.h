#pragma once

// The approximate search's choice of insertions and deletions, as the
// approximate dialog offers it and the settings keep it: whether pairs may
// hold gaps, what a gap costs and whether their copies are grouped into
// families.

#include "engine/approximatesearch.h"
#include "engine/gappedsearch.h"

struct GapChoice {
    bool gaps = false;
    int gapOpen = tessaron::GappedSettings{}.gapOpen;
    int gapExtend = tessaron::GappedSettings{}.gapExtend;
    bool families = true;
    friend bool operator==(const GapChoice&, const GapChoice&) = default;
};

// The gapped search's settings: the approximate search's length, identity
// and penalty, with the gap costs chosen.
[[nodiscard]] inline tessaron::GappedSettings gappedSettings(const tessaron::ApproximateSettings& approximate,
                                                             const GapChoice& choice)
{
    tessaron::GappedSettings settings;
    settings.minLength = approximate.minLength;
    settings.identity = approximate.identity;
    settings.mismatchPenalty = approximate.mismatchPenalty;
    settings.maxMismatches = approximate.maxMismatches;
    settings.maxEvalue = approximate.maxEvalue;
    settings.gapOpen = choice.gapOpen;
    settings.gapExtend = choice.gapExtend;
    return settings;
}
