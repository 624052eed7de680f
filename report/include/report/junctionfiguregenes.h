#pragma once

// The genes at a plastome's junctions as the junction figure draws them.

#include "mapgeometry/junctionfigure.h"
#include "report/plastomeannotation.h"

#include <array>
#include <vector>

namespace tessaron {

// Each junction's genes in bases relative to it (JunctionFigureGene): a gene
// across it from -basesBefore to basesAfter, the nearest gene before it
// ending `distance` bases short of it, the nearest after it beginning
// `distance` bases past it.
[[nodiscard]] std::array<std::vector<JunctionFigureGene>, 4> junctionFigureGenes(
    const std::array<JunctionGenes, 4>& genes);

}  // namespace tessaron
