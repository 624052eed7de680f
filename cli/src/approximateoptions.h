#pragma once

// The approximate search's options, parsed beside the others (options.cpp).

#include "cli/options.h"

#include <optional>
#include <string>
#include <string_view>

namespace tessaron {

// --mismatch-penalty, --identity, --max-mismatches and --evalue.
[[nodiscard]] bool isApproximateOption(std::string_view name);

// Sets the option's value in `settings`; the message when it is not valid.
[[nodiscard]] std::optional<std::string> approximateOption(std::string_view name, std::string_view value,
                                                           ApproximateSettings& settings);

// Once every option is read, with --approximate chosen: sets its minimum
// length from --min (as given, when it was) and checks that the report and
// the other options go with it; the message when they do not.
[[nodiscard]] std::optional<std::string> finishApproximateOptions(Options& options,
                                                                  const std::optional<std::string>& minText,
                                                                  bool maxGiven);

}  // namespace tessaron
