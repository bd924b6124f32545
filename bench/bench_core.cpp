// Core benchmarks on a large generated pair of files: reading, writing, sorting, the entry
// checks and the filter.
// The files come from gen_txr; the prefix is taken from QM_BENCH_DATA (default
// bench/data/large, i.e. bench/data/large.txr and bench/data/large.txl).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "document/ListBoxSafe.h"
#include "document/format/ResourceTable.h"
#include "document/model/Document.h"
#include "document/model/EntryCommands.h"
#include "document/review/EntryChecker.h"
#include "document/review/EntryFilter.h"
#include "document/review/EntryStats.h"

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

void Load(ResourceTable& store, ReadMode mode, benchmark::State& state) {
    if (store.ColumnCount() == 0) store.DefineColumns(kEntryColumnSpec);
    Status s = ReadTextResource(store, Txr(), Txl(), mode);
    if (!s.ok()) state.SkipWithError(s.message().c_str());
}

void BM_Read(benchmark::State& state, ReadMode mode) {
    const double bytes = static_cast<double>(
        std::filesystem::file_size(Txr()) + (mode == ModeOpenPaired ? std::filesystem::file_size(Txl()) : 0));
    ResourceTable store;
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
    ResourceTable store;
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
    ResourceTable store;
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
    ResourceTable store;
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

// The pair document (or the plain one), read once and kept for the benchmarks that only look.
struct LoadedPair {
    Document doc;
    explicit LoadedPair(ReadMode mode) {
        if (!doc.Read(Txr(), Txl(), mode).ok()) std::abort();
    }
    EntryTable Table() const { return doc.Table(); }
};
const LoadedPair& Pair() {
    static const LoadedPair pair(ModeOpenPaired);
    return pair;
}
const LoadedPair& Plain() {
    static const LoadedPair plain(ModeOpen);
    return plain;
}

// Every check over the 1,000,000 pairs.
void BM_Checks(benchmark::State& state) {
    const EntryTable table = Pair().Table();
    size_t found = 0;
    for (auto _ : state) {
        const std::vector<CheckMask> problems = EntryChecker().Run(table);
        found = static_cast<size_t>(
            std::count_if(problems.begin(), problems.end(), [](CheckMask m) { return m; }));
    }
    state.counters["rows with problems"] = static_cast<double>(found);
}
BENCHMARK(BM_Checks)->Unit(benchmark::kMillisecond)->Iterations(5);

// The figures (status of every pair, problems, per group) once the checks have run.
void BM_Stats(benchmark::State& state, bool perGroup) {
    const EntryTable table = Pair().Table();
    const std::vector<CheckMask> problems = EntryChecker().Run(table);
    for (auto _ : state)
        benchmark::DoNotOptimize(EntryStats::Count(table, problems, perGroup).total.translated);
}
BENCHMARK_CAPTURE(BM_Stats, total, false)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_Stats, per_group, true)->Unit(benchmark::kMillisecond)->Iterations(5);

// One keystroke in the filter box: the first letter over every row, a text found nowhere (every
// byte searched), a further letter narrowing what is shown, Not translated with no text.
void BM_Filter(benchmark::State& state, bool pairs, const char* before, const char* text, FilterShow show) {
    const LoadedPair& doc = pairs ? Pair() : Plain();
    const EntryTable table = doc.Table();
    const std::vector<CheckMask> problems = EntryChecker().Run(table);
    size_t shown = 0;
    for (auto _ : state) {
        state.PauseTiming();
        EntryFilter filter;
        if (*before) filter.Apply(table, problems, before, show);
        state.ResumeTiming();
        shown = filter.Apply(table, problems, text, show).size();
    }
    state.counters["rows"] = table.RowCount();
    state.counters["shown"] = static_cast<double>(shown);
}
BENCHMARK_CAPTURE(BM_Filter, rows_first_letter, false, "", "f", FilterShow::All)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK_CAPTURE(BM_Filter, rows_nowhere, false, "", "qqq", FilterShow::All)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK_CAPTURE(BM_Filter, pairs_first_letter, true, "", "f", FilterShow::All)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK_CAPTURE(BM_Filter, pairs_nowhere, true, "", "qqq", FilterShow::All)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK_CAPTURE(BM_Filter, pairs_narrowing, true, "fi", "fil", FilterShow::All)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
// The same keystroke once the pairs are sorted by Text: the rows are visited out of memory order.
void BM_FilterSorted(benchmark::State& state) {
    static LoadedPair* sorted = [] {
        auto* pair = new LoadedPair(ModeOpenPaired);
        pair->doc.RowsForSetup().SortPairsByColumn(ColText, true);
        return pair;
    }();
    const EntryTable table = sorted->Table();
    const std::vector<CheckMask> problems = EntryChecker().Run(table);
    for (auto _ : state) {
        EntryFilter filter;
        benchmark::DoNotOptimize(filter.Apply(table, problems, "f", FilterShow::All).size());
    }
}
BENCHMARK(BM_FilterSorted)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK_CAPTURE(BM_Filter, pairs_not_translated, true, "", "", FilterShow::NotTranslated)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
