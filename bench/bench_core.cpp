// Core benchmarks on a large generated pair of files: reading, writing and sorting.
// The files come from gen_txr; the prefix is taken from QM_BENCH_DATA (default
// bench/data/large, i.e. bench/data/large.txr and bench/data/large.txl).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/RowStore.h"
#include "document/EntryCommands.h"
#include "document/ListBoxSafe.h"

namespace {

std::string Prefix() {
    const char* env = std::getenv("QM_BENCH_DATA");
    return env && *env ? env : "bench/data/large";
}
std::string Txr() {
    return Prefix() + ".txr";
}
std::string Txl() {
    return Prefix() + ".txl";
}
std::string OutDir() {
    const char* env = std::getenv("QM_BENCH_OUT");
    return env && *env ? env : std::filesystem::temp_directory_path().string();
}

void Load(RowStore& store, ReadMode mode, benchmark::State& state) {
    if (store.ColumnCount() == 0) store.DefineColumns(kEntryColumnSpec);
    Status s = ReadTextResource(store, Txr(), Txl(), mode);
    if (!s.ok()) state.SkipWithError(s.message().c_str());
}

void BM_Read(benchmark::State& state, ReadMode mode) {
    const double bytes = static_cast<double>(
        std::filesystem::file_size(Txr()) + (mode == ModeOpenPaired ? std::filesystem::file_size(Txl()) : 0));
    RowStore store;
    for (auto _ : state) {
        Load(store, mode, state);
        benchmark::DoNotOptimize(store.GetRowCount());
    }
    state.counters["rows"] = store.GetRowCount();
    state.counters["MB/s"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["table/file"] =
        static_cast<double>(store.MemoryUsage()) /
        static_cast<double>(std::filesystem::file_size(Txr()) +
                            (mode == ModeOpenPaired ? std::filesystem::file_size(Txl()) : 0));
}
BENCHMARK_CAPTURE(BM_Read, open, ModeOpen)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_Read, paired, ModeOpenPaired)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_Write(benchmark::State& state, bool localized) {
    RowStore store;
    Load(store, localized ? ModeOpenPaired : ModeOpen, state);
    const std::string out = OutDir() + "/qm-bench-" + std::to_string(getpid());
    for (auto _ : state) {
        Status s = WriteTextResource(store, out + ".txr", out + ".txl", localized);
        if (!s.ok()) state.SkipWithError(s.message().c_str());
    }
    std::remove((out + ".txr").c_str());
    std::remove((out + ".txl").c_str());
}
BENCHMARK_CAPTURE(BM_Write, plain, false)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_Write, localized, true)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Each iteration sorts the rows in file order (the reload is not timed).
void BM_Sort(benchmark::State& state, int column) {
    RowStore store;
    for (auto _ : state) {
        state.PauseTiming();
        Load(store, ModeOpen, state);
        state.ResumeTiming();
        benchmark::DoNotOptimize(store.SortByColumn(column, true));
    }
    state.SetLabel(std::string("LC_COLLATE from environment: ") +
                   (std::getenv("LC_ALL") ? std::getenv("LC_ALL") : "unset"));
}
BENCHMARK_CAPTURE(BM_Sort, global_id, ColGlobalId)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_Sort, group_name, ColGroupName)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_Sort, text, ColText)->Unit(benchmark::kMillisecond)->Iterations(5);

// Replace All over every row: "file" occurs in about one text in ten, " " in every text.
void BM_ReplaceAll(benchmark::State& state, const char* search, const char* replacement) {
    RowStore store;
    size_t changed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Load(store, ModeOpen, state);
        state.ResumeTiming();
        changed = EntryCommands::ReplaceAll(store, search, replacement).size();
    }
    state.counters["rows changed"] = static_cast<double>(changed);
}
BENCHMARK_CAPTURE(BM_ReplaceAll, some_rows, "file", "document")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_ReplaceAll, every_row, " ", "_")->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
