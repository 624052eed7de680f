#pragma once

// Bar charts side by side in one figure: the repeat section of a genome
// paper (long repeats per kind and length class, microsatellites per class,
// tandem arrays per period class) and the comparison of microsatellites. What
// is drawn is plain data made from the report's numbers, then turned into Qt
// charts, shown in a panel or saved as a PNG or SVG file.

#include "compare/genomecomparison.h"
#include "compare/repeatsection.h"
#include "input/filesave.h"
#include "palette/colourscheme.h"

#include <QColor>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <span>
#include <vector>

class QChart;
class QChartView;
class QGridLayout;
class QPushButton;

namespace tessaron {

// One series of bars: a value per category.
struct BarSet {
    QString name;
    QColor color;
    std::vector<double> values;
};

struct BarChartData {
    QString title;
    QString categoryTitle;  // beneath the categories
    QString valueTitle;     // beside the values
    QStringList categories;
    std::vector<BarSet> sets;  // bars of one category side by side
};

// The charts of one figure, left to right.
using BarFigure = std::vector<BarChartData>;

// The section's figure: the pairs per length class, a set per kind in the
// kinds' colours of `colours`, and the microsatellites per class (by unit
// length, then class) with those in compounds beside them; when its tandem
// arrays were searched, a third chart of them (tandemCopyChart).
[[nodiscard]] BarFigure repeatSectionFigure(const RepeatSection& section,
                                            const ColourScheme& colours = kStandardColours);
// The tandem arrays per period class (the categories), a set per copy-number
// class, as the section's table counts them.
[[nodiscard]] BarChartData tandemCopyChart(std::span<const TandemRepeat> arrays);
// The microsatellites per unit length, a set per genome.
[[nodiscard]] BarFigure microsatelliteComparisonFigure(const MicrosatelliteComparison& comparison);

[[nodiscard]] std::unique_ptr<QChart> makeBarChart(const BarChartData& data);

// A size at which every chart of the figure shows its category labels and its
// legend's names whole, side by side (at least 560 pixels wide each, 520 high).
[[nodiscard]] QSize barFigureSize(const BarFigure& figure);

// Draws the figure at `size` without showing it and saves it (PNG, or SVG for
// a name ending in .svg) as saveChart does; needs a QApplication.
bool saveBarFigure(const BarFigure& figure, const QString& path, QSize size = QSize(1200, 520),
                   SaveOptions save = {});

}  // namespace tessaron

// The figure's charts side by side with "Save chart...".
class BarFigurePanel : public QWidget {
    Q_OBJECT

public:
    using FileChooser =
        std::function<QString(QWidget* parent, const QString& caption, const QString& filter)>;
    using ErrorReporter = std::function<void(QWidget* parent, const QString& text)>;

    explicit BarFigurePanel(QWidget* parent = nullptr);

    void setFigure(tessaron::BarFigure figure);
    [[nodiscard]] const tessaron::BarFigure& figure() const { return figure_; }
    // One view per chart, left to right.
    [[nodiscard]] std::vector<QChartView*> views() const;
    // The views side by side, as the figure is saved.
    [[nodiscard]] QWidget* charts() const { return charts_; }
    [[nodiscard]] QPushButton* saveButton() const { return save_; }

    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    void setErrorReporter(ErrorReporter reporter) { reportError_ = std::move(reporter); }

public slots:
    // Asks for a PNG or SVG file and saves the charts there as one figure.
    void saveFigure();

private:
    tessaron::BarFigure figure_;
    QWidget* charts_ = nullptr;
    QGridLayout* row_ = nullptr;  // two charts a row
    QPushButton* save_ = nullptr;
    FileChooser chooseFile_;
    ErrorReporter reportError_;
};
