// The material library reader: two passes over one in-memory copy of the library.
#include "model/glm.h"

#include "model/glm_scan.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace glm_detail;

std::string glmDirectoryOf(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash == nullptr ? std::string() : std::string(path, slash + 1);
}

namespace {

void setDefaults(GlmMaterial* m) {
    m->name = nullptr;
    m->diffuse[0] = m->diffuse[1] = m->diffuse[2] = 0.8f;
    m->diffuse[3] = 1.0f;
    m->ambient[0] = m->ambient[1] = m->ambient[2] = 0.2f;
    m->ambient[3] = 1.0f;
    m->specular[0] = m->specular[1] = m->specular[2] = 0.0f;
    m->specular[3] = 1.0f;
    m->shininess = 65.0f;
}

// A table under construction; released unless handed to the model.
struct Table {
    GlmMaterial* entries = nullptr;
    std::uint32_t count = 0;
    ~Table() {
        for (std::uint32_t i = 0; entries != nullptr && i < count; ++i) {
            std::free(entries[i].name);
        }
        std::free(entries);
    }
};

class MtlReader {
  public:
    MtlReader(const std::string& fileName, const FileBytes& text)
        : fileName_(fileName), s_(text.data(), text.size()) {}

    std::uint32_t count() {
        std::uint64_t count = 1; // "default"
        for (std::string_view token; s_.nextToken(&token);) {
            if (token[0] == 'n' && ++count > 0xFFFFFFFEu) {
                fail(token.data(), "more than 4294967294 materials.");
            }
            s_.skipLine();
        }
        return static_cast<std::uint32_t>(count);
    }

    void fill(Table& table) {
        s_.rewind();
        std::uint32_t current = 0;
        for (std::string_view token; s_.nextToken(&token);) {
            GlmMaterial& m = table.entries[current];
            switch (token[0]) {
            case 'n': {
                std::string_view name = nameFromLine(s_.restOfLine());
                // "Kd 1 1 1 newmtl x" counts as one statement in the counting pass.
                if (current + 1 >= table.count) {
                    fail(token.data(), "more materials than the first pass counted (" +
                                           std::to_string(table.count - 1) +
                                           "); keep one statement per line.");
                }
                ++current;
                table.entries[current].name = copyString(name, "glmReadMTL()");
                break;
            }
            case 'N': {
                // A value that does not scan leaves the old one, which is scaled all the same.
                readFloats(&m.shininess, 1);
                m.shininess = static_cast<float>(m.shininess * 0.001);
                m.shininess = static_cast<float>(m.shininess * 128.0);
                break;
            }
            case 'K': {
                char second = token.size() > 1 ? token[1] : '\0';
                float* colour = second == 'a'   ? m.ambient
                                : second == 'd' ? m.diffuse
                                : second == 's' ? m.specular
                                                : nullptr;
                if (colour == nullptr) {
                    s_.skipLine();
                } else {
                    readFloats(colour, 3);
                }
                break;
            }
            default: // "#" and everything else
                s_.skipLine();
                break;
            }
        }
    }

  private:
    [[noreturn]] void fail(const char* at, const std::string& what) {
        fatal(GlmStream::Err, "glmReadMTL() failed: " + cText(fileName_) + ":" +
                                  std::to_string(s_.lineOf(at)) + ": " + what + "\n");
    }

    // "%f %f %f": stops at the first value that does not scan, leaving the rest as they were.
    void readFloats(float* out, int count) {
        for (int i = 0; i < count; ++i) {
            FloatScan f = scanKeptFloat(
                s_, [this](const char* at, const std::string& what) { fail(at, what); });
            if (f.length == 0) {
                return;
            }
            out[i] = f.value;
        }
    }

    const std::string& fileName_;
    Scanner s_;
};

} // namespace

void glmReadMTL(GlmModel* model, const char* name) {
    std::string fileName = glmDirectoryOf(model->path != nullptr ? model->path : "") + name;
    FileBytes text;
    if (!text.open(fileName.c_str())) {
        fatal(GlmStream::Err,
              "glmReadMTL() failed: can't open material file \"" + cText(fileName) + "\".\n");
    }
    MtlReader reader(fileName, text);
    Table table;
    std::uint32_t count = reader.count();
    table.entries =
        static_cast<GlmMaterial*>(checkedCalloc(count, sizeof(GlmMaterial), "glmReadMTL()"));
    table.count = count;
    for (std::uint32_t i = 0; i < count; ++i) {
        setDefaults(&table.entries[i]);
    }
    table.entries[0].name = copyString("default", "glmReadMTL()");
    reader.fill(table);

    // The new table replaces the old one only once it is complete.
    for (std::uint32_t i = 0; model->materials != nullptr && i < model->materialCount; ++i) {
        std::free(model->materials[i].name);
    }
    std::free(model->materials);
    model->materials = table.entries;
    model->materialCount = table.count;
    table.entries = nullptr;
    table.count = 0;
}
