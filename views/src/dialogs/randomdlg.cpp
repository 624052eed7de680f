#include "views/dialogs/randomdlg.h"

#include "views/base/prompts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>
#include <numeric>

namespace {

enum Letter { kA = 0, kT = 1, kC = 2, kG = 3 };

}  // namespace

CRandomDlg::CRandomDlg(const Counts& counts, Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts), counts_(counts), totalField_(new QLineEdit)
{
    setWindowTitle(tr("Create random sequence"));
    for (std::int64_t& count : counts_) {
        count = std::clamp<std::int64_t>(count, 0, std::numeric_limits<std::uint32_t>::max());
    }

    totalField_->setObjectName(QStringLiteral("totalField"));
    totalField_->setReadOnly(true);
    totalField_->setFocusPolicy(Qt::NoFocus);

    auto* group = new QGroupBox(tr("How many"));
    auto* fields = new QGridLayout(group);
    const std::array<QString, 4> labels{tr("A's:"), tr("T's:"), tr("C's:"), tr("G's:")};
    const std::array<QString, 4> names{QStringLiteral("countA"), QStringLiteral("countT"),
                                       QStringLiteral("countC"), QStringLiteral("countG")};
    for (std::size_t letter = 0; letter < countFields_.size(); ++letter) {
        auto* field = new QLineEdit;
        field->setObjectName(names[letter]);
        const int row = static_cast<int>(letter);
        fields->addWidget(new QLabel(labels[letter]), row, 0);
        fields->addWidget(field, row, 1);
        countFields_[letter] = field;
    }

    auto* ok = new QPushButton(tr("OK"));
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(ok, &QPushButton::clicked, this, &CRandomDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CRandomDlg::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(totalField_);
    layout->addWidget(group);
    layout->addLayout(buttons);

    showValues();
    for (QLineEdit* field : countFields_) {
        connect(field, &QLineEdit::textChanged, this, &CRandomDlg::countEdited);
    }
    countFields_[kA]->setFocus(Qt::OtherFocusReason);
    countFields_[kA]->selectAll();
}

QLineEdit* CRandomDlg::readFields()
{
    // The total between A and C is only text and always reads.
    for (const Letter letter : {kA, kC, kG, kT}) {
        QLineEdit* field = countFields_[letter];
        bool isCount = false;
        const uint count = field->text().left(kFieldReadLimit).toUInt(&isCount, 10);
        if (!isCount) {
            const QScopedValueRollback guard(updating_, true);
            prompts_.message(this, applicationName(), tr("Please enter a positive integer."),
                             Prompts::Icon::None);
            return field;
        }
        counts_[letter] = count;
    }
    return nullptr;
}

void CRandomDlg::showValues()
{
    const QScopedValueRollback guard(updating_, true);
    const std::int64_t total = std::accumulate(counts_.begin(), counts_.end(), std::int64_t{0});
    totalField_->setText(tr("%1 bp").arg(total));
    for (std::size_t letter = 0; letter < countFields_.size(); ++letter) {
        // A field that already reads right is left alone, so the cursor of
        // the one being typed in stays where it is.
        const QString text = QString::number(counts_[letter]);
        if (countFields_[letter]->text() != text) {
            countFields_[letter]->setText(text);
        }
    }
}

void CRandomDlg::countEdited()
{
    if (updating_) {
        return;
    }
    // A refused field goes back to its last valid value, selected so that
    // the next key replaces it.
    QLineEdit* refused = readFields();
    showValues();
    if (refused != nullptr) {
        refused->setFocus(Qt::OtherFocusReason);
        refused->selectAll();
    }
}

void CRandomDlg::accept()
{
    if (QLineEdit* refused = readFields()) {
        refused->setFocus(Qt::OtherFocusReason);
        refused->selectAll();
        return;
    }
    showValues();
    chosen_ = counts_;
    QDialog::accept();
}

std::optional<CRandomDlg::Counts> CRandomDlg::ask(const Counts& counts, Prompts& prompts, QWidget* parent)
{
    CRandomDlg dialog(counts, prompts, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.chosen();
}

QString CRandomDlg::caption(const Counts& counts)
{
    return QStringLiteral("Random [%1 bp; A: %2, T: %3, C: %4, G: %5]")
        .arg(std::accumulate(counts.begin(), counts.end(), std::int64_t{0}))
        .arg(counts[0])
        .arg(counts[1])
        .arg(counts[2])
        .arg(counts[3]);
}

QString CRandomDlg::refusal(std::int64_t total)
{
    return tr("A random sequence of %1 bases cannot be made: the total may not exceed %2 bases, "
              "and the memory for it must be available.")
        .arg(total)
        .arg(std::numeric_limits<std::int32_t>::max());
}
