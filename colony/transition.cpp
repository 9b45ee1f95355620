#include "colony/transition.hpp"

#include <algorithm>

bool hasUnvisited(const ColonyState& colony, std::int32_t ant) {
    const auto& visited = colony.visited[ant];
    return std::any_of(visited.begin(), visited.end(), [](std::int32_t v) { return v == 0; });
}
