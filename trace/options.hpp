#pragma once

#include <cstdio>
#include <string_view>

#include "common/parameters.hpp"

// What antorder-trace's command line asks for: a trace, with the search's parameters; its usage;
// its version; or nothing, because an argument was refused.
enum class Request { Trace, Help, Version, Refused };

// Why an argument was refused: it is no option; it is --help or --version, given a value; it is
// an option whose value is missing; or its value is not one the option accepts.
enum class Refusal { NotAnOption, NoValueTaken, ValueMissing, ValueRefused };

// The command line read: what it asks for, the parameters it gives, and where it was refused,
// why, the argument or the option refused, and the value.
struct TraceCommand {
    Request request;
    SearchParameters parameters;
    Refusal refusal;
    std::string_view argument;
    std::string_view value;
};

// Reads the `count` arguments after the program's name, left to right, and stops at the first
// that is refused, or at --help or --version. Each option but those two takes a value, after it
// or after "=" (--seed 7, --seed=7); an option given again replaces its earlier value. Without
// options the parameters are antorder's own.
TraceCommand readCommandLine(int count, const char* const* arguments);

// Writes to `out` the one line that says why the command line was refused and what is accepted.
void printRefusal(std::FILE* out, const TraceCommand& command);

// Writes the usage that --help prints to `out`.
void printUsage(std::FILE* out);

// Writes the line that --version prints to `out`: "antorder-trace <version>".
void printVersion(std::FILE* out);
