// This test program links the same stand-ins for the C++ library's exception helpers as the
// programs do: what the library's checks throw must still arrive as an exception.
#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

#include "gtest/gtest.h"

namespace ndek {
namespace {

TEST(LeanCxxRuntimeTest, TheLibrarysChecksStillThrow) {
  std::string text = "ab";
  // One check for each helper: out of range (formatted), length error, a bad array length.
  EXPECT_THROW(text.substr(3), std::exception);
  EXPECT_THROW(text.reserve(text.max_size() + 1), std::exception);
  EXPECT_THROW(static_cast<void>(std::allocator<int>().allocate(SIZE_MAX)), std::bad_alloc);
}

}  // namespace
}  // namespace ndek
