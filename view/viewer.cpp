#include "view/viewer.h"

#include "math/random.h"
#include "platform/platform.h"
#include "view/looks.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <sys/stat.h>
#include <utility>

namespace {

constexpr double degreesToRadians = 3.14159265358979323846 / 180.0;

std::string baseName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string withoutLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

// The projection and model-view of the orbit: the centre `distance` ahead, shifted by the pan,
// turned by pitch and yaw. Near and far hug the model's sphere for the depth test's sake.
void applyCamera(const OrbitCamera& camera, float radius, int width, int height) {
    const double r = std::max(static_cast<double>(radius), 1e-3);
    const double d = camera.distance;
    const double nearPlane = std::max((d - r) * 0.5, r * 0.002);
    const double farPlane = d + 2.0 * r;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(viewFieldOfView, static_cast<double>(width) / std::max(height, 1), nearPlane,
                   farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(camera.panX, camera.panY, -camera.distance);
    glRotatef(camera.pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(camera.yaw, 0.0f, 1.0f, 0.0f);
}

// Gathers the notices of one read into the list given as the context, each line once with
// how often it came.
void collectNotice(void* context, GlmStream, const char* text) {
    auto* readNotices = static_cast<std::vector<std::pair<std::string, int>>*>(context);
    const std::string line = withoutLineEnd(text);
    for (auto& [known, count] : *readNotices) {
        if (known == line) {
            ++count;
            return;
        }
    }
    readNotices->emplace_back(line, 1);
}

// What is not a regular file, or is over the limit, is refused before the reader opens it: a
// FIFO would wait for a writer and /dev/zero would never end.
void checkFile(const std::string& path, std::int64_t maxBytes) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        return; // the reader says it can't open it
    }
    const char* kind = S_ISREG(info.st_mode)                            ? nullptr
                       : S_ISDIR(info.st_mode)                          ? "a directory"
                       : S_ISFIFO(info.st_mode)                         ? "a FIFO"
                       : S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) ? "a device"
                                                                        : "a socket";
    if (kind != nullptr) {
        throw GlmFatalError(GlmStream::Err, path + ": not a regular file but " + kind + "\n");
    }
    if (maxBytes > 0 && info.st_size > maxBytes) {
        throw GlmFatalError(GlmStream::Err, path + ": " + std::to_string(info.st_size) +
                                                " bytes, more than the limit of " +
                                                std::to_string(maxBytes >> 20) + " MB\n");
    }
}

// Faces alone make what is drawn: a vertex no face uses goes onto one that is used, so that
// scaling and framing see only the drawn part.
void gatherUnusedVertices(GlmModel* model) {
    std::vector<bool> used(std::size_t{model->vertexCount} + 1, false);
    for (std::uint32_t t = 0; t < model->triangleCount; ++t) {
        for (std::uint32_t v : model->triangles[t].vertexIndex) {
            used[v] = true;
        }
    }
    const Vec3 anchor = model->vertices[model->triangles[0].vertexIndex[0]];
    for (std::uint32_t i = 1; i <= model->vertexCount; ++i) {
        if (!used[i]) {
            model->vertices[i] = anchor;
        }
    }
}

} // namespace

const UpAxis upAxes[upAxisCount] = {
    {"+y", {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},   {"+z", {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}}},
    {"-y", {{1, 0, 0}, {0, -1, 0}, {0, 0, -1}}}, {"-z", {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}}},
    {"+x", {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}}},  {"-x", {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}}},
};

int upAxisNamed(const std::string& name) {
    const auto found = std::find_if(std::begin(upAxes), std::end(upAxes),
                                    [&name](const UpAxis& axis) { return name == axis.name; });
    return found != std::end(upAxes) ? static_cast<int>(found - upAxes) : -1;
}

void turnUp(GlmModel* model, int from, int to) {
    // Back from `from` (a rotation's inverse is its transpose), then on to `to`.
    float m[3][3];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            int sum = 0;
            for (int k = 0; k < 3; ++k) {
                sum += upAxes[to].rows[r][k] * upAxes[from].rows[c][k];
            }
            m[r][c] = static_cast<float>(sum);
        }
    }
    auto turn = [&m](Vec3* points, std::uint32_t count) {
        for (std::uint32_t i = 1; points != nullptr && i <= count; ++i) {
            const Vec3 p = points[i];
            points[i] = Vec3{m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z,
                             m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z,
                             m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z};
        }
    };
    turn(model->vertices, model->vertexCount);
    turn(model->normals, model->normalCount);
    turn(model->facetNormals, model->facetNormalCount);
}

