// velmora-view run headless as a user, a script or a file manager runs it: the pictures of
// cubes wound either way, open and mixed, checked pixel by pixel; transparency; the reader's
// message and the exit status; the thumbnailer entry as installed.
#include "toon/toon_model.h"
#include "view/looks.h"

#include "tests/support/capture_run.h"
#include "tests/view/meshes.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

std::string quoted(const fs::path& path) {
    return std::string("'").append(path.string()).append("'");
}

struct ViewRun {
    int status = -1;
    std::string errors;
};

ViewRun run(const fs::path& dir, const std::string& arguments) {
    const std::string command =
        std::string("'" VELMORA_VIEW "' ") + arguments + " 2> " + quoted(dir / "stderr.txt");
    const int raw = std::system(command.c_str());
    return ViewRun{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(dir / "stderr.txt")};
}

struct Png {
    int width = 0;
    int height = 0;
    int channels = 0; // as stored in the file
    std::vector<unsigned char> rgba;
    const unsigned char* at(int x, int y) const {
        return &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
    }
};

Png loadPng(const fs::path& path) {
    Png png;
    unsigned char* data = stbi_load(path.c_str(), &png.width, &png.height, &png.channels, 4);
    if (data != nullptr) {
        png.rgba.assign(data, data + static_cast<std::size_t>(png.width) * png.height * 4);
        stbi_image_free(data);
    }
    return png;
}

// A wide line's ends come out a pixel different with the direction it is drawn in, and the
// outline of a model wound the other way runs the other way round: a few pixels where lines
// meet may differ, where a wrong winding would change whole faces.
int differingPixels(const Png& a, const Png& b) {
    if (a.width != b.width || a.height != b.height) {
        return a.width * a.height + b.width * b.height;
    }
    int count = 0;
    for (std::size_t i = 0; i < a.rgba.size(); i += 4) {
        count += !std::equal(&a.rgba[i], &a.rgba[i] + 4, &b.rgba[i]);
    }
    return count;
}

// A model file in `dir`, drawn at 160 x 160.
Png render(const fs::path& dir, const std::string& name, const std::string& obj,
           const std::string& extra = "") {
    std::ofstream(dir / (name + ".obj"), std::ios::binary) << obj;
    const fs::path out = dir / (name + ".png");
    const ViewRun result = run(dir, quoted(dir / (name + ".obj")) + " --output " + quoted(out) +
                                        " --size 160 " + extra);
    EXPECT_EQ(result.status, 0) << name << ": " << result.errors;
    return loadPng(out);
}

bool same(const unsigned char* p, int r, int g, int b) {
    return std::abs(p[0] - r) <= 1 && std::abs(p[1] - g) <= 1 && std::abs(p[2] - b) <= 1;
}
bool isBackground(const unsigned char* p) {
    return same(p, 77, 77, 77);
}
bool isBlack(const unsigned char* p) {
    return same(p, 0, 0, 0);
}

// The first ramp's texels in 8 bits.
std::vector<std::array<int, 3>> rampColours() {
    const Look& look = looks[0];
    float texels[toonMaxShades][3];
    computeToonRamp(look.flags, look.shadeCount, look.cool, look.warm, texels);
    std::vector<std::array<int, 3>> colours;
    for (int i = 0; i < look.shadeCount; ++i) {
        colours.push_back({static_cast<int>(std::lround(texels[i][0] * 255)),
                           static_cast<int>(std::lround(texels[i][1] * 255)),
                           static_cast<int>(std::lround(texels[i][2] * 255))});
    }
    return colours;
}

struct Census {
    int background = 0;
    int black = 0;
    int ramp = 0;
    int other = 0;
    // Within 20 pixels of the middle, where the cube's nearest corner is.
    int nearCentre = 0;
    int blackNearCentre = 0;
    int rampNearCentre = 0;
};

