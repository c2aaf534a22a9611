#include "app/shell_state.h"

bool keyTable[256];
bool freeCamera = false;
bool showPath = false;
float speedDivisor = 5.0f;

void resetShellState() {
    for (bool& key : keyTable) {
        key = false;
    }
    freeCamera = false;
    showPath = false;
    speedDivisor = 5.0f;
}
