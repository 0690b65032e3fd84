#pragma once

#include "toolkit/MessagePresenter.h"

// Message boxes as QMessageBox, modal, on the GUI thread. A message raised on
// another thread is carried to the GUI thread and the caller waits for the answer.
class QtMessagePresenter : public MessagePresenter {
 public:
  MessageAnswer Present(const MessageRequest& request) override;
};
