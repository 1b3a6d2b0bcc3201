// The transport state of the main window and which controls each state enables.
#pragma once

enum RecorderState {
    StateIdle = 0,       // no file loaded, nothing recorded
    StatePlaying = 1,    // a file plays or its playback is paused
    StateFileReady = 2,  // a file is loaded and stopped
    StateRecording = 3,  // a recording runs or is paused
    StateRecorded = 4,   // a recording was just finished and is loaded for playback
};

namespace mainwnd {

// Enable, disable, or leave a control as it is.
enum class Switch : signed char { Keep = -1, Disable = 0, Enable = 1 };

struct ButtonStates {
    Switch open;       // 1504
    Switch settings;   // 1505
    Switch record;     // 1506
    Switch previous;   // 1507
    Switch play;       // 1508
    Switch stop;       // 1509
    Switch next;       // 1510
    Switch progress;   // 1005
    Switch volume;     // 1007
    Switch speaker;    // 1527
    bool blankTexts;   // the three text lines become one blank
};

// The table SetButtonStates applies; an unknown value leaves everything as it is.
ButtonStates ButtonStatesFor(int state);

}  // namespace mainwnd
