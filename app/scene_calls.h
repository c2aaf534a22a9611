// What the shell calls in the scene and the camera: set-up, one frame, the four movements and
// the mouse. The defaults are the scene's own functions; tests install recorders so that they
// can drive the loop without GL or model files and see the order of the calls.
#pragma once

struct SceneCalls {
    bool (*initScene)();
    bool (*drawScene)();
    void (*moveForward)();
    void (*moveBack)();
    void (*strafeLeft)();
    void (*strafeRight)();
    // Cursor position in client coordinates.
    void (*mouseMoved)(int x, int y);
    // The cursor has left the client area.
    void (*mouseLeft)();
};

const SceneCalls& sceneCalls();
// null restores the scene's own functions. The table is copied.
void setSceneCalls(const SceneCalls* calls);
