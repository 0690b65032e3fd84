#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/MessagePresenter.h"

// Records every message box and answers from a queue (No when the queue is
// empty). Installs itself for its lifetime.
class RecordingMessagePresenter : public MessagePresenter {
 public:
  RecordingMessagePresenter();
  ~RecordingMessagePresenter() override;

  MessageAnswer Present(const MessageRequest& request) override;

  // Success when exactly one message was shown, with this caption and text
  // (and icon, when given); otherwise every message shown, for the failure.
  ::testing::AssertionResult ShowedOnly(const std::string& caption, const std::string& text,
                                        std::optional<MessageIcon> icon = std::nullopt) const;

  std::vector<MessageRequest> shown;
  std::deque<MessageAnswer> answers;

 private:
  MessagePresenter* previous_;
};
