#include "views/dialogs/optionsdlg.h"

#include "views/base/prompts.h"

#include "engine/wordlengths.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Reads a length from its field into `lengths`. A failing field shows its
// message, takes the focus with its text selected, and false is returned.
bool readLength(QWidget* dialog, Prompts& prompts, QLineEdit* field, int tessaron::WordLengths::*length,
                tessaron::WordLengths& lengths)
{
    bool isInteger = false;
    tessaron::WordLengths read = lengths;
    read.*length = field->text().left(kFieldReadLimit).toInt(&isInteger, 10);
    if (!isInteger) {
        prompts.message(dialog, applicationName(), QObject::tr("Please enter an integer."),
                        Prompts::Icon::None);
    } else if (const auto problem = read.validate()) {
        prompts.message(
            dialog, applicationName(),
            QObject::tr("Please enter an integer between %1 and %2.").arg(problem->low).arg(problem->high),
            Prompts::Icon::Warning);
    } else {
        lengths = read;
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
      methodBox_(new QComboBox)
{
    setWindowTitle(tr("Options"));
    minimumField_->setObjectName(QStringLiteral("minimumField"));
    maximumField_->setObjectName(QStringLiteral("maximumField"));
    methodBox_->setObjectName(QStringLiteral("methodBox"));
    // The methods whose results are words, the tree's kinds and lengths (the
    // approximate search has its own command and branch).
    for (const tessaron::MethodInfo& info : tessaron::kMethods) {
        if (info.findsWords) {
            methodBox_->addItem(tr(std::string(info.title).c_str()), static_cast<int>(info.method));
        }
    }
    methodBox_->setCurrentIndex(std::max(0, methodBox_->findData(static_cast<int>(current.method))));
    methodBox_->setToolTip(
        tr("The complete search finds repeats longer than the maximum whole, and words the index "
           "would not reach too; the maximum no longer cuts them."));

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
    auto* method = new QHBoxLayout;
    auto* methodLabel = new QLabel(tr("&Search:"));
    methodLabel->setBuddy(methodBox_);
    method->addWidget(methodLabel);
    method->addWidget(methodBox_, 1);
    choices->addLayout(method);
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
    tessaron::WordLengths lengths;
    if (!readLength(this, prompts_, maximumField_, &tessaron::WordLengths::maximum, lengths) ||
        !readLength(this, prompts_, minimumField_, &tessaron::WordLengths::minimum, lengths)) {
        return;
    }
    // Only the minimum gives way: the maximum is never raised to meet it.
    lengths.minimum = std::min(lengths.minimum, lengths.maximum);
    chosen_ = OptionsResult{lengths.minimum, lengths.maximum,
                            static_cast<tessaron::SearchMethod>(methodBox_->currentData().toInt())};
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