const Background backgrounds[backgroundCount] = {
    {"grey", {0.3f, 0.3f, 0.3f}}, // the demo's
    {"white", {1.0f, 1.0f, 1.0f}},
    {"black", {0.0f, 0.0f, 0.0f}},
};

const std::vector<KeyHelp> keyHelp = {
    {{VK_LEFT, VK_RIGHT}, "Left / Right", "previous / next file"},
    {{'O', 0}, "O", "outline on / off"},
    {{VK_OEM_4, VK_OEM_4 + 2}, "[ / ]", "outline narrower / wider (1 to 12 px)"},
    {{'T', 0}, "T", "next ramp (the demo's five, then random greys)"},
    {{'B', 0}, "B", "next background (grey, white, black)"},
    {{'R', 0}, "R", "reset the view"},
    {{'U', 0}, "U", "up axis: +y, +z, -y, -z, +x, -x"},
    {{VK_F11, 0}, "F11", "fullscreen on / off"},
    {{VK_F12, 0}, "F12", "screenshot (velmora-YYYYMMDD-HHMMSS.png)"},
    {{'H', 0}, "H", "this panel on / off"},
    {{VK_ESCAPE, 0}, "Escape", "quit"},
};

const std::vector<KeyHelp> mouseHelp = {
    {{0, 0}, "Left drag", "orbit about the centre"},
    {{0, 0}, "Right / middle drag", "pan"},
    {{0, 0}, "Wheel", "zoom"},
    {{0, 0}, "Drop a file", "open it"},
};

ShownModel::~ShownModel() {
    if (toon.rampTexture != 0) {
        GLuint texture = toon.rampTexture;
        glDeleteTextures(1, &texture);
    }
    if (toon.model != nullptr) {
        glmDeleteModel(toon.model);
    }
}

std::unique_ptr<ShownModel> readModel(const std::string& path, const ReadSettings& settings,
                                      std::string* notices) {
    checkFile(path, settings.maxBytes);
    auto shown = std::make_unique<ShownModel>();
    std::vector<std::pair<std::string, int>> said;
    glmSetMessageSink(collectNotice, &said);
    struct Restore {
        ~Restore() { glmSetMessageSink(nullptr); }
    } restore;
    auto tell = [&] {
        for (const auto& [line, count] : said) {
            if (notices != nullptr) {
                *notices += (line.find(path) == std::string::npos ? path + ": " : "") + line +
                            (count > 1 ? " (" + std::to_string(count) + " times)" : "") + "\n";
            }
        }
    };
    try {
        // Released with `shown` from here on, whatever throws.
        shown->toon.model = glmReadOBJ(path.c_str(), GLM_GEOMETRY_ONLY);
        if (shown->toon.model->triangleCount == 0) {
            throw GlmFatalError(GlmStream::Err, path + ": no triangles\n");
        }
    } catch (const GlmFatalError&) {
        tell();
        throw;
    }
    GlmModel* model = shown->toon.model;
    shown->path = path;
    gatherUnusedVertices(model);
    glmPrepare(model, [&settings](GlmModel* m) { turnUp(m, 0, settings.up); });
    tell();
    shown->orientation = decideOrientation(*model);
    // The demo lights its clockwise models, whose facet normals point inward, from (5, -5, -5)
    // in eye coordinates. Outward normals see the same light from the opposite side.
    const float side = shown->orientation.counterClockwise ? -1.0f : 1.0f;
    shown->toon.lightDir = Vec3{5.0f * side, -5.0f * side, -5.0f * side};
    vec3Normalize(&shown->toon.lightDir);
    float radius = 0.0f;
    for (std::uint32_t i = 1; i <= model->vertexCount; ++i) {
        const Vec3& v = model->vertices[i];
        radius = std::max(radius, std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z));
    }
    shown->radius = radius;
    return shown;
}

float framingDistance(float radius, int width, int height) {
    const double half = viewFieldOfView * 0.5 * degreesToRadians;
    const double aspect = static_cast<double>(std::max(width, 1)) / std::max(height, 1);
    const double narrower = std::min(half, std::atan(std::tan(half) * aspect));
    const double r = std::max(static_cast<double>(radius), 1e-3) * 1.08;
    return static_cast<float>(r / std::sin(narrower));
}

