#pragma once
// Figures from repeated timings of two programs run side by side (A B A B ...): the median of
// each side, how far its samples spread, and the ratio of the two.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace ndek::bench {

class SummaryError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

struct SampleSummary {
  double median = 0;
  double min = 0;
  double max = 0;
  // (max - min) / median: 0.1 means the samples lie within 10 % of the median.
  double relative_spread() const;
};

// Throws SummaryError when there is no sample or one is not a finite number.
SampleSummary summarize(std::vector<double> samples);

// Ratio a / b of the medians, and the range of the ratios of the pairs measured one after
// the other (a[i] / b[i]), which shows how much a slow moment of the machine moved it.
struct RatioSummary {
  double of_medians = 0;
  double pair_min = 0;
  double pair_max = 0;
};

// Throws SummaryError when the sides differ in count, are empty, or a value of b is not
// positive.
RatioSummary compare(const std::vector<double>& a, const std::vector<double>& b);

// "1234 ms", "812 ms", "8.12 ms", "0.812 ms": three significant digits, whole milliseconds
// from 100 on.
std::string milliseconds_text(double milliseconds);
// "0.340", "2.41", "12.4": the same digits as milliseconds_text.
std::string ratio_text(double ratio);

}  // namespace ndek::bench
