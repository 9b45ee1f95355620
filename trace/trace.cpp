#include "trace/trace.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "colony/search.hpp"
#include "common/constants.hpp"
#include "common/parameters.hpp"
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

// The trace's text as it is written, and whether every number in it is finite: JSON has no
// infinity and no NaN, so a document that met one is never written out.
struct Json {
    std::string text;
    bool finite = true;
};

// Room for one iteration's text, so that the document grows a few times at most, and for the
// text of any one number.
constexpr std::size_t ITERATION_TEXT_SIZE = 8192;
constexpr std::size_t NUMBER_TEXT_SIZE = 32;

// The search's observer that writes the trace into `out`: it gathers each iteration as the search
// tells its steps, and writes it once the iteration's global update is done. The numbers of the
// choice being made wait in `weights` and `cityFaults` until the move that follows them.
struct TraceWriter {
    Json* out;
    SearchParameters parameters;
    IterationRecord record;
    std::array<float, N_TESTS> weights;
    bool faultsCounted;
    CitiesFaults cityFaults;
};

// `value` with the printf conversion `format`, or where it is not finite, nothing, and the
// document marked as not to be written.
void writeFinite(Json& out, const char* format, double value) {
    if (!std::isfinite(value)) {
        out.finite = false;
        return;
    }
    std::array<char, NUMBER_TEXT_SIZE> digits{};
    const int length = std::snprintf(digits.data(), digits.size(), format, value);
    out.text.append(digits.data(), static_cast<std::size_t>(length));
}

// A float as nine significant digits, which read back as the same single-precision value.
void writeFloat(Json& out, float value) {
    writeFinite(out, "%.9g", static_cast<double>(value));
}

// A double as seventeen significant digits, which read back as the same value.
void writeDouble(Json& out, double value) {
    writeFinite(out, "%.17g", value);
}

void writeInt(Json& out, std::int64_t value) {
    std::array<char, NUMBER_TEXT_SIZE> digits{};
    auto* const end = std::to_chars(digits.begin(), digits.end(), value).ptr;
    out.text.append(digits.begin(), end);
}

// A test, an ant or a fault, numbered from 1.
void writeNumber(Json& out, std::int32_t index) {
    writeInt(out, index + 1);
}

void writeText(Json& out, const char* text) {
    out.text += text;
}

// The items of `values` as a JSON list, each written by `writeItem`.
template <class Values, class WriteItem>
void writeList(Json& out, const Values& values, WriteItem writeItem) {
    out.text += '[';
    bool first = true;
    for (const auto& value : values) {
        if (!first) {
            out.text += ',';
        }
        first = false;
        writeItem(out, value);
    }
    out.text += ']';
}

