// Clock and median shared by the benchmark programs.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

inline double nowMs() {
  static LARGE_INTEGER frequency = {};
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return count.QuadPart * 1000.0 / frequency.QuadPart;
}

inline double median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  size_t middle = samples.size() / 2;
  return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}
