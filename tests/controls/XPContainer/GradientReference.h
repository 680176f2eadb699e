// The expected rows of a vertical gradient, computed here from the arithmetic
// alone (per-channel step (a - b) / n, repeated subtraction, the C library's
// round-to-nearest-even), independently of the code under test.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace fw::xpcontainer::testing {

inline std::vector<uint32_t> ReferenceGradient(uint32_t a, uint32_t b, int n, int rows) {
  double ch[3] = {double(a & 0xFF), double((a >> 8) & 0xFF), double((a >> 16) & 0xFF)};
  const double to[3] = {double(b & 0xFF), double((b >> 8) & 0xFF), double((b >> 16) & 0xFF)};
  double step[3];
  for (int i = 0; i < 3; ++i) step[i] = (ch[i] - to[i]) / n;
  std::vector<uint32_t> out;
  for (int y = 0; y < rows; ++y) {
    uint32_t c = 0;
    for (int i = 0; i < 3; ++i) {
      c |= static_cast<uint32_t>(std::nearbyint(ch[i])) << (8 * i);
      ch[i] -= step[i];
    }
    out.push_back(c);
  }
  return out;
}

inline std::string HexRows(const std::vector<uint32_t>& rows) {
  std::string s;
  char buf[16];
  for (uint32_t v : rows) {
    std::snprintf(buf, sizeof buf, "%06X ", static_cast<unsigned>(v));
    s += buf;
  }
  return s;
}

}  // namespace fw::xpcontainer::testing
