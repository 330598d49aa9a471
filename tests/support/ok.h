#pragma once

#include <gtest/gtest.h>

#include "records/failure.h"

namespace test_support {

// Passes for a result that holds no failure, and prints the failure's
// message otherwise: EXPECT_TRUE(Ok(SaveRecord(card, path))).
template <typename T>
testing::AssertionResult Ok(const records::Result<T>& result) {
  if (result) return testing::AssertionSuccess();
  return testing::AssertionFailure() << result.failure().message;
}

}  // namespace test_support
