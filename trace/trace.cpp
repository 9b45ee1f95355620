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

// A draw of the start assignment: the ant it was for, the draw, the test it names, and the ant
// that already starts on that test, so that it is drawn again, or NO_HOLDER.
inline constexpr std::int32_t NO_HOLDER = -1;
struct StartDraw {
    std::int32_t ant;
    std::int32_t draw;
    std::int32_t test;
    std::int32_t holder;
};

// A move, with the numbers the choice was made from and what the ant had before it.
struct MoveRecord {
    std::int32_t from;
    Move move;
    std::vector<std::int32_t> taken;
    std::array<float, N_TESTS> weights;
    bool faultsCounted;
    CitiesFaults cityFaults;
    std::array<std::int32_t, N_FAULTS> detected;
};

// A pass: every ant's move, then the pheromone table after its local update.
struct PassRecord {
    std::array<MoveRecord, N_ANTS> moves;
    PheromoneTable pheromone;
};

// An iteration as the trace writes it, gathered while it runs.
struct IterationRecord {
    std::int32_t iteration;
    PheromoneTable pheromoneAtStart;
    std::vector<StartDraw> startDraws;
    std::array<std::int32_t, N_ANTS> starts;
    std::array<PassRecord, N_TESTS> passes;
    std::int32_t passCount;
    TourTable tours;
    std::array<ScoreDerivation, N_ANTS> derivations;
    std::int32_t kept;
    std::array<std::array<std::int32_t, 2>, N_TESTS> reinforced;
    std::int32_t reinforcedCount;
    double deposit;
    PheromoneTable pheromone;
};

// The search's observer that writes the trace to `out`: it gathers each iteration as the search
// tells its steps, and writes it once the iteration's global update is done. The numbers of the
// choice being made wait in `weights` and `cityFaults` until the move that follows them.
struct TraceWriter {
    std::FILE* out;
    IterationRecord record;
    std::array<float, N_TESTS> weights;
    bool faultsCounted;
    CitiesFaults cityFaults;
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
    std::fputs(R"(,"referenceTour":)", out);
    writeList(out, REFERENCE_CYCLE, writeNumber);
    std::fputs(R"(,"referenceCycle":)", out);
    writeFloat(out, cycle);
    std::fputs(R"(,"scoreRange":)", out);
    writeList(out, scoreRange(), writeFloat);
    std::fputs(R"(,"scoreDivisors":)", out);
    writeList(out, std::array<float, 2>{POSITION_DIVISOR, OFFSET_DIVISOR}, writeFloat);
    std::fputc('}', out);
}

