#include "engine/repeatfamilies.h"

#include <algorithm>
#include <numeric>
#include <tuple>

namespace tessaron {

namespace families {
namespace {

// The orientation as two flips: bit 0 reversed, bit 1 complemented.
CopyOrientation orientationOf(int flips)
{
    static constexpr std::array<CopyOrientation, 4> kByFlips{CopyOrientation::Same, CopyOrientation::Reverse,
                                                             CopyOrientation::Complement,
                                                             CopyOrientation::ReverseComplement};
    return kByFlips[static_cast<std::size_t>(flips & 3)];
}

int flipsOf(RepeatKind kind)
{
    switch (kind) {
        case RepeatKind::Direct:
            return 0;
        case RepeatKind::Mirror:
            return 1;
        case RepeatKind::Complementary:
            return 2;
        case RepeatKind::Inverted:
            return 3;
    }
    return 0;
}

class UnionFind {
public:
    explicit UnionFind(std::size_t size) : parent_(size) { std::iota(parent_.begin(), parent_.end(), 0); }
    std::size_t find(std::size_t x)
    {
        while (parent_[x] != x) {
            parent_[x] = parent_[parent_[x]];
            x = parent_[x];
        }
        return x;
    }
    void join(std::size_t a, std::size_t b) { parent_[find(a)] = find(b); }

private:
    std::vector<std::size_t> parent_;
};

// The letters two copies share on the circle.
std::int64_t shared(std::int64_t n, std::int64_t s1, std::int64_t l1, std::int64_t s2, std::int64_t l2)
{
    std::int64_t best = 0;
    for (const std::int64_t shift : {-n, std::int64_t{0}, n}) {
        best = std::max(best, std::min(s1 + l1, s2 + shift + l2) - std::max(s1, s2 + shift));
    }
    return best;
}

bool sameCopy(std::int64_t n, std::int64_t s1, std::int64_t l1, std::int64_t s2, std::int64_t l2)
{
    const std::int64_t common = shared(n, s1, l1, s2, l2);
    return 10 * common >= 9 * l1 && 10 * common >= 9 * l2;
}

}  // namespace
}  // namespace families

using namespace families;

std::string_view orientationName(CopyOrientation orientation)
{
    switch (orientation) {
        case CopyOrientation::Same:
            return "+";
        case CopyOrientation::ReverseComplement:
            return "-";
        case CopyOrientation::Reverse:
            return "reverse";
        case CopyOrientation::Complement:
            return "complement";
    }
    return "+";
}

std::vector<RepeatFamily> repeatFamilies(std::int64_t n, std::span<const CopyPair> pairs)
{
    std::vector<RepeatFamily> families;
    if (n <= 0 || pairs.empty()) {
        return families;
    }
    // Every copy, 2p for pair p's first and 2p + 1 for its second.
    struct Copy {
        std::int64_t start;
        std::int64_t length;
        std::size_t id;
    };
    std::vector<Copy> copies;
    copies.reserve(2 * pairs.size());
    for (std::size_t p = 0; p < pairs.size(); ++p) {
        copies.push_back({pairs[p].first % n, pairs[p].firstLength, 2 * p});
        copies.push_back({pairs[p].second % n, pairs[p].secondLength, 2 * p + 1});
    }
    std::vector<Copy> byStart = copies;
    std::sort(byStart.begin(), byStart.end(), [](const Copy& a, const Copy& b) {
        return std::tie(a.start, a.length, a.id) < std::tie(b.start, b.length, b.id);
    });
    // Sameness: starts at most a tenth of the longer copy apart (also round
    // the origin, by a second pass over the starts shifted by n).
    UnionFind same(copies.size());
    std::int64_t longest = 0;
    for (const Copy& copy : copies) {
        longest = std::max(longest, copy.length);
    }
    for (std::size_t x = 0; x < byStart.size(); ++x) {
        for (std::size_t step = 1; step <= byStart.size(); ++step) {
            const std::size_t y = (x + step) % byStart.size();
            std::int64_t distance = byStart[y].start - byStart[x].start;
            if (y <= x) {
                distance += n;
            }
            if (y == x || 10 * distance > longest) {
                break;
            }
            if (sameCopy(n, byStart[x].start, byStart[x].length, byStart[y].start, byStart[y].length)) {
                same.join(byStart[x].id, byStart[y].id);
            }
        }
    }
    // Copies made one are nodes; pairs link nodes with a relative orientation.
    std::vector<std::size_t> nodeOf(copies.size());
    std::vector<std::size_t> rootNode(copies.size(), SIZE_MAX);
    std::vector<FamilyCopy> nodes;
    std::vector<std::int64_t> degree;
    for (const Copy& copy : byStart) {
        const std::size_t root = same.find(copy.id);
        if (rootNode[root] == SIZE_MAX) {
            rootNode[root] = nodes.size();
            nodes.push_back({copy.start, copy.length, CopyOrientation::Same});
            degree.push_back(0);
        }
        const std::size_t node = rootNode[root];
        nodeOf[copy.id] = node;
        nodes[node].length = std::max(nodes[node].length, copy.length);
    }
    struct Link {
        std::size_t to;
        int flips;
        RepeatKind kind;
    };
    std::vector<std::vector<Link>> links(nodes.size());
    for (std::size_t p = 0; p < pairs.size(); ++p) {
        const std::size_t a = nodeOf[2 * p];
        const std::size_t b = nodeOf[2 * p + 1];
        const int flips = flipsOf(pairs[p].kind);
        links[a].push_back({b, flips, pairs[p].kind});
        links[b].push_back({a, flips, pairs[p].kind});
        ++degree[a];
        ++degree[b];
    }
    // Components, breadth first, orientations relative to where each starts.
    std::vector<int> flips(nodes.size(), -1);
    std::vector<std::size_t> queue;
    for (std::size_t start = 0; start < nodes.size(); ++start) {
        if (flips[start] >= 0) {
            continue;
        }
        RepeatFamily family;
        std::vector<std::size_t> members;
        flips[start] = 0;
        queue.assign(1, start);
        for (std::size_t head = 0; head < queue.size(); ++head) {
            const std::size_t node = queue[head];
            members.push_back(node);
            for (const Link& link : links[node]) {
                family.kinds[static_cast<std::size_t>(link.kind)] = true;
                ++family.pairs;
                if (flips[link.to] < 0) {
                    flips[link.to] = flips[node] ^ link.flips;
                    queue.push_back(link.to);
                }
            }
        }
        family.pairs /= 2;
        std::sort(members.begin(), members.end(), [&](std::size_t a, std::size_t b) {
            return std::tie(nodes[a].start, nodes[a].length) < std::tie(nodes[b].start, nodes[b].length);
        });
        std::size_t representative = 0;
        for (std::size_t m = 1; m < members.size(); ++m) {
            const std::size_t node = members[m];
            const std::size_t best = members[representative];
            if (std::tie(degree[node], nodes[node].length) > std::tie(degree[best], nodes[best].length)) {
                representative = m;
            }
        }
        const int base = flips[members[representative]];
        family.shortest = nodes[members.front()].length;
        for (const std::size_t node : members) {
            FamilyCopy copy = nodes[node];
            copy.orientation = orientationOf(flips[node] ^ base);
            family.copies.push_back(copy);
            family.shortest = std::min(family.shortest, copy.length);
            family.longest = std::max(family.longest, copy.length);
        }
        family.representative = representative;
        families.push_back(std::move(family));
    }
    std::sort(families.begin(), families.end(), [](const RepeatFamily& a, const RepeatFamily& b) {
        if (a.copies.size() != b.copies.size()) {
            return a.copies.size() > b.copies.size();
        }
        return a.copies[a.representative].start < b.copies[b.representative].start;
    });
    return families;
}

std::vector<RepeatFamily> repeatFamilies(std::int64_t n, std::span<const GappedResult> results)
{
    std::vector<CopyPair> pairs;
    for (const GappedResult& result : results) {
        for (const GappedPair& pair : result.pairs) {
            pairs.push_back({result.kind, pair.first, pair.length, pair.second, pair.secondLength});
        }
    }
    return repeatFamilies(n, pairs);
}

std::vector<RepeatFamily> repeatFamilies(std::int64_t n, std::span<const ApproximateResult> results)
{
    std::vector<CopyPair> pairs;
    for (const ApproximateResult& result : results) {
        for (const ApproximatePair& pair : result.pairs) {
            pairs.push_back({result.kind, pair.first, pair.length, pair.second, pair.length});
        }
    }
    return repeatFamilies(n, pairs);
}

}  // namespace tessaron
