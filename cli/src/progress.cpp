#include "progress.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace tessaron::cli {

namespace {

// Work shorter than this shows nothing; the line changes at most this often.
constexpr auto kQuietStart = std::chrono::seconds(1);
constexpr auto kInterval = std::chrono::milliseconds(100);

}  // namespace

Progress::Progress(bool enabled, std::FILE* terminal) : enabled_(enabled), terminal_(terminal)
{
}

Progress::~Progress()
{
    clear();
}

bool Progress::wanted(bool quiet)
{
    return !quiet && ::isatty(STDERR_FILENO) == 1;
}

void Progress::show(const std::string& step, double fraction)
{
    if (!enabled_) {
        return;
    }
    const std::lock_guard lock(mutex_);
    const Clock::time_point now = Clock::now();
    if (now - started_ < kQuietStart || now - lastShown_ < kInterval) {
        return;
    }
    const int percent = static_cast<int>(std::floor(std::clamp(fraction, 0.0, 1.0) * 100.0));
    std::string text = step + ' ' + std::to_string(percent) + '%';
    if (visible_ && text == shown_) {
        return;
    }
    lastShown_ = now;
    shown_ = std::move(text);
    // Back to the line's start, the text, and the rest of the old line erased.
    std::fprintf(terminal_, "\rtessaron-cli: %s\x1b[K", shown_.c_str());
    std::fflush(terminal_);
    visible_ = true;
}

SearchControl Progress::control(std::string step)
{
    if (!enabled_) {
        return {};
    }
    return SearchControl{{}, [this, step = std::move(step)](double fraction) { show(step, fraction); }};
}

void Progress::clear()
{
    const std::lock_guard lock(mutex_);
    if (visible_) {
        std::fputs("\r\x1b[K", terminal_);
        std::fflush(terminal_);
        visible_ = false;
    }
}

}  // namespace tessaron::cli
