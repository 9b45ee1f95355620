#pragma once

#include <cstdio>

#include "common/parameters.hpp"

// The trace: the search move by move, with every number each decision was made from, as one JSON
// document. trace/antorder-trace.schema.json describes every member, its type and its range.
// Tests, ants and faults are numbered from 1, as the report numbers tests; every float is written
// with nine significant digits and every double with seventeen, which read back as the same value.

// Runs the whole search with `parameters` and writes its trace to `file`, whole, once the search
// has ended. Returns false, having written nothing, where the search reached a number that is not
// finite, which JSON cannot hold.
bool writeTrace(std::FILE* file, const SearchParameters& parameters);
