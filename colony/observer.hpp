#pragma once

#include <cstdint>

#include "colony/colony_state.hpp"
#include "colony/transition.hpp"

// The search tells an observer each of its steps as it takes it, through free functions of the
// observer's type, found by argument-dependent lookup:
//   onSearchStart(observer, colony)             once the colony is set up;
//   onIterationStart(observer, iteration)       before each iteration, numbered from 1;
//   onStartDraw(observer, draw)                 each draw of the start assignment, redraws too;
//   onStartsAssigned(observer, colony)          once every ant has its start;
//   onMove(observer, ant, from, move)           each ant's move of a pass, ants in order;
//   onPassEnd(observer, colony)                 after each pass and its local update;
//   onIterationEnd(observer, iteration, colony) once the iteration has selected its best ant;
//   onGlobalUpdate(observer, colony)            after the global update along that ant's tour.
// SilentObserver hears nothing: its functions are empty, so a search it observes compiles to what
// it would be without them. An observer that hears only some steps derives from it and declares
// the functions of those steps for its own type.
struct SilentObserver {};
inline void onSearchStart(SilentObserver& /*observer*/, const ColonyState& /*colony*/) {}
inline void onIterationStart(SilentObserver& /*observer*/, std::int32_t /*iteration*/) {}
inline void onStartDraw(SilentObserver& /*observer*/, std::int32_t /*draw*/) {}
inline void onStartsAssigned(SilentObserver& /*observer*/, const ColonyState& /*colony*/) {}
inline void onMove(SilentObserver& /*observer*/, std::int32_t /*ant*/, std::int32_t /*from*/,
                   const Move& /*move*/) {}
inline void onPassEnd(SilentObserver& /*observer*/, const ColonyState& /*colony*/) {}
inline void onIterationEnd(SilentObserver& /*observer*/, std::int32_t /*iteration*/,
                           const ColonyState& /*colony*/) {}
inline void onGlobalUpdate(SilentObserver& /*observer*/, const ColonyState& /*colony*/) {}
