#pragma once

#include "toolkit/MessagePresenter.h"

// The headless presenter: prints the message to stderr and answers without
// waiting (Ok, or No to a question).
class StderrMessagePresenter : public MessagePresenter {
 public:
  MessageAnswer Present(const MessageRequest& request) override;
};
