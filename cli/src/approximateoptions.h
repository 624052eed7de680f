#pragma once

// The approximate search's options, parsed beside the others (options.cpp).

#include "cli/options.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaron {

// The values of --mismatch-penalty, --identity, --max-mismatches and
// --evalue (the option's name, for the message): each sets its value in
// `settings`, or returns the message when it is not valid.
using ApproximateValue = std::optional<std::string> (*)(std::string_view name, std::string_view value,
                                                        ApproximateSettings& settings);
[[nodiscard]] std::optional<std::string> mismatchPenaltyValue(std::string_view name, std::string_view value,
                                                              ApproximateSettings& settings);
[[nodiscard]] std::optional<std::string> identityValue(std::string_view name, std::string_view value,
                                                       ApproximateSettings& settings);
[[nodiscard]] std::optional<std::string> maxMismatchesValue(std::string_view name, std::string_view value,
                                                            ApproximateSettings& settings);
[[nodiscard]] std::optional<std::string> evalueValue(std::string_view name, std::string_view value,
                                                     ApproximateSettings& settings);

// Once every option is read, with --approximate chosen: sets its minimum
// length from --min (as given, when it was) and checks that the report and
// the other options go with it; the message when they do not.
[[nodiscard]] std::optional<std::string> finishApproximateOptions(Options& options,
                                                                  const std::optional<std::string>& minText,
                                                                  bool maxGiven);

// Then, with --gaps among `gapsGiven` (the gapped options given, in order):
// sets the gapped search's settings from the approximate search's and checks
// them and the report; without it, that no other gapped option was given.
[[nodiscard]] std::optional<std::string> finishGappedOptions(Options& options,
                                                             const std::vector<std::string>& gapsGiven);

// With --report paper (no --approximate): --gaps among `gapsGiven` makes the
// section's long repeats gapped, with the gap costs given; the other gapped
// options need --gaps.
[[nodiscard]] std::optional<std::string> finishPaperGaps(Options& options,
                                                         const std::vector<std::string>& gapsGiven);

}  // namespace tessaron
