// Location lookups against a local HTTPS service: one kept-open connection
// beside a new connection (TCP + TLS handshake) for every lookup.
//
// Needs iplocation.example to reach a server: run it through
// bench/location_bench.py, which sets one up in a private namespace.
#include <benchmark/benchmark.h>

#include "https_fetcher.h"
#include "location_lookup.h"

namespace {

void lookups(benchmark::State &state, bool reuse)
{
    dnsbatch::FetchLimits limits;
    limits.reuseConnection = reuse;
    dnsbatch::CurlFetcher fetcher(limits);
    int found = 0;
    for (auto _ : state)
        found += !dnsbatch::lookupLocation("192.0.2.1", fetcher).empty();
    if (found != state.iterations())
        state.SkipWithError("a lookup came back empty: is the service up?");
}

void BM_Lookup_KeptOpenConnection(benchmark::State &state) { lookups(state, true); }
void BM_Lookup_NewConnectionEach(benchmark::State &state) { lookups(state, false); }

}  // namespace

BENCHMARK(BM_Lookup_KeptOpenConnection)->Iterations(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Lookup_NewConnectionEach)->Iterations(1000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
