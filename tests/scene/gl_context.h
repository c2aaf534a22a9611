// Offscreen GL for the scene tests: one compatibility context on SDL's offscreen driver, and
// the GL's feedback mode to see the vertices a call sends.
#pragma once

#include <vector>

constexpr int testSurfaceSize = 400;

// Creates the context once per process and makes it current; false (with a message) if the
// offscreen driver or GL is unavailable.
bool ensureGlContext();

struct FeedbackVertex {
    float x, y, z;    // window coordinates (z in [0, 1])
    float r, g, b, a; // current colour
};

struct FeedbackPrimitive {
    int token; // GL_POINT_TOKEN, GL_LINE_TOKEN, GL_LINE_RESET_TOKEN, GL_POLYGON_TOKEN...
    std::vector<FeedbackVertex> vertices;
};

// Runs draw in GL_FEEDBACK mode (GL_3D_COLOR) and returns the primitives it produced.
template <class Draw> std::vector<FeedbackPrimitive> captureFeedback(Draw draw);

std::vector<FeedbackPrimitive> parseFeedback(const std::vector<float>& buffer, int used);
void beginFeedback(std::vector<float>* buffer);
int endFeedback();

template <class Draw> std::vector<FeedbackPrimitive> captureFeedback(Draw draw) {
    std::vector<float> buffer(1 << 20);
    beginFeedback(&buffer);
    draw();
    int used = endFeedback();
    return parseFeedback(buffer, used);
}
