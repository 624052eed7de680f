#pragma once

#include "compare/controls.h"
#include "engine/genome.h"
#include "engine/searchmethod.h"
#include "engine/suffixindex.h"

#include <QDialog>

#include <cstdint>
#include <memory>
#include <optional>
#include <variant>

class QSpinBox;

// "Compare with random controls": how many random sequences of the genome's
// composition to analyse (default 100) and the seed of the first (default 1;
// the others follow on).
class CControlsDlg : public QDialog {
    Q_OBJECT

public:
    struct Choice {
        int replicates = 100;
        std::uint32_t seed = 1;
        friend bool operator==(const Choice&, const Choice&) = default;
        // The controls' settings for this choice, run on `threads` threads (0: as many as there are cores).
        [[nodiscard]] tessaron::ControlSettings settings(int threads) const;
    };
    using Outcome = std::variant<tessaron::ControlReport, tessaron::SearchFailure>;

    // The analysis of `genome` (its own counts from the `index` it already
    // has) beside random sequences of its composition: the job of the command.
    [[nodiscard]] static Outcome run(const std::shared_ptr<const tessaron::Genome>& genome,
                                     const std::shared_ptr<const tessaron::SuffixIndex>& index,
                                     tessaron::SearchMethod method, const tessaron::ControlSettings& settings,
                                     const tessaron::SearchControl& control);

    explicit CControlsDlg(QWidget* parent = nullptr);

    // Runs the dialog modally: what was chosen, or nothing when cancelled.
    [[nodiscard]] static std::optional<Choice> ask(QWidget* parent = nullptr);
    [[nodiscard]] Choice choice() const;

    [[nodiscard]] QSpinBox* replicatesField() const { return replicates_; }
    [[nodiscard]] QSpinBox* seedField() const { return seed_; }

    static constexpr int kMostReplicates = tessaron::ControlSettings::kMostReplicates;

private:
    QSpinBox* replicates_;
    QSpinBox* seed_;
};
