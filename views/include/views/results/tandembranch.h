#pragma once

// The results tree's "Tandem repeats (%d)" branch: the period classes of a
// paper's table ("period 11-20 (%d)", those with arrays), then each array by
// start ("112..170: period 23, 2.5 copies", 1-based, the end past the
// sequence's length for an array across the origin; the tip gives the
// consensus, its class, the percent matches and indels and the score). The
// filter leaves it as it is.

#include "views/results/resultsbranch.h"

#include "session/tandemanalysis.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class TandemBranch : public ResultsBranch {
public:
    // Shows the arrays of `analysis` (null: nothing).
    void setAnalysis(std::shared_ptr<const tessaron::TandemAnalysis> analysis);
    [[nodiscard]] const tessaron::TandemAnalysis* analysis() const { return analysis_.get(); }
    // The array of an item of the last level; null for any other.
    [[nodiscard]] const tessaron::TandemRepeat* arrayAt(const Item& item) const;
    // The branch's own item; none while it shows nothing.
    [[nodiscard]] std::optional<Item> branchItem() const;
    // The item of the analysis's `index`-th array; none outside the list.
    [[nodiscard]] std::optional<Item> arrayItem(std::size_t index) const;

    [[nodiscard]] QString title(int row) const override;
    [[nodiscard]] int rows(const Item& parent) const override;
    [[nodiscard]] quintptr child(const Item& parent, int row) const override;
    [[nodiscard]] Item parent(quintptr id) const override;
    [[nodiscard]] QVariant data(const Item& item, int role) const override;
    void show(const tessaron::SessionState& state) override { setAnalysis(state.tandem); }
    void clear() override { setAnalysis(nullptr); }

    // "Tandem repeats (40)", "period 11-20 (12)", "112..170: period 23, 2.5 copies".
    [[nodiscard]] QString branchText() const;
    [[nodiscard]] QString classText(int group) const;
    [[nodiscard]] QString arrayText(const tessaron::TandemRepeat& array) const;

private:
    struct ClassGroup {
        std::size_t periodClass = 0;         // into kPeriodClassNames
        std::vector<std::uint32_t> members;  // indexes into the arrays, by start
    };
    [[nodiscard]] const tessaron::TandemRepeat* member(int group, int row) const;
    [[nodiscard]] int groupCount() const { return static_cast<int>(groups_.size()); }

    std::shared_ptr<const tessaron::TandemAnalysis> analysis_;
    std::vector<ClassGroup> groups_;
};
