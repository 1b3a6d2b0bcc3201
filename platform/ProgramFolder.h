// The folder of the running executable, without a trailing separator ("/opt/murmelo/bin"). Files
// the program looks for beside itself are this folder followed by a name beginning with "/".
#pragma once
#include <string>

namespace platform {

std::string GetProgramFolder();

}  // namespace platform
