#pragma once

#include <string>

enum class MessageIcon { None, Warning, Question, Information, Tick, Cross };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// One message box as the core asks for it. Texts keep the "|" line-break
// convention; only a presenter turns it into real line breaks.
struct MessageRequest {
  std::string text;
  std::string caption;
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
  int timeoutSeconds = 0;  // 0: stays until answered

  // The text as a person reads it: every "|" a line break, so "||" leaves an empty line.
  std::string DisplayText() const;
};
