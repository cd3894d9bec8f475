// The solver is the engine of the whole program: one solve runs in the click handler.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "app/engine/chain_solver.h"
#include "app/engine/exact_solver.h"

namespace {

void solve_once(benchmark::State& state, int a, int b, int c, int d) {
  quadrivo::ResultsList results;
  for (auto _ : state) {
    quadrivo::solve(a, b, c, d, results);
    benchmark::DoNotOptimize(results.data());
  }
  state.counters["paths"] = static_cast<double>(results.size());
}

void BM_Solve_12_12_12_12(benchmark::State& state) { solve_once(state, 12, 12, 12, 12); }
void BM_Solve_1_2_3_4(benchmark::State& state) { solve_once(state, 1, 2, 3, 4); }
void BM_Solve_1_1_2_7(benchmark::State& state) { solve_once(state, 1, 1, 2, 7); }

void BM_ScanAllRankMultisets(benchmark::State& state) {
  quadrivo::ResultsList results;
  for (auto _ : state) {
    std::size_t paths = 0;
    for (int a = 1; a <= 13; ++a)
      for (int b = a; b <= 13; ++b)
        for (int c = b; c <= 13; ++c)
          for (int d = c; d <= 13; ++d) {
            quadrivo::solve(a, b, c, d, results);
            paths += results.size();
          }
    benchmark::DoNotOptimize(paths);
  }
}

void BM_ExactSolutions_1_2_3_4(benchmark::State& state) {
  std::size_t count = 0;
  for (auto _ : state) {
    count = quadrivo::exact_solutions({1, 2, 3, 4}).size();
    benchmark::DoNotOptimize(count);
  }
  state.counters["solutions"] = static_cast<double>(count);
}

// What quadrivo-solve --scan --exact computes, without its output: the chain paths with their
// exactness and the distinct exact solutions of every multiset. The goal is under one second.
void BM_ExactScanAllRankMultisets(benchmark::State& state) {
  for (auto _ : state) {
    std::size_t exact = 0, distinct = 0;
    for (int a = 1; a <= 13; ++a)
      for (int b = a; b <= 13; ++b)
        for (int c = b; c <= 13; ++c)
          for (int d = c; d <= 13; ++d) {
            const auto flags = quadrivo::exact_paths(a, b, c, d);
            exact += static_cast<std::size_t>(std::count(flags.begin(), flags.end(), true));
            distinct += quadrivo::exact_solutions({a, b, c, d}).size();
          }
    benchmark::DoNotOptimize(exact);
    benchmark::DoNotOptimize(distinct);
  }
}

}  // namespace

BENCHMARK(BM_Solve_12_12_12_12);
BENCHMARK(BM_Solve_1_2_3_4);
BENCHMARK(BM_Solve_1_1_2_7);
BENCHMARK(BM_ScanAllRankMultisets)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExactSolutions_1_2_3_4)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExactScanAllRankMultisets)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
