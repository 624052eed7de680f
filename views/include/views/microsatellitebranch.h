#pragma once

// The "Microsatellites" branch of the results tree as plain groups: the unit
// lengths found, in each the classes found (in letter order), in each the
// microsatellites of that class by start.

#include "engine/microsatellites.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class MicrosatelliteBranch {
public:
    MicrosatelliteBranch() = default;
    explicit MicrosatelliteBranch(std::shared_ptr<const tessaron::MicrosatelliteList> list);

    [[nodiscard]] bool empty() const { return !list_; }
    [[nodiscard]] int unitCount() const { return static_cast<int>(units_.size()); }
    [[nodiscard]] int classCount(int unit) const;
    [[nodiscard]] int memberCount(int unit, int cls) const;
    // Null outside the groups.
    [[nodiscard]] const tessaron::Microsatellite* member(int unit, int cls, int row) const;

    // "Microsatellites (77)", "mononucleotide (69)", "A/T (68)", "(A)15 at 112"
    // (with ", compound 3" for a member of one).
    [[nodiscard]] QString branchText() const;
    [[nodiscard]] QString unitText(int unit) const;
    [[nodiscard]] QString classText(int unit, int cls) const;
    [[nodiscard]] QString memberText(int unit, int cls, int row) const;

private:
    struct ClassGroup {
        std::string motifClass;
        std::vector<std::uint32_t> members;  // indexes into the list
    };
    struct UnitGroup {
        int unitLength = 0;
        std::int64_t count = 0;
        std::vector<ClassGroup> classes;
    };
    [[nodiscard]] const ClassGroup* group(int unit, int cls) const;

    std::shared_ptr<const tessaron::MicrosatelliteList> list_;
    std::vector<UnitGroup> units_;
};
