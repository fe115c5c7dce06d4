#include "bench/sample_summary.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace ndek::bench {
namespace {

TEST(Summarize, MedianMinAndMaxOfUnsortedSamples) {
  struct Case {
    std::vector<double> samples;
    double median, min, max;
  };
  const Case cases[] = {
      {{5}, 5, 5, 5},
      {{9, 1, 5}, 5, 1, 9},
      {{4, 1, 3, 2}, 2.5, 1, 4},  // an even count takes the mean of the middle two
      {{7, 7, 1, 7, 100, 7, 2}, 7, 1, 100},
  };
  for (const Case& c : cases) {
    const SampleSummary summary = summarize(c.samples);
    EXPECT_DOUBLE_EQ(summary.median, c.median);
    EXPECT_DOUBLE_EQ(summary.min, c.min);
    EXPECT_DOUBLE_EQ(summary.max, c.max);
  }
}

TEST(Summarize, SpreadIsTheRangeAgainstTheMedian) {
  EXPECT_DOUBLE_EQ(summarize({90, 100, 110}).relative_spread(), 0.2);
  EXPECT_DOUBLE_EQ(summarize({3, 3, 3}).relative_spread(), 0);
}

TEST(Summarize, RejectsNoSamplesAndNonNumbers) {
  EXPECT_THROW(summarize({}), SummaryError);
  EXPECT_THROW(summarize({1, std::numeric_limits<double>::quiet_NaN()}), SummaryError);
  EXPECT_THROW(summarize({std::numeric_limits<double>::infinity()}), SummaryError);
}

TEST(Compare, RatioOfMediansAndRangeOfPairs) {
  // The medians are 20 and 10; the pairs give 1.5, 2 and 3.
  const RatioSummary ratio = compare({30, 20, 15}, {10, 10, 10});
  EXPECT_DOUBLE_EQ(ratio.of_medians, 2);
  EXPECT_DOUBLE_EQ(ratio.pair_min, 1.5);
  EXPECT_DOUBLE_EQ(ratio.pair_max, 3);
}

TEST(Compare, PairsAreTakenInOrderNotSorted) {
  // Sorted sides would pair 1 with 1 and 2 with 2 and give 1 throughout.
  const RatioSummary ratio = compare({1, 2}, {2, 1});
  EXPECT_DOUBLE_EQ(ratio.pair_min, 0.5);
  EXPECT_DOUBLE_EQ(ratio.pair_max, 2);
}

TEST(Compare, RejectsUnequalCountsAndReferencesThatAreNotPositive) {
  EXPECT_THROW(compare({1, 2}, {1}), SummaryError);
  EXPECT_THROW(compare({}, {}), SummaryError);
  EXPECT_THROW(compare({1, 2}, {1, 0}), SummaryError);
  EXPECT_THROW(compare({1}, {std::numeric_limits<double>::quiet_NaN()}), SummaryError);
}

TEST(Texts, ThreeSignificantDigits) {
  struct Case {
    double value;
    const char* milliseconds;
    const char* ratio;
  };
  const Case cases[] = {
      {1234.4, "1234 ms", "1234"}, {812.34, "812 ms", "812"},      {81.234, "81.2 ms", "81.2"},
      {8.1234, "8.12 ms", "8.12"}, {0.81234, "0.812 ms", "0.812"}, {0.0004, "0.000 ms", "0.000"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(milliseconds_text(c.value), c.milliseconds);
    EXPECT_EQ(ratio_text(c.value), c.ratio);
  }
}

}  // namespace
}  // namespace ndek::bench
