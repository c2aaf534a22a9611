// The viewer's state and behaviour without the window: the files, the model shown, the
// settings the keys change, the orbit camera, the messages, --watch; and the frame's drawing.
//
// Contract:
// - Reading (open, openPath, checkWatch) needs no GL. A file that cannot be read leaves the
//   shown model as it was and puts the reader's message in `error` (the panel's text) until a
//   read works or the user closes the panel.
// - draw needs the GL context current; it builds the ramp texture when the model or the look
//   is new, and leaves glFrontFace at GL_CCW and the model-view matrix selected.
// - Times are seconds on one clock of the caller's choosing.
#pragma once

#include "toon/toon_model.h"
#include "view/watch.h"
#include "view/winding.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

// One model as the viewer shows it. Releases the model and its ramp texture (the latter needs
// the context that made it current).
struct ShownModel {
    ToonModel toon{};
    Orientation orientation;
    std::string path;
    // The largest distance of a vertex from the centre, after unit scaling.
    float radius = 0.0f;
    bool rampBuilt = false;

    ShownModel() = default;
    ShownModel(const ShownModel&) = delete;
    ShownModel& operator=(const ShownModel&) = delete;
    ~ShownModel();
};

// Which model axis points up on screen: "+y" (the default), "+z", "-y", "-z", "+x", "-x".
struct UpAxis {
    const char* name;
    int rows[3][3]; // shown = rows x read, a rotation
};
constexpr int upAxisCount = 6;
extern const UpAxis upAxes[upAxisCount];
// The index of "+z" and the like; -1 for anything else.
int upAxisNamed(const std::string& name);
// Turns the model's vertices and normals from showing `from` up to showing `to` up.
void turnUp(GlmModel* model, int from, int to);

// What a read may take and what it turned up: the file's size limit in bytes (0: none), the
// up axis, and the reader's notices (each said once, a repeat counted, every one naming the
// file), one a line.
struct ReadSettings {
    std::int64_t maxBytes = 0;
    int up = 0;
};

// Read (materials, normals and texture coordinates optional, as the viewer uses none of them),
// unit-scaled about the vertices the faces use, smoothed with a crease of 90 degrees, turned
// up as asked, lit from the demo's side whichever way it winds. Only a regular file is read,
// and one without triangles is refused. Throws GlmFatalError with the message.
std::unique_ptr<ShownModel> readModel(const std::string& path, const ReadSettings& settings = {},
                                      std::string* notices = nullptr);

constexpr float viewFieldOfView = 45.0f; // degrees, vertical

struct OrbitCamera {
    float yaw = -30.0f;    // degrees about the vertical axis
    float pitch = 20.0f;   // degrees, looking down; -89 to 89
    float distance = 0.0f; // from the eye to the model's centre; 0: frame it at the next draw
    float panX = 0.0f;     // the centre's offset across the view
    float panY = 0.0f;
};

// The distance at which a sphere of `radius` about the centre fills the narrower field of
// view, with a margin for the outline.
float framingDistance(float radius, int width, int height);

struct Background {
    const char* name;
    float rgb[3];
};
constexpr int backgroundCount = 3;
extern const Background backgrounds[backgroundCount];

constexpr float minLineWidth = 1.0f;
constexpr float maxLineWidth = 12.0f;

struct ViewSettings {
    bool outline = true;
    float lineWidth = 4.0f; // the demo's usual width
    int look = 0;
    int background = 0;
    bool help = false;
    int up = 0; // into upAxes
};

// The key panel's rows: up to two key codes each (0: none) and the text.
struct KeyHelp {
    int codes[2];
    const char* keys;
    const char* action;
};
extern const std::vector<KeyHelp> keyHelp;
// The mouse's rows, for the same panel.
extern const std::vector<KeyHelp> mouseHelp;

enum class KeyResult { Ignored, Handled, Quit, Screenshot, Fullscreen };

// A frame with the outline slower than this drops the outline while the view moves.
constexpr double slowOutlineSeconds = 0.1;
// The view counts as moving until this long after the last change by the mouse.
constexpr double restSeconds = 0.25;

class Viewer {
  public:
    std::vector<std::string> files;
    int fileIndex = 0; // the file last asked for (the shown one unless that read failed)
    std::unique_ptr<ShownModel> model;
    ViewSettings settings;
    OrbitCamera camera;
    // The panel: why the last read failed, or what its reader said; and about which file.
    std::string error;
    std::string notices;
    std::string panelFile;
    std::int64_t maxBytes = 0; // a read's size limit (0: none)
    std::string note;
    double noteUntil = 0.0;
    bool watching = false;
    // How long the last frame drawn with the outline took; the policy for moving views.
    double outlineFrameSeconds = 0.0;

    // Reads files[index] and shows it framed anew; false (the shown model kept) when it fails.
    bool open(int index, double now);
    // A dropped file: joins the list (once) and opens.
    bool openPath(const std::string& path, double now);
    // --watch: reads the shown file again when its stamp changed, keeping the view. True when
    // that changed what the window shows (a model, or the panel's message), so it is redrawn.
    bool checkWatch(double now);

    KeyResult key(int code, bool repeat, double now);
    // button: 0 left (orbit), 1 right or 2 middle (pan).
    void buttonDown(int button, int x, int y);
    void buttonUp(int button);
    void mouseMove(int x, int y, int viewportHeight, double now);
    void wheel(int notches, double now);
    bool moving(double now) const { return now - lastMotion < restSeconds; }
    // Whether this frame draws the outline pass: always at rest, while moving only when it is
    // quick enough.
    bool outlineNow(double now) const;
    void showNote(const std::string& text, double now, double seconds = 3.0);

    // Clears to the background and draws the model into the viewport (x 0, y `bottom`).
    void draw(int width, int height, int bottom, double now);

    // The status bar's parts: file, triangles, winding, frames per second, note.
    std::array<std::string, 5> statusTexts(double framesPerSecond, double now) const;

  private:
    int dragButton = -1;
    int lastX = 0;
    int lastY = 0;
    double lastMotion = -1e9;
    std::string wanted; // the file last asked for, which --watch looks at
    ReloadWatch watch;
    bool replace(const std::string& path, bool keepView, double now);
};
