#include "mainwnd/LameDefaults.h"

#include "audio/LameSettings.h"
#include "platform/Registry.h"

namespace mainwnd {

const std::vector<std::pair<std::string, std::uint32_t>>& LameDefaultValues() {
    static const std::vector<std::pair<std::string, std::uint32_t>> values = {
        {"Copyright", 0},  {"CRC", 0},          {"EnforceVBRmin", 0}, {"Force MS", 0},     {"Keep All Frequencies", 0},
        {"Mode Fixed", 0}, {"No Short Block", 0}, {"Original", 0},    {"PES", 0},          {"Quality", 5},
        {"Set Duration", 1}, {"Strict ISO", 0}, {"Variable", 0},      {"VariableMax", 160}, {"VariableMin", 80},
        {"VBR Quality", 4}, {"Voice Mode", 0},  {"Xing Tag", 0},
    };
    return values;
}

bool WriteLameDefaults() {
    platform::RegKey key;
    if (!key.OpenForWrite(platform::Hive::CurrentUser, kLameRegistryKey, true)) return false;
    bool ok = true;
    for (const auto& [name, value] : LameDefaultValues()) ok = key.SetDword(name, value) && ok;
    return ok;
}

}  // namespace mainwnd
