#include "views/dialogs/optionsdlg.h"

#include "views/base/prompts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kShortest = 3;
constexpr int kLongest = 256;

// Reads a length from its field. A failing field shows its message, takes the
// focus with its text selected, and false is returned.
bool readLength(QWidget* dialog, Prompts& prompts, QLineEdit* field, int& value)
{
    bool isInteger = false;
    const int read = field->text().left(kFieldReadLimit).toInt(&isInteger, 10);
    if (!isInteger) {
        prompts.message(dialog, applicationName(), QObject::tr("Please enter an integer."),
                        Prompts::Icon::None);
    } else if (read < kShortest || read > kLongest) {
        prompts.message(
            dialog, applicationName(),
            QObject::tr("Please enter an integer between %1 and %2.").arg(kShortest).arg(kLongest),
            Prompts::Icon::Warning);
    } else {
        value = read;
        return true;
    }
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    return false;
}

}  // namespace

COptionsDlg::COptionsDlg(const OptionsResult& current, Prompts& prompts, QWidget* parent)
    : QDialog(parent),
      prompts_(prompts),
      minimumField_(new QLineEdit(QString::number(current.minimum))),
      maximumField_(new QLineEdit(QString::number(current.maximum))),
      completeBox_(new QCheckBox(tr("&Complete search: every maximal repeat at its full length")))
{
    setWindowTitle(tr("Options"));
    minimumField_->setObjectName(QStringLiteral("minimumField"));
    maximumField_->setObjectName(QStringLiteral("maximumField"));
    completeBox_->setObjectName(QStringLiteral("completeBox"));
    completeBox_->setChecked(current.method == tessaron::SearchMethod::Complete);
    completeBox_->setToolTip(
        tr("Repeats longer than the maximum are found whole, and words the index "
           "would not reach are found too; the maximum no longer cuts them."));

    auto* group = new QGroupBox(tr("Motive length"));
    auto* fields = new QGridLayout(group);
    fields->addWidget(new QLabel(tr("Minimum:")), 0, 0);
    fields->addWidget(minimumField_, 0, 1);
    fields->addWidget(new QLabel(tr("Maximum:")), 1, 0);
    fields->addWidget(maximumField_, 1, 1);

    auto* ok = new QPushButton(tr("OK"));
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(ok, &QPushButton::clicked, this, &COptionsDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &COptionsDlg::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* choices = new QVBoxLayout;
    choices->addWidget(group);
    choices->addWidget(completeBox_);
    choices->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(choices, 1);
    layout->addLayout(buttons);

    minimumField_->setFocus(Qt::OtherFocusReason);
    minimumField_->selectAll();
}

void COptionsDlg::accept()
{
    // The maximum is read first, and reading stops at the first failure.
    int maximum = 0;
    int minimum = 0;
    if (!readLength(this, prompts_, maximumField_, maximum) ||
        !readLength(this, prompts_, minimumField_, minimum)) {
        return;
    }
    // Only the minimum gives way: the maximum is never raised to meet it.
    minimum = std::min(minimum, maximum);
    chosen_ = OptionsResult{
        minimum, maximum,
        completeBox_->isChecked() ? tessaron::SearchMethod::Complete : tessaron::SearchMethod::Trie};
    QDialog::accept();
}

std::optional<OptionsResult> COptionsDlg::ask(const OptionsResult& current, Prompts& prompts, QWidget* parent)
{
    COptionsDlg dialog(current, prompts, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.chosen();
}
