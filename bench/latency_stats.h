// SPDX-License-Identifier: MIT

// Order statistics of measured latencies.

#ifndef BENCH_LATENCY_STATS_H_
#define BENCH_LATENCY_STATS_H_

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

namespace bench {

using Nanoseconds = std::chrono::nanoseconds;

// The `fraction` quantile (0.5 the median, 0.99 the 99th percentile) of
// `samples`, by the nearest rank. `samples` must not be empty; it is
// reordered.
inline Nanoseconds Quantile(std::vector<Nanoseconds>& samples, double fraction) {
  const auto rank = static_cast<size_t>(std::ceil(fraction * static_cast<double>(samples.size())));
  const size_t index = rank == 0 ? 0 : rank - 1;
  std::nth_element(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(index),
                   samples.end());
  return samples[index];
}

inline double Microseconds(Nanoseconds duration) {
  return std::chrono::duration<double, std::micro>(duration).count();
}

}  // namespace bench

#endif  // BENCH_LATENCY_STATS_H_