Census census(const Png& png) {
    const std::vector<std::array<int, 3>> ramp = rampColours();
    Census c;
    for (int y = 0; y < png.height; ++y) {
        for (int x = 0; x < png.width; ++x) {
            const unsigned char* p = png.at(x, y);
            const bool central = std::hypot(x - png.width / 2, y - png.height / 2) < 20;
            c.nearCentre += central;
            if (isBackground(p)) {
                ++c.background;
            } else if (isBlack(p)) {
                ++c.black;
                c.blackNearCentre += central;
            } else if (std::any_of(ramp.begin(), ramp.end(), [&](const std::array<int, 3>& t) {
                           return same(p, t[0], t[1], t[2]);
                       })) {
                ++c.ramp;
                c.rampNearCentre += central;
            } else {
                ++c.other;
            }
        }
    }
    return c;
}

// Along the middle row from each side: the first pixel that is not background is outline.
bool outlinedAcrossTheMiddle(const Png& png) {
    const int y = png.height / 2;
    int left = 0;
    while (left < png.width && isBackground(png.at(left, y))) {
        ++left;
    }
    int right = png.width - 1;
    while (right >= 0 && isBackground(png.at(right, y))) {
        --right;
    }
    return left < right && isBlack(png.at(left, y)) && isBlack(png.at(right, y));
}

TEST(ViewRender, ACubeLooksTheSameWhicheverWayItWinds) {
    const fs::path dir = scratchDir("cubes");
    const Png clockwise = render(dir, "clockwise", meshes::cube(true));
    const Png counter = render(dir, "counter", meshes::cube(false));
    ASSERT_EQ(clockwise.width, 160);
    ASSERT_EQ(clockwise.height, 160);
    EXPECT_EQ(clockwise.channels, 3);
    EXPECT_LE(differingPixels(clockwise, counter), 8) << "the two windings drew different pictures";
    const Census c = census(counter);
    EXPECT_EQ(c.other, 0) << "every pixel is background, outline or a ramp texel";
    EXPECT_GT(c.ramp, 160 * 160 / 8) << "the faces are filled";
    EXPECT_GT(c.black, 0);
    EXPECT_EQ(c.blackNearCentre, 0) << "edges between faces turned to the eye carry no outline";
    EXPECT_TRUE(outlinedAcrossTheMiddle(counter));
    for (int corner = 0; corner < 4; ++corner) {
        EXPECT_TRUE(isBackground(counter.at(corner % 2 * 159, corner / 2 * 159))) << corner;
    }
}

TEST(ViewRender, AnOpenBoxLooksTheSameWhicheverWayItWinds) {
    const fs::path dir = scratchDir("open");
    const Png clockwise = render(dir, "clockwise", meshes::cube(true, -1, meshes::bottom));
    const Png counter = render(dir, "counter", meshes::cube(false, -1, meshes::bottom));
    EXPECT_LE(differingPixels(clockwise, counter), 8);
    const Census c = census(counter);
    EXPECT_EQ(c.other, 0);
    EXPECT_GT(c.ramp, 160 * 160 / 8);
    EXPECT_EQ(c.blackNearCentre, 0);
}

TEST(ViewRender, AMixedMeshIsShadedFromBothSidesAndOutlinedOnItsSilhouetteAlone) {
    const fs::path dir = scratchDir("mixed");
    const Png mixed = render(dir, "mixed", meshes::cube(false, meshes::front));
    const Census c = census(mixed);
    EXPECT_EQ(c.other, 0);
    EXPECT_EQ(c.rampNearCentre, c.nearCentre) << "the turned face is filled like the others";
    EXPECT_TRUE(outlinedAcrossTheMiddle(mixed));
}

