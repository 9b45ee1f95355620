#include "trace/options.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <optional>

#include "common/random_source.hpp"

namespace {

// The values an option accepts: an integer or a decimal from `low` to `high`, above `low` where
// `low` is excluded; or a rule, one of RULES, whose index is its value.
enum class ValueKind { Integer, Decimal, Rule };

// An option that takes a value: its name and what stands for the value in the usage, what it
// sets, the values it accepts, and how it sets that value in the parameters and reads it back.
struct ValueOption {
    std::string_view name;
    std::string_view placeholder;
    std::string_view purpose;
    ValueKind kind;
    double low;
    double high;
    bool lowExcluded;
    void (*set)(SearchParameters& parameters, double value);
    double (*get)(const SearchParameters& parameters);
};

// Every seed from 1 to one below the generator's modulus starts a sequence of its own.
constexpr double MAX_SEED = static_cast<double>(decltype(RandomSource::engine)::modulus - 1);
constexpr double MAX_ITERATIONS = 1000.0;

// The two selection rules, as --keep names them, in the order of Keep.
constexpr std::array<std::string_view, 2> RULES{"smallest", "largest"};

constexpr std::array<ValueOption, 5> VALUE_OPTIONS{{
    {"--seed", "N", "the random source's seed", ValueKind::Integer, 1.0, MAX_SEED, false,
     [](SearchParameters& p, double value) { p.seed = static_cast<std::uint32_t>(value); },
     [](const SearchParameters& p) { return static_cast<double>(p.seed); }},
    {"--q0", "X", "a draw below this share of its limit follows the trail", ValueKind::Decimal, 0.0,
     1.0, false, [](SearchParameters& p, double value) { p.q0 = value; },
     [](const SearchParameters& p) { return p.q0; }},
    {"--rho", "X", "how far each pheromone update moves a level", ValueKind::Decimal, 0.0, 1.0,
     true, [](SearchParameters& p, double value) { p.rho = value; },
     [](const SearchParameters& p) { return p.rho; }},
    {"--iterations", "N", "how many iterations the search runs", ValueKind::Integer, 1.0,
     MAX_ITERATIONS, false,
     [](SearchParameters& p, double value) { p.iterations = static_cast<std::int32_t>(value); },
     [](const SearchParameters& p) { return static_cast<double>(p.iterations); }},
    {"--keep", "RULE", "which score each iteration keeps", ValueKind::Rule, 0.0, 1.0, false,
     [](SearchParameters& p, double value) { p.keep = static_cast<Keep>(value); },
     [](const SearchParameters& p) { return static_cast<double>(p.keep); }},
}};

// Numbers as the usage and the refusals write them: integers whole, decimals without trailing
// zeros.
constexpr const char* NUMBER = "%.10g";

// The most digits a decimal may have after its point: its digits as one integer, and the power of
// ten it is divided by, are then exact in double precision, and so the quotient is the double
// nearest the decimal.
constexpr std::size_t MAX_DECIMALS = 15;
constexpr std::uint64_t DECIMAL_BASE = 10;

// The usage's columns: where the description of an option begins, after its synopsis.
constexpr int DESCRIPTION_COLUMN = 18;

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The value of `text` where it is decimal digits alone, below 2^32.
std::optional<double> integerValue(std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || !allDigits(text) || error != std::errc{}) {
        return std::nullopt;
    }
    return static_cast<double>(value);
}

// The value of `text` where it is a decimal from 0 to 1: digits with at most one point and at most
// MAX_DECIMALS digits after it, such as 0.5, .5, 1 or 1.0. No sign, exponent, infinity or NaN is
// such a decimal, and no locale changes how it is read.
std::optional<double> unitDecimalValue(std::string_view text) {
    const std::size_t point = std::min(text.find('.'), text.size());
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = text.substr(std::min(point + 1, text.size()));
    const std::string_view units =
        whole.substr(std::min(whole.find_first_not_of('0'), whole.size()));
    const bool fractionZero = fraction.find_first_not_of('0') == std::string_view::npos;
    if (!allDigits(whole) || !allDigits(fraction) || whole.size() + fraction.size() == 0 ||
        fraction.size() > MAX_DECIMALS || !(units.empty() || (units == "1" && fractionZero))) {
        return std::nullopt;
    }
    std::uint64_t digits = units.empty() ? 0 : 1;
    std::uint64_t power = 1;
    for (const char c : fraction) {
        digits = digits * DECIMAL_BASE + static_cast<std::uint64_t>(c - '0');
        power *= DECIMAL_BASE;
    }
    return static_cast<double>(digits) / static_cast<double>(power);
}

// The value `text` gives `option`, where the option accepts it.
std::optional<double> acceptedValue(const ValueOption& option, std::string_view text) {
    std::optional<double> value;
    if (option.kind == ValueKind::Rule) {
        const auto* rule = std::find(RULES.begin(), RULES.end(), text);
        value = rule == RULES.end() ? std::nullopt : std::optional<double>(rule - RULES.begin());
    } else {
        value = option.kind == ValueKind::Integer ? integerValue(text) : unitDecimalValue(text);
    }
    const bool inRange = value && *value >= option.low && *value <= option.high &&
                         !(option.lowExcluded && *value == option.low);
    return inRange ? value : std::nullopt;
}

const ValueOption* findOption(std::string_view name) {
    const auto* option = std::find_if(VALUE_OPTIONS.begin(), VALUE_OPTIONS.end(),
                                      [name](const ValueOption& o) { return o.name == name; });
    return option == VALUE_OPTIONS.end() ? nullptr : option;
}

