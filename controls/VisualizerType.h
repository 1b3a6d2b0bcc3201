// The program-wide visualizer type: 1 graph, 2 spectrum, 3 equalizer (any other value draws as
// spectrum). Loaded from the VizState setting at start-up and changed by the options; the
// visualizer reads it at every drawing. Window thread only.
#pragma once

int GetVisualizerType();
void SetVisualizerType(int type);