bool Viewer::open(int index, double now) {
    if (files.empty()) {
        return false;
    }
    const int count = static_cast<int>(files.size());
    fileIndex = ((index % count) + count) % count;
    return replace(files[fileIndex], false, now);
}

bool Viewer::openPath(const std::string& path, double now) {
    auto known = std::find(files.begin(), files.end(), path);
    if (known == files.end()) {
        files.push_back(path);
        known = files.end() - 1;
    }
    return open(static_cast<int>(known - files.begin()), now);
}

bool Viewer::replace(const std::string& path, bool keepView, double now) {
    // Taken before reading: a write that lands during the read shows as a change afterwards.
    const FileStamp stamp = fileStamp(path);
    wanted = path;
    watch.read(now, stamp);
    std::unique_ptr<ShownModel> next;
    std::string said;
    panelFile = baseName(path);
    notices.clear();
    try {
        next = readModel(path, ReadSettings{maxBytes, settings.up}, &said);
    } catch (const GlmFatalError& failure) {
        error = withoutLineEnd(said + failure.what());
        return false;
    } catch (const std::bad_alloc&) {
        error = path + ": not enough memory to read it";
        return false;
    }
    model = std::move(next);
    error.clear();
    notices = withoutLineEnd(said);
    if (!keepView) {
        camera = OrbitCamera{};
    }
    return true;
}

bool Viewer::checkWatch(double now) {
    if (!watching || wanted.empty() || !watch.due(now) || !watch.look(now, fileStamp(wanted))) {
        return false;
    }
    const bool same = model != nullptr && model->path == wanted;
    if (replace(wanted, same, now) && same) {
        showNote("Reloaded", now);
    }
    return true; // a new model, or the failure's message in the panel
}

KeyResult Viewer::key(int code, bool repeat, double now) {
    const bool repeats =
        code == VK_LEFT || code == VK_RIGHT || code == VK_OEM_4 || code == VK_OEM_4 + 2;
    if (repeat && !repeats) {
        return KeyResult::Ignored;
    }
    char text[64];
    switch (code) {
    case VK_LEFT:
    case VK_RIGHT:
        if (files.size() > 1) {
            open(fileIndex + (code == VK_LEFT ? -1 : 1), now);
        }
        return KeyResult::Handled;
    case 'O':
        settings.outline = !settings.outline;
        showNote(settings.outline ? "Outline on" : "Outline off", now);
        return KeyResult::Handled;
    case VK_OEM_4:
    case VK_OEM_4 + 2:
        settings.lineWidth = std::clamp(settings.lineWidth + (code == VK_OEM_4 ? -1.0f : 1.0f),
                                        minLineWidth, maxLineWidth);
        std::snprintf(text, sizeof text, "Outline %d px", static_cast<int>(settings.lineWidth));
        showNote(text, now);
        return KeyResult::Handled;
    case 'T':
        settings.look = (settings.look + 1) % lookCount;
        if (model != nullptr) {
            model->rampBuilt = false;
        }
        showNote(std::string("Ramp: ") + looks[settings.look].name, now);
        return KeyResult::Handled;
    case 'B':
        settings.background = (settings.background + 1) % backgroundCount;
        showNote(std::string("Background: ") + backgrounds[settings.background].name, now);
        return KeyResult::Handled;
    case 'R':
        camera = OrbitCamera{};
        return KeyResult::Handled;
    case 'U': {
        const int up = (settings.up + 1) % upAxisCount;
        if (model != nullptr) {
            turnUp(model->toon.model, settings.up, up);
            model->toon.cornerIndices.clear(); // the corners' positions are made anew
            model->toon.edges.clear();
        }
        settings.up = up;
        showNote(std::string("Up: ") + upAxes[up].name, now);
        return KeyResult::Handled;
    }
    case 'H':
        settings.help = !settings.help;
        return KeyResult::Handled;
    case VK_F11:
        return KeyResult::Fullscreen;
    case VK_F12:
        return KeyResult::Screenshot;
    case VK_ESCAPE:
        return KeyResult::Quit;
    default:
        return KeyResult::Ignored;
    }
}

void Viewer::buttonDown(int button, int x, int y) {
    if (dragButton < 0 && button >= 0 && button <= 2) {
        dragButton = button;
        lastX = x;
        lastY = y;
    }
}

