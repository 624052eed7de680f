#pragma once

#include "engine/approximatesearch.h"

#include <QDialog>

#include <optional>

class QDoubleSpinBox;
class QSpinBox;

// "Approximate search": the settings of the search for approximate repeats,
// apart from the exact search's lengths: the minimum length of a pair (from
// 1), the least identity in percent (0 to 100) and the mismatch penalty (1 to
// 1000). The fields take only numbers in their range; the choices are given
// back only on OK, which starts the search.
class ApproximateOptionsDlg : public QDialog {
    Q_OBJECT

public:
    ApproximateOptionsDlg(const tessaron::ApproximateSettings& current, QWidget* parent = nullptr);

    // Runs the dialog modally: the settings chosen, or nothing when cancelled.
    [[nodiscard]] static std::optional<tessaron::ApproximateSettings> ask(
        const tessaron::ApproximateSettings& current, QWidget* parent = nullptr);
    [[nodiscard]] tessaron::ApproximateSettings settings() const;

    [[nodiscard]] QSpinBox* minimumField() const { return minimum_; }
    [[nodiscard]] QDoubleSpinBox* identityField() const { return identity_; }
    [[nodiscard]] QSpinBox* penaltyField() const { return penalty_; }

private:
    tessaron::ApproximateSettings current_;
    QSpinBox* minimum_;
    QDoubleSpinBox* identity_;
    QSpinBox* penalty_;
};
