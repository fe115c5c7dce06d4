#include "bench/sample_summary.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace ndek::bench {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(Summarize, MedianMinMaxAndSpreadOfUnsortedSamples) {
  const SampleSummary odd = summarize({110, 90, 100});
  EXPECT_EQ(std::vector({odd.median, odd.min, odd.max}), std::vector({100.0, 90.0, 110.0}));
  EXPECT_DOUBLE_EQ(odd.relative_spread(), 0.2);
  EXPECT_DOUBLE_EQ(summarize({4, 1, 3, 2}).median, 2.5);  // the mean of the middle two
  EXPECT_THROW(summarize({}), SummaryError);
  EXPECT_THROW(summarize({1, kNaN}), SummaryError);
}

TEST(Compare, RatioOfMediansAndRangeOfPairsTakenInOrder) {
  const RatioSummary ratio = compare({30, 20, 15}, {10, 10, 10});
  EXPECT_EQ(std::vector({ratio.of_medians, ratio.pair_min, ratio.pair_max}),
            std::vector({2.0, 1.5, 3.0}));
  // Sorted sides would pair 1 with 1 and 2 with 2 and give 1 throughout.
  const RatioSummary unsorted = compare({1, 2}, {2, 1});
  EXPECT_EQ(std::vector({unsorted.pair_min, unsorted.pair_max}), std::vector({0.5, 2.0}));
  EXPECT_THROW(compare({1, 2}, {1}), SummaryError);
  EXPECT_THROW(compare({}, {}), SummaryError);
  EXPECT_THROW(compare({1, 2}, {1, 0}), SummaryError);
}

TEST(Texts, ThreeSignificantDigits) {
  const struct {
    double value;
    const char* milliseconds;
  } cases[] = {{1234.4, "1234 ms"}, {81.234, "81.2 ms"}, {8.1234, "8.12 ms"}, {0.0004, "0.000 ms"}};
  for (const auto& c : cases) EXPECT_EQ(milliseconds_text(c.value), c.milliseconds);
  EXPECT_EQ(ratio_text(812.34), "812");
}

}  // namespace
}  // namespace ndek::bench
