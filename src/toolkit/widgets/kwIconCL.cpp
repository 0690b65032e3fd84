#include "toolkit/widgets/kwIconCL.h"

std::string kwIconCL::IconFile(const std::string& /*iconName*/) const { return {}; }
