// Shared by the model tests: captured notices, texts served as files, and fatal-error capture.
#pragma once

#include "model/glm.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct CapturedNotice {
    GlmStream stream;
    std::string text;
};

// Notices land in `notices`; files come from `files` (memory) unless a test restores the file
// system with glmSetFileSource(nullptr).
class ModelTest : public ::testing::Test {
  public:
    static std::vector<CapturedNotice>& notices() {
        static std::vector<CapturedNotice> all;
        return all;
    }
    static std::map<std::string, std::string>& files() {
        static std::map<std::string, std::string> all;
        return all;
    }
    static void sink(GlmStream stream, const char* text) { notices().push_back({stream, text}); }
    // Only the texts the test put in `files`; any other path cannot be opened.
    static bool source(const char* path, std::string* contents) {
        auto it = files().find(path);
        if (it == files().end()) {
            return false;
        }
        *contents = it->second;
        return true;
    }

    void SetUp() override {
        notices().clear();
        files().clear();
        glmSetMessageSink(sink);
        glmSetFileSource(source);
    }
    void TearDown() override {
        glmSetMessageSink(nullptr);
        glmSetFileSource(nullptr);
    }

    using ModelPtr = std::unique_ptr<GlmModel, void (*)(GlmModel*)>;
    static ModelPtr read(const std::string& text, const char* name = "dir/model.obj") {
        return ModelPtr(glmReadOBJFromMemory(name, text.data(), text.size()), glmDeleteModel);
    }
    static ModelPtr readFile(const std::string& path) {
        return ModelPtr(glmReadOBJ(path.c_str()), glmDeleteModel);
    }
    // Runs `step`, which must throw; returns the error so the test checks text and stream.
    static GlmFatalError fatalOf(const std::function<void()>& step) {
        try {
            step();
        } catch (const GlmFatalError& e) {
            return e;
        }
        ADD_FAILURE() << "expected a fatal error";
        return GlmFatalError(GlmStream::Out, "<none>");
    }
    static std::string joinedNotices() {
        std::string all;
        for (const auto& n : notices()) {
            all += (n.stream == GlmStream::Out ? "[out] " : "[err] ") + n.text;
        }
        return all;
    }
};

inline std::vector<std::string> groupNames(const GlmModel* model) {
    std::vector<std::string> names;
    for (const GlmGroup* g = model->groups; g != nullptr; g = g->next) {
        names.push_back(g->name);
    }
    return names;
}