void printText(std::FILE* out, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), out);
}

// Writes the value `value` of `option` as the command line gives it.
void printValue(std::FILE* out, const ValueOption& option, double value) {
    if (option.kind == ValueKind::Rule) {
        printText(out, RULES[static_cast<std::size_t>(value)]);
    } else {
        std::fprintf(out, NUMBER, value);
    }
}

// Writes what `option` accepts, in words: "an integer from 1 to 1000".
void printAccepted(std::FILE* out, const ValueOption& option) {
    if (option.kind == ValueKind::Rule) {
        printText(out, RULES[0]);
        std::fputs(" or ", out);
        printText(out, RULES[1]);
        return;
    }
    std::fputs(option.kind == ValueKind::Integer ? "an integer " : "a decimal ", out);
    std::fputs(option.lowExcluded ? "greater than " : "from ", out);
    std::fprintf(out, NUMBER, option.low);
    std::fputs(option.lowExcluded ? " and at most " : " to ", out);
    std::fprintf(out, NUMBER, option.high);
    if (option.kind == ValueKind::Decimal) {
        std::fprintf(out, " with at most %d decimal places", static_cast<int>(MAX_DECIMALS));
    }
}

}  // namespace

TraceCommand readCommandLine(int count, const char* const* arguments) {
    TraceCommand command{Request::Trace, BUILT_IN_PARAMETERS, Refusal::NotAnOption, {}, {}};
    for (int k = 0; k < count; ++k) {
        const std::string_view argument = arguments[k];
        const std::size_t equals =
            argument.rfind("--", 0) == 0 ? argument.find('=') : std::string_view::npos;
        const bool valueGiven = equals != std::string_view::npos;
        command.argument = argument.substr(0, equals);
        command.value = valueGiven ? argument.substr(equals + 1) : std::string_view{};
        command.request = Request::Refused;
        const ValueOption* option = findOption(command.argument);
        if (command.argument == "--help" || command.argument == "--version") {
            command.refusal = Refusal::NoValueTaken;
            if (!valueGiven) {
                command.request = command.argument == "--help" ? Request::Help : Request::Version;
            }
            return command;
        }
        if (option == nullptr) {
            command.argument = argument;
            command.refusal = Refusal::NotAnOption;
            return command;
        }
        if (!valueGiven && k + 1 == count) {
            command.refusal = Refusal::ValueMissing;
            return command;
        }
        if (!valueGiven) {
            command.value = arguments[++k];
        }
        const std::optional<double> value = acceptedValue(*option, command.value);
        if (!value) {
            command.refusal = Refusal::ValueRefused;
            return command;
        }
        option->set(command.parameters, *value);
        command.request = Request::Trace;
    }
    return command;
}

void printRefusal(std::FILE* out, const TraceCommand& command) {
    std::fputs("antorder-trace: ", out);
    const ValueOption* option = findOption(command.argument);
    if (option == nullptr) {
        std::fputc('"', out);
        printText(out, command.argument);
        if (command.refusal == Refusal::NoValueTaken) {
            std::fputs("\" takes no value, not \"", out);
            printText(out, command.value);
        } else {
            std::fputs("\" is not an option", out);
        }
        std::fputs("\"; the options are", out);
        for (const ValueOption& each : VALUE_OPTIONS) {
            std::fputc(' ', out);
            printText(out, each.name);
            std::fputc(',', out);
        }
        std::fputs(" --help and --version\n", out);
        return;
    }
    printText(out, command.argument);
    std::fputs(" takes ", out);
    printAccepted(out, *option);
    if (command.refusal == Refusal::ValueMissing) {
        std::fputs(", and no value follows it\n", out);
        return;
    }
    std::fputs(", not \"", out);
    printText(out, command.value);
    std::fputs("\"\n", out);
}

void printUsage(std::FILE* out) {
    std::fputs(
        "Usage: antorder-trace [--seed N] [--q0 X] [--rho X] [--iterations N]\n"
        "                      [--keep smallest|largest]\n"
        "Runs antorder's ant-colony search and writes every step of it, with the numbers\n"
        "each decision was made from, as one JSON document on standard output. Without\n"
        "options the search is antorder's own; each option changes one of its numbers\n"
        "or its rule:\n\n",
        out);
    for (const ValueOption& option : VALUE_OPTIONS) {
        const int synopsis = static_cast<int>(option.name.size() + 1 + option.placeholder.size());
        std::fputs("  ", out);
        printText(out, option.name);
        std::fputc(' ', out);
        printText(out, option.placeholder);
        std::fprintf(out, "%*s", DESCRIPTION_COLUMN - 2 - synopsis, "");
        printText(out, option.purpose);
        std::fprintf(out, ":\n%*s", DESCRIPTION_COLUMN, "");
        printAccepted(out, option);
        std::fputs(", by default ", out);
        printValue(out, option, option.get(BUILT_IN_PARAMETERS));
        std::fputc('\n', out);
    }
    std::fputs(
        "  --help          print this usage and exit\n"
        "  --version       print the version and exit\n\n"
        "A value follows its option, or \"=\" (--seed=7). An option given again replaces\n"
        "its value. antorder-trace.schema.json, installed in share/antorder (on Windows\n"
        "beside the program), is the document's JSON Schema. Exit status: 0 when the trace\n"
        "was written, 1 when it could not be, 2 when an argument was refused.\n",
        out);
}

void printVersion(std::FILE* out) {
    std::fputs("antorder-trace " ANTORDER_VERSION "\n", out);
}
