#include "controls/VisualizerType.h"

namespace {
int g_visualizerType = 1;
}

int GetVisualizerType() { return g_visualizerType; }
void SetVisualizerType(int type) { g_visualizerType = type; }
