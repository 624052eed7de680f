#include "charts/barfigure.h"

#include "charts/countaxis.h"
#include "charts/repeatchart.h"
#include "engine/repeatkinds.h"
#include "report/microsatellitereport.h"
#include "report/tandemreport.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFont>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace tessaron {

namespace {

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The genomes' colours of the comparison, one after another.
QColor genomeColor(std::size_t genome)
{
    static const std::array<QColor, 8> kColors{QColor(0x1F, 0x77, 0xB4), QColor(0xFF, 0x7F, 0x0E),
                                               QColor(0x2C, 0xA0, 0x2C), QColor(0xD6, 0x27, 0x28),
                                               QColor(0x94, 0x67, 0xBD), QColor(0x8C, 0x56, 0x4B),
                                               QColor(0xE3, 0x77, 0xC2), QColor(0x7F, 0x7F, 0x7F)};
    return kColors[genome % kColors.size()];
}

}  // namespace

BarFigure repeatSectionFigure(const RepeatSection& section, const ColourScheme& colours)
{
    BarChartData longRepeats;
    longRepeats.title = QStringLiteral("Long repeats by length");
    longRepeats.categoryTitle = QStringLiteral("Length (bp)");
    longRepeats.valueTitle = QStringLiteral("Pairs");
    for (std::size_t k = 0; k < kLengthClassCount; ++k) {
        longRepeats.categories << fromUtf8(lengthClassName(k));
    }
    for (const RepeatKind kind : kKindOrder) {
        const auto& counts = section.pairs[static_cast<std::size_t>(kind)];
        longRepeats.sets.push_back({fromUtf8(kindInfo(kind).heading), kindColor(kind, colours),
                                    std::vector<double>(counts.begin(), counts.end())});
    }

    BarChartData microsatellites;
    microsatellites.title = QStringLiteral("Microsatellites by class");
    microsatellites.categoryTitle = QStringLiteral("Class");
    microsatellites.valueTitle = QStringLiteral("Microsatellites");
    BarSet all{QStringLiteral("Microsatellites"), QColor(0x20, 0x60, 0xD0), {}};
    BarSet joined{QStringLiteral("In compounds"), QColor(0xF0, 0x90, 0x00), {}};
    for (const MicrosatelliteClassCount& cls : countMicrosatellites(section.microsatellites).byClass) {
        microsatellites.categories << fromUtf8(cls.motifClass);
        all.values.push_back(static_cast<double>(cls.count));
        joined.values.push_back(static_cast<double>(cls.inCompounds));
    }
    microsatellites.sets = {std::move(all), std::move(joined)};
    BarFigure figure{std::move(longRepeats), std::move(microsatellites)};
    if (section.tandemSearched) {
        figure.push_back(tandemCopyChart(section.tandemRepeats));
    }
    return figure;
}

BarChartData tandemCopyChart(std::span<const TandemRepeat> arrays)
{
    static const std::array<QColor, kCopyClassNames.size()> kCopyColors{
        QColor(0x9E, 0xCA, 0xE1), QColor(0x42, 0x92, 0xC6), QColor(0x08, 0x51, 0x9C),
        QColor(0x08, 0x30, 0x6B)};
    BarChartData chart;
    chart.title = QStringLiteral("Tandem repeats by period");
    chart.categoryTitle = QStringLiteral("Period (bp)");
    chart.valueTitle = QStringLiteral("Arrays");
    for (const std::string_view name : kPeriodClassNames) {
        chart.categories << fromUtf8(name);
    }
    const TandemCopyTable table = tandemCopyTable(arrays);
    for (std::size_t c = 0; c < kCopyClassNames.size(); ++c) {
        BarSet set{fromUtf8(kCopyClassNames[c]) + QStringLiteral(" copies"), kCopyColors[c], {}};
        for (const auto& byCopies : table) {
            set.values.push_back(static_cast<double>(byCopies[c]));
        }
        chart.sets.push_back(std::move(set));
    }
    return chart;
}

BarFigure microsatelliteComparisonFigure(const MicrosatelliteComparison& comparison)
{
    BarChartData chart;
    chart.title = QStringLiteral("Microsatellites by unit length");
    chart.categoryTitle = QStringLiteral("Unit length");
    chart.valueTitle = QStringLiteral("Microsatellites");
    for (int p = 1; p <= kMaxUnitLength; ++p) {
        chart.categories << fromUtf8(unitLengthName(p));
    }
    for (std::size_t g = 0; g < comparison.microsatellites.size() && g < comparison.fileTitles.size(); ++g) {
        const MicrosatelliteCounts counts = countMicrosatellites(comparison.microsatellites[g]);
        chart.sets.push_back({fromUtf8(comparison.fileTitles[g]), genomeColor(g),
                              std::vector<double>(counts.byUnitLength.begin(), counts.byUnitLength.end())});
    }
    return {std::move(chart)};
}

