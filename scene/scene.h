// The scene: set-up once, one frame per loop turn.
#pragma once

bool initScene();
bool drawScene();
