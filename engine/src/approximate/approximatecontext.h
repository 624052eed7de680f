#pragma once

// What the parts of the approximate search share: the kinds' traits, the
// texts, the settings of one kind's search, and a small thread pool.

#include "engine/approximatesearch.h"
#include "shared/packedtext.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace tessaron::approximate {

// Thrown inside the search when it has to give up.
struct Stopped {
    SearchFailure reason;
};

// The pairs the searches of every kind have kept so far, against the limit.
class PairBudget {
public:
    explicit PairBudget(std::int64_t limit) : limit_(limit) {}
    // Counts one more pair; gives up with PairLimit past the limit, before
    // the pairs take more memory.
    void take()
    {
        if (kept_.fetch_add(1, std::memory_order_relaxed) >= limit_) {
            throw Stopped{SearchFailure::PairLimit};
        }
    }

private:
    std::atomic<std::int64_t> kept_{0};
    std::int64_t limit_;
};

inline bool isLineKind(RepeatKind kind)
{
    return kind == RepeatKind::Inverted || kind == RepeatKind::Mirror;
}

inline bool complements(RepeatKind kind)
{
    return kind == RepeatKind::Inverted || kind == RepeatKind::Complementary;
}

// value modulo n, in 0 .. n-1.
inline std::int64_t modulo(std::int64_t value, std::int64_t n)
{
    // Most values are within one length of the range: no division for them.
    if (value >= 0) {
        return value < n ? value : value < 2 * n ? value - n : value % n;
    }
    if (value >= -n) {
        return value + n;
    }
    const std::int64_t r = value % n;
    return r < 0 ? r + n : r;
}

// The sequence as the searches of every kind read it.
struct Texts {
    // Both readings at once when there are two threads; throws Stopped
    // (Cancelled) once a stop is requested.
    Texts(const Genome& genome, int threads, const SearchControl& control);

    std::string_view sequence;
    std::int64_t n;
    PackedText forward;
    PackedText backward;
    std::vector<std::int32_t> gaps;
};

// Everything the search of one kind reads.
struct Context {
    Context(const Texts& texts, RepeatKind searchKind, const ApproximateSettings& used,
            const SearchControl& searchControl)
        : sequence(texts.sequence),
          n(texts.n),
          kind(searchKind),
          line(isLineKind(searchKind)),
          complement(complements(searchKind)),
          settings(used),
          penalty(used.mismatchPenalty),
          forward(texts.forward),
          backward(texts.backward),
          gaps(texts.gaps),
          control(searchControl)
    {
    }

    std::string_view sequence;
    std::int64_t n;
    RepeatKind kind;
    bool line;
    bool complement;
    ApproximateSettings settings;
    std::int64_t penalty;
    KarlinAltschul statistics;
    std::int64_t minScore = 1;
    const PackedText& forward;
    const PackedText& backward;
    const std::vector<std::int32_t>& gaps;
    const SearchControl& control;
    PairBudget* budget = nullptr;  // shared by the kinds of one search

    [[nodiscard]] bool isGap(std::int64_t position) const
    {
        const char letter = sequence[static_cast<std::size_t>(modulo(position, n))];
        return letter != 'A' && letter != 'C' && letter != 'G' && letter != 'T';
    }
};

// Runs `work(task)` for tasks 0 .. count-1 on `threads` threads (the calling
// one among them), stopping all when one fails. Reports progress between
// `from` and `to` from the calling thread.
void runTasks(const Context& context, int threads, std::int64_t count, double from, double to,
              const std::function<void(std::int64_t task, int thread)>& work);

}  // namespace tessaron::approximate
