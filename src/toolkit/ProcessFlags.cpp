#include "toolkit/ProcessFlags.h"

unsigned char BYRESTARTASADMIN = 0;
unsigned char BYBROWSEREMULATION = 0;
std::string SRESTARTSWITCH;

void RequestAdminRestart(const std::string& restartSwitch) {
  BYRESTARTASADMIN = 1;
  SRESTARTSWITCH = restartSwitch;
}
