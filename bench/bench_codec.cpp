// Decoding and encoding speed, with ldns decoding the same bytes beside us.
//
//   build/release/bench/bench_codec
//
// Each decode benchmark reports "heap_peak", the most heap bytes held at
// once during one decode (counted by the operator new below).
#include <benchmark/benchmark.h>
#include <ldns/ldns.h>
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "query_encoder.h"
#include "response_decoder.h"

namespace {

std::atomic<int64_t> heapNow{0};
std::atomic<int64_t> heapPeak{0};

}  // namespace

void *operator new(size_t size)
{
    void *p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    const int64_t now = heapNow += static_cast<int64_t>(malloc_usable_size(p));
    int64_t peak = heapPeak.load();
    while (now > peak && !heapPeak.compare_exchange_weak(peak, now)) {
    }
    return p;
}

void operator delete(void *p) noexcept
{
    if (p) {
        heapNow -= static_cast<int64_t>(malloc_usable_size(p));
        std::free(p);
    }
}

void operator delete(void *p, size_t) noexcept { operator delete(p); }

namespace {

std::string hex(const char *text)
{
    std::string bytes;
    int high = -1;
    for (const char *c = text; *c; ++c) {
        int n = (*c >= '0' && *c <= '9') ? *c - '0' : (*c >= 'A' && *c <= 'F') ? *c - 'A' + 10 : -1;
        if (n < 0)
            continue;
        if (high < 0)
            high = n;
        else
            bytes.push_back(static_cast<char>(high * 16 + n)), high = -1;
    }
    return bytes;
}

const std::string kWorked = hex(
    "00 00 81 80 00 01 00 01 00 00 00 00 02 61 62 03 63 64 65 00 00 01 00 01"
    " C0 0C 00 01 00 01 00 00 01 2C 00 04 01 02 03 04");

// www.example-shop.com.cn: CNAME to a CDN name, four A answers, two NS in
// authority, two glue A records: 300 bytes, compressed the way servers do.
std::string realisticReply()
{
    std::string m = hex("BE EF 81 80 00 01 00 05 00 02 00 02");
    m += hex("03 77 77 77 0C 65 78 61 6D 70 6C 65 2D 73 68 6F 70 03 63 6F 6D 02 63 6E 00 00 01 00 01");
    // CNAME www -> www.example-shop.com.cn.cdn-provider-edge.net (offset 41 holds the target)
    m += hex("C0 0C 00 05 00 01 00 00 0E 10 00 1B 03 77 77 77 0C 63 64 6E 2D 70 72 6F 76 69 64 65 72 04 65 64 67 65 03 6E 65 74 00");
    const std::string edge = hex("C0 29");
    for (int i = 0; i < 4; ++i)
        m += edge + hex("00 01 00 01 00 00 00 3C 00 04 CB 00 71") + std::string(1, static_cast<char>(10 + i));
    const int nsName = static_cast<int>(m.size()) + 12;
    m += hex("C0 10 00 02 00 01 00 01 51 80 00 0A 03 6E 73 31 04 64 6E 73 76 C0 10");  // ns1.dnsv.example-shop...
    m += hex("C0 10 00 02 00 01 00 01 51 80 00 06 03 6E 73 32") + std::string{'\xC0', static_cast<char>(nsName + 4)};
    m += std::string{'\xC0', static_cast<char>(nsName)} + hex("00 01 00 01 00 01 51 80 00 04 C6 33 64 01");
    m += hex("03 6E 73 32 C0") + std::string(1, static_cast<char>(nsName + 4)) +
         hex("00 01 00 01 00 01 51 80 00 04 C6 33 64 02");
    return m;
}

// The most work one datagram can ask for that we know of: a record whose
// owner points at a 65,000-byte name and whose negative rdLength sends the
// cursor back to itself, announced 3 x 32,767 times.
std::string worstDatagram()
{
    std::string m = hex("00 00 81 80 00 00 7F FF 7F FF 7F FF  C0 18 00 01 00 01 00 00 00 01 FF F4");
    while (m.size() + 64 < 65'500)
        m += '\x3F' + std::string(63, 'n');
    return m + '\0';
}

// The same shape with a chain of 63 pointers for an owner name: nothing to
// copy, only pointers to follow.
std::string worstPointerDatagram()
{
    std::string m = hex("00 00 81 80 00 00 7F FF 7F FF 7F FF  C0 18 00 01 00 01 00 00 00 01 FF F4");
    for (int i = 0; i < 63; ++i) {
        const int next = 24 + 2 * (i + 1);
        m += static_cast<char>(0xC0 | (next >> 8));
        m += static_cast<char>(next & 0xFF);
    }
    return m + hex("01 7A 00");
}

void decodeOurs(benchmark::State &state, const std::string &message)
{
    for (auto _ : state) {
        dnsbatch::DnsResponse r = dnsbatch::decodeResponse(message);
        benchmark::DoNotOptimize(r);
    }
    heapPeak = heapNow.load();
    const int64_t before = heapNow.load();
    { dnsbatch::DnsResponse r = dnsbatch::decodeResponse(message); benchmark::DoNotOptimize(r); }
    state.counters["heap_peak"] = static_cast<double>(heapPeak.load() - before);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(message.size()));
}

void decodeLdns(benchmark::State &state, const std::string &message)
{
    for (auto _ : state) {
        ldns_pkt *pkt = nullptr;
        const ldns_status status =
            ldns_wire2pkt(&pkt, reinterpret_cast<const uint8_t *>(message.data()), message.size());
        if (status != LDNS_STATUS_OK) {
            state.SkipWithError(ldns_get_errorstr_by_id(status));
            break;
        }
        ldns_pkt_free(pkt);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(message.size()));
}

void BM_DecodeWorked_Ours(benchmark::State &s) { decodeOurs(s, kWorked); }
void BM_DecodeWorked_Ldns(benchmark::State &s) { decodeLdns(s, kWorked); }
void BM_DecodeRealistic_Ours(benchmark::State &s) { decodeOurs(s, realisticReply()); }
void BM_DecodeRealistic_Ldns(benchmark::State &s) { decodeLdns(s, realisticReply()); }
void BM_DecodeWorstLongName_Ours(benchmark::State &s) { decodeOurs(s, worstDatagram()); }
void BM_DecodeWorstPointers_Ours(benchmark::State &s) { decodeOurs(s, worstPointerDatagram()); }

void BM_DecodeWorstCounts_Ours(benchmark::State &s) { decodeOurs(s, hex("00 00 81 80 7F FF 7F FF 7F FF 7F FF")); }

void BM_EncodeQuery(benchmark::State &state)
{
    for (auto _ : state) {
        std::string q = dnsbatch::encodeQuery("www.example-shop.com.cn", 0);
        benchmark::DoNotOptimize(q);
    }
}

}  // namespace

BENCHMARK(BM_DecodeWorked_Ours);
BENCHMARK(BM_DecodeWorked_Ldns);
BENCHMARK(BM_DecodeRealistic_Ours);
BENCHMARK(BM_DecodeRealistic_Ldns);
BENCHMARK(BM_DecodeWorstLongName_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeWorstPointers_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeWorstCounts_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeQuery);

BENCHMARK_MAIN();
