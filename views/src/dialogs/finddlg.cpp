#include "views/dialogs/finddlg.h"

#include "engine/alphabet.h"
#include "views/base/prompts.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

bool isBase(QChar letter)
{
    return letter.unicode() < 0x80 && tessaron::isBase(static_cast<char>(letter.unicode()));
}

}  // namespace

CFindDlg::CFindDlg(const QString& motif, Prompts& prompts, QWidget* parent)
    : QDialog(parent),
      prompts_(prompts),
      motifField_(new QLineEdit(motif)),
      bothStrandsBox_(new QCheckBox(tr("Also the &reverse complement strand")))
{
    setWindowTitle(tr("Find"));
    motifField_->setObjectName(QStringLiteral("motifField"));

    auto* cancel = new QPushButton(tr("Cancel"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    auto* find = new QPushButton(tr("Find"));
    find->setObjectName(QStringLiteral("findButton"));
    find->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, &CFindDlg::reject);
    connect(find, &QPushButton::clicked, this, &CFindDlg::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addWidget(find);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Find:")));
    layout->addWidget(motifField_);
    bothStrandsBox_->setObjectName(QStringLiteral("bothStrandsBox"));
    layout->addWidget(bothStrandsBox_);
    layout->addLayout(buttons);
    setMinimumWidth(sizeHint().width() * 3 / 2);

    // The motif is ready to be typed over as soon as the dialog opens.
    motifField_->setFocus(Qt::OtherFocusReason);
    motifField_->selectAll();
}

void CFindDlg::accept()
{
    // The user sees the upper-cased text, whether or not it passes.
    const QString motif = motifField_->text().toUpper();
    motifField_->setText(motif);
    if (!std::all_of(motif.cbegin(), motif.cend(), isBase)) {
        prompts_.message(this, tr("Error!"), tr("Accepted symbols are only A, T, C or G"),
                         Prompts::Icon::None);
        return;
    }
    chosen_ = motif;
    QDialog::accept();
}

std::optional<QString> CFindDlg::ask(const QString& motif, Prompts& prompts, QWidget* parent)
{
    return ask(motif, nullptr, prompts, parent);
}

std::optional<QString> CFindDlg::ask(const QString& motif, bool* bothStrands, Prompts& prompts,
                                     QWidget* parent)
{
    CFindDlg dialog(motif, prompts, parent);
    dialog.bothStrandsBox()->setChecked(bothStrands != nullptr && *bothStrands);
    dialog.bothStrandsBox()->setVisible(bothStrands != nullptr);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    if (bothStrands != nullptr) {
        *bothStrands = dialog.bothStrandsBox()->isChecked();
    }
    return dialog.chosen();
}
