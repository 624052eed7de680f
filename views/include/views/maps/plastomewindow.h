#pragma once

// The plastome's four parts of the loaded genome ("Plastome structure" in the
// View menu): a line that sums up the inverted repeat, a table of the parts
// (start, end, length, GC) and the junctions (their places and genes), and
// the junction figure of the genome below it. A click on a row asks for the
// part, or the two bases about the junction, to be selected
// (`regionChosen`).

#include "engine/plastomestructure.h"
#include "mapgeometry/junctionfigure.h"
#include "report/plastomeannotation.h"

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>
#include <string>

class QLabel;
class QTableWidget;

namespace tessaron {
// What the window shows of one genome.
struct PlastomeAnalysis {
    std::string name;
    PlastomeStructure structure;
    std::array<JunctionGenes, 4> genes;
};
}  // namespace tessaron

class CPlastomeDlg : public QDialog {
    Q_OBJECT

public:
    CPlastomeDlg(QWidget* parent, tessaron::PlastomeAnalysis analysis);

    [[nodiscard]] QTableWidget* table() const { return table_; }
    [[nodiscard]] const tessaron::JunctionFigure& figure() const { return figure_; }
    [[nodiscard]] QString summary() const;

    // The junction's genes as the table writes them: "rps19 (166 | 113)"
    // across it, "rpl2 166 bp | 3 bp trnH" beside it.
    [[nodiscard]] static QString genesText(const tessaron::JunctionGenes& genes);

signals:
    // A row was clicked: `length` bases from `start` (0-based, circular).
    void regionChosen(std::int64_t start, std::int64_t length);

private:
    void chooseRow(int row);

    tessaron::PlastomeAnalysis analysis_;
    tessaron::JunctionFigure figure_;
    QLabel* summary_ = nullptr;
    QTableWidget* table_ = nullptr;
};
