#include "platform/Chassis.h"

#include <fstream>
#include <string>

namespace platform {

bool IsTabletPc(const std::string& path) {
    std::ifstream in(path);
    std::string text;
    if (!in || !std::getline(in, text)) return false;
    const auto first = text.find_first_not_of(" \t\r");
    const auto last = text.find_last_not_of(" \t\r");
    if (first == std::string::npos) return false;
    text = text.substr(first, last - first + 1);
    return text == "30" || text == "31" || text == "32";
}

}  // namespace platform
