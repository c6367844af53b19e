// COM for the whole test program, set up once as the program's entry point
// does it: the management service and the shell need it.

#include <gtest/gtest.h>

#include <memory>

#include "platform/win32/scoped_com.h"

namespace {

class ComEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    com_ = std::make_unique<orvane::win32::ScopedCom>();
    ASSERT_TRUE(SUCCEEDED(com_->initialize_result()));
    ASSERT_TRUE(SUCCEEDED(com_->security_result()));
  }
  void TearDown() override { com_.reset(); }

 private:
  std::unique_ptr<orvane::win32::ScopedCom> com_;
};

[[maybe_unused]] ::testing::Environment* const kComEnvironment =
    ::testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace
