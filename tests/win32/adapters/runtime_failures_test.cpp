// The C++ runtime's failures inside strings and vectors, as the program
// throws them in place of the runtime's own exceptions: Steps records them
// with the runtime's own text and the number for internal errors.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/steps.h"

namespace orvane {
namespace {

TEST(RuntimeFailuresTest, RecordedWithTheRuntimesTextsAndTheNumberForInternalErrors) {
  const struct {
    void (*step)();
    const char* text;
  } cases[] = {
      {[] { volatile std::size_t at = 7; std::string("abc").substr(at); },
       "basic_string::substr: __pos (which is 7) > this->size() (which is 3)"},
      {[] { const char* volatile none = nullptr; std::string text(none); },
       "basic_string: construction from null is not valid"},
      {[] { std::vector<int>().reserve(std::vector<int>().max_size() + 1); },
       "vector::reserve"},
  };
  for (const auto& c : cases) {
    Steps steps;
    EXPECT_FALSE(steps(c.step));
    EXPECT_EQ(steps.recorded().number, Steps::kUnexpectedFailure);
    EXPECT_EQ(steps.recorded().description, c.text);
  }
}

}  // namespace
}  // namespace orvane
