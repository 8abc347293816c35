// Decodes the benchmark corpus with the shipped decoder and with the plain reference
// decoder, checks both restore every sample, and prints each one's speed and the ratio.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "channel.hpp"
#include "corpus.hpp"
#include "decode/decoder.hpp"
#include "reference_decoder.hpp"
#include "token_encoder.hpp"

namespace {

struct Stream {
  std::string name;
  std::vector<std::uint8_t> original;
  std::vector<std::uint8_t> stored;
};

const std::vector<Stream>& streams() {
  static const std::vector<Stream> all = [] {
    std::vector<Stream> out;
    for (testsupport::Sample& s : testsupport::bench_corpus()) {
      std::vector<std::uint8_t> stored =
          testsupport::encode_tokens(testsupport::greedy_tokens(s.bytes));
      out.push_back({s.name, std::move(s.bytes), std::move(stored)});
    }
    return out;
  }();
  return all;
}

std::size_t corpus_bytes() {
  std::size_t n = 0;
  for (const Stream& s : streams()) n += s.original.size();
  return n;
}

// Decodes every stream once; the sink keeps nothing, so memory stays flat.
void decode_corpus(testsupport::Implementation which) {
  static std::vector<testsupport::Channel> channels = [] {
    std::vector<testsupport::Channel> out(streams().size());
    for (std::size_t i = 0; i < out.size(); ++i) {
      out[i].stored = streams()[i].stored;
      out[i].record = false;
    }
    return out;
  }();
  for (std::size_t i = 0; i < channels.size(); ++i) {
    testsupport::Channel& channel = channels[i];
    channel.next = 0;
    channel.reads = channel.writes = 0;
    const std::int32_t n =
        testsupport::run_decoder(which, channel, static_cast<std::uint32_t>(channel.stored.size()),
                                 static_cast<std::uint32_t>(streams()[i].original.size()));
    benchmark::DoNotOptimize(n);
  }
}

bool corpus_round_trips(testsupport::Implementation which) {
  for (const Stream& s : streams()) {
    testsupport::Channel channel;
    channel.stored = s.stored;
    testsupport::run_decoder(which, channel, static_cast<std::uint32_t>(s.stored.size()),
                             static_cast<std::uint32_t>(s.original.size()));
    if (channel.output != s.original) return false;
  }
  return true;
}

void BM_DecodeShipped(benchmark::State& state) {
  for (auto _ : state) decode_corpus(testsupport::Implementation::shipped);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * corpus_bytes()));
}
BENCHMARK(BM_DecodeShipped)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Every symbol through the per-symbol path, as the installer stub (built for size) decodes.
void BM_DecodeShippedPerSymbol(benchmark::State& state) {
  for (auto _ : state) decode_corpus(testsupport::Implementation::shipped_per_symbol);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * corpus_bytes()));
}
BENCHMARK(BM_DecodeShippedPerSymbol)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_DecodeReference(benchmark::State& state) {
  for (auto _ : state) decode_corpus(testsupport::Implementation::reference);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * corpus_bytes()));
}
BENCHMARK(BM_DecodeReference)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Keeps each benchmark's bytes per second for the summary.
class SpeedReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    benchmark::ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const auto it = run.counters.find("bytes_per_second");
      if (it == run.counters.end()) continue;
      const std::string name = run.benchmark_name();
      speed[name.substr(0, name.find('/'))] = it->second.value / 1e6;
    }
  }
  std::map<std::string, double> speed;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::printf("corpus: %zu bytes in %zu samples\n", corpus_bytes(), streams().size());
  for (const Stream& s : streams()) {
    std::printf("  %-12s %8zu -> %8zu bytes\n", s.name.c_str(), s.original.size(), s.stored.size());
  }
  if (!corpus_round_trips(testsupport::Implementation::shipped) ||
      !corpus_round_trips(testsupport::Implementation::shipped_per_symbol) ||
      !corpus_round_trips(testsupport::Implementation::reference)) {
    std::printf("a decoder did not restore the corpus\n");
    return 1;
  }
  SpeedReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double shipped = reporter.speed["BM_DecodeShipped"];
  const double per_symbol = reporter.speed["BM_DecodeShippedPerSymbol"];
  const double reference = reporter.speed["BM_DecodeReference"];
  if (shipped > 0 && reference > 0) {
    std::printf("shipped %.1f MB/s, reference %.1f MB/s, ratio %.2fx\n", shipped, reference,
                shipped / reference);
  }
  if (per_symbol > 0 && reference > 0) {
    std::printf("per-symbol path alone %.1f MB/s, ratio %.2fx\n", per_symbol,
                per_symbol / reference);
  }
  benchmark::Shutdown();
  return 0;
}
