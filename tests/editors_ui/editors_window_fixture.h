#pragma once
// The editor windows over a scratch Codex: definition folders loaded as at
// start-up, the struct and text editors bound to their groups, and local
// tag files written from hand-built bytes.

#include <string>
#include <vector>

#include "codex/codex_catalogue.h"
#include "codex/local_folder.h"
#include "codex/tag_group.h"
#include "codex/ui/tag_editor_registry.h"
#include "editors/struct_registry.h"
#include "editors/ui/struct_tag_edit.h"
#include "editors/ui/text_edit.h"
#include "editors/xml_definitions.h"
#include "editors/xml_editor_registration.h"
#include "tests/codex_ui/codex_window_fixture.h"
#include "tests/editors/editors_test_support.h"

namespace pirn_test {

class EditorsWindowTest : public CodexWindowTest {
protected:
    void SetUp() override {
        CodexWindowTest::SetUp();
        pirn::ClearTagGroupEditors();
        pirn::UnbindTagEditors();
        pirn::BindTextEdit();
        pirn::RegisterTagEditors();
    }
    void TearDown() override {
        CodexWindowTest::TearDown();
        pirn::ClearTagGroupEditors();
        pirn::UnbindTagEditors();
        editors_test::ForgetDefinitions();
    }

    // Loads a definition folder and binds the struct editor as start-up does.
    void LoadDefinitions(const std::string& folder) {
        editors_test::ForgetDefinitions();
        pirn::LoadXmlDefinitions(folder);
        pirn::RegisterXmlEditors(pirn::NewTagStructEdit);
        pirn::RegisterTagEditors();
    }
    // A definition folder of one file with this text.
    void LoadDefinitionText(const std::string& xml) {
        const std::string folder = dir_.path() + "/res";
        WriteAll(folder + "/definitions.xml", std::vector<u8>(xml.begin(), xml.end()));
        LoadDefinitions(folder);
    }

    static std::string Label(u32 group) { return pirn::FindTagGroup(group)->plural_label; }

    // A local tag file; the Codex sees it at once.
    pirn::TagEntry* AddLocalTag(u32 group, u32 id, const std::string& name, const std::vector<u8>& data) {
        WriteLocal(Label(group), name, codex_fixture::TagFile(codex_fixture::Tag{group, id, name, data}));
        pirn::PollLocalFolder(true);
        return pirn::FindTag(group, id);
    }
    std::vector<u8> LocalData(u32 group, const std::string& name) const {
        const std::vector<u8> file = ReadAll(LocalFile(Label(group), name));
        return file.size() < 64 ? std::vector<u8>{} : std::vector<u8>(file.begin() + 64, file.end());
    }
};

}  // namespace pirn_test
