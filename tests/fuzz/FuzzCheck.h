// What the fuzz targets share: a broken invariant ends the run with a
// message and an abort, so that libFuzzer keeps the input that broke it.
#ifndef TESTS_FUZZ_FUZZCHECK_H
#define TESTS_FUZZ_FUZZCHECK_H

#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <string>
#include <vector>

#define FUZZ_CHECK(cond, what)                                                   \
  do {                                                                           \
    if (!(cond)) {                                                               \
      std::fprintf(stderr, "invariant broken: %s\n  %s\n", #cond,                \
                   std::string(what).c_str());                                   \
      std::abort();                                                              \
    }                                                                            \
  } while (0)

// The input's parts: the bytes up to each of the first (n - 1) NUL bytes,
// then the rest.
inline std::vector<std::string> SplitInput(const uint8_t* data, size_t size, size_t n)
{
  std::vector<std::string> parts;
  std::string all(reinterpret_cast<const char*>(data), size);
  size_t pos = 0;
  while (parts.size() + 1 < n) {
    size_t nul = all.find('\0', pos);
    if (nul == std::string::npos)
      break;
    parts.push_back(all.substr(pos, nul - pos));
    pos = nul + 1;
  }
  parts.push_back(all.substr(pos));
  parts.resize(n);
  return parts;
}

#endif
