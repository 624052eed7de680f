#include "views/dialogs/approximateoptionsdlg.h"

#include <QCheckBox>
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

ApproximateOptionsDlg::ApproximateOptionsDlg(const tessaron::ApproximateSettings& current,
                                             const GapChoice& gaps, QWidget* parent)
    : QDialog(parent),
      current_(current),
      minimum_(new QSpinBox),
      identity_(new QDoubleSpinBox),
      penalty_(new QSpinBox),
      gaps_(new QGroupBox(tr("Insertions and &deletions"))),
      gapOpen_(new QSpinBox),
      gapExtend_(new QSpinBox),
      families_(new QCheckBox(tr("Group the copies into &families"))),
      problem_(new QLabel)
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

    // The gapped search's own bounds; the least costs its statistics know
    // depend on the penalty, and OK checks them.
    gaps_->setObjectName(QStringLiteral("approximateGaps"));
    gaps_->setCheckable(true);
    gaps_->setChecked(gaps.gaps);
    gapOpen_->setObjectName(QStringLiteral("approximateGapOpen"));
    gapOpen_->setRange(0, tessaron::GappedSettings::kMaxGapCost);
    gapOpen_->setValue(gaps.gapOpen);
    gapExtend_->setObjectName(QStringLiteral("approximateGapExtend"));
    gapExtend_->setRange(1, tessaron::GappedSettings::kMaxGapCost);
    gapExtend_->setValue(gaps.gapExtend);
    families_->setObjectName(QStringLiteral("approximateFamilies"));
    families_->setChecked(gaps.families);
    auto* gapFields = new QFormLayout(gaps_);
    gapFields->addRow(tr("Gap &opening:"), gapOpen_);
    gapFields->addRow(tr("Gap e&xtension per letter:"), gapExtend_);
    gapFields->addRow(families_);
    auto* gapNote =
        new QLabel(tr("Pairs may hold insertions and deletions: a gap of k letters costs the "
                      "opening plus k times the extension."));
    gapNote->setWordWrap(true);
    gapFields->addRow(gapNote);
    problem_->setObjectName(QStringLiteral("approximateProblem"));
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #b2182b"));
    problem_->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(note);
    layout->addWidget(gaps_);
    layout->addWidget(problem_);
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

GapChoice ApproximateOptionsDlg::gapChoice() const
{
    return {gaps_->isChecked(), gapOpen_->value(), gapExtend_->value(), families_->isChecked()};
}

QString ApproximateOptionsDlg::problem() const
{
    const GapChoice chosen = gapChoice();
    return chosen.gaps ? QString::fromStdString(tessaron::validate(gappedSettings(settings(), chosen)))
                       : QString();
}

void ApproximateOptionsDlg::accept()
{
    if (const QString refused = problem(); !refused.isEmpty()) {
        problem_->setText(tr("The gapped search cannot take these settings: %1.").arg(refused));
        problem_->show();
        return;
    }
    QDialog::accept();
}

std::optional<ApproximateOptionsDlg::Choice> ApproximateOptionsDlg::ask(
    const tessaron::ApproximateSettings& current, const GapChoice& gaps, QWidget* parent)
{
    ApproximateOptionsDlg dialog(current, gaps, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return Choice{dialog.settings(), dialog.gapChoice()};
}
