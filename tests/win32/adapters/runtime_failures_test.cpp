// The C++ runtime's failures inside strings and vectors, as the program
// throws them in place of the runtime's own exceptions: Steps records them
// as before, with the runtime's own text, and the program's handlers, which
// catch std::exception, show the same.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/steps.h"

namespace orvane {
namespace {

RecordedError Recorded(void (*step)()) {
  Steps steps;
  EXPECT_FALSE(steps(step));
  return steps.recorded();
}

TEST(RuntimeFailuresTest, RecordedWithTheRuntimesTextsAndTheNumberForInternalErrors) {
  const RecordedError pastTheEnd = Recorded([] {
    volatile std::size_t at = 7;
    std::string("abc").substr(at);
  });
  EXPECT_EQ(pastTheEnd.number, Steps::kUnexpectedFailure);
  EXPECT_EQ(pastTheEnd.description,
            "basic_string::substr: __pos (which is 7) > this->size() (which is 3)");

  const RecordedError fromNull = Recorded([] {
    const char* volatile none = nullptr;
    std::string text(none);
  });
  EXPECT_EQ(fromNull.number, Steps::kUnexpectedFailure);
  EXPECT_EQ(fromNull.description,
            "basic_string: construction from null is not valid");

  const RecordedError tooLong = Recorded([] {
    std::vector<int> numbers;
    numbers.reserve(numbers.max_size() + std::size_t{1});
  });
  EXPECT_EQ(tooLong.description, "vector::reserve");
}

}  // namespace
}  // namespace orvane
