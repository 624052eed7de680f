#include "session/highlights.h"

#include "engine/alphabet.h"
#include "session/tandemalignment.h"

#include <algorithm>
#include <utility>

namespace tessaron {

void Highlights::selectWord(RepeatKind kind, const Repeat& repeat, std::vector<RepeatPair> pairs)
{
    clear();
    repeat_ = repeat;
    pairs_ = std::move(pairs);
    kind_ = kind;
    copies_.reserve(2 * pairs_.size());
    for (const RepeatPair& pair : pairs_) {
        copies_.push_back({pair.first, repeat.length, false});
        copies_.push_back({pair.second, repeat.length, true});
    }
    setStarts();
}

void Highlights::selectApproximatePair(RepeatKind kind, const ApproximatePair& pair,
                                       const MismatchedLetters& mismatched)
{
    clear();
    kind_ = kind;
    const auto length = static_cast<int>(pair.length);
    pairs_.push_back({static_cast<std::int32_t>(pair.first), static_cast<std::int32_t>(pair.second)});
    copies_.push_back({static_cast<int>(pair.first), length, false});
    copies_.push_back({static_cast<int>(pair.second), length, true});
    marked_.reserve(mismatched.first.size() + mismatched.second.size());
    for (const auto* side : {&mismatched.first, &mismatched.second}) {
        for (const std::int64_t position : *side) {
            marked_.push_back(static_cast<int>(position));
        }
    }
    std::sort(marked_.begin(), marked_.end());
    marked_.erase(std::unique(marked_.begin(), marked_.end()), marked_.end());
    setStarts();
}

void Highlights::selectGappedPair(RepeatKind kind, const GappedPair& pair,
                                  std::span<const AlignedColumn> columns)
{
    clear();
    kind_ = kind;
    pairs_.push_back({static_cast<std::int32_t>(pair.first), static_cast<std::int32_t>(pair.second)});
    copies_.push_back({static_cast<int>(pair.first), static_cast<int>(pair.length), false});
    copies_.push_back({static_cast<int>(pair.second), static_cast<int>(pair.secondLength), true});
    for (const AlignedColumn& column : columns) {
        if (column.equal) {
            continue;
        }
        for (const std::int64_t position : {column.first, column.second}) {
            if (position >= 0) {
                marked_.push_back(static_cast<int>(position));
            }
        }
    }
    std::sort(marked_.begin(), marked_.end());
    marked_.erase(std::unique(marked_.begin(), marked_.end()), marked_.end());
    setStarts();
}

void Highlights::selectFamily(const RepeatFamily& family)
{
    clear();
    kind_ = RepeatKind::Inverted;
    if (family.copies.empty()) {
        return;
    }
    const FamilyCopy& representative =
        family.copies[std::min(family.representative, family.copies.size() - 1)];
    for (const FamilyCopy& copy : family.copies) {
        copies_.push_back({static_cast<int>(copy.start), static_cast<int>(copy.length),
                           copy.orientation != representative.orientation});
        if (&copy != &representative) {
            pairs_.push_back(
                {static_cast<std::int32_t>(representative.start), static_cast<std::int32_t>(copy.start)});
        }
    }
    setStarts();
}

Highlights::MotifCounts Highlights::findMotif(const SuffixIndex& index, std::string_view motif,
                                              bool bothStrands)
{
    clear();
    kind_ = RepeatKind::Inverted;
    const int length = static_cast<int>(motif.size());
    MotifCounts counts;
    for (const PositionLink start : index.findWord(motif)) {
        copies_.push_back({start, length, false});
        ++counts.forward;
    }
    const std::string reverse = reverseComplement(motif);
    if (bothStrands && reverse != motif) {
        for (const PositionLink start : index.findWord(reverse)) {
            copies_.push_back({start, length, true});
            ++counts.reverse;
        }
    }
    setStarts();
    return counts;
}

void Highlights::selectMicrosatellite(const Microsatellite& microsatellite, std::int64_t genomeLength)
{
    clear();
    microsatellite_ = microsatellite;
    const std::int64_t start = microsatellite.start;
    const std::int64_t beyond = std::max<std::int64_t>(microsatellite.end() - genomeLength, 0);
    copies_.push_back({static_cast<int>(start), static_cast<int>(microsatellite.length - beyond), false});
    if (beyond > 0) {
        copies_.push_back({0, static_cast<int>(beyond), false});
    }
    setStarts();
}

void Highlights::selectTandemArray(const TandemRepeat& array, std::int64_t genomeLength)
{
    clear();
    if (genomeLength <= 0) {
        return;
    }
    tandem_ = array;
    std::vector<TandemCopy> copies = tandemCopies(array);
    if (copies.empty()) {
        copies.push_back({array.start, array.length});  // an alignment it cannot read: the array whole
    }
    bool second = false;
    for (const TandemCopy& copy : copies) {
        const std::int64_t start = copy.start % genomeLength;
        const std::int64_t beyond = std::max<std::int64_t>(start + copy.length - genomeLength, 0);
        if (copy.length > beyond) {
            copies_.push_back({static_cast<int>(start), static_cast<int>(copy.length - beyond), second});
        }
        if (beyond > 0) {
            copies_.push_back({0, static_cast<int>(beyond), second});
        }
        second = !second;
    }
    setStarts();
}

int Highlights::firstCopy() const
{
    if (!pairs_.empty()) {
        return pairs_.front().first;
    }
    if (tandem_) {
        return static_cast<int>(tandem_->start);
    }
    return microsatellite_ ? static_cast<int>(microsatellite_->start) : 0;
}

void Highlights::clear()
{
    repeat_.reset();
    microsatellite_.reset();
    tandem_.reset();
    pairs_.clear();
    kind_ = RepeatKind::Direct;
    copies_.clear();
    starts_.clear();
    marked_.clear();
}

std::optional<Highlights::Step> Highlights::next(int position) const
{
    if (starts_.empty()) {
        return std::nullopt;
    }
    auto found = std::upper_bound(starts_.begin(), starts_.end(), position);
    if (found == starts_.end()) {
        found = starts_.begin();  // round the circle
    }
    return Step{*found, static_cast<std::size_t>(found - starts_.begin()) + 1, starts_.size()};
}

std::optional<Highlights::Step> Highlights::previous(int position) const
{
    if (starts_.empty()) {
        return std::nullopt;
    }
    auto found = std::lower_bound(starts_.begin(), starts_.end(), position);
    found = found == starts_.begin() ? starts_.end() - 1 : found - 1;
    return Step{*found, static_cast<std::size_t>(found - starts_.begin()) + 1, starts_.size()};
}

std::string Highlights::reverseComplement(std::string_view word)
{
    std::string reversed(word.rbegin(), word.rend());
    for (char& letter : reversed) {
        letter = complement(letter);
    }
    return reversed;
}

void Highlights::setStarts()
{
    starts_.clear();
    starts_.reserve(copies_.size());
    for (const Copy& copy : copies_) {
        starts_.push_back(copy.start);
    }
    std::sort(starts_.begin(), starts_.end());
    starts_.erase(std::unique(starts_.begin(), starts_.end()), starts_.end());
}

}  // namespace tessaron
