#include "support/LabTest.h"

std::unique_ptr<LabSession> LabTest::lab_;
std::string LabTest::failure_;

void LabTest::SetUpTestSuite() {
  if (LabSession::IsRoot()) lab_ = LabSession::UpAndEnter(failure_);
}

void LabTest::TearDownTestSuite() { lab_.reset(); }

void LabTest::SetUp() {
  if (!LabSession::IsRoot()) GTEST_SKIP() << "lab tests need root (they build network namespaces)";
  ASSERT_TRUE(failure_.empty()) << failure_;
  ASSERT_TRUE(lab_ && lab_->Entered());
}