void Viewer::buttonUp(int button) {
    if (button == dragButton) {
        dragButton = -1;
    }
}

void Viewer::mouseMove(int x, int y, int viewportHeight, double now) {
    if (dragButton < 0) {
        return;
    }
    const float dx = static_cast<float>(x - lastX);
    const float dy = static_cast<float>(y - lastY);
    lastX = x;
    lastY = y;
    if (dx == 0.0f && dy == 0.0f) {
        return;
    }
    if (dragButton == 0) {
        camera.yaw = std::fmod(camera.yaw + dx * 0.4f, 360.0f);
        camera.pitch = std::clamp(camera.pitch + dy * 0.4f, -89.0f, 89.0f);
    } else {
        // One pixel moves the centre by one pixel's width at the centre's depth.
        const double perPixel = 2.0 * camera.distance *
                                std::tan(viewFieldOfView * 0.5 * degreesToRadians) /
                                std::max(viewportHeight, 1);
        camera.panX += static_cast<float>(dx * perPixel);
        camera.panY -= static_cast<float>(dy * perPixel);
    }
    lastMotion = now;
}

void Viewer::wheel(int notches, double now) {
    if (camera.distance <= 0.0f || model == nullptr) {
        return;
    }
    const float radius = std::max(model->radius, 1e-3f);
    camera.distance = std::clamp(camera.distance * std::pow(0.85f, static_cast<float>(notches)),
                                 radius * 0.1f, radius * 100.0f);
    lastMotion = now;
}

bool Viewer::outlineNow(double now) const {
    return !moving(now) || outlineFrameSeconds <= slowOutlineSeconds;
}

void Viewer::showNote(const std::string& text, double now, double seconds) {
    note = text;
    noteUntil = now + seconds;
}

void Viewer::draw(int width, int height, int bottom, double now) {
    const Background& background = backgrounds[settings.background];
    glClearColor(background.rgb[0], background.rgb[1], background.rgb[2], 0.0f);
    glClearDepth(1.0);
    glViewport(0, bottom, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (model == nullptr || width <= 0 || height <= 0) {
        return;
    }
    ToonModel& toon = model->toon;
    const Look& look = looks[settings.look];
    if (!model->rampBuilt) {
        if (toon.rampTexture != 0) {
            GLuint texture = toon.rampTexture;
            glDeleteTextures(1, &texture);
        }
        toon.flags = look.flags;
        toon.shadeCount = look.shadeCount;
        if (look.freshGenerator) {
            resetRandom();
        }
        toon.buildRamp(look.cool, look.warm);
        model->rampBuilt = true;
    }
    if (camera.distance <= 0.0f) {
        camera.distance = framingDistance(model->radius, width, height);
    }
    applyCamera(camera, model->radius, width, height);
    // The two passes cull GL_FRONT and then GL_BACK assuming clockwise outer faces; for a
    // counter-clockwise model the GL's notion of front is turned round instead.
    // Where a mesh has no closed outside, faces are seen from behind too: both sides are shaded.
    const bool closed = model->orientation.kind == Orientation::Kind::Closed;
    glFrontFace(model->orientation.counterClockwise ? GL_CW : GL_CCW);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    const bool outline = settings.outline && outlineNow(now);
    toon.flags = look.flags | (outline ? TOON_OUTLINE : 0) | (closed ? 0 : TOON_TWO_SIDED);
    toon.lineWidth = settings.lineWidth;
    toon.draw();
    glFrontFace(GL_CCW);
    glEnable(GL_CULL_FACE);
}

std::array<std::string, 5> Viewer::statusTexts(double framesPerSecond, double now) const {
    std::array<std::string, 5> texts;
    if (model != nullptr) {
        texts[0] = baseName(model->path);
        const std::uint32_t triangles = model->toon.model->triangleCount;
        texts[1] = std::to_string(triangles) + (triangles == 1 ? " triangle" : " triangles");
        texts[2] = orientationText(model->orientation);
    }
    if (framesPerSecond > 0.0) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f fps", framesPerSecond);
        texts[3] = text;
    }
    if (now < noteUntil) {
        texts[4] = note;
    } else if (model != nullptr && settings.outline && !outlineNow(now)) {
        texts[4] = "outline when the view rests";
    }
    return texts;
}
