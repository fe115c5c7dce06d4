// This test program links the same stand-ins for the C++ library's exception helpers as the
// programs do: what the library's checks throw must still arrive as an exception.
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "gtest/gtest.h"

namespace ndek {
namespace {

TEST(LeanCxxRuntimeTest, TheLibrarysChecksStillThrow) {
  std::string text = "ab";
  std::vector<int> numbers;
  EXPECT_THROW(text.substr(3), std::exception);                     // out of range, formatted
  EXPECT_THROW(numbers.at(0), std::exception);                      // the same for a vector
  EXPECT_THROW(text.reserve(text.max_size() + 1), std::exception);  // length error
  EXPECT_THROW(numbers.reserve(numbers.max_size() + 1), std::exception);
  EXPECT_THROW(static_cast<void>(std::allocator<int>().allocate(numbers.max_size() + 1)),
               std::bad_alloc);
}

}  // namespace
}  // namespace ndek
