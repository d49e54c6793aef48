// orv-layout: edge lengths, the total edge length and the swap estimate.
#pragma once

#include "graph.hpp"

namespace layout {

// A swap estimate: the total after trading two cells, counting the edges both vertices list
// (e0) or only those of the vertex on the cell with the larger diagonal index (e1).
struct Estimate {
    double e0 = 0;
    double e1 = 0;
};

// The outcome of one vertex's partner scan in an improvement pass: the best estimate and its
// position in `vrcholy_sorted` (-1 when no candidate beat the starting pair).
struct Choice {
    Estimate sum_max;
    int partner = -1;
};

// Distance between the cells of two vertices; 0 when either is absent.
double vzdalenost(const vrchol* a, const vrchol* b);

// Distance between the points (x1, y1) and (x2, y2).
double vzdalenostxy(double x1, double y1, double x2, double y2);

// Square root by Newton's iteration; 0 at or below 0. Kept for completeness: the distances use
// the correctly rounded std::sqrt, which this one must not replace.
double sqrt(double v);

// Total length of the listed edges; an edge listed by both ends counts twice.
double get_total_sum(const Graph& g);

// Estimates the total if the vertices on cells (x1, y1) and (x2, y2) traded places.
Estimate checkswitch(const Graph& g, int x1, int y1, int x2, int y2);

}  // namespace layout
