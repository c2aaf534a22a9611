// The pointer as ImGui sees it, in the demo's panels and the viewer's alike.
#pragma once

#include "platform/platform.h"

// A button, move or leave event of ours into ImGui's input; other events are left alone. The
// pointer leaving keeps its place while a button is held (a drag goes on outside).
void imguiFeedPointer(const Event& e);
