#include "views/saveimagedlg.h"

#include "mapgeometry/diagramgeometry.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr double kSmallestScale = 0.5;
constexpr double kLargestScale = 10.0;  // 6000 x 4600 pixels
constexpr double kScaleStep = 0.5;

}  // namespace

CSaveImageDlg::CSaveImageDlg(QWidget* parent, const tessaron::MapImageOptions& options)
    : QDialog(parent), options_(options)
{
    setObjectName(QStringLiteral("CSaveImageDlg"));
    setWindowTitle(tr("Save image"));

    scale_ = new QDoubleSpinBox(this);
    scale_->setObjectName(QStringLiteral("scale"));
    scale_->setRange(kSmallestScale, kLargestScale);
    scale_->setSingleStep(kScaleStep);
    scale_->setDecimals(1);
    scale_->setSuffix(QStringLiteral(" x"));
    scale_->setValue(options.scale);
    size_ = new QLabel(this);
    antialias_ = new QCheckBox(tr("&Smooth edges (antialiasing)"), this);
    antialias_->setChecked(options.style.antialias);

    auto* form = new QFormLayout;
    form->addRow(tr("&Scale:"), scale_);
    form->addRow(tr("Size:"), size_);
    form->addRow(antialias_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(scale_, &QDoubleSpinBox::valueChanged, this, &CSaveImageDlg::showSize);
    showSize();
}

tessaron::MapImageOptions CSaveImageDlg::options() const
{
    tessaron::MapImageOptions chosen = options_;
    chosen.scale = scale_->value();
    chosen.style.antialias = antialias_->isChecked();
    return chosen;
}

void CSaveImageDlg::showSize()
{
    const double scale = scale_->value();
    size_->setText(tr("%1 x %2 pixels (a drawing of that size for SVG)")
                       .arg(std::lround(tessaron::kMapWidth * scale))
                       .arg(std::lround(tessaron::kMapHeight * scale)));
}
