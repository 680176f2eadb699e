#include "host/PictureScaling.h"

#include <algorithm>
#include <utility>

namespace fw {

namespace {

// One source pixel's share in a target pixel, as an integer weight; a target
// pixel's weights add up to its axis's denominator. Integers keep the filter
// exact, so a tie between two channel values rounds the same everywhere.
struct Tap {
  int index;
  int64_t weight;
};

struct AxisTaps {
  std::vector<std::vector<Tap>> taps;  // per target pixel
  int64_t denominator = 1;
};

// Shrinking: measured in units of 1/to of a source pixel, target pixel i
// covers [i * from, (i + 1) * from) and source pixel j covers
// [j * to, (j + 1) * to); the overlap is the weight, and the weights of a
// target pixel add up to `from`.
AxisTaps AreaTaps(int from, int to) {
  AxisTaps axis;
  axis.denominator = from;
  axis.taps.resize(static_cast<size_t>(to));
  for (int i = 0; i < to; ++i) {
    const int64_t lo = int64_t{i} * from;
    const int64_t hi = lo + from;
    for (int64_t j = lo / to; j < from && j * to < hi; ++j) {
      const int64_t overlap = std::min(hi, (j + 1) * to) - std::max(lo, j * to);
      if (overlap > 0) axis.taps[static_cast<size_t>(i)].push_back({static_cast<int>(j), overlap});
    }
  }
  return axis;
}

// Enlarging: each source pixel repeated n times, n the smallest whole number
// that makes the picture at least `to` wide (to the next whole multiple), then
// that shrunk to `to` by area. At a whole multiple it is pure repetition, every
// source pixel a sharp block; otherwise only the pixels where blocks meet are
// mixed, so pixel text and one-pixel lines stay crisp where an interpolation
// between pixel centres would blur every edge. The enlarged picture is never
// built: the area taps over it are folded back onto the source pixels.
AxisTaps RepeatTaps(int from, int to) {
  const int n = (to + from - 1) / from;
  AxisTaps axis = AreaTaps(from * n, to);
  for (auto& taps : axis.taps) {
    std::vector<Tap> folded;
    for (const Tap& t : taps) {
      const int source = t.index / n;
      if (!folded.empty() && folded.back().index == source) {
        folded.back().weight += t.weight;
      } else {
        folded.push_back({source, t.weight});
      }
    }
    taps = std::move(folded);
  }
  return axis;
}

AxisTaps TapsFor(int from, int to) { return to < from ? AreaTaps(from, to) : RepeatTaps(from, to); }

uint32_t DivideHalfEven(int64_t numerator, int64_t denominator) {
  int64_t q = numerator / denominator;
  const int64_t twice = 2 * (numerator - q * denominator);
  if (twice > denominator || (twice == denominator && (q & 1))) ++q;
  return static_cast<uint32_t>(std::clamp<int64_t>(q, 0, 255));
}

}  // namespace

size_t ChooseSource(std::span<const PixelSize> sources, PixelSize need) {
  size_t best = sources.size();
  size_t largest = sources.size();
  auto area = [](const PixelSize& s) { return int64_t{s.width} * s.height; };
  for (size_t k = 0; k < sources.size(); ++k) {
    const PixelSize& s = sources[k];
    if (largest == sources.size() || area(s) > area(sources[largest])) largest = k;
    if (s.width >= need.width && s.height >= need.height &&
        (best == sources.size() || area(s) < area(sources[best]))) {
      best = k;
    }
  }
  return best != sources.size() ? best : largest;
}

std::vector<uint32_t> ResamplePbgra(std::span<const uint32_t> src, PixelSize from, PixelSize to) {
  if (from.width <= 0 || from.height <= 0 || to.width <= 0 || to.height <= 0 ||
      src.size() < static_cast<size_t>(from.width) * static_cast<size_t>(from.height)) {
    return {};
  }
  if (from == to) return std::vector<uint32_t>(src.begin(), src.begin() + from.width * from.height);
  const AxisTaps across = TapsFor(from.width, to.width);
  const AxisTaps down = TapsFor(from.height, to.height);
  // Across first, every source row, sums kept whole (over across.denominator).
  const size_t tw = static_cast<size_t>(to.width);
  std::vector<int64_t> rows(static_cast<size_t>(from.height) * tw * 4, 0);
  for (int y = 0; y < from.height; ++y) {
    const uint32_t* line = src.data() + static_cast<size_t>(y) * from.width;
    for (size_t i = 0; i < tw; ++i) {
      int64_t* out = &rows[(static_cast<size_t>(y) * tw + i) * 4];
      for (const Tap& t : across.taps[i]) {
        const uint32_t p = line[t.index];
        for (int c = 0; c < 4; ++c) out[c] += int64_t{(p >> (8 * c)) & 0xFF} * t.weight;
      }
    }
  }
  // Then down each column, and one rounding at the end.
  const int64_t denominator = across.denominator * down.denominator;
  std::vector<uint32_t> result(tw * static_cast<size_t>(to.height), 0);
  for (int k = 0; k < to.height; ++k) {
    for (size_t i = 0; i < tw; ++i) {
      int64_t sum[4] = {0, 0, 0, 0};
      for (const Tap& t : down.taps[static_cast<size_t>(k)]) {
        const int64_t* in = &rows[(static_cast<size_t>(t.index) * tw + i) * 4];
        for (int c = 0; c < 4; ++c) sum[c] += in[c] * t.weight;
      }
      uint32_t p = 0;
      for (int c = 0; c < 4; ++c) p |= DivideHalfEven(sum[c], denominator) << (8 * c);
      result[static_cast<size_t>(k) * tw + i] = p;
    }
  }
  return result;
}

}  // namespace fw
