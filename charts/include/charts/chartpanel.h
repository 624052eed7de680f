#pragma once

// A chart with its controls: a log scale check box and "Save chart...".

#include "charts/repeatchart.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QChartView;
class QPushButton;

class ChartPanel : public QWidget {
    Q_OBJECT

public:
    // Asks for the file to save to (an empty answer cancels); tells a failure.
    using FileChooser =
        std::function<QString(QWidget* parent, const QString& caption, const QString& filter)>;
    using ErrorReporter = std::function<void(QWidget* parent, const QString& text)>;

    explicit ChartPanel(QWidget* parent = nullptr);

    void setData(tessaron::ChartData data);
    [[nodiscard]] const tessaron::ChartData& data() const { return data_; }
    void setLogScale(bool logScale);
    [[nodiscard]] bool logScale() const;

    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    void setErrorReporter(ErrorReporter reporter) { reportError_ = std::move(reporter); }

    [[nodiscard]] QChartView* view() const { return view_; }
    [[nodiscard]] QCheckBox* logScaleBox() const { return logScale_; }
    [[nodiscard]] QPushButton* saveButton() const { return save_; }

public slots:
    // Asks for a PNG or SVG file and saves the chart there.
    void saveChart();

private:
    void rebuild();

    tessaron::ChartData data_;
    QChartView* view_ = nullptr;
    QCheckBox* logScale_ = nullptr;
    QPushButton* save_ = nullptr;
    FileChooser chooseFile_;
    ErrorReporter reportError_;
};
