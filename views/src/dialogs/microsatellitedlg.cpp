#include "views/dialogs/microsatellitedlg.h"

#include "views/base/prompts.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr std::array<const char*, tessaron::kMaxUnitLength> kUnitLabels{
    QT_TRANSLATE_NOOP("CMicrosatelliteDlg", "&Mononucleotide:"),
    QT_TRANSLATE_NOOP("CMicrosatelliteDlg", "&Dinucleotide:"),
    QT_TRANSLATE_NOOP("CMicrosatelliteDlg", "&Trinucleotide:"),
    QT_TRANSLATE_NOOP("CMicrosatelliteDlg", "T&etranucleotide:"),
    QT_TRANSLATE_NOOP("CMicrosatelliteDlg", "&Pentanucleotide:"),
    QT_TRANSLATE_NOOP("CMicrosatelliteDlg", "&Hexanucleotide:")};

// Reads an integer within [low, high] from its field; a failing field shows
// its message, takes the focus with its text selected, and gives nothing.
std::optional<int> readField(QWidget* dialog, Prompts& prompts, QLineEdit* field, int low, int high)
{
    bool isInteger = false;
    const int read = field->text().left(kFieldReadLimit).toInt(&isInteger, 10);
    if (!isInteger) {
        prompts.message(dialog, applicationName(), QObject::tr("Please enter an integer."),
                        Prompts::Icon::None);
    } else if (read < low || read > high) {
        prompts.message(dialog, applicationName(),
                        QObject::tr("Please enter an integer between %1 and %2.").arg(low).arg(high),
                        Prompts::Icon::Warning);
    } else {
        return read;
    }
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    return std::nullopt;
}

}  // namespace

CMicrosatelliteDlg::CMicrosatelliteDlg(const tessaron::MicrosatelliteSettings& current, Prompts& prompts,
                                       QWidget* parent)
    : QDialog(parent),
      prompts_(prompts),
      distanceField_(new QLineEdit(QString::number(current.compoundDistance)))
{
    setWindowTitle(tr("Microsatellites"));
    auto* least = new QGroupBox(tr("Least repeats of a unit of"));
    auto* fields = new QFormLayout(least);
    for (std::size_t p = 0; p < repeatsFields_.size(); ++p) {
        auto* field = new QLineEdit(QString::number(current.minimumRepeats[p]));
        field->setObjectName(QStringLiteral("repeatsField%1").arg(p + 1));
        fields->addRow(tr(kUnitLabels[p]), field);
        repeatsFields_[p] = field;
    }
    auto* compounds = new QGroupBox(tr("Compounds"));
    auto* distance = new QFormLayout(compounds);
    distanceField_->setObjectName(QStringLiteral("distanceField"));
    distanceField_->setToolTip(tr("Microsatellites at most this many letters apart form a compound."));
    distance->addRow(tr("Greatest &distance (bp):"), distanceField_);

    auto* ok = new QPushButton(tr("OK"));
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(ok, &QPushButton::clicked, this, &CMicrosatelliteDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CMicrosatelliteDlg::reject);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* choices = new QVBoxLayout;
    choices->addWidget(least);
    choices->addWidget(compounds);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(choices, 1);
    layout->addLayout(buttons);

    repeatsFields_.front()->setFocus(Qt::OtherFocusReason);
    repeatsFields_.front()->selectAll();
}

QLineEdit* CMicrosatelliteDlg::repeatsField(int unitLength) const
{
    return unitLength >= 1 && unitLength <= tessaron::kMaxUnitLength
               ? repeatsFields_[static_cast<std::size_t>(unitLength - 1)]
               : nullptr;
}

void CMicrosatelliteDlg::accept()
{
    tessaron::MicrosatelliteSettings settings;
    for (std::size_t p = 0; p < repeatsFields_.size(); ++p) {
        const std::optional<int> minimum =
            readField(this, prompts_, repeatsFields_[p], kLeastRepeats, kMostRepeats);
        if (!minimum) {
            return;
        }
        settings.minimumRepeats[p] = *minimum;
    }
    const std::optional<int> distance = readField(this, prompts_, distanceField_, 0, kFarthestCompound);
    if (!distance) {
        return;
    }
    settings.compoundDistance = *distance;
    chosen_ = settings;
    QDialog::accept();
}

std::optional<tessaron::MicrosatelliteSettings> CMicrosatelliteDlg::ask(
    const tessaron::MicrosatelliteSettings& current, Prompts& prompts, QWidget* parent)
{
    CMicrosatelliteDlg dialog(current, prompts, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.chosen();
}
