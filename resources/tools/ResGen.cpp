// Build-time helper for the resource module.
//   resgen bitmaps OUTDIR            writes 1007.bmp, 153.bmp and 154.bmp
//   resgen pack OUT NAME=FILE...     packs the files into one blob (format in platform/ResourcePack.h)
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/ResourcePack.h"

namespace {

struct Rgb {
    std::uint8_t r, g, b;
};

void Put16(std::vector<std::uint8_t>& v, std::uint32_t x) {
    v.push_back(x & 0xFF);
    v.push_back((x >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

// 24-bit uncompressed BMP, rows bottom-up and padded to four bytes.
bool WriteBmp(const std::string& path, int w, int h, const std::vector<Rgb>& px) {
    const std::uint32_t stride = (w * 3 + 3) & ~3u;
    const std::uint32_t imageSize = stride * h;
    std::vector<std::uint8_t> v;
    v.push_back('B');
    v.push_back('M');
    Put32(v, 54 + imageSize);
    Put32(v, 0);
    Put32(v, 54);
    Put32(v, 40);
    Put32(v, w);
    Put32(v, h);
    Put16(v, 1);
    Put16(v, 24);
    Put32(v, 0);
    Put32(v, imageSize);
    Put32(v, 2835);  // 72 DPI
    Put32(v, 2835);
    Put32(v, 0);
    Put32(v, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const Rgb& c = px[y * w + x];
            v.push_back(c.b);
            v.push_back(c.g);
            v.push_back(c.r);
        }
        for (std::uint32_t pad = w * 3; pad < stride; ++pad) v.push_back(0);
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(v.data()), v.size());
    return bool(out);
}

// Visualizer background: lavender, lighter towards the bottom, with a thin darker line every
// 4 pixels and a heavier one every 20.
std::vector<Rgb> VisualizerBackground(int w, int h) {
    std::vector<Rgb> px(w * h);
    for (int y = 0; y < h; ++y) {
        const int base = 173 + (194 - 173) * y / (h - 1);
        for (int x = 0; x < w; ++x) {
            int rg = base;
            int b = 255;
            if (x % 20 == 0) {
                rg -= 38;
                b = 222;
            } else if (x % 4 == 0) {
                rg -= 14;
                b = 242;
            }
            px[y * w + x] = {std::uint8_t(rg), std::uint8_t(rg), std::uint8_t(b)};
        }
    }
    return px;
}

// 16 x 16 black-on-white window glyphs: a framed square (maximize) and a short bar (minimize).
std::vector<Rgb> Glyph(bool square) {
    std::vector<Rgb> px(16 * 16, Rgb{255, 255, 255});
    auto set = [&](int x, int y) { px[y * 16 + x] = {0, 0, 0}; };
    if (square) {
        for (int i = 3; i <= 12; ++i) {
            set(i, 3);
            set(i, 4);  // heavier title edge
            set(i, 12);
            set(3, i);
            set(12, i);
        }
    } else {
        for (int x = 4; x <= 10; ++x) {
            set(x, 11);
            set(x, 12);
        }
    }
    return px;
}

int Bitmaps(const std::string& dir) {
    bool ok = WriteBmp(dir + "/1007.bmp", 279, 43, VisualizerBackground(279, 43));
    ok = WriteBmp(dir + "/153.bmp", 16, 16, Glyph(true)) && ok;
    ok = WriteBmp(dir + "/154.bmp", 16, 16, Glyph(false)) && ok;
    return ok ? 0 : 1;
}

int Pack(const std::string& outPath, int argc, char** argv) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        const auto eq = arg.find('=');
        if (eq == std::string::npos || eq == 0) {
            std::fprintf(stderr, "resgen: expected NAME=FILE, got %s\n", argv[i]);
            return 2;
        }
        std::ifstream in(arg.substr(eq + 1), std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "resgen: cannot read %s\n", arg.substr(eq + 1).c_str());
            return 1;
        }
        entries.emplace_back(arg.substr(0, eq), std::string(std::istreambuf_iterator<char>(in), {}));
    }
    const std::string blob = platform::BuildResourcePack(entries);
    std::ofstream out(outPath, std::ios::binary);
    out.write(blob.data(), blob.size());
    return out ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string cmd = argc > 1 ? argv[1] : "";
    if (cmd == "bitmaps" && argc == 3) return Bitmaps(argv[2]);
    if (cmd == "pack" && argc >= 3) return Pack(argv[2], argc - 3, argv + 3);
    std::fprintf(stderr, "usage: resgen bitmaps OUTDIR | resgen pack OUT NAME=FILE...\n");
    return 2;
}
