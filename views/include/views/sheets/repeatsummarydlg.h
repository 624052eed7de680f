#pragma once

// A sheet with a figure of bar charts beside it: the "Repeat summary" of the
// loaded genome (the repeat section of a genome paper) or a comparison of
// microsatellites. Modeless and resizable; the sheet copies and saves as CSV,
// the figure saves as PNG or SVG.

#include "charts/barfigure.h"
#include "report/reportlayout.h"

#include <QDialog>

class BarFigurePanel;
class CWebCalc;
class QSplitter;

class CRepeatSummaryDlg : public QDialog {
    Q_OBJECT

public:
    explicit CRepeatSummaryDlg(QWidget* parent = nullptr);

    // Writes the layout into the sheet, its caption the window's title, and
    // draws the figure.
    void setContent(const tessaron::SheetLayout& layout, tessaron::BarFigure figure);

    [[nodiscard]] CWebCalc* sheet() const { return sheet_; }
    [[nodiscard]] BarFigurePanel* figure() const { return figure_; }

private:
    // Sizes the columns by the texts that stay within them.
    void fitColumns(const tessaron::SheetLayout& layout);
    // Gives the sheet the width of its columns.
    void fitSheet();

    QSplitter* splitter_;
    CWebCalc* sheet_;
    BarFigurePanel* figure_;
};
