#include "platform/read_growing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace orvane {
namespace {

constexpr std::uint32_t kInitial = 255;

// Behaves like GetSystemDirectory for a text that may change from one call
// to the next: the i-th call answers texts[i] (the last one from then on).
// It scribbles over the whole buffer it is given, so a buffer smaller than
// the size passed shows up under the address sanitizer.
template <class Char>
class FakeDirectoryFunction {
 public:
  explicit FakeDirectoryFunction(std::vector<std::size_t> lengths)
      : lengths_(std::move(lengths)) {}

  std::uint32_t operator()(Char* buffer, std::uint32_t size) {
    sizes_.push_back(size);
    const std::size_t length =
        lengths_[std::min(sizes_.size(), lengths_.size()) - 1];
    for (std::uint32_t i = 0; i < size; ++i) buffer[i] = Char('#');
    if (length + 1 > size) return static_cast<std::uint32_t>(length + 1);
    for (std::size_t i = 0; i < length; ++i) buffer[i] = TextAt(i);
    buffer[length] = Char(0);
    return static_cast<std::uint32_t>(length);
  }

  static Char TextAt(std::size_t i) { return Char('a' + i % 26); }
  static std::basic_string<Char> Text(std::size_t length) {
    std::basic_string<Char> text;
    for (std::size_t i = 0; i < length; ++i) text += TextAt(i);
    return text;
  }

  const std::vector<std::uint32_t>& sizes() const { return sizes_; }

 private:
  std::vector<std::size_t> lengths_;
  std::vector<std::uint32_t> sizes_;
};

struct LengthCase {
  std::size_t length;
  std::vector<std::uint32_t> sizesAsked;
};

class ReadGrowingLengthTest : public ::testing::TestWithParam<LengthCase> {};

TEST_P(ReadGrowingLengthTest, ReadsTheWholeTextAskingAgainOnlyWhenTooSmall) {
  const LengthCase& c = GetParam();
  FakeDirectoryFunction<char> fake({c.length});
  const std::string text =
      ReadGrowing<char>([&](char* b, std::uint32_t n) { return fake(b, n); },
                        kInitial);
  EXPECT_EQ(text, FakeDirectoryFunction<char>::Text(c.length));
  EXPECT_EQ(fake.sizes(), c.sizesAsked);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, ReadGrowingLengthTest,
    ::testing::Values(LengthCase{1, {255}},
                      LengthCase{254, {255}},  // fits exactly, zero included
                      LengthCase{255, {255, 256}},
                      LengthCase{300, {255, 301}},
                      LengthCase{1000, {255, 1001}},
                      LengthCase{32767, {255, 32768}}));

TEST(ReadGrowingTest, FailureOfTheFunctionGivesEmptyText) {
  int calls = 0;
  const std::string text = ReadGrowing<char>(
      [&](char*, std::uint32_t) -> std::uint32_t {
        ++calls;
        return 0;
      },
      kInitial);
  EXPECT_EQ(text, "");
  EXPECT_EQ(calls, 1);
}

TEST(ReadGrowingTest, FailureAfterGrowingGivesEmptyText) {
  int calls = 0;
  const std::string text = ReadGrowing<char>(
      [&](char*, std::uint32_t) -> std::uint32_t {
        return ++calls == 1 ? 400 : 0;
      },
      kInitial);
  EXPECT_EQ(text, "");
  EXPECT_EQ(calls, 2);
}

TEST(ReadGrowingTest, TextThatGrowsBetweenCallsIsAskedForAgain) {
  FakeDirectoryFunction<wchar_t> fake({300, 700, 700});
  const std::wstring text = ReadGrowing<wchar_t>(
      [&](wchar_t* b, std::uint32_t n) { return fake(b, n); }, kInitial);
  EXPECT_EQ(text, FakeDirectoryFunction<wchar_t>::Text(700));
  EXPECT_EQ(fake.sizes(), (std::vector<std::uint32_t>{255, 301, 701}));
}

TEST(ReadGrowingTest, TextThatShrinksBetweenCallsIsTakenAtItsNewLength) {
  FakeDirectoryFunction<char> fake({300, 10});
  const std::string text = ReadGrowing<char>(
      [&](char* b, std::uint32_t n) { return fake(b, n); }, kInitial);
  EXPECT_EQ(text, FakeDirectoryFunction<char>::Text(10));
  EXPECT_EQ(fake.sizes(), (std::vector<std::uint32_t>{255, 301}));
}

TEST(ReadGrowingTest, TextThatNeverSettlesGivesEmptyTextAfterFewCalls) {
  std::uint32_t need = 300;
  int calls = 0;
  const std::string text = ReadGrowing<char>(
      [&](char*, std::uint32_t) {
        ++calls;
        return need += 100;
      },
      kInitial);
  EXPECT_EQ(text, "");
  EXPECT_LE(calls, 10);
}

TEST(ReadGrowingTest, AnswerEqualToTheSizeIsTakenAsTooSmall) {
  // Breaks the function's rules (a fitting text is shorter than the
  // buffer); the buffer still grows, so the call is never repeated as is.
  std::vector<std::uint32_t> sizes;
  const std::string text = ReadGrowing<char>(
      [&](char* b, std::uint32_t n) -> std::uint32_t {
        sizes.push_back(n);
        if (n == kInitial) return n;
        b[0] = 'x';
        b[1] = 0;
        return 1;
      },
      kInitial);
  EXPECT_EQ(text, "x");
  EXPECT_EQ(sizes, (std::vector<std::uint32_t>{255, 256}));
}

TEST(ReadGrowingTest, AbsurdSizeAskedForGivesEmptyTextWithoutAllocating) {
  int calls = 0;
  const std::string text = ReadGrowing<char>(
      [&](char*, std::uint32_t) -> std::uint32_t {
        ++calls;
        return 0xFFFFFFFFu;
      },
      kInitial);
  EXPECT_EQ(text, "");
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace orvane