// --bench-orbit: a left drag of 900 pixels, one whole turn, then the picture at rest as it is
// without the orbit; the times it prints add up.
TEST(ViewRender, ABenchOrbitGoesRoundOnceAndItsTimesAddUp) {
    const fs::path dir = scratchDir("orbit");
    const std::string triangle =
        readFile(VELMORA_SOURCE_DIR "/tests/view/fixtures/single_triangle.obj");
    const Png still = render(dir, "still", triangle, "> " + quoted(dir / "quiet.txt"));
    EXPECT_EQ(readFile(dir / "quiet.txt"), "") << "only --bench-orbit prints";
    const auto started = std::chrono::steady_clock::now();
    const Png orbited =
        render(dir, "orbited", triangle, "--bench-orbit 4 > " + quoted(dir / "stdout.txt"));
    const std::chrono::duration<double> age = std::chrono::steady_clock::now() - started;
    EXPECT_LE(differingPixels(still, orbited), 8);
    const std::string text = readFile(dir / "stdout.txt");
    double first = 0, reading = 0, drawing = 0, rate = 0;
    int frames = 0, width = 0, height = 0;
    char outlined[4] = "";
    ASSERT_EQ(std::sscanf(text.c_str(),
                          "first frame: %lf s after the process started (reading %lf s, drawing "
                          "%lf s)\norbit: %d frames at %d x %d, %lf frames per second, outline "
                          "while moving: %3s",
                          &first, &reading, &drawing, &frames, &width, &height, &rate, outlined),
              8)
        << text;
    EXPECT_TRUE(frames == 4 && width == 160 && height == 160 && rate * age.count() >= 4) << text;
    EXPECT_TRUE(std::string(outlined) == "yes" || std::string(outlined) == "no") << text;
    // The process's start is known to a clock tick (10 ms), the rest to the microsecond.
    EXPECT_TRUE(reading + drawing <= first + 0.0115 && first <= age.count() + 0.01) << text;
}

// Three of the demo's models as the viewer draws them, against pictures made anew by `make golden`
// after an intended change, with the demo's golden frames' tolerance: a pixel differs when a
// channel is more than 24 of 255 off, and at most 0.5 percent may differ.
TEST(ViewRender, TheDemoModelsLookAsRecorded) {
    for (const std::string name : {"spaceship", "surface", "lego"}) {
        const fs::path dir = scratchDir("golden-" + name), out = dir / "out.png";
        const ViewRun result =
            run(dir, quoted(fs::path(VELMORA_SOURCE_DIR "/data/" + name + ".obj")) +
                         " --size 120 --output " + quoted(out));
        ASSERT_EQ(result.status, 0) << result.errors;
        const Png actual = loadPng(out);
        const Png expected = loadPng(VELMORA_SOURCE_DIR "/tests/golden/view-" + name + ".png");
        ASSERT_EQ(actual.rgba.size(), expected.rgba.size()) << name << " (make golden)";
        int differing = 0;
        auto off = [&](std::size_t c) { return std::abs(actual.rgba[c] - expected.rgba[c]) > 24; };
        for (std::size_t i = 0; i < actual.rgba.size(); i += 4) {
            differing += off(i) || off(i + 1) || off(i + 2);
        }
        EXPECT_LE(differing, 120 * 120 / 200) << name << ": " << differing << " pixels differ";
    }
}

// The window as a user drives it, on an X server of its own: F12 saves one picture, and only
// one however long the window then stays; Escape ends the run well.
TEST(ViewWindow, F12SavesOnePictureAndEscapeEndsTheRun) {
    const fs::path dir = scratchDir("window");
    std::ofstream(dir / "session.sh")
        << "'" VELMORA_VIEW "' '" VELMORA_SOURCE_DIR "/data/torus.obj' &\n"
        << "w=$(xdotool search --sync --name 'Velmora View' | head -1)\n"
        << "xdotool key --window $w F12\n"
        // Escape only once the picture is there: a busy machine may hand both keys to one turn.
        << "for i in $(seq 200); do ls velmora-*.png > /dev/null 2>&1 && break; sleep 0.1; done\n"
        << "sleep 0.5; xdotool key --window $w Escape; wait $!\n";
    const int raw = std::system(("cd " + quoted(dir) +
                                 " && env -u SDL_VIDEODRIVER timeout 60 xvfb-run -a -s '-screen 0 "
                                 "640x480x24' bash session.sh 2> stderr.txt")
                                    .c_str());
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 0) << readFile(dir / "stderr.txt");
    int pictures = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        pictures += entry.path().filename().string().starts_with("velmora-");
    }
    EXPECT_EQ(pictures, 1);
}

