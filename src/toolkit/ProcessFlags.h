#pragma once

#include <string>

// The two process-wide flags of the start-up sequence and the switch that an
// elevated restart hands to the new instance. Written and read on the first
// thread only (the start-up sequence and the windows it runs).
extern unsigned char BYRESTARTASADMIN;    // 1: a window asked for an elevated restart
extern unsigned char BYBROWSEREMULATION;  // 1: the embedded browser may be used
extern std::string SRESTARTSWITCH;        // "/Advanced" or "/SetEmulation"

// What a window does when the user asks for the elevated restart: set the flag
// with the switch the new instance needs. The window then closes the main window.
void RequestAdminRestart(const std::string& restartSwitch);
