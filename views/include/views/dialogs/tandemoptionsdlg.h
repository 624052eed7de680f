#pragma once

#include "engine/tandemrepeats.h"

#include <QDialog>

#include <optional>

class Prompts;
class QSpinBox;

// "Tandem repeats": the settings of the search for tandem arrays: the
// largest period (1 to TandemSettings::kMaxPeriodBound), the score of a
// match and the penalties of a mismatch and of an indel (1 to
// kMaxScoreWeight each) and the least score of an array (from 1). The fields
// take only numbers in their range; on OK the settings are checked as the
// search checks them (a refusal is told and the dialog stays), and given back.
class TandemOptionsDlg : public QDialog {
    Q_OBJECT

public:
    TandemOptionsDlg(const tessaron::TandemSettings& current, Prompts& prompts, QWidget* parent = nullptr);

    // Runs the dialog modally: the settings chosen, or nothing when cancelled.
    [[nodiscard]] static std::optional<tessaron::TandemSettings> ask(const tessaron::TandemSettings& current,
                                                                     Prompts& prompts,
                                                                     QWidget* parent = nullptr);
    [[nodiscard]] tessaron::TandemSettings settings() const;

    [[nodiscard]] QSpinBox* periodField() const { return period_; }
    [[nodiscard]] QSpinBox* matchField() const { return match_; }
    [[nodiscard]] QSpinBox* mismatchField() const { return mismatch_; }
    [[nodiscard]] QSpinBox* indelField() const { return indel_; }
    [[nodiscard]] QSpinBox* scoreField() const { return score_; }

public slots:
    void accept() override;

private:
    tessaron::TandemSettings current_;
    Prompts& prompts_;
    QSpinBox* period_;
    QSpinBox* match_;
    QSpinBox* mismatch_;
    QSpinBox* indel_;
    QSpinBox* score_;
};