TEST(ViewRender, NoBackgroundIsTransparentWhereNothingIsDrawn) {
    const fs::path dir = scratchDir("alpha");
    const Png opaque = render(dir, "opaque", meshes::cube(false));
    const Png clear = render(dir, "clear", meshes::cube(false), "--no-background");
    EXPECT_EQ(clear.channels, 4);
    int transparent = 0;
    for (int y = 0; y < 160; ++y) {
        for (int x = 0; x < 160; ++x) {
            const unsigned char* p = clear.at(x, y);
            const unsigned char* q = opaque.at(x, y);
            if (isBackground(q)) {
                EXPECT_EQ(p[3], 0) << x << ", " << y;
                ++transparent;
            } else {
                EXPECT_EQ(p[3], 255) << x << ", " << y;
                EXPECT_TRUE(same(p, q[0], q[1], q[2])) << x << ", " << y;
            }
        }
    }
    EXPECT_GT(transparent, 0);
}

TEST(ViewRender, AFileThatCannotBeReadEndsWithTheReadersMessage) {
    const fs::path dir = scratchDir("bad");
    std::ofstream(dir / "bad.obj") << "v 1 2 3\nv 1 2 nan\n";
    const ViewRun result =
        run(dir, quoted(dir / "bad.obj") + " --output " + quoted(dir / "bad.png"));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.errors.rfind("glmReadOBJ() failed: " + (dir / "bad.obj").string() + ":2:", 0),
              0u)
        << result.errors;
    EXPECT_FALSE(fs::exists(dir / "bad.png"));

    std::ofstream(dir / "good.obj") << meshes::cube(false);
    const ViewRun unwritable =
        run(dir, quoted(dir / "good.obj") + " --output " + quoted(dir / "no/such/dir/out.png"));
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.errors.find("can't write " + (dir / "no/such/dir/out.png").string()),
              std::string::npos)
        << unwritable.errors;
}

