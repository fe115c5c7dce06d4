#include "bench/sample_summary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ndek::bench {

namespace {

// Three significant digits, but never fewer than the whole number's digits.
std::string three_digits(double value) {
  const double magnitude = std::fabs(value);
  const int decimals = magnitude >= 100 ? 0 : magnitude >= 10 ? 1 : magnitude >= 1 ? 2 : 3;
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

}  // namespace

double SampleSummary::relative_spread() const { return median > 0 ? (max - min) / median : 0; }

SampleSummary summarize(std::vector<double> samples) {
  if (samples.empty()) throw SummaryError("no samples");
  for (double sample : samples) {
    if (!std::isfinite(sample)) throw SummaryError("a sample is not a finite number");
  }
  std::sort(samples.begin(), samples.end());
  const std::size_t middle = samples.size() / 2;
  SampleSummary summary;
  summary.median =
      samples.size() % 2 == 1 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
  summary.min = samples.front();
  summary.max = samples.back();
  return summary;
}

RatioSummary compare(const std::vector<double>& a, const std::vector<double>& b) {
  if (a.size() != b.size()) throw SummaryError("the two sides have different sample counts");
  if (a.empty()) throw SummaryError("no samples");
  if (std::any_of(b.begin(), b.end(), [](double value) { return !(value > 0); })) {
    throw SummaryError("a sample of the reference side is not positive");
  }
  std::vector<double> pairs;
  for (std::size_t i = 0; i < a.size(); ++i) pairs.push_back(a[i] / b[i]);
  const auto [lowest, highest] = std::minmax_element(pairs.begin(), pairs.end());
  return {summarize(a).median / summarize(b).median, *lowest, *highest};
}

std::string milliseconds_text(double milliseconds) { return three_digits(milliseconds) + " ms"; }

std::string ratio_text(double ratio) { return three_digits(ratio); }

}  // namespace ndek::bench