// The search's parameters, the random source's among them: the engine's multiplier and modulus,
// and the shift that makes a draw of its value.
void writeParameters(std::FILE* out) {
    using Engine = decltype(RandomSource::engine);
    std::fprintf(out,
                 R"("parameters":{"seed":%u,"generator":{"multiplier":%lu,"modulus":%lu,)"
                 R"("shift":%u},"ants":%d,"iterations":%d,"q0":)",
                 static_cast<unsigned>(RNG_SEED), static_cast<unsigned long>(Engine::multiplier),
                 static_cast<unsigned long>(Engine::modulus), DRAW_SHIFT, static_cast<int>(N_ANTS),
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

void onIterationStart(TraceWriter& writer, std::int32_t iteration, const ColonyState& colony) {
    writer.record = IterationRecord{};
    writer.record.iteration = iteration;
    writer.record.pheromoneAtStart = colony.pheromone;
}

void onStartDraw(TraceWriter& writer, const ColonyState& colony, std::int32_t ant,
                 std::int32_t draw, std::int32_t test) {
    std::int32_t holder = NO_HOLDER;
    for (std::int32_t k = 0; k < ant; ++k) {
        if (colony.startTest[k] == test) {
            holder = k;
        }
    }
    writer.record.startDraws.push_back(StartDraw{ant, draw, test, holder});
}

void onStartsAssigned(TraceWriter& writer, const ColonyState& colony) {
    writer.record.starts = colony.startTest;
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
    MoveRecord& record = writer.record.passes[writer.record.passCount].moves[ant];
    const auto taken = static_cast<std::size_t>(
        std::count(colony.visited[ant].begin(), colony.visited[ant].end(), 1));
    record = MoveRecord{from,
                        move,
                        {colony.tour[ant].begin(), colony.tour[ant].begin() + taken},
                        writer.weights,
                        move.rule == Rule::Faults && writer.faultsCounted,
                        writer.cityFaults,
                        colony.detected[ant]};
    writer.faultsCounted = false;
}

void onPassEnd(TraceWriter& writer, const ColonyState& colony) {
    writer.record.passes[writer.record.passCount].pheromone = colony.pheromone;
    ++writer.record.passCount;
}

void onTourScored(TraceWriter& writer, std::int32_t ant, const ScoreDerivation& derivation,
                  bool best) {
    writer.record.derivations[ant] = derivation;
    if (best) {
        writer.record.kept = ant;
    }
}

void onIterationEnd(TraceWriter& writer, std::int32_t /*iteration*/, const ColonyState& colony) {
    writer.record.tours = colony.tour;
}

void onEdgeReinforced(TraceWriter& writer, std::int32_t from, std::int32_t to, double deposit) {
    writer.record.reinforced[writer.record.reinforcedCount] = {from, to};
    ++writer.record.reinforcedCount;
    writer.record.deposit = deposit;
}

// The start draws, as lists of one member each: the draws, the tests they name, the ants they
// were for, and the ant that held each test drawn again (null for a start taken).
void writeStartDraws(std::FILE* out, const std::vector<StartDraw>& draws) {
    std::fputs(R"("startDraws":)", out);
    writeList(out, draws, [](std::FILE* file, const StartDraw& d) { writeInt(file, d.draw); });
    std::fputs(R"(,"startPicks":)", out);
    writeList(out, draws, [](std::FILE* file, const StartDraw& d) { writeNumber(file, d.test); });
    std::fputs(R"(,"startAnts":)", out);
    writeList(out, draws, [](std::FILE* file, const StartDraw& d) { writeNumber(file, d.ant); });
    std::fputs(R"(,"startHolders":)", out);
    writeList(out, draws, [](std::FILE* file, const StartDraw& d) {
        if (d.holder == NO_HOLDER) {
            std::fputs("null", file);
        } else {
            writeNumber(file, d.holder);
        }
    });
}

void writeMove(std::FILE* out, std::int32_t ant, const MoveRecord& record) {
    std::fprintf(out, R"({"ant":%d,"from":%d,"to":%d,"taken":)", static_cast<int>(ant + 1),
                 static_cast<int>(record.from + 1), static_cast<int>(record.move.to + 1));
    writeList(out, record.taken, writeNumber);
    if (record.move.rule != Rule::Home) {
        std::fprintf(out, R"(,"draw":%d,"rule":"%s","q":)", static_cast<int>(record.move.draw),
                     ruleName(record.move.rule));
        writeFloat(out, record.move.q);
        std::fputs(R"(,"weights":)", out);
        writeList(out, record.weights, writeFloat);
    } else {
        std::fputs(R"(,"draw":null,"rule":"home","q":null,"weights":null)", out);
    }
    std::fputs(R"(,"newFaults":)", out);
    if (record.faultsCounted) {
        writeList(out, record.cityFaults, [](std::FILE* file, const CityFaults& faults) {
            writeInt(file, faults.newFaults);
        });
    } else {
        std::fputs("null", out);
    }
    std::fputs(R"(,"detected":)", out);
    writeList(out, record.detected, writeInt);
    std::fputc('}', out);
}

void writePass(std::FILE* out, const PassRecord& pass) {
    std::fputs(R"({"moves":[)", out);
    for (std::int32_t k = 0; k < N_ANTS; ++k) {
        if (k > 0) {
            std::fputc(',', out);
        }
        writeMove(out, k, pass.moves[k]);
    }
    std::fputs(R"(],"pheromone":)", out);
    writeTable(out, pass.pheromone, writeFloat);
    std::fputc('}', out);
}

void writeIteration(std::FILE* out, const IterationRecord& record) {
    std::fprintf(out, R"({"iteration":%d,"pheromoneAtStart":)", static_cast<int>(record.iteration));
    writeTable(out, record.pheromoneAtStart, writeFloat);
    std::fputc(',', out);
    writeStartDraws(out, record.startDraws);
    std::fputs(R"(,"starts":)", out);
    writeList(out, record.starts, writeNumber);
    std::fputs(R"(,"passes":)", out);
    writeList(out, record.passes, writePass);
    std::fputs(R"(,"tours":)", out);
    writeTable(out, record.tours, writeNumber);
    std::fputs(R"(,"scores":)", out);
    writeList(out, record.derivations,
              [](std::FILE* file, const ScoreDerivation& d) { writeFloat(file, d.score); });
    std::fputs(R"(,"kept":)", out);
    writeNumber(out, record.kept);
    std::fputs(R"(,"firstFound":)", out);
    writeList(out, record.derivations, [](std::FILE* file, const ScoreDerivation& d) {
        writeList(file, d.firstFound, writeInt);
    });
    std::fputs(R"(,"positionSums":)", out);
    writeList(out, record.derivations,
              [](std::FILE* file, const ScoreDerivation& d) { writeFloat(file, d.positionSum); });
    std::fputs(R"(,"reinforced":)", out);
    writeTable(out, record.reinforced, writeNumber);
    std::fputs(R"(,"deposit":)", out);
    writeDouble(out, record.deposit);
    std::fputs(R"(,"pheromone":)", out);
    writeTable(out, record.pheromone, writeFloat);
    std::fputc('}', out);
}

void onGlobalUpdate(TraceWriter& writer, const ColonyState& colony) {
    writer.record.pheromone = colony.pheromone;
    std::fputs(writer.record.iteration > 1 ? ",\n" : "\n", writer.out);
    writeIteration(writer.out, writer.record);
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