// Background pixels the model encloses: those a walk from the picture's edges through the
// background does not reach.
int backgroundWithin(const Png& png) {
    std::vector<char> reached(static_cast<std::size_t>(png.width) * png.height, 0);
    std::vector<std::pair<int, int>> next;
    for (int i = 0; i < png.width; ++i) {
        next.insert(next.end(), {{i, 0}, {i, png.height - 1}});
    }
    for (int i = 0; i < png.height; ++i) {
        next.insert(next.end(), {{0, i}, {png.width - 1, i}});
    }
    int within = 0;
    for (int y = 0; y < png.height; ++y) {
        for (int x = 0; x < png.width; ++x) {
            within += isBackground(png.at(x, y));
        }
    }
    while (!next.empty()) {
        const auto [x, y] = next.back();
        next.pop_back();
        if (x < 0 || y < 0 || x >= png.width || y >= png.height ||
            reached[static_cast<std::size_t>(y) * png.width + x] || !isBackground(png.at(x, y))) {
            continue;
        }
        reached[static_cast<std::size_t>(y) * png.width + x] = 1;
        --within;
        next.insert(next.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
    }
    return within;
}

// Real-world quirks, one fixture each, named after the fault it once showed: what the viewer
// says on stderr, its status and what the picture must show (nothing written on a failure, so
// that a file manager caches no blank thumbnail).
TEST(ViewQuirks, EachFileIsDrawnOrRefusedWithAMessageNamingIt) {
    // Shaded: the ramp fills a part; Closed: and no background shows through the model; Mirror:
    // the picture of the row before, wound the other way, within a few pixels.
    enum Picture { None, Shaded, Closed, Mirror, Framed, Upright };
    const struct {
        const char* fixture;
        const char* arguments;
        int status;
        const char* says; // within stderr, after the fixture's path
        Picture picture;
    } rows[] = {
        {"missing_material_library.obj", "", 0, ":2: the default material is used", Shaded},
        {"empty.obj", "", 1, ": no triangles\n", None},
        {"nul_bytes.obj", "", 1, ": no triangles\n", None},
        {"html_error_page.obj", "", 1, ": no triangles\n", None},
        {"cut_off_before_faces.obj", "", 1, ": no triangles\n", None},
        {"binary_garbage.obj", "", 1, ":4: face corner \"\\x01\\x02\\x1B[31m\" is not", None},
        {"skin_weights_and_normals_it_lacks.obj", "", 0,
         ":11: \"vw\" statements skipped (2 times from this line on).\n|:13: \"vp\" statements "
         "skipped.\n|:14: a face names a normal the file does not have (it has 0); such indices "
         "are "
         "ignored (24 times from this line on).",
         Shaded},
        {"plane_facing_the_camera.obj", "", 0, "", Shaded},
        {"plane_facing_away.obj", "", 0, "", Mirror},
        {"single_triangle.obj", "", 0, "", Shaded},
        {"open_box_seen_inside.obj", "", 0, "", Closed},
        {"stray_vertex.obj", "", 0, ": glmVertexNormals(): vertex w/o a triangle (3 times)\n",
         Framed},
        {"z_up_tower.obj", "--up +z", 0, "", Upright},
    };
    const fs::path dir = scratchDir("quirks");
    Png previous;
    for (const auto& row : rows) {
        const fs::path file = fs::path(VELMORA_SOURCE_DIR) / "tests/view/fixtures" / row.fixture;
        const fs::path out = dir / (std::string(row.fixture) + ".png");
        const ViewRun result =
            run(dir, quoted(file) + " --output " + quoted(out) + " --size 96 " + row.arguments);
        EXPECT_EQ(result.status, row.status) << row.fixture << ": " << result.errors;
        if (*row.says != '\0') {
            // Each notice, '|' between them, names the file.
            std::string says = row.says;
            for (std::size_t at = 0, bar; at <= says.size(); at = bar + 1) {
                bar = std::min(says.find('|', at), says.size());
                EXPECT_NE(result.errors.find(file.string() + says.substr(at, bar - at)),
                          std::string::npos)
                    << row.fixture << ": " << result.errors;
            }
        } else {
            EXPECT_EQ(result.errors, "") << row.fixture;
        }
        EXPECT_EQ(fs::exists(out), row.picture != None) << row.fixture;
        if (row.picture == None) {
            continue;
        }
        Png png = loadPng(out);
        const Census c = census(png);
        if (row.picture == Mirror) {
            EXPECT_LE(differingPixels(png, previous), 8) << row.fixture << ": unlike its mirror";
        }
        int top = png.height, bottom = -1, left = png.width, right = -1;
        for (int y = 0; y < png.height; ++y) {
            for (int x = 0; x < png.width; ++x) {
                if (!isBackground(png.at(x, y))) {
                    top = std::min(top, y), bottom = std::max(bottom, y);
                    left = std::min(left, x), right = std::max(right, x);
                }
            }
        }
        const int area = png.width * png.height;
        if (row.picture == Shaded || row.picture == Closed) {
            EXPECT_GT(c.ramp, area / 40) << row.fixture << ": black, hatched or outlined alone";
            EXPECT_TRUE(row.picture == Shaded || backgroundWithin(png) == 0)
                << row.fixture << ": " << backgroundWithin(png) << " pixels seen through";
        } else if (row.picture == Framed) {
            EXPECT_GT(area - c.background, area / 4) << row.fixture << ": too small in the frame";
        } else if (row.picture == Upright) {
            EXPECT_GT(bottom - top, 2 * (right - left)) << row.fixture << ": lies on its back";
            auto width = [&png](int y) {
                int n = 0;
                for (int x = 0; x < png.width; ++x) {
                    n += !isBackground(png.at(x, y));
                }
                return n;
            };
            const int eighth = (bottom - top) / 8;
            EXPECT_LT(width(top + eighth), width(bottom - eighth))
                << row.fixture << ": on its head";
        }
        previous = std::move(png);
    }
}

// Only regular files are read, and the thumbnailer's limit refuses a bigger one: each at once.
TEST(ViewQuirks, AnythingButARegularFileIsRefusedAtOnce) {
    const fs::path dir = scratchDir("special");
    ASSERT_EQ(mkfifo((dir / "fifo.obj").c_str(), 0600), 0);
    fs::create_directories(dir / "folder.obj");
    std::ofstream(dir / "huge.obj").close();
    fs::resize_file(dir / "huge.obj", 3 << 20);
    const struct {
        std::string file;
        const char* extra;
        const char* says;
    } rows[] = {
        {"/dev/zero", "", "/dev/zero: not a regular file but a device"},
        {(dir / "fifo.obj").string(), "", "fifo.obj: not a regular file but a FIFO"},
        {(dir / "folder.obj").string(), "", "folder.obj: not a regular file but a directory"},
        {(dir / "huge.obj").string(), "--max-size 2",
         "huge.obj: 3145728 bytes, more than the limit of 2 MB\n"},
    };
    for (const auto& row : rows) {
        const ViewRun result = run(dir, quoted(fs::path(row.file)) + " --output " +
                                            quoted(dir / "o.png") + " " + row.extra);
        EXPECT_EQ(result.status, 1) << row.file;
        EXPECT_NE(result.errors.find(row.says), std::string::npos)
            << row.file << ": " << result.errors;
    }
    EXPECT_FALSE(fs::exists(dir / "o.png"));
}

// The entry's keys, as a file manager reads them.
std::map<std::string, std::string> desktopKeys(const fs::path& path) {
    std::map<std::string, std::string> keys;
    std::istringstream in(readFile(path));
    for (std::string line; std::getline(in, line);) {
        if (const std::size_t equals = line.find('='); equals != std::string::npos) {
            keys[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return keys;
}

TEST(ViewInstall, TheThumbnailerMakesA256PixelPictureOfAFileWithSpacesInItsPath) {
    const fs::path dir = scratchDir("thumbnailer");
    const fs::path prefix = dir / "prefix";
    const std::string install = VELMORA_CMAKE " --install " VELMORA_BUILD_DIR
                                              " --component viewer --prefix " +
                                quoted(prefix) + " > " + quoted(dir / "install.txt") + " 2>&1";
    ASSERT_EQ(std::system(install.c_str()), 0) << readFile(dir / "install.txt");
    auto entry = desktopKeys(prefix / "share/thumbnailers/velmora.thumbnailer");
    ASSERT_TRUE(fs::exists(prefix / "bin" / entry["TryExec"])) << entry["TryExec"];
    EXPECT_EQ(entry["MimeType"], "model/obj;");
    EXPECT_TRUE(entry["Exec"].ends_with(" --max-size 256")) << "a huge scan gets no thumbnail";
    auto application = desktopKeys(prefix / "share/applications/velmora-view.desktop");
    EXPECT_EQ(application["MimeType"], "model/obj;");
    EXPECT_EQ(application["Exec"], "velmora-view %F");

    fs::create_directories(dir / "my models");
    const fs::path model = dir / "my models/a cube.obj";
    std::ofstream(model) << meshes::cube(false);
    const fs::path out = dir / "thumb nail.png";
    // As a file manager does it: each field substituted as one argument, the program found on
    // PATH.
    std::string command = entry["Exec"];
    for (const auto& [field, value] : {std::pair<std::string, std::string>{"%i", quoted(model)},
                                       {"%o", quoted(out)},
                                       {"%s", "256"}}) {
        command.replace(command.find(field), field.size(), value);
    }
    command = "PATH=" + quoted(prefix / "bin") + ":\"$PATH\" " + command + " 2> " +
              quoted(dir / "stderr.txt");
    ASSERT_EQ(std::system(command.c_str()), 0) << command << "\n" << readFile(dir / "stderr.txt");
    const Png thumbnail = loadPng(out);
    EXPECT_EQ(thumbnail.width, 256);
    EXPECT_EQ(thumbnail.height, 256);
    EXPECT_GT(census(thumbnail).ramp, 256 * 256 / 8);
}

} // namespace
