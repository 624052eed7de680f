#pragma once

// The results tree's "Microsatellites (%d)" branch: a unit length
// ("mononucleotide (%d)"), a class ("A/T (%d)"), then each one by start
// ("(A)15 at 112", ", compound 3" for a member of one). The filter leaves it
// as it is.

#include "views/results/resultsbranch.h"

#include "engine/microsatellites.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class MicrosatelliteBranch : public ResultsBranch {
public:
    // Shows `list` (null: nothing).
    void setList(std::shared_ptr<const tessaron::MicrosatelliteList> list);
    // The microsatellite of an item of the last level; null for any other.
    [[nodiscard]] const tessaron::Microsatellite* microsatelliteAt(const Item& item) const;

    [[nodiscard]] QString title(int row) const override;
    [[nodiscard]] int rows(const Item& parent) const override;
    [[nodiscard]] quintptr child(const Item& parent, int row) const override;
    [[nodiscard]] Item parent(quintptr id) const override;
    [[nodiscard]] QVariant data(const Item& item, int role) const override;
    void show(const tessaron::SessionState& state) override { setList(state.microsatellites); }
    void clear() override { setList(nullptr); }

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
