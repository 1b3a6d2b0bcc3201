// A fake sound card for Quillon's tests: an ALSA configuration that makes the control device "hw:0"
// resolve to the test plugin (FakeCardPlugin.c), a description of the card's elements, and the log
// of what was written to it.
#pragma once
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/harness/Harness.h"

class FakeCard {
public:
    // `lines`: the plugin's description lines ("elem bool 2 0 Mic Capture Switch", "fail list", ...).
    explicit FakeCard(const std::vector<std::string>& lines) {
        std::ofstream card(dir_ / "card.txt");
        for (const auto& l : lines) card << l << '\n';
        std::ofstream conf(ConfigPath());
        conf << "</usr/share/alsa/alsa.conf>\n"
             << "ctl.!hw {\n"
             << "  @args [ CARD ]\n"
             << "  @args.CARD { type string default \"0\" }\n"
             << "  type quillon_fake\n"
             << "  card \"" << (dir_ / "card.txt").string() << "\"\n"
             << "  log \"" << LogPath().string() << "\"\n"
             << "}\n"
             << "ctl_type.quillon_fake { lib \"" << FAKE_CARD_PLUGIN << "\" }\n";
    }

    // Card descriptions padded with neutral playback elements so that `atEleven` gets numid 11.
    static std::vector<std::string> WithElevenAt(std::vector<std::string> before, const std::string& atEleven,
                                                 std::vector<std::string> after = {}) {
        static const char* const pads[] = {"Master Playback Volume", "Master Playback Switch",
                                           "Headphone Playback Volume", "Headphone Playback Switch",
                                           "PCM Playback Volume", "Speaker Playback Volume",
                                           "Speaker Playback Switch", "Beep Playback Volume",
                                           "Beep Playback Switch", "CD Playback Volume"};
        std::vector<std::string> lines;
        for (std::size_t i = 0; before.size() + lines.size() < 10; ++i)
            lines.push_back(std::string(i % 2 ? "elem bool 2 1 " : "elem int 2 40 ") + pads[i]);
        lines.insert(lines.end(), before.begin(), before.end());
        lines.push_back(atEleven);
        lines.insert(lines.end(), after.begin(), after.end());
        return lines;
    }

    std::filesystem::path ConfigPath() const { return dir_ / "asound.conf"; }
    std::filesystem::path LogPath() const { return dir_ / "writes.log"; }
    std::string Writes() const {
        std::ifstream in(LogPath());
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

private:
    harness::TempDir dir_;
};
