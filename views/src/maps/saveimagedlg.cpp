#include "views/maps/saveimagedlg.h"

#include "report/imagesize.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

CSaveImageDlg::CSaveImageDlg(QWidget* parent, const tessaron::MapImageOptions& options, QSize ownSize)
    : QDialog(parent),
      options_(options),
      ownSize_(ownSize.isEmpty() ? QSize(tessaron::kMapWidth, tessaron::kMapHeight) : ownSize)
{
    setObjectName(QStringLiteral("CSaveImageDlg"));
    setWindowTitle(tr("Save image"));

    const QSize proposed =
        options.width > 0 && options.height > 0 ? QSize(options.width, options.height) : ownSize_;
    const auto side = [this](int value, const char* name) {
        auto* field = new QSpinBox(this);
        field->setObjectName(QString::fromLatin1(name));
        field->setRange(tessaron::kSmallestImageSide, tessaron::kLargestImageSide);
        field->setSuffix(tr(" pixels"));
        field->setValue(value);
        return field;
    };
    width_ = side(proposed.width(), "width");
    height_ = side(proposed.height(), "height");
    keepShape_ = new QCheckBox(tr("&Keep the map's shape"), this);
    // Kept when the size proposed has the map's shape, but for rounding.
    keepShape_->setChecked(
        std::abs(proposed.width() * ownSize_.height() - proposed.height() * ownSize_.width()) <
        std::max(ownSize_.width(), ownSize_.height()));
    antialias_ = new QCheckBox(tr("&Smooth edges (antialiasing)"), this);
    antialias_->setChecked(options.style.antialias);

    auto* form = new QFormLayout;
    form->addRow(tr("&Width:"), width_);
    form->addRow(tr("&Height:"), height_);
    form->addRow(keepShape_);
    form->addRow(antialias_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    const double tall = static_cast<double>(ownSize_.height()) / ownSize_.width();
    connect(width_, &QSpinBox::valueChanged, this, [this, tall] { follow(width_, height_, tall); });
    connect(height_, &QSpinBox::valueChanged, this, [this, tall] { follow(height_, width_, 1.0 / tall); });
    connect(keepShape_, &QCheckBox::toggled, this, [this, tall](bool keep) {
        if (keep) {
            follow(width_, height_, tall);
        }
    });
}

void CSaveImageDlg::follow(QSpinBox* changed, QSpinBox* other, double ratio)
{
    if (!keepShape_->isChecked() || following_) {
        return;
    }
    following_ = true;
    other->setValue(static_cast<int>(std::lround(changed->value() * ratio)));
    following_ = false;
}

tessaron::MapImageOptions CSaveImageDlg::options() const
{
    tessaron::MapImageOptions chosen = options_;
    chosen.width = width_->value();
    chosen.height = height_->value();
    chosen.style.antialias = antialias_->isChecked();
    return chosen;
}
