#pragma once

#include "engine/approximatesearch.h"
#include "views/base/gapchoice.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QSpinBox;

// "Approximate search": the settings of the search for approximate repeats,
// apart from the exact search's lengths: the minimum length of a pair (from
// 1), the least identity in percent (0 to 100) and the mismatch penalty (1 to
// 1000); then, in the group "Insertions and deletions" that can be ticked,
// the gapped search's costs of a gap (opening and each letter) and whether
// its copies are grouped into families. The fields take only numbers in
// their range; OK gives the choices back and starts the search, unless the
// gapped search refuses them (its validate(): a penalty above 10, gaps
// cheaper than its statistics know), which the dialog then says in its own
// line and stays open.
class ApproximateOptionsDlg : public QDialog {
    Q_OBJECT

public:
    struct Choice {
        tessaron::ApproximateSettings settings;
        GapChoice gaps;
    };

    ApproximateOptionsDlg(const tessaron::ApproximateSettings& current, const GapChoice& gaps = {},
                          QWidget* parent = nullptr);

    // Runs the dialog modally: the choices made, or nothing when cancelled.
    [[nodiscard]] static std::optional<Choice> ask(const tessaron::ApproximateSettings& current,
                                                   const GapChoice& gaps, QWidget* parent = nullptr);
    [[nodiscard]] tessaron::ApproximateSettings settings() const;
    [[nodiscard]] GapChoice gapChoice() const;
    // Why the gapped search refuses the choices; empty when it takes them or gaps are off.
    [[nodiscard]] QString problem() const;

    void accept() override;

    [[nodiscard]] QSpinBox* minimumField() const { return minimum_; }
    [[nodiscard]] QDoubleSpinBox* identityField() const { return identity_; }
    [[nodiscard]] QSpinBox* penaltyField() const { return penalty_; }
    [[nodiscard]] QGroupBox* gapsGroup() const { return gaps_; }
    [[nodiscard]] QSpinBox* gapOpenField() const { return gapOpen_; }
    [[nodiscard]] QSpinBox* gapExtendField() const { return gapExtend_; }
    [[nodiscard]] QCheckBox* familiesField() const { return families_; }
    [[nodiscard]] QLabel* problemLine() const { return problem_; }

private:
    tessaron::ApproximateSettings current_;
    QSpinBox* minimum_;
    QDoubleSpinBox* identity_;
    QSpinBox* penalty_;
    QGroupBox* gaps_;
    QSpinBox* gapOpen_;
    QSpinBox* gapExtend_;
    QCheckBox* families_;
    QLabel* problem_;
};