std::unique_ptr<QChart> makeBarChart(const BarChartData& data)
{
    auto chart = std::make_unique<QChart>();
    chart->setTitle(data.title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    auto* series = new QBarSeries();  // owned by the chart once added
    double highest = 0.0;
    for (const BarSet& set : data.sets) {
        auto* bars = new QBarSet(set.name.toHtmlEscaped());  // owned by the series once appended
        bars->setColor(set.color);
        bars->setBorderColor(set.color);
        for (const double value : set.values) {
            bars->append(value);
            highest = std::max(highest, value);
        }
        series->append(bars);
    }
    chart->addSeries(series);
    auto* categories = new QBarCategoryAxis();
    categories->append(data.categories);
    categories->setTitleText(data.categoryTitle);
    chart->addAxis(categories, Qt::AlignBottom);
    series->attachAxis(categories);
    auto* values = new QValueAxis();
    setCountRange(*values, highest);
    values->setTitleText(data.valueTitle);
    chart->addAxis(values, Qt::AlignLeft);
    series->attachAxis(values);
    chart->legend()->setVisible(data.sets.size() > 1);
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

QSize barFigureSize(const BarFigure& figure)
{
    const QFontMetricsF metrics{QFont()};
    double widest = 560;  // the charts share the width equally
    for (const BarChartData& chart : figure) {
        // Every category label whole beneath its bars, beside the value axis.
        double label = 0;
        for (const QString& category : chart.categories) {
            label = std::max(label, metrics.horizontalAdvance(category));
        }
        const double categories = 130 + static_cast<double>(chart.categories.size()) * (label + 20);
        // The legend's names whole in one row, each after its swatch.
        double legend = 80;
        for (const BarSet& set : chart.sets) {
            legend += metrics.horizontalAdvance(set.name) + 48;
        }
        widest = std::max({widest, categories, legend});
    }
    const auto charts = static_cast<double>(std::max<std::size_t>(figure.size(), 1));
    return {static_cast<int>(std::ceil(widest * charts)), 520};
}

bool saveBarFigure(const BarFigure& figure, const QString& path, QSize size, SaveOptions save)
{
    BarFigurePanel panel;
    panel.setFigure(figure);
    panel.saveButton()->hide();
    panel.setAttribute(Qt::WA_DontShowOnScreen);
    panel.charts()->setFixedSize(size);
    panel.resize(size);
    panel.show();
    // The charts lay themselves out through posted events.
    QCoreApplication::processEvents();
    return saveWidget(*panel.charts(), path, figure.empty() ? QString() : figure.front().title, save);
}

}  // namespace tessaron

BarFigurePanel::BarFigurePanel(QWidget* parent)
    : QWidget(parent), charts_(new QWidget(this)), save_(new QPushButton(tr("Save c&hart..."), this))
{
    setObjectName(QStringLiteral("barFigurePanel"));
    save_->setObjectName(QStringLiteral("saveChart"));
    row_ = new QGridLayout(charts_);
    row_->setContentsMargins(0, 0, 0, 0);
    row_->setSpacing(0);
    auto* controls = new QHBoxLayout();
    controls->addStretch(1);
    controls->addWidget(save_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->addWidget(charts_, 1);
    layout->addLayout(controls);
    connect(save_, &QPushButton::clicked, this, &BarFigurePanel::saveFigure);
}

void BarFigurePanel::setFigure(tessaron::BarFigure figure)
{
    figure_ = std::move(figure);
    for (QChartView* view : views()) {
        delete view;  // and the chart it owns
    }
    // Two charts a row, so that a third does not squeeze what stands beside the figure.
    int index = 0;
    for (const tessaron::BarChartData& chart : figure_) {
        auto* view = new QChartView(tessaron::makeBarChart(chart).release(), charts_);
        view->setRenderHint(QPainter::Antialiasing);
        view->setBackgroundBrush(Qt::white);
        row_->addWidget(view, index / 2, index % 2);
        ++index;
    }
}

std::vector<QChartView*> BarFigurePanel::views() const
{
    std::vector<QChartView*> found;
    for (int i = 0; i < row_->count(); ++i) {
        if (auto* view = qobject_cast<QChartView*>(row_->itemAt(i)->widget())) {
            found.push_back(view);
        }
    }
    return found;
}

void BarFigurePanel::saveFigure()
{
    const QString caption = tr("Save chart");
    const QString filter = tr("PNG image (*.png);;SVG drawing (*.svg)");
    const QString path = chooseFile_ ? chooseFile_(this, caption, filter)
                                     : QFileDialog::getSaveFileName(this, caption, QString(), filter);
    // Drawn anew at a size that holds every label and name, whatever the
    // window's size: the views on screen may be too narrow for them.
    if (path.isEmpty() || tessaron::saveBarFigure(figure_, path, tessaron::barFigureSize(figure_))) {
        return;
    }
    const QString text = tr("Cannot write the file %1.").arg(path);
    if (reportError_) {
        reportError_(this, text);
    } else {
        QMessageBox::warning(this, caption, text);
    }
}
