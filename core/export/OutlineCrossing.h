#pragma once

#include <optional>
#include <vector>

// A point of a profile in its own plane: X from the axis, Y up the design.
struct OutlinePoint {
    double x, y;
};

// Where closed outlines (each point joined to the next, the last to the
// first) cross or touch themselves or each other: the height of a point they
// share beyond the joints of neighbouring edges, or nothing when each outline
// is simple and they are apart. An edge turning straight back along the one
// before also counts. Repeated points are allowed.
std::optional<double> CrossingHeight(const std::vector<std::vector<OutlinePoint>>& outlines);