// A table of rows as a list of lists, each item written by `writeItem`.
template <class Table, class WriteItem>
void writeTable(Json& out, const Table& table, WriteItem writeItem) {
    writeList(out, table,
              [writeItem](Json& json, const auto& row) { writeList(json, row, writeItem); });
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

const char* keepName(Keep keep) {
    return keep == Keep::Smallest ? "smallest" : "largest";
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

void writeInstance(Json& out, const CostTable& cost, float cycle) {
    writeText(out, R"("instance":{"faultMatrix":)");
    writeTable(out, faultMatrix, writeInt);
    writeText(out, R"(,"execTime":)");
    writeList(out, execTime, writeFloat);
    writeText(out, R"(,"cost":)");
    writeTable(out, cost, writeFloat);
    writeText(out, R"(,"referenceTour":)");
    writeList(out, REFERENCE_CYCLE, writeNumber);
    writeText(out, R"(,"referenceCycle":)");
    writeFloat(out, cycle);
    writeText(out, R"(,"scoreRange":)");
    writeList(out, scoreRange(), writeFloat);
    writeText(out, R"(,"scoreDivisors":)");
    writeList(out, std::array<float, 2>{POSITION_DIVISOR, OFFSET_DIVISOR}, writeFloat);
    out.text += '}';
}

// The search's parameters, the random source's among them: the engine's multiplier and modulus,
// and the shift that makes a draw of its value.
void writeParameters(Json& out, const SearchParameters& parameters) {
    using Engine = decltype(RandomSource::engine);
    writeText(out, R"("parameters":{"seed":)");
    writeInt(out, parameters.seed);
    writeText(out, R"(,"generator":{"multiplier":)");
    writeInt(out, Engine::multiplier);
    writeText(out, R"(,"modulus":)");
    writeInt(out, Engine::modulus);
    writeText(out, R"(,"shift":)");
    writeInt(out, DRAW_SHIFT);
    writeText(out, R"(},"ants":)");
    writeInt(out, N_ANTS);
    writeText(out, R"(,"iterations":)");
    writeInt(out, parameters.iterations);
    writeText(out, R"(,"q0":)");
    writeDouble(out, parameters.q0);
    writeText(out, R"(,"randLimit":)");
    writeInt(out, static_cast<std::int32_t>(RAND_LIMIT));
    writeText(out, R"(,"rho":)");
    writeDouble(out, parameters.rho);
    writeText(out, R"(,"keep":")");
    writeText(out, keepName(parameters.keep));
    writeText(out, R"("})");
}

void onSearchStart(TraceWriter& writer, const ColonyState& colony, const CostTable& cost,
                   float cycle) {
    Json& out = *writer.out;
    out.text.reserve(ITERATION_TEXT_SIZE * static_cast<std::size_t>(writer.parameters.iterations));
    out.text += '{';
    writeInstance(out, cost, cycle);
    out.text += ',';
    writeParameters(out, writer.parameters);
    writeText(out, R"(,"tau0":)");
    writeFloat(out, colony.tau0);
    writeText(out, R"(,"initialScore":)");
    writeFloat(out, orderScore(GIVEN_ORDER));
    writeText(out, R"(,"iterations":[)");
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
void writeStartDraws(Json& out, const std::vector<StartDraw>& draws) {
    writeText(out, R"("startDraws":)");
    writeList(out, draws, [](Json& json, const StartDraw& d) { writeInt(json, d.draw); });
    writeText(out, R"(,"startPicks":)");
    writeList(out, draws, [](Json& json, const StartDraw& d) { writeNumber(json, d.test); });
    writeText(out, R"(,"startAnts":)");
    writeList(out, draws, [](Json& json, const StartDraw& d) { writeNumber(json, d.ant); });
    writeText(out, R"(,"startHolders":)");
    writeList(out, draws, [](Json& json, const StartDraw& d) {
        if (d.holder == NO_HOLDER) {
            writeText(json, "null");
        } else {
            writeNumber(json, d.holder);
        }
    });
}

void writeMove(Json& out, std::int32_t ant, const MoveRecord& record) {
    writeText(out, R"({"ant":)");
    writeNumber(out, ant);
    writeText(out, R"(,"from":)");
    writeNumber(out, record.from);
    writeText(out, R"(,"to":)");
    writeNumber(out, record.move.to);
    writeText(out, R"(,"taken":)");
    writeList(out, record.taken, writeNumber);
    if (record.move.rule != Rule::Home) {
        writeText(out, R"(,"draw":)");
        writeInt(out, record.move.draw);
        writeText(out, R"(,"rule":")");
        writeText(out, ruleName(record.move.rule));
        writeText(out, R"(","q":)");
        writeFloat(out, record.move.q);
        writeText(out, R"(,"weights":)");
        writeList(out, record.weights, writeFloat);
    } else {
        writeText(out, R"(,"draw":null,"rule":"home","q":null,"weights":null)");
    }
    writeText(out, R"(,"newFaults":)");
    if (record.faultsCounted) {
        writeList(out, record.cityFaults,
                  [](Json& json, const CityFaults& faults) { writeInt(json, faults.newFaults); });
    } else {
        writeText(out, "null");
    }
    writeText(out, R"(,"detected":)");
    writeList(out, record.detected, writeInt);
    out.text += '}';
}

void writePass(Json& out, const PassRecord& pass) {
    writeText(out, R"({"moves":[)");
    for (std::int32_t k = 0; k < N_ANTS; ++k) {
        if (k > 0) {
            out.text += ',';
        }
        writeMove(out, k, pass.moves[k]);
    }
    writeText(out, R"(],"pheromone":)");
    writeTable(out, pass.pheromone, writeFloat);
    out.text += '}';
}

void writeIteration(Json& out, const IterationRecord& record) {
    writeText(out, R"({"iteration":)");
    writeInt(out, record.iteration);
    writeText(out, R"(,"pheromoneAtStart":)");
    writeTable(out, record.pheromoneAtStart, writeFloat);
    out.text += ',';
    writeStartDraws(out, record.startDraws);
    writeText(out, R"(,"starts":)");
    writeList(out, record.starts, writeNumber);
    writeText(out, R"(,"passes":)");
    writeList(out, record.passes, writePass);
    writeText(out, R"(,"tours":)");
    writeTable(out, record.tours, writeNumber);
    writeText(out, R"(,"scores":)");
    writeList(out, record.derivations,
              [](Json& json, const ScoreDerivation& d) { writeFloat(json, d.score); });
    writeText(out, R"(,"kept":)");
    writeNumber(out, record.kept);
    writeText(out, R"(,"firstFound":)");
    writeList(out, record.derivations, [](Json& json, const ScoreDerivation& d) {
        writeList(json, d.firstFound, writeInt);
    });
    writeText(out, R"(,"positionSums":)");
    writeList(out, record.derivations,
              [](Json& json, const ScoreDerivation& d) { writeFloat(json, d.positionSum); });
    writeText(out, R"(,"reinforced":)");
    writeTable(out, record.reinforced, writeNumber);
    writeText(out, R"(,"deposit":)");
    writeDouble(out, record.deposit);
    writeText(out, R"(,"pheromone":)");
    writeTable(out, record.pheromone, writeFloat);
    out.text += '}';
}

void onGlobalUpdate(TraceWriter& writer, const ColonyState& colony) {
    writer.record.pheromone = colony.pheromone;
    writeText(*writer.out, writer.record.iteration > 1 ? ",\n" : "\n");
    writeIteration(*writer.out, writer.record);
}

}  // namespace

bool writeTrace(std::FILE* file, const SearchParameters& parameters) {
    RandomSource random{};
    CostTable cost{};
    ColonyState colony{};
    Json out;
    TraceWriter writer{};
    writer.out = &out;
    writer.parameters = parameters;
    runSearch(colony, cost, random, parameters, writer);
    writeText(out, "\n]}\n");
    if (!out.finite) {
        return false;
    }
    std::fwrite(out.text.data(), 1, out.text.size(), file);
    return true;
}
