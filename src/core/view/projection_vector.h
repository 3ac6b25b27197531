#pragma once

#include <string>
#include <vector>

#include "data/point_table.h"
#include "view/projection.h"

namespace globeview {

// The projection of the whole table, a vector of entries at a time, on the best instruction set
// this processor has: every usable entry's fields, as ProjectPoint gives them.
void ProjectTable(PointTable& table, const ProjectionFrame& frame);
// The screen position of every entry but 0 from its az and el, as PlacePoint gives it.
void PlaceTable(PointTable& table, const ScreenFrame& screen);

// The instruction set the two functions above run on, chosen for this processor at the first call
// ("AVX3" for AVX-512, "AVX2", "SSE4", "SCALAR").
const char* ProjectionTarget();

// The instruction sets built in that this processor has, best first.
std::vector<std::string> ProjectionTargets();
// Makes the two functions run on the named one of those (empty: the best again), so each can be
// checked; false when this processor cannot run it.
bool UseProjectionTarget(const std::string& name);

}  // namespace globeview
