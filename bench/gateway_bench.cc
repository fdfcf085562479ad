// SPDX-License-Identifier: MIT

// What the gateway costs beyond the network: one WG command (settings read
// once, connect, handshake, one line, its reply, close) against the
// floor, a minimal client on raw sockets that sends and reads the same
// bytes, all against the same in-process stand-in of the server module on
// 127.0.0.1. A third client, the floor that also makes the system calls
// the gateway must make (settings file, bind, timeouts), splits the
// difference into what those calls cost and what the gateway's own work
// costs.
//
//   gateway_bench [--commands N] [--seconds S] [--threads 1,2,4,8,32] [--cpu C]
//
// Prints the median and 99th percentile latency of each over N commands
// (taking turns in rounds, so that drift of the machine hits all alike),
// then the throughput of wg and the floor with T threads calling in a loop
// for S seconds, the two ratios that split the difference, and last the
// line "wg/raw median latency ratio: X.XX".
//
// With --cpu the whole program (clients and server) runs on CPU C only.
// Client and server then take turns on one CPU, so every microsecond the
// gateway spends shows in its latency; without it, a wake-up that crosses
// to the other CPU adds to both clients alike and varies with the load.

#include <sched.h>
#include <stdlib.h>

#include <atomic>
#include <barrier>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "floor_client.h"
#include "latency_stats.h"
#include "reply_server.h"
#include "tessaly/morvane/settings_file.h"
#include "tessaly/morvane/wg.h"

namespace {

using Clock = std::chrono::steady_clock;
using bench::Nanoseconds;

constexpr const char* kSecret = "s3cret";
constexpr const char* kUser = "bob";
constexpr const char* kCommandLine = "NUMBEROFCREDITS bob";
constexpr int32_t kCredits = 1200;
constexpr std::string_view kReply = "Number of credits is : 1200\xF5\r\n";
// Latency samples are taken in this many rounds, the two clients taking
// turns to go first.
constexpr int kRounds = 10;
constexpr int kWarmUp = 300;
// No throughput run goes on beyond this many commands per thread, however
// fast the machine.
constexpr long kMaxCommandsPerThread = 2'000'000;

struct Options {
  int commands = 5000;
  double seconds = 1.0;
  std::vector<int> threads = {1, 2, 4, 8, 32};
  int cpu = -1;  // all CPUs
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    if (arg == "--commands") {
      options.commands = std::atoi(value.c_str());
    } else if (arg == "--cpu") {
      options.cpu = std::atoi(value.c_str());
    } else if (arg == "--seconds") {
      options.seconds = std::atof(value.c_str());
    } else if (arg == "--threads") {
      options.threads.clear();
      for (size_t at = 0; at < value.size();) {
        const size_t comma = value.find(',', at);
        options.threads.push_back(std::atoi(value.substr(at, comma - at).c_str()));
        at = comma == std::string::npos ? value.size() : comma + 1;
      }
    } else {
      return false;
    }
  }
  if (options.commands < kRounds || options.seconds <= 0 || options.threads.empty()) return false;
  for (int count : options.threads) {
    if (count < 1 || count > 256) return false;
  }
  return true;
}

// A private Windows directory whose settings point at `port` on 127.0.0.1,
// removed at the end.
class SettingsDirectory {
 public:
  explicit SettingsDirectory(uint16_t port) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "morvane-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary directory");
    path_ = pattern;
    ::setenv("WINDIR", path_.c_str(), 1);
    morvane::WriteSettingsRecord(
        morvane::SettingsFilePath(),
        morvane::SettingsRecord::FromValues("127.0.0.1", "127.0.0.1", std::to_string(port)));
  }
  ~SettingsDirectory() { std::filesystem::remove_all(path_); }

 private:
  std::filesystem::path path_;
};

// The three clients, each run once per call; false when the command failed
// or its answer was wrong.
enum class Client { kWG, kFloor, kFloorWithCalls };
constexpr int kClientCount = 3;

struct Clients {
  explicit Clients(uint16_t port)
      : floor(port, kSecret, kCommandLine),
        floor_with_calls(port, kSecret, kCommandLine, bench::SystemCalls::kAsGateway,
                         morvane::SettingsFilePath()) {}

  static bool RunWG(morvane::WG& wg) {
    const morvane::CommandReturn result = wg.NumberofCredits(kSecret, kUser);
    return result.error_object.number == 0 && result.long_value == kCredits;
  }
  bool RunFloor(std::string& reply) const { return floor.Run(reply) && reply == kReply; }

  bool Run(Client client, morvane::WG& wg, std::string& reply) const {
    switch (client) {
      case Client::kWG: return RunWG(wg);
      case Client::kFloor: return RunFloor(reply);
      case Client::kFloorWithCalls: return floor_with_calls.Run(reply) && reply == kReply;
    }
    return false;
  }

  bench::FloorClient floor;
  bench::FloorClient floor_with_calls;
};

struct Latencies {
  std::vector<Nanoseconds> of[kClientCount];
  long failures = 0;

  std::vector<Nanoseconds>& operator[](Client client) { return of[static_cast<int>(client)]; }
};

