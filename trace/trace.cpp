#include "trace/trace.hpp"

#include <algorithm>
#include <iterator>

#include "colony/search.hpp"
#include "common/random_source.hpp"
#include "model/instance.hpp"
#include "model/score.hpp"

namespace {

// The search's observer that writes the trace to `out`. It counts what it has written of the
// lists it is in, to put a comma before every item but the first.
struct TraceWriter {
    std::FILE* out;
    std::int32_t startDraws;
    std::int32_t passes;
    std::int32_t moves;
};

// A float as nine significant digits, widened to double for printf.
void writeFloat(std::FILE* out, float value) {
    std::fprintf(out, "%.9g", static_cast<double>(value));
}

// A test or an ant, numbered from 1.
void writeNumber(std::FILE* out, std::int32_t index) {
    std::fprintf(out, "%d", static_cast<int>(index + 1));
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

void writePheromone(std::FILE* out, const PheromoneTable& pheromone) {
    writeList(out, pheromone,
              [](std::FILE* file, const auto& row) { writeList(file, row, writeFloat); });
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

// The ant whose tour the selection copied into bestTour. The ants start on different tests, so
// one tour alone matches.
std::int32_t keptAnt(const ColonyState& colony) {
    return static_cast<std::int32_t>(std::distance(
        colony.tour.begin(), std::find(colony.tour.begin(), colony.tour.end(), colony.bestTour)));
}

void onSearchStart(TraceWriter& writer, const ColonyState& colony) {
    std::fputs(R"({"tau0":)", writer.out);
    writeFloat(writer.out, colony.tau0);
    std::fputs(R"(,"initialScore":)", writer.out);
    writeFloat(writer.out, orderScore(GIVEN_ORDER));
    std::fputs(R"(,"iterations":[)", writer.out);
}

void onIterationStart(TraceWriter& writer, std::int32_t iteration) {
    std::fprintf(writer.out, "%s\n{\"iteration\":%d,\"startDraws\":[", iteration > 1 ? "," : "",
                 static_cast<int>(iteration));
    writer.startDraws = 0;
    writer.passes = 0;
    writer.moves = 0;
}

void onStartDraw(TraceWriter& writer, std::int32_t draw) {
    std::fprintf(writer.out, "%s%d", writer.startDraws > 0 ? "," : "", static_cast<int>(draw));
    ++writer.startDraws;
}

void onStartsAssigned(TraceWriter& writer, const ColonyState& colony) {
    std::fputs(R"(],"starts":)", writer.out);
    writeList(writer.out, colony.startTest, writeNumber);
    std::fputs(R"(,"passes":[)", writer.out);
}

void onMove(TraceWriter& writer, std::int32_t ant, std::int32_t from, const Move& move) {
    if (writer.moves == 0) {
        std::fputs(writer.passes > 0 ? R"(,{"moves":[)" : R"({"moves":[)", writer.out);
    } else {
        std::fputc(',', writer.out);
    }
    std::fprintf(writer.out, R"({"ant":%d,"from":%d,"to":%d,"draw":)", static_cast<int>(ant + 1),
                 static_cast<int>(from + 1), static_cast<int>(move.to + 1));
    if (move.draw == NO_DRAW) {
        std::fputs("null", writer.out);
    } else {
        std::fprintf(writer.out, "%d", static_cast<int>(move.draw));
    }
    std::fprintf(writer.out, R"(,"rule":"%s"})", ruleName(move.rule));
    ++writer.moves;
}

void onPassEnd(TraceWriter& writer, const ColonyState& colony) {
    std::fputs(R"(],"pheromone":)", writer.out);
    writePheromone(writer.out, colony.pheromone);
    std::fputc('}', writer.out);
    ++writer.passes;
    writer.moves = 0;
}

void onIterationEnd(TraceWriter& writer, std::int32_t /*iteration*/, const ColonyState& colony) {
    std::fputs(R"(],"tours":)", writer.out);
    writeList(writer.out, colony.tour,
              [](std::FILE* out, const Tour& tour) { writeList(out, tour, writeNumber); });
    std::fputs(R"(,"scores":)", writer.out);
    writeList(writer.out, colony.tour,
              [](std::FILE* out, const Tour& tour) { writeFloat(out, orderScore(tour)); });
    std::fputs(R"(,"kept":)", writer.out);
    writeNumber(writer.out, keptAnt(colony));
}

void onGlobalUpdate(TraceWriter& writer, const ColonyState& colony) {
    std::fputs(R"(,"pheromone":)", writer.out);
    writePheromone(writer.out, colony.pheromone);
    std::fputc('}', writer.out);
}

}  // namespace

void writeTrace(std::FILE* out) {
    RandomSource random{};
    CostTable cost{};
    ColonyState colony{};
    TraceWriter writer{out, 0, 0, 0};
    runSearch(colony, cost, random, writer);
    std::fputs("\n]}\n", out);
}
