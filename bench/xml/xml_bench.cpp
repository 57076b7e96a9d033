// Loading 200 definition files (parse, keep the roots, build every struct
// and collect the forms) against reading the same files' bytes, in the same
// run. Times are the best of several runs (warm file cache).

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "editors/struct_edit_registry.h"
#include "editors/struct_registry.h"
#include "editors/xml_definitions.h"
#include "platform/file_system.h"

using namespace pirn;
using bench_timing::BestSeconds;

namespace {

constexpr int kFiles = 200;
constexpr int kRuns = 7;

// A file of a few structs and their forms, every member type among them,
// names made distinct per file.
std::string DefinitionFile(int n) {
    const std::string p = "s" + std::to_string(n) + "_";
    std::string x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<pirnxmlfile>\n";
    x += "  <struct name=\"" + p + "point\"><short name=\"x\"/><short name=\"y\"/></struct>\n";
    for (int s = 0; s < 4; ++s) {
        const std::string name = p + std::to_string(s);
        x += "  <struct name=\"" + name + "\">\n"
             "    <real name=\"strength\" digits=\"2\"/><tag name=\"collection\" group=\".256\"/>\n"
             "    <long name=\"seed\"/><ulong name=\"mask\"/><long_time name=\"period\"/><long_world name=\"reach\"/>\n"
             "    <fixed name=\"drag\"/><short name=\"turns\"/><word name=\"flags\"/><short_time name=\"gust\"/>\n"
             "    <short_world name=\"low\"/><short_world name=\"high\" lower_bound=\"low\"/>\n"
             "    <short_enum name=\"mode\"><member text=\"Still\" value=\"0\"/><member text=\"Caf\xC3\xA9\" value=\"1\"/></short_enum>\n"
             "    <sequence_index name=\"sequence\"/><fixed_fraction name=\"calm\"/><short_fixed name=\"scale\"/>\n"
             "    <angular_velocity name=\"spin\"/><angle name=\"heading\"/><char name=\"bias\"/><byte name=\"count\"/>\n"
             "    <byte_enum name=\"season\"><member text=\"Spring\" value=\"0\"/></byte_enum>\n"
             "    <short_fixed_fraction name=\"opacity\"/><color name=\"tint\"/><padding count=\"2\"/>\n"
             "    <substruct name=\"points\" struct=\"" + p + "point\" count=\"8\" runtime_count=\"count\"/>\n"
             "  </struct>\n"
             "  <structedit struct=\"" + name + "\" caption=\"Form\" alignchildren=\"true\">\n"
             "    <frame text=\"Numbers\" layout=\"table\"><row><label text=\"Strength:\"/><item target=\"strength\"/></row>\n"
             "      <row><label text=\"Seed:\"/><item target=\"seed\"/></row><row><label text=\"Mask:\"/><item target=\"mask\"/></row></frame>\n"
             "    <frame text=\"Flags\" layout=\"horizontal\"><item target=\"flags\" bit=\"0\" text=\"A\"/><item target=\"flags\" bit=\"1\" text=\"B\"/></frame>\n"
             "    <item target=\"points\" text_target=\"x\"/>\n"
             "  </structedit>\n";
    }
    return x + "</pirnxmlfile>\n";
}

}  // namespace

int main() {
    const std::string folder = (std::filesystem::temp_directory_path() / "pirn_xml_bench").string();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    size_t total = 0;
    std::vector<std::string> paths;
    for (int i = 0; i < kFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "defs_%03d.xml", i);
        const std::string text = DefinitionFile(i);
        paths.push_back(folder + "/" + name);
        if (!WriteFileSafely(paths.back(), text)) {
            std::puts("cannot write the definition files");
            return 1;
        }
        total += text.size();
    }

    size_t structs = 0;
    const double load = BestSeconds(kRuns, [&] {
        LoadXmlDefinitions(folder);
        ClearStructRegistry();
        structs = LoadStructDefinitions();
        CollectStructEdits();
    });
    size_t read_bytes = 0;
    const double raw = BestSeconds(kRuns, [&] {
        read_bytes = 0;
        std::vector<u8> bytes;
        for (const std::string& path : paths)
            if (ReadFileBytes(path, bytes, false)) read_bytes += bytes.size();
    });
    std::printf("%d definition files (%zu bytes, %zu structs): LoadXmlDefinitions + structs + forms %.2f ms, "
                "reading the same bytes %.2f ms, ratio %.1f\n",
                kFiles, total, structs, load * 1e3, raw * 1e3, load / raw);
    if (read_bytes != total) std::puts("read a different number of bytes");
    FreeXmlDefinitions();
    ClearStructRegistry();
    std::filesystem::remove_all(folder);
    return 0;
}
