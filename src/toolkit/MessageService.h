#pragma once

#include "toolkit/MessageRequest.h"

class MessagePresenter;

// The one seam through which the toolkit and the core raise message boxes.
// The window installs a QMessageBox presenter, the headless front end keeps the
// stderr one, tests install a recorder. The presenter is not owned.
class MessageService {
 public:
  static MessageAnswer Show(const MessageRequest& request);
  static MessageAnswer Show(std::string text, std::string caption, MessageIcon icon = MessageIcon::None,
                            MessageButtons buttons = MessageButtons::Ok, int timeoutSeconds = 0);

  // Installs presenter (nullptr: back to stderr) and returns the previous one.
  static MessagePresenter* Install(MessagePresenter* presenter);
};
