#include "views/dialogs/randomcontrolsdlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

CControlsDlg::CControlsDlg(QWidget* parent)
    : QDialog(parent), replicates_(new QSpinBox(this)), seed_(new QSpinBox(this))
{
    setObjectName(QStringLiteral("controlsDialog"));
    setWindowTitle(tr("Compare with random controls"));
    replicates_->setObjectName(QStringLiteral("replicates"));
    replicates_->setRange(1, kMostReplicates);
    replicates_->setValue(100);
    seed_->setObjectName(QStringLiteral("seed"));
    seed_->setRange(0, std::numeric_limits<int>::max());
    seed_->setValue(1);

    auto* text = new QLabel(tr("Random sequences of exactly the genome's composition are analysed with the "
                               "same settings; each count is set beside their mean and spread."),
                            this);
    text->setWordWrap(true);
    auto* form = new QFormLayout();
    form->addRow(tr("&Random sequences:"), replicates_);
    form->addRow(tr("&Seed of the first:"), seed_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

CControlsDlg::Choice CControlsDlg::choice() const
{
    return {replicates_->value(), static_cast<std::uint32_t>(seed_->value())};
}

std::optional<CControlsDlg::Choice> CControlsDlg::ask(QWidget* parent)
{
    CControlsDlg dialog(parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.choice();
}

tessaron::ControlSettings CControlsDlg::Choice::settings(int threads) const
{
    tessaron::ControlSettings chosen;
    chosen.replicates = replicates;
    chosen.seed = seed;
    chosen.threads = threads;
    return chosen;
}

CControlsDlg::Outcome CControlsDlg::run(const std::shared_ptr<const tessaron::Genome>& genome,
                                        const std::shared_ptr<const tessaron::SuffixIndex>& index,
                                        tessaron::SearchMethod method,
                                        const tessaron::ControlSettings& settings,
                                        const tessaron::SearchControl& control)
{
    auto observed = tessaron::prepareSearch(genome, method, tessaron::kKindOrder, {control.stop, {}},
                                            tessaron::PrepareOptions{false, 0, index});
    if (const auto* failure = std::get_if<tessaron::SearchFailure>(&observed)) {
        return *failure;
    }
    return tessaron::runControls(std::get<tessaron::PreparedSearch>(observed), settings, control);
}
