// Reading design files of 1 KiB, 1 MiB and 4 MiB (the largest read) in the
// shapes that cost a parser the most per byte: many empty objects in an
// array or under keys, arrays nested to the depth limit, many path points.
// Each is refused (by what it holds, not by its size); the label says why.
// And the largest design, padded with spaces to 1 MiB and 4 MiB, read.

#include <benchmark/benchmark.h>

#include <cmath>
#include <functional>
#include <string>

#include "core/design/DesignFile.h"

namespace {

const std::string kHead = "{\"format\": \"velmora-design\", \"version\": 1, ";

// `open`, then `item(0)`, `item(1)`, ... separated by commas, then `close`,
// as many items as fit in `bytes`.
std::string Repeated(const std::string& open, const std::function<std::string(std::size_t)>& item,
                     const std::string& close, std::size_t bytes)
{
    std::string text = open;
    for (std::size_t i = 0;; ++i) {
        const std::string next = (i ? "," : "") + item(i);
        if (text.size() + next.size() + close.size() > bytes)
            break;
        text += next;
    }
    return text + close;
}

void RunRead(benchmark::State& state, const std::string& text)
{
    for (auto _ : state) {
        const Result<Design> read = ParseDesignText(text, "bench.velmora");
        benchmark::DoNotOptimize(&read);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    const Result<Design> read = ParseDesignText(text, "bench.velmora");
    state.SetLabel(read ? "" : read.Error());
}

std::size_t Bytes(const benchmark::State& state)
{
    return static_cast<std::size_t>(state.range(0));
}

void BM_ReadDesignEmptyObjectsInArray(benchmark::State& state)
{
    RunRead(state, Repeated(kHead + "\"profile\": [", [](std::size_t) { return "{}"; }, "]}", Bytes(state)));
}

void BM_ReadDesignEmptyObjectsUnderKeys(benchmark::State& state)
{
    const auto item = [](std::size_t i) { return "\"k" + std::to_string(i) + "\":{}"; };
    RunRead(state, Repeated(kHead + "\"x\": {", item, "}}", Bytes(state)));
}

// The design object and "x" are two levels; each item adds 14, the limit.
void BM_ReadDesignArraysNestedToTheLimit(benchmark::State& state)
{
    const std::string item = std::string(14, '[') + std::string(14, ']');
    RunRead(state, Repeated(kHead + "\"x\": [", [&](std::size_t) { return item; }, "]}", Bytes(state)));
}

void BM_ReadDesignPathPoints(benchmark::State& state)
{
    const auto item = [](std::size_t i) { return "{\"x\": " + std::to_string(i % 97) + ".25, \"y\": -1.5}"; };
    RunRead(state, Repeated(kHead + "\"profile\": [], \"path\": [", item, "]}", Bytes(state)));
}

void BM_ReadDesignLargestPadded(benchmark::State& state)
{
    Design design;
    for (std::size_t i = 0; i < kMaxControlPoints; ++i) {
        design.profile.emplace_back(1.0 + 1.0 / double(i + 3), -5.0 + 0.01 * double(i), 0.0);
        design.path.emplace_back(std::sin(0.1 * double(i)), 0.01 * double(i), 0.0);
    }
    const Result<std::string> formatted = FormatDesignText(design, "bench.velmora");
    if (!formatted) {
        state.SkipWithError(formatted.Error().c_str());
        return;
    }
    std::string text = *formatted;
    text.resize(Bytes(state), ' ');
    RunRead(state, text);
}

void Sizes(benchmark::internal::Benchmark* bench)
{
    bench->Arg(1 << 10)->Arg(1 << 20)->Arg(std::int64_t(kMaxDesignFileBytes))->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_ReadDesignEmptyObjectsInArray)->Apply(Sizes);
BENCHMARK(BM_ReadDesignEmptyObjectsUnderKeys)->Apply(Sizes);
BENCHMARK(BM_ReadDesignArraysNestedToTheLimit)->Apply(Sizes);
BENCHMARK(BM_ReadDesignPathPoints)->Apply(Sizes);
BENCHMARK(BM_ReadDesignLargestPadded)->Arg(1 << 20)->Arg(std::int64_t(kMaxDesignFileBytes))->Unit(benchmark::kMillisecond);
