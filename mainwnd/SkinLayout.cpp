#include "mainwnd/SkinLayout.h"

namespace mainwnd {

std::vector<ButtonPlacement> SkinButtons(int W, int H) {
    return {
        {id::Help, "/help.png", 3, {W - 80, 10, W - 53, 40}, 1200, false, false},
        {id::Minimize, "/down.png", 3, {W - 59, 10, W - 32, 40}, 1201, false, false},
        {id::Close, "/close.png", 3, {W - 39, 10, W - 12, 40}, 1204, false, false},
        {id::OpenFile, "/file_open.png", 3, {W - 47, H - 80, W - 26, H - 62}, 1205, false, false},
        {id::Settings, "/setting.png", 3, {W - 62, H - 53, W - 12, H - 31}, 1206, false, false},
        {id::EditFile, "/edit.bmp", 3, {W - 62, H - 53, W - 12, H - 31}, 1002, true, true},
        {id::Play, "/Play_en.png", 4, {14, H - 44, 44, H - 14}, 1207, false, false},
        {id::Stop, "/Stop_en.png", 4, {45, H - 44, 75, H - 14}, 1210, false, false},
        {id::Previous, "/Backward_en.png", 4, {76, H - 44, 106, H - 14}, 1208, false, false},
        {id::Next, "/Forward_en.png", 4, {107, H - 44, 137, H - 14}, 1211, false, false},
        {id::Record, "/Record_en.png", 4, {138, H - 50, 178, H - 10}, 1209, false, false},
    };
}

const std::array<CellPlacement, 8>& TimeCells() {
    static const std::array<CellPlacement, 8> cells = {{
        {id::HoursCell, 175, 192, false},
        {id::HoursCell, 194, 211, false},
        {id::FirstColon, 213, 219, true},
        {id::MinutesTens, 221, 238, false},
        {id::MinutesUnits, 240, 257, false},
        {id::SecondColon, 259, 265, true},
        {id::SecondsTens, 267, 284, false},
        {id::SecondsUnits, 286, 303, false},
    }};
    return cells;
}

const std::array<const char*, 10>& DigitFiles() {
    static const std::array<const char*, 10> files = {"/zero.png", "/One.png",   "/Two.png",   "/Three.png",
                                                      "/Four.png", "/Five.png",  "/Six.png",   "/Seven.png",
                                                      "/Eight.png", "/Nine.png"};
    return files;
}

}  // namespace mainwnd
