#include "trace/trace.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "colony/search.hpp"
#include "common/constants.hpp"
#include "common/random_source.hpp"
#include "model/instance.hpp"
#include "model/score.hpp"

namespace {

// The search's observer that writes the trace to `out`. What a step tells before the trace has
// its place, it keeps until then: the tests the start draws name, the numbers of the choice being
// made, and the selection's derivations.
struct TraceWriter {
    std::FILE* out;
    std::vector<std::int32_t> startPicks;
    std::int32_t passes;
    std::int32_t moves;
    std::array<float, N_TESTS> weights;
    bool faultsCounted;
    CitiesFaults cityFaults;
    std::array<ScoreDerivation, N_ANTS> derivations;
    std::int32_t kept;
    std::int32_t reinforced;
    double deposit;
};

// A float as nine significant digits, which read back as the same single-precision value.
void writeFloat(std::FILE* out, float value) {
    std::fprintf(out, "%.9g", static_cast<double>(value));
}

// A double as seventeen significant digits, which read back as the same value.
void writeDouble(std::FILE* out, double value) {
    std::fprintf(out, "%.17g", value);
}

void writeInt(std::FILE* out, std::int32_t value) {
    std::fprintf(out, "%d", static_cast<int>(value));
}

// A test, an ant or a fault, numbered from 1.
void writeNumber(std::FILE* out, std::int32_t index) {
    writeInt(out, index + 1);
}

// The items of `values` as a JSON list, each written by `writeItem`.
template <class Values, class WriteItem>
void writeList(std::FILE* out, const Values& values, WriteItem writeItem) {
    std::fputc('[', out);
    bool first = true;
    for (const auto& value : values) {
        if (!first) {
            std::fputc(',', out);
        }
        first = false;
        writeItem(out, value);
    }
    std::fputc(']', out);
}

// A table of rows as a list of lists, each item written by `writeItem`.
template <class Table, class WriteItem>
void writeTable(std::FILE* out, const Table& table, WriteItem writeItem) {
    writeList(out, table,
              [writeItem](std::FILE* file, const auto& row) { writeList(file, row, writeItem); });
}

const char* ruleName(Rule rule) {
    switch (rule) {
        case Rule::Trail:
            return "trail";
        case Rule::Faults:
            return "faults";
        case Rule::Home:
            break;
    }
    return "home";
}

// The smallest and the largest score over every ordering of the suite.
std::array<float, 2> scoreRange() {
    std::array<std::int32_t, N_TESTS> order = GIVEN_ORDER;
    std::sort(order.begin(), order.end());
    std::array<float, 2> range{orderScore(order), orderScore(order)};
    while (std::next_permutation(order.begin(), order.end())) {
        const float score = orderScore(order);
        range = {std::min(range[0], score), std::max(range[1], score)};
    }
    return range;
}

void writeInstance(std::FILE* out, const CostTable& cost, float cycle) {
    std::fputs(R"("instance":{"faultMatrix":)", out);
    writeTable(out, faultMatrix, writeInt);
    std::fputs(R"(,"execTime":)", out);
    writeList(out, execTime, writeFloat);
    std::fputs(R"(,"cost":)", out);
    writeTable(out, cost, writeFloat);
    std::fputs(R"(,"referenceCycle":)", out);
    writeFloat(out, cycle);
    std::fputs(R"(,"scoreRange":)", out);
    writeList(out, scoreRange(), writeFloat);
    std::fputc('}', out);
}

void writeParameters(std::FILE* out) {
    std::fprintf(out, R"("parameters":{"seed":%u,"ants":%d,"iterations":%d,"q0":)",
                 static_cast<unsigned>(RNG_SEED), static_cast<int>(N_ANTS),
                 static_cast<int>(N_ITERATIONS));
    writeDouble(out, Q0);
    std::fprintf(out, R"(,"randLimit":%d,"rho":)", static_cast<int>(RAND_LIMIT));
    writeDouble(out, RHO);
    std::fputc('}', out);
}

void onSearchStart(TraceWriter& writer, const ColonyState& colony, const CostTable& cost,
                   float cycle) {
    std::fputc('{', writer.out);
    writeInstance(writer.out, cost, cycle);
    std::fputc(',', writer.out);
    writeParameters(writer.out);
    std::fputs(R"(,"tau0":)", writer.out);
    writeFloat(writer.out, colony.tau0);
    std::fputs(R"(,"initialScore":)", writer.out);
    writeFloat(writer.out, orderScore(GIVEN_ORDER));
    std::fputs(R"(,"iterations":[)", writer.out);
}

void onIterationStart(TraceWriter& writer, std::int32_t iteration) {
    std::fprintf(writer.out, "%s\n{\"iteration\":%d,\"startDraws\":[", iteration > 1 ? "," : "",
                 static_cast<int>(iteration));
    writer.startPicks.clear();
    writer.passes = 0;
    writer.moves = 0;
}

void onStartDraw(TraceWriter& writer, std::int32_t draw, std::int32_t test) {
    std::fprintf(writer.out, "%s%d", writer.startPicks.empty() ? "" : ",", static_cast<int>(draw));
    writer.startPicks.push_back(test);
}

void onStartsAssigned(TraceWriter& writer, const ColonyState& colony) {
    std::fputs(R"(],"startPicks":)", writer.out);
    writeList(writer.out, writer.startPicks, writeNumber);
    std::fputs(R"(,"starts":)", writer.out);
    writeList(writer.out, colony.startTest, writeNumber);
    std::fputs(R"(,"passes":[)", writer.out);
}

void onTrailsWeighed(TraceWriter& writer, const std::array<float, N_TESTS>& weights) {
    writer.weights = weights;
    writer.faultsCounted = false;
}

void onFaultsCounted(TraceWriter& writer, const CitiesFaults& cityFaults) {
    writer.cityFaults = cityFaults;
    writer.faultsCounted = true;
}

void onMove(TraceWriter& writer, const ColonyState& colony, std::int32_t ant, std::int32_t from,
            const Move& move) {
    if (writer.moves == 0) {
        std::fputs(writer.passes > 0 ? R"(,{"moves":[)" : R"({"moves":[)", writer.out);
    } else {
        std::fputc(',', writer.out);
    }
    std::fprintf(writer.out, R"({"ant":%d,"from":%d,"to":%d,)", static_cast<int>(ant + 1),
                 static_cast<int>(from + 1), static_cast<int>(move.to + 1));
    const bool drew = move.rule != Rule::Home;
    if (drew) {
        std::fprintf(writer.out, R"("draw":%d,"rule":"%s","q":)", static_cast<int>(move.draw),
                     ruleName(move.rule));
        writeFloat(writer.out, move.q);
        std::fputs(R"(,"weights":)", writer.out);
        writeList(writer.out, writer.weights, writeFloat);
    } else {
        std::fputs(R"("draw":null,"rule":"home","q":null,"weights":null)", writer.out);
    }
    std::fputs(R"(,"newFaults":)", writer.out);
    if (drew && writer.faultsCounted) {
        writeList(writer.out, writer.cityFaults, [](std::FILE* file, const CityFaults& record) {
            writeInt(file, record.newFaults);
        });
    } else {
        std::fputs("null", writer.out);
    }
    std::fputs(R"(,"detected":)", writer.out);
    writeList(writer.out, colony.detected[ant], writeInt);
    std::fputc('}', writer.out);
    writer.faultsCounted = false;
    ++writer.moves;
}

void onPassEnd(TraceWriter& writer, const ColonyState& colony) {
    std::fputs(R"(],"pheromone":)", writer.out);
    writeTable(writer.out, colony.pheromone, writeFloat);
    std::fputc('}', writer.out);
    ++writer.passes;
    writer.moves = 0;
}

void onTourScored(TraceWriter& writer, std::int32_t ant, const ScoreDerivation& derivation,
                  bool best) {
    writer.derivations[ant] = derivation;
    if (best) {
        writer.kept = ant;
    }
}

void onIterationEnd(TraceWriter& writer, std::int32_t /*iteration*/, const ColonyState& colony) {
    std::fputs(R"(],"tours":)", writer.out);
    writeTable(writer.out, colony.tour, writeNumber);
    std::fputs(R"(,"scores":)", writer.out);
    writeList(writer.out, writer.derivations,
              [](std::FILE* out, const ScoreDerivation& d) { writeFloat(out, d.score); });
    std::fputs(R"(,"kept":)", writer.out);
    writeNumber(writer.out, writer.kept);
    std::fputs(R"(,"firstFound":)", writer.out);
    writeList(writer.out, writer.derivations, [](std::FILE* out, const ScoreDerivation& d) {
        writeList(out, d.firstFound, writeInt);
    });
    std::fputs(R"(,"positionSums":)", writer.out);
    writeList(writer.out, writer.derivations,
              [](std::FILE* out, const ScoreDerivation& d) { writeFloat(out, d.positionSum); });
    std::fputs(R"(,"reinforced":[)", writer.out);
    writer.reinforced = 0;
}

void onEdgeReinforced(TraceWriter& writer, std::int32_t from, std::int32_t to, double deposit) {
    std::fprintf(writer.out, "%s[%d,%d]", writer.reinforced > 0 ? "," : "",
                 static_cast<int>(from + 1), static_cast<int>(to + 1));
    ++writer.reinforced;
    writer.deposit = deposit;
}

void onGlobalUpdate(TraceWriter& writer, const ColonyState& colony) {
    std::fputs(R"(],"deposit":)", writer.out);
    writeDouble(writer.out, writer.deposit);
    std::fputs(R"(,"pheromone":)", writer.out);
    writeTable(writer.out, colony.pheromone, writeFloat);
    std::fputc('}', writer.out);
}

}  // namespace

void writeTrace(std::FILE* out) {
    RandomSource random{};
    CostTable cost{};
    ColonyState colony{};
    TraceWriter writer{};
    writer.out = out;
    runSearch(colony, cost, random, writer);
    std::fputs("\n]}\n", out);
}
