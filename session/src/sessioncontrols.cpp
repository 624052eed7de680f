#include "session/sessioncontrols.h"

#include "engine/repeatkinds.h"

namespace tessaron {

std::variant<ControlReport, SearchFailure> runSessionControls(const SessionState& state, SearchMethod method,
                                                              const ControlSettings& settings,
                                                              const SearchControl& control)
{
    auto observed = prepareSearch(state.genome, method, kKindOrder, {control.stop, {}},
                                  PrepareOptions{false, 0, state.index});
    if (const auto* failure = std::get_if<SearchFailure>(&observed)) {
        return *failure;
    }
    return runControls(std::get<PreparedSearch>(observed), settings, control);
}

}  // namespace tessaron
