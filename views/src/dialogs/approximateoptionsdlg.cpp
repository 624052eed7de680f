#include "views/dialogs/approximateoptionsdlg.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int kLongestMinimum = tessaron::ApproximateSettings::kLongestMinimum;
constexpr int kLargestPenalty = tessaron::ApproximateSettings::kLargestPenalty;

}  // namespace

ApproximateOptionsDlg::ApproximateOptionsDlg(const tessaron::ApproximateSettings& current, QWidget* parent)
    : QDialog(parent),
      current_(current),
      minimum_(new QSpinBox),
      identity_(new QDoubleSpinBox),
      penalty_(new QSpinBox)
{
    setWindowTitle(tr("Approximate search"));
    minimum_->setObjectName(QStringLiteral("approximateMinimum"));
    minimum_->setRange(1, kLongestMinimum);
    minimum_->setValue(current.minLength);
    minimum_->setSuffix(tr(" bp"));
    identity_->setObjectName(QStringLiteral("approximateIdentity"));
    identity_->setRange(0.0, tessaron::ApproximateSettings::kMostIdentity);
    identity_->setDecimals(1);
    identity_->setSingleStep(1.0);
    identity_->setValue(current.identity);
    identity_->setSuffix(tr(" %"));
    penalty_->setObjectName(QStringLiteral("approximatePenalty"));
    penalty_->setRange(1, kLargestPenalty);
    penalty_->setValue(current.mismatchPenalty);

    auto* group = new QGroupBox(tr("Approximate repeats"));
    auto* fields = new QFormLayout(group);
    fields->addRow(tr("&Minimum length:"), minimum_);
    fields->addRow(tr("&Identity at least:"), identity_);
    fields->addRow(tr("Mismatch &penalty:"), penalty_);
    auto* note =
        new QLabel(tr("Pairs of each kind that agree at most letters: a letter pair scores +1 when "
                      "equal and minus the penalty when not; every pair found has an E-value."));
    note->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

tessaron::ApproximateSettings ApproximateOptionsDlg::settings() const
{
    tessaron::ApproximateSettings chosen = current_;
    chosen.minLength = minimum_->value();
    chosen.identity = identity_->value();
    chosen.mismatchPenalty = penalty_->value();
    return chosen;
}

std::optional<tessaron::ApproximateSettings> ApproximateOptionsDlg::ask(
    const tessaron::ApproximateSettings& current, QWidget* parent)
{
    ApproximateOptionsDlg dialog(current, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.settings();
}
