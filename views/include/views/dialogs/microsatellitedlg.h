#pragma once

#include "engine/microsatellites.h"

#include <QDialog>

#include <array>
#include <optional>

class Prompts;
class QLineEdit;

// "Microsatellites": the least repeat number of each unit length (1 to 6
// letters), each an integer from 2 to 1000000, and the greatest distance
// between the members of a compound, from 0 to 1000000 letters. The fields
// are read from the top; a failing one shows the message that "Options"
// shows and takes the focus with its text selected. The settings are given
// back only on OK.
class CMicrosatelliteDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kLeastRepeats = tessaron::MicrosatelliteSettings::kLeastRepeats;
    static constexpr int kMostRepeats = tessaron::MicrosatelliteSettings::kMostRepeats;
    static constexpr int kFarthestCompound = tessaron::MicrosatelliteSettings::kFarthestCompound;

    CMicrosatelliteDlg(const tessaron::MicrosatelliteSettings& current, Prompts& prompts,
                       QWidget* parent = nullptr);

    // Runs the dialog modally: the settings chosen, or nothing when cancelled.
    [[nodiscard]] static std::optional<tessaron::MicrosatelliteSettings> ask(
        const tessaron::MicrosatelliteSettings& current, Prompts& prompts, QWidget* parent = nullptr);
    [[nodiscard]] const std::optional<tessaron::MicrosatelliteSettings>& chosen() const { return chosen_; }

    // The fields of unit lengths 1 to 6, then the compound distance's.
    [[nodiscard]] QLineEdit* repeatsField(int unitLength) const;
    [[nodiscard]] QLineEdit* distanceField() const { return distanceField_; }

public slots:
    void accept() override;

private:
    Prompts& prompts_;
    std::optional<tessaron::MicrosatelliteSettings> chosen_;
    std::array<QLineEdit*, tessaron::kMaxUnitLength> repeatsFields_{};
    QLineEdit* distanceField_;
};
