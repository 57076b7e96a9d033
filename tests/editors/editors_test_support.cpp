#include "tests/editors/editors_test_support.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "editors/struct_edit_registry.h"
#include "editors/struct_registry.h"
#include "editors/xml_definitions.h"
#include "platform/scratch_stream.h"
#include "tests/support/test_support.h"

namespace editors_test {

std::FILE* StreamOf(const std::vector<u8>& bytes) {
    std::FILE* f = pirn::OpenScratchFile();
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
    return f;
}

std::vector<u8> StreamContents(std::FILE* f) {
    std::fflush(f);
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::vector<u8> out(size > 0 ? size_t(size) : 0);
    std::rewind(f);
    if (!out.empty()) {
        EXPECT_EQ(std::fread(out.data(), 1, out.size(), f), out.size());
    }
    return out;
}

std::string DefinitionsDir(const std::string& name) {
    return pirn_test::SourceDir() + "/tests/editors/definitions/" + name;
}

void ForgetDefinitions() {
    pirn::FreeXmlDefinitions();
    pirn::ClearStructRegistry();
}

void LoadDefinitionsFrom(const std::string& folder) {
    ForgetDefinitions();
    pirn::LoadXmlDefinitions(folder);
    pirn::LoadStructDefinitions();
    pirn::CollectStructEdits();
}

bool RunCommand(const std::string& command, std::string* output) {
#ifdef _WIN32
    // The outside checkers (ffmpeg, sox, Python) are Linux programs.
    (void)command;
    (void)output;
    return false;
#else
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return false;
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    const int status = ::pclose(pipe);
    if (output) *output = text;
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
#endif
}

void RequireTool(const std::string& name) {
    ASSERT_TRUE(RunCommand("command -v " + name + " >/dev/null 2>&1", nullptr))
        << name << " is missing: scripts/install-deps installs it";
}

}  // namespace editors_test
