#pragma once

#include <QDialog>

#include <cstdint>
#include <optional>

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
    };

    explicit CControlsDlg(QWidget* parent = nullptr);

    // Runs the dialog modally: what was chosen, or nothing when cancelled.
    [[nodiscard]] static std::optional<Choice> ask(QWidget* parent = nullptr);
    [[nodiscard]] Choice choice() const;

    [[nodiscard]] QSpinBox* replicatesField() const { return replicates_; }
    [[nodiscard]] QSpinBox* seedField() const { return seed_; }

    static constexpr int kMostReplicates = 100000;

private:
    QSpinBox* replicates_;
    QSpinBox* seed_;
};
