// Where the main window's run-time controls go and which skin files they show. Rectangles are
// (left, top, right, bottom) in client pixels; W and H are the client width and height.
#pragma once
#include <array>
#include <string>
#include <vector>

namespace mainwnd {

// Template 102 is 189 × 118 dialog units; with fixed base units of 7 × 16 pixels
// (x = du × 7 / 4, y = du × 16 / 8) the client area is 331 × 236 pixels.
constexpr int kDialogBaseX = 7;
constexpr int kDialogBaseY = 16;
constexpr int DluToPixelsX(int du) { return (du * kDialogBaseX + 2) / 4; }
constexpr int DluToPixelsY(int du) { return (du * kDialogBaseY + 4) / 8; }
constexpr int kClientWidth = DluToPixelsX(189);
constexpr int kClientHeight = DluToPixelsY(118);
static_assert(kClientWidth == 331 && kClientHeight == 236);

struct SkinRect {
    int left, top, right, bottom;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// Command IDs of the controls.
namespace id {
constexpr int Help = 103, Minimize = 1501, Close = 1503, OpenFile = 1504, Settings = 1505, EditFile = 1528;
constexpr int ModeButton = 1518, Record = 1506, Previous = 1507, Play = 1508, Stop = 1509, Next = 1510;
constexpr int Speaker = 1527, FormatIndicator = 1519, RecordingIndicator = 1521;
constexpr int HoursCell = 1511, FirstColon = 1512, MinutesTens = 1513, MinutesUnits = 1514;
constexpr int SecondColon = 1515, SecondsTens = 1516, SecondsUnits = 1517;
constexpr int FileInfoLine = 1013, InfoLine = 1051, TitleLine = 1076, StatusStatic = 1016;
constexpr int ProgressBar = 1005, VolumeBar = 1007, Visualizer = 1001, DeviceList = 1009, InputList = 1011;
}  // namespace id

struct ButtonPlacement {
    int id;
    const char* file;       // appended to the skin folder
    int frames;             // 3 or 4
    SkinRect rect;
    unsigned tooltip;       // string-table id, or message-table id when fromMessageTable
    bool fromMessageTable;
    bool hidden;
};
// The eleven image buttons in creation order (the mode button is made separately).
std::vector<ButtonPlacement> SkinButtons(int W, int H);

struct CellPlacement {
    int id;
    int left, right;
    bool separator;
};
constexpr int kCellTop = 58, kCellBottom = 88;
// Hours tens, hours units, colon, minutes tens, minutes units, colon, seconds tens, seconds units.
const std::array<CellPlacement, 8>& TimeCells();
// Index into TimeCells of the six digit cells, in ReadoutDigits' order.
constexpr std::array<int, 6> kDigitCells = {0, 1, 3, 4, 6, 7};

constexpr SkinRect kVisualizerRect{28, 92, 300, 132};
constexpr SkinRect kFormatIndicatorRect{30, 50, 62, 73};
constexpr SkinRect kModeButtonRect{76, 56, 110, 74};
constexpr SkinRect kRecordingIndicatorRect{124, 60, 153, 73};
inline SkinRect SpeakerRect(int H) { return {190, H - 40, 208, H - 22}; }
constexpr SkinRect kFileInfoRect{192, 133, 302, 143};
constexpr SkinRect kTitleRect{32, 157, 270, 173};
constexpr int kCornerEllipse = 26;

// Digit image files, 0 to 9 ("zero.png" is lower case, the others begin with a capital).
const std::array<const char*, 10>& DigitFiles();

}  // namespace mainwnd
