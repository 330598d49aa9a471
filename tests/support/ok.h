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

// Returns the failure of a result that must hold one; fails the test, and
// returns a failure without a message, when it holds none.
template <typename T>
records::Failure FailureOf(const records::Result<T>& result) {
  if (!result) return result.failure();
  ADD_FAILURE() << "succeeded where it had to fail";
  return records::Failure{""};
}

}  // namespace test_support
