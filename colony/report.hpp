#pragma once

#include <cstdint>

#include "colony/colony_state.hpp"
#include "colony/observer.hpp"
#include "model/score.hpp"

// The console report, written to standard output; scores print with six decimals.

// Holds the whole report in one buffer of the program's own, so that it reaches standard output
// in one write when finishOutput flushes it, whatever buffer the C library would choose: a reader
// that leaves after the first bytes has then received the report whole. Called before anything
// is printed.
void beginReport();

// The score of the suite in its given order, on the report's first line.
void printInitialLine(float score);

// One iteration's best score; each such line begins with its own newline.
void printIterationLine(std::int32_t iteration, float score);

// The search's observer that prints each iteration's line once the iteration has selected its
// best ant.
struct ConsoleReport : SilentObserver {};
void onIterationEnd(ConsoleReport& report, std::int32_t iteration, const ColonyState& colony);

// The heading of the final solution, then the tour.
void printFinalSolution(const Tour& tour);

// A tour's six tests, 1-based, each followed by " - ", with no newline at the end.
void printSolution(const Tour& tour);

// Flushes standard output. When any of what `program` wrote there, its `output`, could not be
// written, says why on standard error and returns false.
bool finishOutput(const char* program, const char* output);

// Keeps the console open until the user presses Enter; end of input ends the wait as well.
void waitForKey();
