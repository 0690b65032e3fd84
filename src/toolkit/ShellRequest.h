#pragma once

#include <string>
#include <vector>

// What the program hands to the system to start: a program with its arguments,
// or a web address or document to be opened by the desktop's default handler.
struct ShellRequest {
  enum class Kind { Program, Document };
  Kind kind = Kind::Program;
  std::string file;  // program path, web address or document
  std::vector<std::string> arguments;
  std::string directory;                 // empty: the current folder
  bool wait = false;                     // block until the started process ends
  bool elevate = false;                  // through pkexec
  bool hidden = false;                   // no window wanted: output is discarded
  std::vector<std::string> environment;  // "NAME=value" carried across the elevation
  // A document opened by a process running as root is opened as this user (the
  // one who asked for the elevation); -1: nobody known, and a root process then
  // opens no document at all.
  int userId = -1;
};
