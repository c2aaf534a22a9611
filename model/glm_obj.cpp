// The OBJ reader: two passes over one in-memory copy of the file, the first counting what the
// second fills.
#include "model/glm.h"

#include "model/glm_face.h"
#include "model/glm_scan.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

using namespace glm_detail;

namespace {

constexpr std::uint32_t kMaxCount = std::numeric_limits<std::uint32_t>::max() - 1;

// A corner's absolute indices, 0 where its format carries none.
struct Indices {
    std::uint32_t vertex = 0, texCoord = 0, normal = 0;
};

struct GroupSlot {
    GlmGroup* group;
    std::uint32_t capacity;
};

class ObjReader {
  public:
    ObjReader(GlmModel* model, const char* fileName, const char* data, std::size_t size,
              unsigned flags)
        : model_(model), fileName_(fileName), s_(data, size),
          geometryOnly_((flags & GLM_GEOMETRY_ONLY) != 0) {}

    void firstPass();
    void allocate();
    void secondPass();
    void notifySkipped();

  private:
    [[noreturn, gnu::cold, gnu::noinline]] void fail(const char* at, const std::string& what) {
        fatal(GlmStream::Err, "glmReadOBJ() failed: " + cText(fileName_) + ":" +
                                  std::to_string(s_.lineOf(at)) + ": " + what + "\n");
    }
    GroupSlot* findGroup(std::string_view name) {
        auto it = groups_.find(name);
        return it == groups_.end() ? nullptr : &it->second;
    }
    GroupSlot* findOrAddGroup(std::string_view name) {
        if (GroupSlot* slot = findGroup(name)) {
            return slot;
        }
        GlmGroup* group = addGroup(model_, name);
        // The key views the group's own copy, which lives as long as the model.
        return &groups_.emplace(std::string_view(group->name), GroupSlot{group, 0}).first->second;
    }
    void countFace(GroupSlot* group);
    template <FaceFormat F> void fillFace(std::string_view firstToken, GroupSlot* group);
    template <class Mask> bool fillLine(const FaceLine<Mask>& line, GroupSlot* group);
    template <FaceFormat F, class Next>
    unsigned fillFan(const Corner& first, GroupSlot* group, Next next);
    template <FaceFormat F> Indices resolve(const Corner& c);
    std::uint32_t resolve(const Corner& c, int slot, int kind);
    [[noreturn, gnu::cold, gnu::noinline]] void badIndex(const char* at, int kind, bool relative);
    [[gnu::cold, gnu::noinline]] std::uint32_t unusable(const char* at, int kind, bool relative);
    void readCoordinates(std::string_view keyword, float* out, int needed, int wanted);
    // GLM_GEOMETRY_ONLY: what was let pass, said once per kind after the read.
    void skipped(const std::string& what, const char* at);

