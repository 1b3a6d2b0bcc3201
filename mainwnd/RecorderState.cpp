#include "mainwnd/RecorderState.h"

namespace mainwnd {

ButtonStates ButtonStatesFor(int state) {
    constexpr Switch E = Switch::Enable, D = Switch::Disable, K = Switch::Keep;
    switch (state) {
        //                       open set rec prev play stop next prog vol  spk  blank
        case StateIdle:      return {E, E, E, D, D, D, D, D, D, K, true};
        case StatePlaying:   return {E, E, D, E, E, E, E, E, E, K, false};
        case StateFileReady: return {E, E, E, E, E, D, E, D, E, K, false};
        case StateRecording: return {D, D, E, D, D, E, D, D, D, D, false};
        case StateRecorded:  return {E, E, E, E, E, D, E, D, E, E, false};
        default:             return {K, K, K, K, K, K, K, K, K, K, false};
    }
}

}  // namespace mainwnd
