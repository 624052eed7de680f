#pragma once

// The random controls of a loaded genome, run on any thread.

#include "compare/controls.h"
#include "engine/searchcontrol.h"
#include "engine/searchmethod.h"
#include "session/session.h"

#include <variant>

namespace tessaron {

// Compares the genome of `state` with random sequences of its composition,
// searched by `method`; the genome's own counts come from the index `state`
// already holds. Reads only `state`.
[[nodiscard]] std::variant<ControlReport, SearchFailure> runSessionControls(const SessionState& state,
                                                                            SearchMethod method,
                                                                            const ControlSettings& settings,
                                                                            const SearchControl& control);

}  // namespace tessaron
