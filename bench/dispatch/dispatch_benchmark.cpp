// The cost of one message through the daemon's dispatch on the fake transport: a port status
// indication (unchanged state) for one port of n, after the whole road has given every port its
// output. The per-message cost should not grow with n. Run it through bench/run-dispatch to compare
// tracing off with a live LTTng session recording every event of the daemon.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "FakeRoad.h"

namespace {

void portStatusDispatch(benchmark::State& state) {
    const auto ports = static_cast<uint32_t>(state.range(0));
    Sync::Bench::FakeRoad road;
    if (!road.wholeRoad(ports)) {
        state.SkipWithError(road.error().c_str());
        return;
    }
    const std::vector<uint8_t> status = road.portStatusMessage(ports / 2, true, "ns1");
    for (auto _ : state) {
        road.fromPortControl(status);
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(portStatusDispatch)->Arg(1024)->Arg(65535)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