Latencies MeasureLatency(const Clients& clients, int commands) {
  morvane::WG wg;
  std::string reply;
  Latencies result;
  for (int i = 0; i < kWarmUp; ++i) {
    for (int c = 0; c < kClientCount; ++c) {
      result.failures += !clients.Run(static_cast<Client>(c), wg, reply);
    }
  }
  const int per_round = commands / kRounds;
  for (int round = 0; round < kRounds; ++round) {
    // Each round another client goes first.
    for (int turn = 0; turn < kClientCount; ++turn) {
      const auto client = static_cast<Client>((round + turn) % kClientCount);
      for (int i = 0; i < per_round; ++i) {
        const Clock::time_point start = Clock::now();
        const bool ok = clients.Run(client, wg, reply);
        result[client].push_back(Clock::now() - start);
        result.failures += !ok;
      }
    }
  }
  return result;
}

struct Throughput {
  double per_second = 0;
  long failures = 0;
};

// `threads` threads, each with a client of its own, running commands for
// `seconds` (and at most kMaxCommandsPerThread each).
Throughput MeasureThroughput(const Clients& clients, bool use_wg, int threads, double seconds) {
  std::atomic<long> done{0}, failures{0};
  std::barrier start(threads + 1);
  std::atomic<bool> go{false};
  Clock::time_point deadline;
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([&] {
      morvane::WG wg;
      std::string reply;
      start.arrive_and_wait();
      long mine = 0, failed = 0;
      while (mine < kMaxCommandsPerThread && Clock::now() < deadline) {
        failed += use_wg ? !Clients::RunWG(wg) : !clients.RunFloor(reply);
        ++mine;
      }
      done += mine;
      failures += failed;
    });
  }
  const Clock::time_point began = Clock::now();
  deadline =
      began + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  start.arrive_and_wait();
  for (std::thread& worker : workers) worker.join();
  const double elapsed = std::chrono::duration<double>(Clock::now() - began).count();
  return {static_cast<double>(done.load()) / elapsed, failures.load()};
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: gateway_bench [--commands N] [--seconds S] [--threads 1,2,4,8,32] "
                 "[--cpu C]\n");
    return 2;
  }
  if (options.cpu >= 0) {
    // Set before any thread starts, so every thread inherits it.
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(options.cpu, &one);
    if (::sched_setaffinity(0, sizeof one, &one) != 0) {
      std::perror("gateway_bench: --cpu");
      return 2;
    }
  }
  int most_threads = 1;
  for (int count : options.threads) most_threads = std::max(most_threads, count);

  // Every worker of the stand-in serves one connection at a time: one per
  // client thread, so that no client waits for a worker.
  testing_support::ReplyServer server([](std::string_view) { return std::string(kReply); },
                                      {.secret = kSecret, .workers = most_threads});
  const SettingsDirectory settings(server.port());
  const Clients clients(server.port());
  long failures = 0;

  std::printf("gateway benchmark: NumberofCredits over 127.0.0.1, in-process server, %u cores",
              std::thread::hardware_concurrency());
  if (options.cpu >= 0) std::printf(", all on CPU %d", options.cpu);
  std::printf("\n");
  Latencies latencies = MeasureLatency(clients, options.commands);
  failures += latencies.failures;
  const double wg_median = bench::Microseconds(bench::Quantile(latencies[Client::kWG], 0.5));
  const double floor_median = bench::Microseconds(bench::Quantile(latencies[Client::kFloor], 0.5));
  const double calls_median =
      bench::Microseconds(bench::Quantile(latencies[Client::kFloorWithCalls], 0.5));
  std::printf("\nlatency over %zu commands each     median       p99\n",
              latencies[Client::kWG].size());
  const auto print_row = [&](const char* name, Client client, double median) {
    std::printf("  %-28s%8.1f us %8.1f us\n", name, median,
                bench::Microseconds(bench::Quantile(latencies[client], 0.99)));
  };
  print_row("raw (floor)", Client::kFloor, floor_median);
  print_row("raw + the gateway's calls", Client::kFloorWithCalls, calls_median);
  print_row("wg", Client::kWG, wg_median);

  std::printf("\nthroughput, %.1f s per run     raw cmd/s     wg cmd/s   wg/raw\n",
              options.seconds);
  for (int threads : options.threads) {
    // Two runs of each, in turns, so that neither always goes first.
    double floor_rate = 0, wg_rate = 0;
    for (int run = 0; run < 2; ++run) {
      for (int turn = 0; turn < 2; ++turn) {
        const bool use_wg = (turn == 0) == (run == 1);
        const Throughput measured = MeasureThroughput(clients, use_wg, threads, options.seconds);
        (use_wg ? wg_rate : floor_rate) += measured.per_second / 2;
        failures += measured.failures;
      }
    }
    std::printf("  %2d thread%s                  %10.0f   %10.0f     %.2f\n", threads,
                threads == 1 ? " " : "s", floor_rate, wg_rate, wg_rate / floor_rate);
  }
  if (failures > 0) std::printf("\n%ld commands failed or answered wrongly\n", failures);
  std::printf("\n(raw + the gateway's calls)/raw median latency ratio: %.2f\n",
              calls_median / floor_median);
  std::printf("wg/(raw + the gateway's calls) median latency ratio: %.2f\n",
              wg_median / calls_median);
  std::printf("wg/raw median latency ratio: %.2f\n", wg_median / floor_median);
  return failures > 0 ? 1 : 0;
}
