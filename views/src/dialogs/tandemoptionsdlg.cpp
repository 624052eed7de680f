#include "views/dialogs/tandemoptionsdlg.h"

#include "views/base/prompts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>
#include <string>

namespace {

using Settings = tessaron::TandemSettings;

QSpinBox* numberField(const char* name, int least, int most, int value)
{
    auto* field = new QSpinBox;
    field->setObjectName(QString::fromLatin1(name));
    field->setRange(least, most);
    field->setValue(value);
    return field;
}

}  // namespace

TandemOptionsDlg::TandemOptionsDlg(const Settings& current, Prompts& prompts, QWidget* parent)
    : QDialog(parent),
      current_(current),
      prompts_(prompts),
      period_(numberField("tandemMaxPeriod", 1, Settings::kMaxPeriodBound, current.maximumPeriod)),
      match_(numberField("tandemMatch", 1, Settings::kMaxScoreWeight, current.match)),
      mismatch_(numberField("tandemMismatch", 1, Settings::kMaxScoreWeight, current.mismatch)),
      indel_(numberField("tandemIndel", 1, Settings::kMaxScoreWeight, current.indel)),
      score_(numberField("tandemMinScore", 1, std::numeric_limits<int>::max(), current.minimumScore))
{
    setWindowTitle(tr("Tandem repeats"));
    period_->setSuffix(tr(" bp"));
    auto* group = new QGroupBox(tr("Tandem arrays"));
    auto* fields = new QFormLayout(group);
    fields->addRow(tr("Largest &period:"), period_);
    fields->addRow(tr("&Match score:"), match_);
    fields->addRow(tr("Mi&smatch penalty:"), mismatch_);
    fields->addRow(tr("&Indel penalty:"), indel_);
    fields->addRow(tr("Minimum s&core:"), score_);
    auto* note =
        new QLabel(tr("Copies of a unit one after another, each aligned to the consensus: a "
                      "letter scores the match score when equal, minus a penalty when it differs "
                      "or is inserted or missing."));
    note->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &TandemOptionsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

Settings TandemOptionsDlg::settings() const
{
    Settings chosen = current_;
    chosen.maximumPeriod = period_->value();
    chosen.match = match_->value();
    chosen.mismatch = mismatch_->value();
    chosen.indel = indel_->value();
    chosen.minimumScore = score_->value();
    return chosen;
}

void TandemOptionsDlg::accept()
{
    if (const std::optional<std::string> refusal = settings().validate()) {
        QString text = QString::fromStdString(*refusal);
        if (!text.isEmpty()) {
            text[0] = text[0].toUpper();
        }
        prompts_.message(this, applicationName(), text + QLatin1Char('.'), Prompts::Icon::Warning);
        return;
    }
    QDialog::accept();
}

std::optional<Settings> TandemOptionsDlg::ask(const Settings& current, Prompts& prompts, QWidget* parent)
{
    TandemOptionsDlg dialog(current, prompts, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.settings();
}
