#include "views/finddlg.h"

#include "views/prompts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

bool isBase(QChar letter)
{
    return letter == u'A' || letter == u'T' || letter == u'C' || letter == u'G';
}

}  // namespace

CFindDlg::CFindDlg(QString& motif, QWidget* parent)
    : QDialog(parent), callerMotif_(motif), motifField_(new QLineEdit(motif))
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
        Prompts::current().message(this, tr("Error!"), tr("Accepted symbols are only A, T, C or G"),
                                   Prompts::Icon::None);
        return;
    }
    callerMotif_ = motif;
    QDialog::accept();
}
