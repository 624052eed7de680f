#include "charts/chartpanel.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

ChartPanel::ChartPanel(QWidget* parent)
    : QWidget(parent),
      view_(new QChartView(this)),
      logScale_(new QCheckBox(tr("&Log scale"), this)),
      save_(new QPushButton(tr("Save c&hart..."), this))
{
    setObjectName(QStringLiteral("chartPanel"));
    view_->setObjectName(QStringLiteral("chartView"));
    view_->setRenderHint(QPainter::Antialiasing);
    logScale_->setObjectName(QStringLiteral("logScale"));
    save_->setObjectName(QStringLiteral("saveChart"));

    auto* controls = new QHBoxLayout();
    controls->addWidget(logScale_);
    controls->addStretch(1);
    controls->addWidget(save_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->addWidget(view_, 1);
    layout->addLayout(controls);

    connect(logScale_, &QCheckBox::toggled, this, [this] { rebuild(); });
    connect(save_, &QPushButton::clicked, this, &ChartPanel::saveChart);
    rebuild();
}

void ChartPanel::setData(tessaron::ChartData data)
{
    data_ = std::move(data);
    rebuild();
}

void ChartPanel::setLogScale(bool logScale)
{
    logScale_->setChecked(logScale);
}

bool ChartPanel::logScale() const
{
    return logScale_->isChecked();
}

void ChartPanel::rebuild()
{
    // The view owns its chart and deletes the one it replaces.
    QChart* previous = view_->chart();
    view_->setChart(tessaron::makeChart(data_, logScale()).release());
    delete previous;
}

void ChartPanel::saveChart()
{
    const QString caption = tr("Save chart");
    const QString filter = tr("PNG image (*.png);;SVG drawing (*.svg)");
    const QString path = chooseFile_ ? chooseFile_(this, caption, filter)
                                     : QFileDialog::getSaveFileName(this, caption, QString(), filter);
    if (path.isEmpty() || tessaron::saveChart(*view_, path)) {
        return;
    }
    const QString text = tr("Cannot write the file %1.").arg(path);
    if (reportError_) {
        reportError_(this, text);
    } else {
        QMessageBox::warning(this, caption, text);
    }
}
