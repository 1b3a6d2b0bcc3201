#include "resources/ProgramResources.h"

#include "platform/ResourceModule.h"

extern "C" {
extern const unsigned char murmelo_icon_16[], murmelo_icon_16_end[];
extern const unsigned char murmelo_icon_32[], murmelo_icon_32_end[];
extern const unsigned char murmelo_icon_48[], murmelo_icon_48_end[];
extern const unsigned char murmelo_icon_256[], murmelo_icon_256_end[];
}

namespace resources {

namespace {
constexpr Accelerator kTable157[] = {
    {true, 'O', 1504},
    {true, 'S', 1505},
    {true, 'E', 1528},
};

std::string_view Span(const unsigned char* begin, const unsigned char* end) {
    return {reinterpret_cast<const char*>(begin), std::size_t(end - begin)};
}
}  // namespace

std::span<const Accelerator> ProgramAccelerators() { return kTable157; }

wxAcceleratorTable MakeAcceleratorTable(std::span<const Accelerator> entries) {
    std::vector<wxAcceleratorEntry> wx;
    for (const Accelerator& a : entries) wx.emplace_back(a.control ? wxACCEL_CTRL : wxACCEL_NORMAL, a.key, a.command);
    return wxAcceleratorTable(int(wx.size()), wx.data());
}

std::string_view ProgramIconPng(int size) {
    switch (size) {
        case 16: return Span(murmelo_icon_16, murmelo_icon_16_end);
        case 32: return Span(murmelo_icon_32, murmelo_icon_32_end);
        case 48: return Span(murmelo_icon_48, murmelo_icon_48_end);
        case 256: return Span(murmelo_icon_256, murmelo_icon_256_end);
        default: return {};
    }
}

wxIconBundle ProgramIcon() {
    std::vector<std::string_view> images;
    for (int size : {16, 32, 48, 256}) images.push_back(ProgramIconPng(size));
    return platform::IconBundleFromPngs(images);
}

}  // namespace resources
