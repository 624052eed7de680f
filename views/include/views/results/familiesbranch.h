#pragma once

// The results tree's "Families (%d)" branch: the families of the gapped
// search's copies (when it grouped them), most copies first, each "Family
// %d: %d copies, %d-%d bp (kinds)", and under it its copies ("%d..%d (+)":
// 1-based first and last letter, the orientation to the representative;
// the representative says so). Selecting a family or one of its copies
// shows every copy of the family. The filter leaves it as it is.

#include "views/results/resultsbranch.h"

#include "engine/repeatfamilies.h"
#include "session/gappedanalysis.h"

#include <cstddef>
#include <memory>
#include <optional>

class FamiliesBranch : public ResultsBranch {
public:
    // Shows the families of `analysis` (null, or without families: nothing).
    void setAnalysis(std::shared_ptr<const tessaron::GappedAnalysis> analysis);
    [[nodiscard]] const std::vector<tessaron::RepeatFamily>* families() const;
    // The index of the family of a family or copy item; none for any other item.
    [[nodiscard]] std::optional<std::size_t> familyAt(const Item& item) const;
    // The item of a family.
    [[nodiscard]] std::optional<Item> familyItem(std::size_t family) const;

    // Its row at the top of the tree, while it shows something.
    [[nodiscard]] std::optional<Item> topItem() const;

    [[nodiscard]] QString title(int row) const override;
    [[nodiscard]] int rows(const Item& parent) const override;
    [[nodiscard]] quintptr child(const Item& parent, int row) const override;
    [[nodiscard]] Item parent(quintptr id) const override;
    [[nodiscard]] QVariant data(const Item& item, int role) const override;
    void show(const tessaron::SessionState& state) override { setAnalysis(state.gapped); }
    void clear() override { analysis_.reset(); }

private:
    std::shared_ptr<const tessaron::GappedAnalysis> analysis_;  // one with families
};
