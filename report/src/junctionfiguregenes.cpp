#include "report/junctionfiguregenes.h"

namespace tessaron {

std::array<std::vector<JunctionFigureGene>, 4> junctionFigureGenes(const std::array<JunctionGenes, 4>& genes)
{
    std::array<std::vector<JunctionFigureGene>, 4> figure;
    for (std::size_t j = 0; j < 4; ++j) {
        const JunctionGenes& at = genes[j];
        for (const JunctionGene& gene : at.crossing) {
            figure[j].push_back({gene.name, -gene.basesBefore, gene.basesAfter, gene.reverse});
        }
        if (at.before) {
            figure[j].push_back({at.before->name, -at.before->distance - at.before->length,
                                 -at.before->distance, at.before->reverse});
        }
        if (at.after) {
            figure[j].push_back({at.after->name, at.after->distance, at.after->distance + at.after->length,
                                 at.after->reverse});
        }
    }
    return figure;
}

}  // namespace tessaron
