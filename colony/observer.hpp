#pragma once

#include <array>
#include <cstdint>

#include "colony/colony_state.hpp"
#include "colony/transition.hpp"
#include "common/constants.hpp"
#include "model/instance.hpp"
#include "model/score.hpp"

// The search tells an observer each of its steps, with the numbers it took it from, through free
// functions of the observer's type, found by argument-dependent lookup:
//   onSearchStart(observer, colony, cost, cycle)   once the colony is set up from the cost table
//                                                  and the reference cycle's cost;
//   onIterationStart(observer, iteration, colony)  before each iteration, numbered from 1;
//   onStartDraw(observer, colony, ant, draw, test) each draw of the start assignment, for `ant`,
//                                                  and the test it names, redraws too, before
//                                                  the colony takes it;
//   onStartsAssigned(observer, colony)             once every ant has its start;
//   onTrailsWeighed(observer, weights)             each choice's row of weights, before its draw;
//   onFaultsCounted(observer, cityFaults)          each exploring choice's counts of new faults;
//   onMove(observer, colony, ant, from, move)      each ant's move of a pass, ants in order, before
//                                                  the colony takes it;
//   onPassEnd(observer, colony)                    after each pass and its local update;
//   onTourScored(observer, ant, derivation, best)  each tour's score as the selection derives it;
//   onIterationEnd(observer, iteration, colony)    once the iteration has selected its best ant;
//   onEdgeReinforced(observer, from, to, deposit)  each edge the global update pulls towards
//                                                  `deposit`, in order;
//   onGlobalUpdate(observer, colony)               after the global update.
// SilentObserver hears nothing: its functions are empty, so a search it observes compiles to what
// it would be without them. An observer that hears only some steps derives from it and declares
// the functions of those steps for its own type.
struct SilentObserver : SilentScoring {};
inline void onSearchStart(SilentObserver& /*observer*/, const ColonyState& /*colony*/,
                          const CostTable& /*cost*/, float /*cycle*/) {}
inline void onIterationStart(SilentObserver& /*observer*/, std::int32_t /*iteration*/,
                             const ColonyState& /*colony*/) {}
inline void onStartDraw(SilentObserver& /*observer*/, const ColonyState& /*colony*/,
                        std::int32_t /*ant*/, std::int32_t /*draw*/, std::int32_t /*test*/) {}
inline void onStartsAssigned(SilentObserver& /*observer*/, const ColonyState& /*colony*/) {}
inline void onTrailsWeighed(SilentObserver& /*observer*/,
                            const std::array<float, N_TESTS>& /*weights*/) {}
inline void onFaultsCounted(SilentObserver& /*observer*/, const CitiesFaults& /*cityFaults*/) {}
inline void onMove(SilentObserver& /*observer*/, const ColonyState& /*colony*/,
                   std::int32_t /*ant*/, std::int32_t /*from*/, const Move& /*move*/) {}
inline void onPassEnd(SilentObserver& /*observer*/, const ColonyState& /*colony*/) {}
inline void onIterationEnd(SilentObserver& /*observer*/, std::int32_t /*iteration*/,
                           const ColonyState& /*colony*/) {}
inline void onEdgeReinforced(SilentObserver& /*observer*/, std::int32_t /*from*/,
                             std::int32_t /*to*/, double /*deposit*/) {}
inline void onGlobalUpdate(SilentObserver& /*observer*/, const ColonyState& /*colony*/) {}