    GlmModel* model_;
    const char* fileName_;
    Scanner s_;
    bool geometryOnly_;
    bool materialsMissing_ = false;
    struct Skipped {
        std::string what;
        unsigned line;
        std::uint64_t count;
    };
    std::vector<Skipped> skipped_;
    std::unordered_map<std::string_view, GroupSlot> groups_;
    std::unordered_map<std::string_view, std::uint32_t> materialsByName_;
    std::uint64_t counts_[3] = {0, 0, 0}; // vertices, texture coordinates, normals
    std::uint64_t triangles_ = 0;
    // Second pass: elements filled so far, per kind, and the next triangle.
    std::uint32_t filled_[3] = {0, 0, 0};
    std::uint32_t nextTriangle_ = 0;
};

const char* const kKindName[3] = {"vertex", "texture coordinate", "normal"};
const char* const kKindPlural[3] = {"vertices", "texture coordinates", "normals"};

// The element a "v", "vt" or "vn" token names (0, 1, 2), -1 for any other "v" statement.
int kindOf(std::string_view token) {
    char second = token.size() > 1 ? token[1] : '\0';
    return second == '\0' ? 0 : second == 't' ? 1 : second == 'n' ? 2 : -1;
}

std::string counted(std::uint64_t count, int kind) {
    return std::to_string(count) + " " + (count == 1 ? kKindName[kind] : kKindPlural[kind]);
}

void ObjReader::countFace(GroupSlot* group) {
    std::uint64_t added = 0; // a line that provably scans one token per corner: from its masks
    if (s_.end() - s_.position() > kFaceLineReach) {
        withFaceLine(s_.position(), [&](const auto& line) {
            if (line.corners != 0) {
                added = line.corners - 2;
                s_.advance(line.length);
            }
        });
    }
    if (added == 0) {
        FaceFormat format = formatOf(s_.token());
        // The first three corners make one triangle, read or not; the second pass checks them.
        scanCorner(s_, format);
        scanCorner(s_, format);
        added = 1;
        while (scanCorner(s_, format).converted > 0) {
            ++added;
        }
    }
    triangles_ += added;
    if (triangles_ > kMaxCount || group->group->triangleCount + added > kMaxCount) {
        fail(s_.position(), "more than 4294967294 triangles.");
    }
    group->group->triangleCount += static_cast<std::uint32_t>(added);
}

void ObjReader::firstPass() {
    GroupSlot* group = findOrAddGroup("default");
    for (std::string_view token; s_.nextToken(&token);) {
        switch (token[0]) {
        case '#':
            s_.skipLine();
            break;
        case 'f':
            countFace(group);
            break;
        case 'g':
            group = findOrAddGroup(groupNameFromLine(s_.restOfLine()));
            break;
        case 'm': {
            std::string_view name = nameFromLine(s_.restOfLine());
            std::free(model_->materialLibrary);
            model_->materialLibrary = nullptr;
            model_->materialLibrary = copyString(name, "glmReadOBJ()");
            try {
                glmReadMTL(model_, model_->materialLibrary);
            } catch (const GlmFatalError& error) {
                if (!geometryOnly_) {
                    throw;
                }
                // One notice for the library stands for the materials it would have named.
                std::string why = error.what();
                why.resize(why.find_last_not_of(".\n") + 1);
                skipped("the default material is used: " + why, token.data());
                materialsMissing_ = true;
            }
            break;
        }
        case 'v': {
            int kind = kindOf(token);
            if (kind < 0 && geometryOnly_) {
                std::string what = "\"";
                what += cText(token);
                skipped(what + "\" statements skipped", token.data());
                s_.skipLine();
                break;
            }
            if (kind < 0) {
                fatal(GlmStream::Out, "glmFirstPass(): Unknown token \"" + cText(token) + "\".\n");
            }
            if (++counts_[kind] > kMaxCount) {
                fail(token.data(), std::string("more than 4294967294 ") + kKindPlural[kind] + ".");
            }
            s_.skipLine();
            break;
        }
        default: // "u" and everything else
            if (geometryOnly_ &&
                (token == "cstype" || token == "curv" || token == "curv2" || token == "surf")) {
                skipped("free-form curves and surfaces skipped", token.data());
            }
            s_.skipLine();
            break;
        }
    }
    model_->vertexCount = static_cast<std::uint32_t>(counts_[0]);
    model_->texCoordCount = static_cast<std::uint32_t>(counts_[1]);
    model_->normalCount = static_cast<std::uint32_t>(counts_[2]);
    model_->triangleCount = static_cast<std::uint32_t>(triangles_);
}

// Every element the second pass counted it also writes in full (or the read fails), so only
// the unused element 0 of the 1-based arrays is cleared here.
void ObjReader::allocate() {
    const char* who = "glmReadOBJ()";
    model_->vertices =
        static_cast<Vec3*>(checkedMalloc(std::size_t{model_->vertexCount} + 1, sizeof(Vec3), who));
    model_->vertices[0] = Vec3{0.0f, 0.0f, 0.0f};
    if (model_->normalCount != 0) {
        model_->normals = static_cast<Vec3*>(
            checkedMalloc(std::size_t{model_->normalCount} + 1, sizeof(Vec3), who));
        model_->normals[0] = Vec3{0.0f, 0.0f, 0.0f};
    }
    if (model_->texCoordCount != 0) {
        model_->texCoords = static_cast<float*>(
            checkedMalloc(2 * (std::size_t{model_->texCoordCount} + 1), sizeof(float), who));
        model_->texCoords[0] = model_->texCoords[1] = 0.0f;
    }
    if (model_->triangleCount != 0) {
        model_->triangles = static_cast<GlmTriangle*>(
            checkedMalloc(model_->triangleCount, sizeof(GlmTriangle), who));
    }
    for (auto& [name, slot] : groups_) {
        slot.capacity = slot.group->triangleCount;
        if (slot.capacity != 0) {
            slot.group->triangles = static_cast<std::uint32_t*>(
                checkedMalloc(slot.capacity, sizeof(std::uint32_t), who));
        }
        slot.group->triangleCount = 0;
    }
}

// A corner's absolute indices by kind, its values being in scan order (vertex, then texture
// and/or normal).
template <FaceFormat F> inline Indices ObjReader::resolve(const Corner& c) {
    Indices indices{resolve(c, 0, 0), 0, 0};
    if constexpr (F == FaceFormat::VT || F == FaceFormat::VTN) {
        indices.texCoord = resolve(c, 1, 1);
    }
    if constexpr (F == FaceFormat::VN || F == FaceFormat::VTN) {
        indices.normal = resolve(c, valuesOf(F) - 1, 2);
    }
    return indices;
}

// Turns a corner value into an absolute 1-based index of the given kind (0 vertex,
// 1 texture coordinate, 2 normal), or fails naming it.
inline std::uint32_t ObjReader::resolve(const Corner& c, int slot, int kind) {
    std::int64_t value = c.value[slot];
    if (value < 0) {
        std::int64_t resolved = std::int64_t{filled_[kind]} + 1 + value;
        if (resolved < 1) {
            return unusable(c.text[slot], kind, true);
        }
        return static_cast<std::uint32_t>(resolved);
    }
    if (value == 0 || value > static_cast<std::int64_t>(counts_[kind])) {
        return unusable(c.text[slot], kind, false);
    }
    return static_cast<std::uint32_t>(value);
}

std::uint32_t ObjReader::unusable(const char* at, int kind, bool relative) {
    if (kind == 0 || !geometryOnly_) {
        badIndex(at, kind, relative);
    }
    skipped(std::string("a face names a ") + kKindName[kind] + " the file does not have (it has " +
                std::to_string(counts_[kind]) + "); such indices are ignored",
            at);
    return 0;
}

void ObjReader::skipped(const std::string& what, const char* at) {
    for (Skipped& known : skipped_) {
        if (known.what == what) {
            ++known.count;
            return;
        }
    }
    skipped_.push_back(Skipped{what, s_.lineOf(at), 1});
}

void ObjReader::notifySkipped() {
    for (const Skipped& s : skipped_) {
        std::string text =
            "glmReadOBJ(): " + cText(fileName_) + ":" + std::to_string(s.line) + ": " + s.what;
        if (s.count > 1) {
            text += " (" + std::to_string(s.count) + " times from this line on)";
        }
        glmNotify(GlmStream::Err, (text + ".\n").c_str());
    }
}

void ObjReader::badIndex(const char* at, int kind, bool relative) {
    std::string text(at, scanIntAt(at, s_.end()).length);
    if (text.size() > kTokenLimit) {
        text = text.substr(0, kTokenLimit);
    }
    if (relative) {
        fail(at, std::string(kKindName[kind]) + " index " + text +
                     " reaches before the first of the " + counted(filled_[kind], kind) +
                     " read so far.");
    }
    fail(at, std::string(kKindName[kind]) + " index " + text + " is out of range (the file has " +
                 counted(counts_[kind], kind) + ").");
}

template <FaceFormat F> void ObjReader::fillFace(std::string_view firstToken, GroupSlot* group) {
    if (firstToken.empty()) {
        fail(s_.position(), "face with 0 corners, at least 3 needed.");
    }
    // The token views the file's own bytes, so messages find its line.
    Scanner tokenScan(firstToken.data(), firstToken.size());
    Corner first = scanCorner(tokenScan, F);
    if (first.converted != valuesOf(F) || !tokenScan.atEnd()) {
        fail(firstToken.data(), "face corner \"" + cText(firstToken) +
                                    "\" is not a corner (\"v\", \"v/vt\", " +
                                    "\"v/vt/vn\" or \"v//vn\").");
    }
    unsigned corners = fillFan<F>(first, group, [&](Corner& c) {
        c = scanCorner(s_, F);
        if (c.converted != 0 && !c.cleanEnd) {
            fail(c.start, "face corner \"" + cText(s_.wordAt(c.start)) +
                              "\" does not match the format of its first corner \"" +
                              cText(firstToken) + "\".");
        }
        return c.converted != 0;
    });
    if (corners < 3) {
        fail(first.text[0], "face with " + std::to_string(corners) + " corner" +
                                (corners == 1 ? "" : "s") + ", at least 3 needed.");
    }
}

// The same for a face line read as masks: its runs in order, `values` to a corner. Indices of
// more than 8 digits are left to the corner scan.
template <class Mask> bool ObjReader::fillLine(const FaceLine<Mask>& line, GroupSlot* group) {
    Mask d = line.digits, two = d & d << 1, four = two & two << 2, runs = line.runs;
    if (line.corners == 0 || (four & four << 4 & d << 8) != 0) {
        return false;
    }
    const char* p = s_.position();
    withFormat(line.format, [&](auto format) {
        constexpr FaceFormat F = decltype(format)::value;
        // Filled in place, slot by slot: a corner built whole and copied would make its readers
        // wait for the copy.
        auto fill = [&](Corner& c) {
            c.converted = valuesOf(F);
            c.cleanEnd = true;
            for (int k = 0; k < valuesOf(F); ++k) {
                unsigned at = lowestBit(runs);
                runs &= runs - 1;
                c.value[k] = static_cast<std::int64_t>(digitsValue(p + at, lowestBit(~(d >> at))));
                c.text[k] = p + at;
            }
            c.start = c.text[0];
        };
        Corner first;
        fill(first);
        fillFan<F>(first, group, [&](Corner& c) { return runs != 0 && (fill(c), true); });
    });
    s_.advance(line.length);
    return true;
}

// Resolves a face's corners and adds its fan (p0, p(j-1), p(j)): the first corner given, the
// others read by `next` (false after the last). Returns the number of corners. Each corner's
// indices are held apart so that they stay in registers; triples the format lacks are 0.
template <FaceFormat F, class Next>
unsigned ObjReader::fillFan(const Corner& first, GroupSlot* group, Next next) {
    // Counters and arrays in locals, so that the stores into the triangles cannot touch them.
    GlmTriangle* const triangles = model_->triangles;
    std::uint32_t* const members = group->group->triangles;
    std::uint32_t added = nextTriangle_, grouped = group->group->triangleCount;
    Indices start = resolve<F>(first), previous, current;
    unsigned corners = 1;
    for (Corner c; next(c);) {
        previous = current;
        current = resolve<F>(c);
        if (++corners < 3) {
            continue;
        }
        // Both limits come from the first pass; statements the first pass skipped as the rest
        // of a line can show up here as extra faces.
        if (added >= model_->triangleCount || grouped >= group->capacity) {
            fail(c.start, "more triangles than the first pass counted (" +
                              std::to_string(model_->triangleCount) +
                              "); keep one statement per line.");
        }
        members[grouped++] = added;
        GlmTriangle& t = triangles[added++];
        t.vertexIndex[0] = start.vertex;
        t.vertexIndex[1] = previous.vertex;
        t.vertexIndex[2] = current.vertex;
        t.normalIndex[0] = start.normal;
        t.normalIndex[1] = previous.normal;
        t.normalIndex[2] = current.normal;
        t.texCoordIndex[0] = start.texCoord;
        t.texCoordIndex[1] = previous.texCoord;
        t.texCoordIndex[2] = current.texCoord;
        t.facetNormalIndex = 0;
    }
    nextTriangle_ = added;
    group->group->triangleCount = grouped;
    return corners;
}

// Reads `wanted` floats of a "v", "vn" or "vt" line; the first `needed` must be there.
void ObjReader::readCoordinates(std::string_view keyword, float* out, int needed, int wanted) {
    // Numbers after one blank each, as writers put them, are read apart from the scanner: where
    // each ends is known before its digits are converted, so the next one need not wait.
    int i = 0;
    for (const char* p = s_.position(); i < wanted && s_.end() - p >= 32; ++i) {
        unsigned length = isBlank(static_cast<unsigned char>(*p)) ? quickFloat(p + 1, &out[i]) : 0;
        if (length == 0) {
            break;
        }
        p += length + 1;
        s_.advance(length + 1);
    }
    for (; i < wanted; ++i) {
        FloatScan f =
            scanKeptFloat(s_, [this](const char* at, const std::string& what) { fail(at, what); });
        if (f.length == 0) {
            if (i < needed) {
                fail(s_.position(), "\"" + cText(keyword) + "\" needs " + std::to_string(needed) +
                                        " numbers, found " + std::to_string(i) + ".");
            }
            for (; i < wanted; ++i) {
                out[i] = 0.0f; // a "vt" without its second number
            }
            return;
        }
        out[i] = f.value;
    }
}

void ObjReader::secondPass() {
    s_.rewind();
    for (std::uint32_t i = 0; model_->materials != nullptr && i < model_->materialCount; ++i) {
        if (model_->materials[i].name != nullptr) {
            materialsByName_.emplace(model_->materials[i].name, i); // the first match wins
        }
    }
    GroupSlot* group = findGroup("default");
    std::uint32_t material = 0;
    for (std::string_view token; s_.nextToken(&token);) {
        switch (token[0]) {
        case 'f': {
            bool read = false;
            if (s_.end() - s_.position() > kFaceLineReach) {
                withFaceLine(s_.position(),
                             [&](const auto& line) { read = fillLine(line, group); });
            }
            if (!read) {
                std::string_view first = s_.token();
                withFormat(formatOf(first),
                           [&](auto format) { fillFace<decltype(format)::value>(first, group); });
            }
            break;
        }
        case 'g': {
            std::string_view name = groupNameFromLine(s_.restOfLine());
            group = findGroup(name);
            if (group == nullptr) {
                fail(name.data(), "group \"" + cText(name) +
                                      "\" was not counted by the first pass; keep one statement "
                                      "per line.");
            }
            group->group->material = material;
            break;
        }
        case 'u': {
            std::string_view name = nameFromLine(s_.restOfLine());
            auto it = materialsByName_.find(name);
            if (it != materialsByName_.end()) {
                material = it->second;
            } else {
                if (!materialsMissing_) {
                    notifyMissingMaterial(name);
                }
                material = 0;
            }
            group->group->material = material;
            break;
        }
        case 'v': {
            int kind = kindOf(token);
            if (kind < 0) {
                s_.skipLine();
                break;
            }
            std::uint32_t count = kind == 0   ? model_->vertexCount
                                  : kind == 1 ? model_->texCoordCount
                                              : model_->normalCount;
            if (filled_[kind] >= count) {
                fail(token.data(), std::string("more ") + kKindPlural[kind] +
                                       " than the first pass counted (" + std::to_string(count) +
                                       "); keep one statement per line.");
            }
            std::uint32_t slot = ++filled_[kind];
            // The rest of the line is not skipped: a further value is read as a token.
            if (kind == 0) {
                readCoordinates(token, &model_->vertices[slot].x, 3, 3);
            } else if (kind == 2) {
                readCoordinates(token, &model_->normals[slot].x, 3, 3);
            } else {
                readCoordinates(token, &model_->texCoords[2 * std::size_t{slot}], 1, 2);
            }
            break;
        }
        default: // "#", "m" and everything else
            s_.skipLine();
            break;
        }
    }
    // The other half of the passes agreeing: a record the first pass counted but the second
    // never reached (both read a line longer than 127 characters in different pieces) would
    // leave a triangle without corners or an element never set.
    const std::uint32_t wanted[4] = {model_->vertexCount, model_->texCoordCount,
                                     model_->normalCount, model_->triangleCount};
    const std::uint32_t got[4] = {filled_[0], filled_[1], filled_[2], nextTriangle_};
    const char* const what[4] = {"vertices", "texture coordinates", "normals", "triangles"};
    for (int k = 0; k < 4; ++k) {
        if (got[k] != wanted[k]) {
            fatal(GlmStream::Err, "glmReadOBJ() failed: " + cText(fileName_) +
                                      ": the second pass found " + std::to_string(got[k]) +
                                      " of the " + std::to_string(wanted[k]) + " " + what[k] +
                                      " the first pass counted; keep one statement per line and "
                                      "lines under 128 characters.\n");
        }
    }
}

struct ModelDeleter {
    void operator()(GlmModel* model) const { glmDeleteModel(model); }
};

} // namespace

GlmModel* glmReadOBJFromMemory(const char* fileName, const char* data, std::size_t size,
                               unsigned flags) {
    std::unique_ptr<GlmModel, ModelDeleter> model(
        static_cast<GlmModel*>(checkedCalloc(1, sizeof(GlmModel), "glmReadOBJ()")));
    model->path = copyString(fileName, "glmReadOBJ()");
    ObjReader reader(model.get(), model->path, data, size, flags);
    reader.firstPass();
    reader.allocate();
    reader.secondPass();
    reader.notifySkipped();
    return model.release();
}

GlmModel* glmReadOBJ(const char* fileName, unsigned flags) {
    FileBytes contents;
    if (!contents.open(fileName)) {
        fatal(GlmStream::Err,
              "glmReadOBJ() failed: can't open data file \"" + cText(fileName) + "\".\n");
    }
    return glmReadOBJFromMemory(fileName, contents.data(), contents.size(), flags);
}
