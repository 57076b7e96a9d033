// The struct editors on the headless window system: the form geometry, what
// every kind of field shows and writes, that nothing is written without an
// edit, the refusals, nested editors and sub-struct arrays, saving, and the
// shared collections of sequence lists.

#include "editors/ui/struct_editor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "codex/four_char_code.h"
#include "codex/tag_attachments.h"
#include "codex/tag_operations.h"
#include "codex/ui/tag_editor_open.h"
#include "collections/collection_tag.h"
#include "editors/struct_collection_cache.h"
#include "editors/struct_definition.h"
#include "editors/struct_member.h"
#include "editors/ui/struct_array_edit.h"
#include "editors/ui/struct_item_widgets.h"
#include "editors/ui/struct_table.h"
#include "editors/ui/struct_tag_edit.h"
#include "platform/scratch_stream.h"
#include "tests/editors/grammar_record.h"
#include "tests/editors_ui/editors_window_fixture.h"
#include "ui/check_box.h"
#include "ui/frame_step.h"
#include "ui/window_system.h"

namespace pirn_test {
namespace {

using editors_test::Bytes;
using editors_test::GrammarWindRecord;
using pirn::ComboBox;
using pirn::MemberChangeListener;
using pirn::StructEditor;
using pirn::StructNumberField;
using pirn::SubStructArrayEdit;
using pirn::Table;
using pirn::TagEntry;
using pirn::TagStructEdit;

constexpr u32 kWind = pirn::MakeFourCC("wind");
constexpr u32 kSound = pirn::MakeFourCC("soun");
constexpr u32 kCollection = pirn::MakeFourCC(".256");
constexpr u32 kCore = pirn::MakeFourCC("core");

// The padding of the grammar record reads as zero.
std::vector<u8> WithPaddingZeroed(std::vector<u8> record) {
    record[62] = record[63] = 0;
    for (size_t e = 0; e < 4; ++e) record[68 + 8 * e + 7] = 0;
    return record;
}

class StructEditorTest : public EditorsWindowTest {
protected:
    void SetUp() override {
        EditorsWindowTest::SetUp();
        LoadDefinitions(editors_test::DefinitionsDir("grammar"));
    }

    // Sound tags for the tag lists and array rows, and a collection of three
    // sequences under f001 (saved through the Codex).
    void AddWorld() {
        AddLocalTag(kSound, pirn::MakeFourCC("f001"), "Howl", {1, 2, 3});
        AddLocalTag(kSound, pirn::MakeFourCC("f002"), "Breeze", {4});
        AddCollection(pirn::MakeFourCC("f001"), "Dust", {"Swirl", "Calm", "Gust"});
        AddCollection(pirn::MakeFourCC("f002"), "Snow", {"Flurry"});
    }
    TagEntry* AddCollection(u32 id, const char* name, const std::vector<const char*>& sequences) {
        pirn::Collection c;
        pirn::InitCollection(&c);
        for (const char* s : sequences) pirn::AddSequence(&c, s);
        pirn::TagHeader header;
        TagEntry* tag = pirn::CreateTag(kCollection, id, name, &header, 0);
        EXPECT_NE(tag, nullptr);
        std::FILE* out = pirn::OpenTagForWriting(tag, &header, nullptr);
        EXPECT_EQ(pirn::SaveCollection(&c, out, &header), 1);
        EXPECT_EQ(pirn::CloseTagForWriting(tag, &header, 1), 1);
        pirn::FreeCollection(&c);
        pirn::PollLocalFolder(true);
        return pirn::FindTag(kCollection, id);
    }

    TagStructEdit* OpenWind(const std::vector<u8>& data = GrammarWindRecord()) {
        TagEntry* tag = AddLocalTag(kWind, pirn::MakeFourCC("w001"), "Gale", data);
        return dynamic_cast<TagStructEdit*>(pirn::OpenTagEditor(tag));
    }

    static MemberChangeListener* ListenerOf(StructEditor* editor, const char* member, u32 index = 0,
                                            MemberChangeListener::Kind kind = MemberChangeListener::Kind::RealField,
                                            bool any_kind = true) {
        for (const auto& l : editor->GetListeners())
            if (l->member()->name == member && l->index() == index && (any_kind || l->kind() == kind)) return l.get();
        return nullptr;
    }
    static StructNumberField* Field(StructEditor* editor, const char* member, u32 index = 0) {
        MemberChangeListener* l = ListenerOf(editor, member, index);
        return l ? dynamic_cast<StructNumberField*>(l->widget()) : nullptr;
    }
    static ComboBox* Combo(StructEditor* editor, const char* member) {
        MemberChangeListener* l = ListenerOf(editor, member);
        return l ? dynamic_cast<ComboBox*>(l->widget()) : nullptr;
    }
    // What the user does: the field takes the focus by Tab (all of its text
    // selected), the characters are typed ('\b' is Backspace), and the focus
    // moves on.
    static void TypeInto(pirn::TextBox* field, const std::string& text, bool leave = true) {
        pirn::ActivateWindow(field, pirn::kFocusByTab);
        for (char c : text) {
            if (c == '\b')
                field->DeleteBackward();
            else
                field->TypeChar(static_cast<u8>(c));
            field->NotifyIfModified();
        }
        if (leave) pirn::ActivateWindow(field->GetTabNext(), pirn::kFocusByTab);
    }
    // The record as it goes to disk (big-endian).
    static std::vector<u8> Record(StructEditor* editor) {
        std::FILE* f = pirn::OpenScratchFile();
        EXPECT_EQ(pirn::WriteStruct(editor->GetData(), f), editor->GetData().size());
        const std::vector<u8> bytes = editors_test::StreamContents(f);
        std::fclose(f);
        return bytes;
    }
    static std::string Text(pirn::Window* w) {
        if (auto* box = dynamic_cast<pirn::TextBox*>(w)) return box->GetText();
        if (auto* combo = dynamic_cast<ComboBox*>(w)) return combo->GetField()->GetText();
        return "";
    }
    // Picks the combo box's item with that text, as a click in its list does.
    static void Pick(ComboBox* box, const std::string& text) {
        if (auto* tags = dynamic_cast<pirn::StructTagComboBox*>(box)) tags->FillChoices();
        pirn::ListItem* item = nullptr;
        for (pirn::ListItem* i = box->GetList()->GetFirstItem(); i; i = i->next)
            if (i->text == text) item = i;
        ASSERT_NE(item, nullptr) << text;
        box->GetList()->SelectItem(item, false);
    }
    static int Beeps() { return headless::Record().beeps; }
};

// ---- the form ---------------------------------------------------------------------

struct GeometryCase {
    const char* what;
    const char* form;
    i32 width, height;                 // the root form's client size
    std::vector<std::array<i32, 4>> cells;  // x, y, width, height of each widget in the editor, in order
};

TEST_F(StructEditorTest, FormsAreLaidOutByColumnsRowsFramesAndAlignment) {
    const GeometryCase cases[] = {
        {"a framed table with a caption, cells aligned right",
         R"(<structedit struct="geo" text="Box" layout="table" align="right">
              <row><label text="AB:"/><item target="a"/></row>
              <row><label text="C:"/><item target="b"/></row>
            </structedit>)",
         // columns 25 + 4 and 64 + 4; rows 21 + 1; frame 48 x (36 + 24)
         145, 104,
         {{28, 40, 25, 21}, {57, 40, 64, 14}, {36, 62, 17, 21}, {57, 62, 64, 14}}},
        {"framed groups sharing their columns, a stretched one",
         R"(<structedit struct="geo" alignchildren="true">
              <frame layout="table"><row><label text="A:"/><item target="a"/></row></frame>
              <frame text="T" layout="horizontal" stretch="true"><label text="Long label:"/><label text="x"/></frame>
            </structedit>)",
         // columns 93 and 68 in both groups; 58 and 82 high; root column 209 + 4
         213, 142,
         {{24, 16, 17, 21}, {117, 16, 64, 14}, {24, 99, 93, 21}, {117, 99, 68, 21}}},
        {"a horizontal row centred, no frame",
         R"(<structedit struct="geo" layout="horizontal" align="center"><label text="Wide text:"/><item target="b"/></structedit>)",
         85 + 68, 22,
         {{2, 0, 81, 21}, {87, 0, 64, 14}}},
    };
    for (const GeometryCase& c : cases) {
        SCOPED_TRACE(c.what);
        LoadDefinitionText(std::string(R"(<pirnxmlfile><struct name="geo"><long name="a"/><long name="b"/></struct>)") +
                           c.form + "</pirnxmlfile>");
        auto* editor = new StructEditor(*pirn::FindStructDefinition("geo"), nullptr);
        ASSERT_EQ(editor->BuildForm(), 1);
        EXPECT_EQ(editor->GetForm()->GetClientWidth(), c.width);
        EXPECT_EQ(editor->GetForm()->GetClientHeight(), c.height);
        std::vector<std::array<i32, 4>> cells;
        for (pirn::Window* w = editor->GetFirstChild(); w; w = w->GetNextSibling()) {
            if (w == editor->GetForm() || w == editor->GetOkButton() || w == editor->GetCancelButton()) continue;
            const pirn::Rect f = w->GetFrame();
            cells.push_back({f.left, f.top, f.Width(), f.Height()});
        }
        std::vector<std::array<i32, 4>> expected = c.cells;
        std::sort(cells.begin(), cells.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(cells, expected);
        // OK and Cancel, 96 px wide, on a 32-px strip below the form; a form
        // narrower than both buttons still shows them whole.
        const i32 width = std::max(c.width, 208);
        EXPECT_EQ(editor->GetClientHeight(), c.height + 32);
        EXPECT_EQ(editor->GetClientWidth(), width);
        EXPECT_EQ(editor->GetOkButton()->GetFrame().left, width - 208);
        EXPECT_EQ(editor->GetCancelButton()->GetFrame().left, width - 104);
        EXPECT_EQ(editor->GetOkButton()->GetFrame().top, c.height);
        EXPECT_EQ(editor->GetOkButton()->GetWidth(), 96);
        pirn::DestroyWindow(editor);
        StepFrame();
    }
}

TEST_F(StructEditorTest, AStretchedComboBoxKeepsItsButtonAtItsRightEdge) {
    LoadDefinitionText(R"(<pirnxmlfile>
      <struct name="geo"><short_enum name="e"><member text="A" value="0"/></short_enum></struct>
      <structedit struct="geo" layout="table" stretch="true">
        <row><label text="A much longer label than the box"/></row><row><item target="e"/></row>
      </structedit>
    </pirnxmlfile>)");
    auto* editor = new StructEditor(*pirn::FindStructDefinition("geo"), nullptr);
    ASSERT_EQ(editor->BuildForm(), 1);
    auto* combo = dynamic_cast<ComboBox*>(editor->GetListeners()[0]->widget());
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->GetWidth(), 32 * 8 + 1 + 4);  // the label, 1 px, the column's 4
    EXPECT_EQ(combo->GetButton()->GetFrame().right, combo->GetWidth());
    pirn::DestroyWindow(editor);
    StepFrame();
}

TEST_F(StructEditorTest, ItemsNamingNoMemberOrAPlaceOutsideItMakeNoWidget) {
    LoadDefinitionText(R"(<pirnxmlfile>
      <struct name="geo"><word name="a" count="2"/><byte name="b"/><color name="c"/><padding/></struct>
      <structedit struct="geo" layout="horizontal">
        <item target="a" index="1"/><item target="a" index="2"/><item target="a" index="-1"/>
        <item target="b" bit="7" text="top"/><item target="b" bit="8" text="past"/>
        <item target="missing"/><item target="c"/><item target="a" index="x"/>
      </structedit>
    </pirnxmlfile>)");
    auto* editor = new StructEditor(*pirn::FindStructDefinition("geo"), nullptr);
    ASSERT_EQ(editor->BuildForm(), 1);
    ASSERT_EQ(editor->GetListeners().size(), 2u);
    EXPECT_EQ(editor->GetListeners()[0]->index(), 1u);
    EXPECT_EQ(editor->GetListeners()[1]->kind(), MemberChangeListener::Kind::BitBox);
    pirn::DestroyWindow(editor);
    StepFrame();
}

TEST_F(StructEditorTest, FieldsShowTheRecordScaledRoundedAndByTheirRules) {
    AddWorld();
    TagStructEdit* tag_editor = OpenWind();
    ASSERT_NE(tag_editor, nullptr);
    StructEditor* e = tag_editor->GetStructEditor();
    // The tag editor is as wide as its form (and as high as the screen lets it).
    EXPECT_EQ(tag_editor->GetClientSize().x, e->GetForm()->GetWidth());
    EXPECT_EQ(tag_editor->GetClientSize().y, e->GetHeight());
    EXPECT_FALSE(tag_editor->TestFlags(pirn::Window::kResizable));
    struct Case {
        const char* member;
        u32 index;
        const char* shown;
    } cases[] = {
        {"strength", 0, "2.5"},
        {"seed", 0, "-2"},
        {"mask", 0, "4294967295"},  // unsigned 32 bits, never negative
        {"period", 0, "1.5"},       // 45 thirtieths of a second
        {"drag", 0, "1.5"},
        {"turns", 0, "-32768"},
        {"gust", 0, "1.0"},
        {"height_min", 0, "-2.0"},
        {"height_max", 0, "-1.996"},  // the bound + 2, in world units, 3 decimals
        {"calm", 0, "1.0"},           // 65535 / 65536, unsigned, at 3 decimals
        {"scale", 0, "1.5"},
        {"spin", 0, "2700.0"},        // no decimals for angular velocities
        {"heading", 0, "90.0"},       // nor for angles
        {"opacity", 0, "0.5"},
        {"levels", 0, "10"},
        {"levels", 2, "30"},
        {"level_caps", 2, "34"},      // 30 + 5 - 1
        {"mode", 0, "Gusting"},
        {"season", 0, "Winter"},
        {"collection", 0, "Dust"},
        {"sequence", 0, pirn::kNoSequenceText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.member);
        MemberChangeListener* l = ListenerOf(e, c.member, c.index);
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(Text(l->widget()), c.shown);
    }
    auto* flags0 = dynamic_cast<pirn::CheckBox*>(ListenerOf(e, "flags")->widget());
    ASSERT_NE(flags0, nullptr);
    EXPECT_TRUE(flags0->IsChecked());
    // The sequence list holds the collection's sequences, sorted, after "<no sequence>".
    std::vector<std::string> rows;
    for (pirn::ListItem* i = Combo(e, "sequence")->GetList()->GetFirstItem(); i; i = i->next) rows.push_back(i->text);
    EXPECT_EQ(rows, (std::vector<std::string>{pirn::kNoSequenceText, "Calm", "Gust", "Swirl"}));
}

TEST_F(StructEditorTest, OpeningTabbingThroughAndClosingWithoutEditsChangesNoByte) {
    AddWorld();
    // Values a form shows rounded or cannot show at all: a real too large for
    // the field ("invalid ???"), a tag no Codex has, an enumeration value
    // without an entry, a sequence the collection lacks.
    std::vector<u8> data = GrammarWindRecord();
    const u32 big = editors_test::FloatBits(123456789.0f);
    for (int i = 0; i < 4; ++i) data[size_t(i)] = u8(big >> (24 - 8 * i));
    data[38] = 0x00, data[39] = 0x09;  // mode 9
    data[40] = 0x00, data[41] = 0x07;  // sequence 7
    data[4] = 'z';                     // collection 'z001', missing
    TagStructEdit* tag_editor = OpenWind(data);
    ASSERT_NE(tag_editor, nullptr);
    StructEditor* e = tag_editor->GetStructEditor();
    const std::vector<u8> read = WithPaddingZeroed(data);
    EXPECT_EQ(Record(e), read);
    EXPECT_EQ(Text(Field(e, "strength")), "invalid ???");
    EXPECT_EQ(Text(Combo(e, "collection")), pirn::kNoTagText);
    EXPECT_EQ(Text(Combo(e, "mode")), "9");  // no entry names it: shown as the number
    // Round the whole tab ring once: every field gains and loses the focus.
    pirn::Window* start = e->GetOkButton();
    pirn::Window* w = start;
    int stops = 0;
    do {
        w = w->GetTabNext();
        pirn::ActivateWindow(w, pirn::kFocusByTab);
        ++stops;
    } while (w != start && stops < 100);
    EXPECT_EQ(w, start);
    EXPECT_GT(stops, 20);
    EXPECT_EQ(Record(e), read);
    EXPECT_FALSE(tag_editor->IsModified());
    EXPECT_EQ(Text(Field(e, "strength")), "invalid ???");  // shown as the record holds it

    // Closing asks nothing and leaves the file as it was.
    const std::vector<u8> before = ReadAll(LocalFile(Label(kWind), "Gale"));
    tag_editor->Close(1);
    StepFrame();
    EXPECT_TRUE(asked_.empty());
    EXPECT_EQ(ReadAll(LocalFile(Label(kWind), "Gale")), before);
}

TEST_F(StructEditorTest, TypedNumbersAreStoredByTheMemberRules) {
    struct Case {
        const char* what;
        const char* member;
        u32 index;
        const char* typed;
        size_t offset;
        std::vector<u8> stored;  // big-endian bytes at offset
        bool beeps;
    } cases[] = {
        {"past the signed range of 32 bits", "mask", 0, "4000000000", 12, {0xEE, 0x6B, 0x28, 0x00}, false},
        {"a plain long", "seed", 0, "-70000", 8, {0xFF, 0xFE, 0xEE, 0x90}, false},
        {"a short refuses what does not fit and keeps the last that did", "turns", 0, "40000", 28, {0x0F, 0xA0},
         true},
        {"2 in a 1/256 byte is clamped to 255", "opacity", 0, "2", 53, {0xFF}, false},
        {"-1 in an unsigned fraction is clamped to 0", "calm", 0, "-1", 42, {0x00, 0x00}, false},
        {"200 in a short fixed saturates", "scale", 0, "200", 44, {0x7F, 0xFF}, false},
        {"seconds become thirtieths", "period", 0, "2.5", 16, {0, 0, 0, 75}, false},
        {"the lower bound itself is stored as 0", "level_caps", 2, "30", 110, {0x00, 0x00}, false},
        {"above the bound: value - bound + 1", "level_caps", 2, "35", 110, {0x00, 0x06}, false},
        {"below the bound would read back otherwise: refused", "level_caps", 2, "29", 110, {0x00, 0x05}, false},
        {"world units with a lower bound", "height_max", 0, "-1", 36, {0x02, 0x01}, false},
        {"a real keeps its float", "strength", 0, "-0.75", 0, {0xBF, 0x40, 0x00, 0x00}, false},
        {"degrees become turn fractions", "heading", 0, "-90", 48, {0xC0, 0x00}, false},
        {"half a turn does not fit a signed angle: clamped", "heading", 0, "180", 48, {0x7F, 0xFF}, false},
        // A field cleared, or left holding only a sign or a point, reads as 0.
        {"a cleared integer field", "seed", 0, "\b", 8, {0, 0, 0, 0}, false},
        {"a cleared short", "turns", 0, "\b", 28, {0, 0}, false},
        {"an unsigned field holding only '-'", "mask", 0, "-", 12, {0, 0, 0, 0}, false},
        {"a cleared real", "strength", 0, "\b", 0, {0, 0, 0, 0}, false},
        {"a scaled field holding only '-'", "period", 0, "-", 16, {0, 0, 0, 0}, false},
        {"a scaled field holding only '.'", "drag", 0, ".", 24, {0, 0, 0, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TagStructEdit* tag_editor = OpenWind();
        ASSERT_NE(tag_editor, nullptr);
        StructEditor* e = tag_editor->GetStructEditor();
        StructNumberField* field = Field(e, c.member, c.index);
        ASSERT_NE(field, nullptr);
        const int beeps = Beeps();
        TypeInto(field, c.typed);
        const std::vector<u8> record = Record(e);
        EXPECT_EQ(std::vector<u8>(record.begin() + long(c.offset), record.begin() + long(c.offset + c.stored.size())),
                  c.stored);
        EXPECT_EQ(Beeps() > beeps, c.beeps);
        tag_editor->SetModified(false);
        tag_editor->Close(0);
        StepFrame();
    }
}

TEST_F(StructEditorTest, ChoicesWriteTheirValuesAndANewCollectionResetsItsSequences) {
    AddWorld();
    TagStructEdit* tag_editor = OpenWind();
    ASSERT_NE(tag_editor, nullptr);
    StructEditor* e = tag_editor->GetStructEditor();
    auto at = [&](size_t offset, size_t n) {
        const std::vector<u8> r = Record(e);
        return std::vector<u8>(r.begin() + long(offset), r.begin() + long(offset + n));
    };
    Pick(Combo(e, "sequence"), "Gust");  // index 2 in the collection
    EXPECT_EQ(at(40, 2), (std::vector<u8>{0, 2}));
    EXPECT_TRUE(tag_editor->IsModified());
    Pick(Combo(e, "mode"), "Still");
    EXPECT_EQ(at(38, 2), (std::vector<u8>{0, 0}));
    Pick(Combo(e, "season"), "Spring");
    EXPECT_EQ(at(52, 1), (std::vector<u8>{0}));

    auto* flag = dynamic_cast<pirn::CheckBox*>(ListenerOf(e, "flags")->widget());
    flag->SetState(pirn::Button::kUp, false);  // a click on the checked box
    EXPECT_EQ(at(30, 2), (std::vector<u8>{0x80, 0x00}));

    // Another collection: the sequence goes back to none and lists Snow's.
    Pick(Combo(e, "collection"), "Snow");
    EXPECT_EQ(at(4, 4), (std::vector<u8>{'f', '0', '0', '2'}));
    EXPECT_EQ(at(40, 2), (std::vector<u8>{0xFF, 0xFF}));
    EXPECT_EQ(Text(Combo(e, "sequence")), pirn::kNoSequenceText);
    EXPECT_EQ(Combo(e, "sequence")->GetList()->GetRowCount(), 2);
    Pick(Combo(e, "collection"), pirn::kNoTagText);
    EXPECT_EQ(at(4, 4), (std::vector<u8>{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(StructEditorTest, TagListsOfAFormAreListedOnceAndFilledWhenOpened) {
    AddWorld();
    TagStructEdit* tag_editor = OpenWind();
    StructEditor* e = tag_editor->GetStructEditor();
    auto* box = dynamic_cast<pirn::StructTagComboBox*>(Combo(e, "collection"));
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->IsFilled());
    EXPECT_EQ(box->GetList()->GetRowCount(), 2);  // "<no tag>" and the tag shown
    const i32 width = box->GetWidth();
    box->FillChoices();
    std::vector<std::string> rows;
    for (pirn::ListItem* i = box->GetList()->GetFirstItem(); i; i = i->next) rows.push_back(i->text);
    EXPECT_EQ(rows, (std::vector<std::string>{pirn::kNoTagText, "Dust", "Snow"}));
    EXPECT_EQ(Text(box), "Dust");
    EXPECT_EQ(box->GetWidth(), width);  // sized for every name from the start
    EXPECT_EQ(e->GetTagChoices(kCollection), e->GetTagChoices(kCollection));
}

TEST_F(StructEditorTest, ATagDeletedWhileTheFormIsOpenIsNoLongerOffered) {
    // The deleted collection has no other copy: the Codex frees its entry.
    AddWorld();
    for (bool filled_first : {false, true}) {
        SCOPED_TRACE(filled_first ? "deleted after the list was filled" : "deleted before");
        if (!pirn::FindTag(kCollection, pirn::MakeFourCC("f002"))) AddCollection(pirn::MakeFourCC("f002"), "Snow", {"Flurry"});
        TagStructEdit* tag_editor = OpenWind();
        ASSERT_NE(tag_editor, nullptr);
        auto* box = dynamic_cast<pirn::StructTagComboBox*>(Combo(tag_editor->GetStructEditor(), "collection"));
        ASSERT_NE(box, nullptr);
        if (filled_first) box->FillChoices();
        ASSERT_EQ(pirn::DeleteTag(pirn::FindTag(kCollection, pirn::MakeFourCC("f002"))), 1);
        ASSERT_EQ(pirn::FindTagEntry(kCollection, pirn::MakeFourCC("f002")), nullptr);
        box->FillChoices();
        std::vector<std::string> rows;
        for (pirn::ListItem* i = box->GetList()->GetFirstItem(); i; i = i->next) rows.push_back(i->text);
        EXPECT_EQ(rows, (std::vector<std::string>{pirn::kNoTagText, "Dust"}));
        Pick(box, "Dust");
        EXPECT_EQ(Text(box), "Dust");
        tag_editor->Close(1);
        IdleFrame();
    }
}

// ---- nested editors and arrays -----------------------------------------------------

TEST_F(StructEditorTest, NestedFormsAndSubStructEditorsEditInPlaceAndMarkTheTagEditor) {
    AddWorld();
    TagStructEdit* tag_editor = OpenWind();
    ASSERT_NE(tag_editor, nullptr);
    StructEditor* e = tag_editor->GetStructEditor();
    ASSERT_EQ(e->GetNestedForms().size(), 1u);
    Table* more = e->GetNestedForms()[0];
    EXPECT_FALSE(more->IsVisible());
    EXPECT_EQ(std::string(more->GetTitle()), "More");

    // The nested form shows modally; its close box ends the run and keeps it.
    Then([&] {
        EXPECT_EQ(pirn::GetTopModalWindow(), more);
        EXPECT_TRUE(more->IsVisible());
        more->Close(1);
    });
    e->OpenNestedForm(0);
    EXPECT_FALSE(more->IsVisible());
    EXPECT_FALSE(more->IsDestroyed());
    EXPECT_EQ(e->GetNestedForms()[0], more);

    // The "Origin..." button opens the point in a nested editor; OK keeps the
    // edit and marks the tag editor modified.
    MemberChangeListener* origin = ListenerOf(e, "origin");
    ASSERT_NE(origin, nullptr);
    bool seen = false;
    Then([&] {
        auto* nested = dynamic_cast<StructEditor*>(pirn::GetTopModalWindow());
        ASSERT_NE(nested, nullptr);
        EXPECT_EQ(std::string(nested->GetTitle()), "Origin...");
        TypeInto(Field(nested, "x"), "12");
        seen = true;
    });
    Then([&] { dynamic_cast<StructEditor*>(pirn::GetTopModalWindow())->GetOkButton()->SetState(1, false); });
    static_cast<pirn::Button*>(origin->widget())->SetState(1, false);
    EXPECT_TRUE(seen);
    EXPECT_EQ(Record(e)[64], 0);
    EXPECT_EQ(Record(e)[65], 12);
    EXPECT_TRUE(tag_editor->IsModified());

    // OK without an edit leaves the tag editor as it was.
    tag_editor->SetModified(false);
    Then([&] { dynamic_cast<StructEditor*>(pirn::GetTopModalWindow())->GetOkButton()->SetState(1, false); });
    static_cast<pirn::Button*>(origin->widget())->SetState(1, false);
    EXPECT_FALSE(tag_editor->IsModified());

    // Cancel puts the element back.
    Then([&] { TypeInto(Field(dynamic_cast<StructEditor*>(pirn::GetTopModalWindow()), "y"), "99"); });
    Then([&] { dynamic_cast<StructEditor*>(pirn::GetTopModalWindow())->GetCancelButton()->SetState(1, false); });
    static_cast<pirn::Button*>(origin->widget())->SetState(1, false);
    EXPECT_EQ(Record(e)[67], 7);
}

TEST_F(StructEditorTest, NestedFormsGoWithTheirEditorAndNeverHoldUpClosingEverything) {
    AddWorld();
    // Forms are windows of their own on the screen's layer, hidden until
    // their button shows them; hidden ones count too: none may outlive its
    // editor.
    auto forms_left = [] {
        int n = 0;
        for (pirn::Window* w = pirn::GetLayerWindow(0)->GetFirstChild(); w; w = w->GetNextSibling())
            if (dynamic_cast<Table*>(w) && !w->IsDestroyed()) ++n;
        return n;
    };
    TagStructEdit* tag_editor = OpenWind();
    ASSERT_NE(tag_editor, nullptr);
    StructEditor* e = tag_editor->GetStructEditor();
    Table* more = e->GetNestedForms()[0];
    EXPECT_EQ(forms_left(), 1);
    EXPECT_FALSE(more->IsVisible());
    bool shown_on_screen = false;
    Then([&] {
        shown_on_screen = more->GetParent() == pirn::GetLayerWindow(0) && more->IsVisible();
        more->Close(1);
    });
    e->OpenNestedForm(0);
    EXPECT_TRUE(shown_on_screen);
    EXPECT_FALSE(more->IsVisible());

    // Closed by itself, the editor takes its hidden form along.
    tag_editor->Close(1);
    StepFrame();
    EXPECT_EQ(forms_left(), 0);

    // Closing every window (as quitting does) is not refused by a hidden form.
    ASSERT_NE(OpenWind(), nullptr);
    EXPECT_EQ(pirn::CloseAllWindows(), 1);
    StepFrame();
    EXPECT_EQ(forms_left(), 0);
    EXPECT_EQ(pirn::GetLayerWindow(0)->GetFirstChild(), nullptr);
}

TEST_F(StructEditorTest, ArraysListTheirElementsAndAddDeleteAndDuplicateByTheirCount) {
    AddWorld();
    std::vector<u8> data = GrammarWindRecord();
    data[76 + 3] = '2';  // the second effect's sound is f002
    TagStructEdit* tag_editor = OpenWind(data);
    ASSERT_NE(tag_editor, nullptr);
    StructEditor* e = tag_editor->GetStructEditor();
    SubStructArrayEdit* array = nullptr;
    for (pirn::Window* w = e->GetNestedForms()[0]->GetFirstChild(); w; w = w->GetNextSibling())
        if (auto* a = dynamic_cast<SubStructArrayEdit*>(w)) array = a;
    ASSERT_NE(array, nullptr);
    auto rows = [&] {
        std::vector<std::string> out;
        for (pirn::ListItem* i = array->GetList()->GetFirstItem(); i; i = i->next) out.push_back(i->text);
        return out;
    };
    // Three in use, named by their sounds.
    EXPECT_EQ(rows(), (std::vector<std::string>{"Howl", "Breeze", "Howl"}));
    EXPECT_TRUE(array->GetAddButton()->IsVisible());
    EXPECT_TRUE(array->GetAddButton()->IsEnabled());
    EXPECT_FALSE(array->GetDeleteButton()->IsEnabled());  // nothing selected
    EXPECT_EQ(array->GetList()->GetWidth(), array->GetDuplicateButton()->GetFrame().right);
    EXPECT_EQ(array->GetAddButton()->GetFrame().top, SubStructArrayEdit::kButtonTop);

    // Delete the first: the rest move down, the count drops, the freed
    // element is zeroed, and the tag editor is modified.
    array->GetList()->SelectItem(array->GetList()->GetFirstItem(), false);
    EXPECT_TRUE(array->GetDeleteButton()->IsEnabled());
    EXPECT_TRUE(array->DeleteSelected());
    EXPECT_EQ(rows(), (std::vector<std::string>{"Breeze", "Howl"}));
    std::vector<u8> r = Record(e);
    EXPECT_EQ(r[51], 2);
    EXPECT_EQ(std::vector<u8>(r.begin() + 84, r.begin() + 100), std::vector<u8>(16, 0));
    EXPECT_TRUE(tag_editor->IsModified());

    // Duplicate the selected row into element 2; OK keeps it.
    tag_editor->SetModified(false);
    array->GetList()->SelectItem(array->GetList()->GetFirstItem(), false);
    EXPECT_TRUE(array->GetDuplicateButton()->IsEnabled());
    std::string title;
    Then([&] {
        auto* nested = dynamic_cast<StructEditor*>(pirn::GetTopModalWindow());
        title = nested->GetTitle();
        nested->GetOkButton()->SetState(1, false);
    });
    EXPECT_EQ(array->AddElement(array->SelectedElement()), 1);
    EXPECT_EQ(title, "effect #3");
    EXPECT_EQ(rows(), (std::vector<std::string>{"Breeze", "Howl", "Breeze"}));
    EXPECT_TRUE(tag_editor->IsModified());

    // Add, then Cancel: the count and the element are as before.
    const std::vector<u8> before = Record(e);
    Then([&] { dynamic_cast<StructEditor*>(pirn::GetTopModalWindow())->GetCancelButton()->SetState(1, false); });
    EXPECT_EQ(array->AddElement(-1), 0);
    EXPECT_EQ(Record(e), before);

    // Full: neither Add nor Duplicate.
    Then([&] { dynamic_cast<StructEditor*>(pirn::GetTopModalWindow())->GetOkButton()->SetState(1, false); });
    EXPECT_EQ(array->AddElement(-1), 1);
    EXPECT_EQ(Record(e)[51], 4);
    array->GetList()->SelectItem(array->GetList()->GetFirstItem(), false);
    EXPECT_FALSE(array->GetAddButton()->IsEnabled());
    EXPECT_FALSE(array->GetDuplicateButton()->IsEnabled());
    EXPECT_EQ(array->AddElement(0), -1);
}

TEST_F(StructEditorTest, ACountInUseFromTheFileNeverReachesPastTheArray) {
    AddWorld();
    std::vector<u8> data = GrammarWindRecord();
    data[51] = 200;  // effect_count beyond the four elements
    TagStructEdit* tag_editor = OpenWind(data);
    ASSERT_NE(tag_editor, nullptr);
    SubStructArrayEdit* array = nullptr;
    for (pirn::Window* w = tag_editor->GetStructEditor()->GetNestedForms()[0]->GetFirstChild(); w;
         w = w->GetNextSibling())
        if (auto* a = dynamic_cast<SubStructArrayEdit*>(w)) array = a;
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(array->GetList()->GetRowCount(), 4);
    EXPECT_EQ(array->GetList()->ItemAtRow(3)->text, "<no tag> #4");
    EXPECT_FALSE(array->GetAddButton()->IsEnabled());
}

TEST_F(StructEditorTest, EveryElementInUseHasARowThatCanBeSelectedOpenedAndDeleted) {
    AddWorld();
    LoadDefinitionText(R"(<pirnxmlfile>
      <struct name="cue"><tag name="sound" group="soun"/><sequence_index name="frame"/></struct>
      <structedit struct="cue" layout="horizontal"><item target="sound"/></structedit>
      <struct name="show">
        <tag name="collection" group=".256"/>
        <byte name="tags_used"/><byte name="frames_used"/><byte name="plain_used"/>
        <substruct name="by_tag" struct="cue" count="3" runtime_count="tags_used"/>
        <substruct name="by_frame" struct="cue" count="3" runtime_count="frames_used"/>
        <substruct name="plain" struct="cue" count="3" runtime_count="plain_used"/>
      </struct>
      <structedit struct="show">
        <item target="by_tag" text_target="sound"/>
        <item target="by_frame" text_target="frame"/>
        <item target="plain"/>
      </structedit>
    </pirnxmlfile>)");
    // Sounds: Howl, one no Codex has, none; frames: Calm, one the collection lacks.
    Bytes record;
    record.Code("f001").U8(3).U8(2).U8(2);
    record.Code("f001").U16(0).Code("zzzz").U16(0).U32(0).U16(0);
    record.U32(0).U16(1).U32(0).U16(7).U32(0).U16(0);
    for (int i = 0; i < 3; ++i) record.U32(0).U16(0);
    auto* editor = new StructEditor(*pirn::FindStructDefinition("show"), nullptr);
    std::FILE* in = editors_test::StreamOf(record.data);
    ASSERT_EQ(pirn::ReadStruct(editor->GetData(), in), record.data.size());
    std::fclose(in);
    ASSERT_EQ(editor->BuildForm(), 1);
    std::vector<SubStructArrayEdit*> arrays(3, nullptr);
    const char* names[] = {"by_tag", "by_frame", "plain"};
    for (pirn::Window* w = editor->GetFirstChild(); w; w = w->GetNextSibling())
        if (auto* a = dynamic_cast<SubStructArrayEdit*>(w))
            for (size_t i = 0; i < 3; ++i)
                if (a->GetMember().name == names[i]) arrays[i] = a;
    ASSERT_TRUE(arrays[0] && arrays[1] && arrays[2]);
    auto rows = [](SubStructArrayEdit* array) {
        std::vector<std::string> out;
        for (pirn::ListItem* i = array->GetList()->GetFirstItem(); i; i = i->next) out.push_back(i->text);
        return out;
    };
    EXPECT_EQ(rows(arrays[0]), (std::vector<std::string>{"Howl", "<no tag> #2", "<no tag> #3"}));
    EXPECT_EQ(rows(arrays[1]), (std::vector<std::string>{"Calm", "Sequence #2"}));
    EXPECT_EQ(rows(arrays[2]), (std::vector<std::string>{"cue #1", "cue #2"}));

    // A placeholder row is selected and deleted like any other.
    SubStructArrayEdit* by_tag = arrays[0];
    by_tag->GetList()->SelectItem(by_tag->GetList()->ItemAtRow(2), false);
    EXPECT_TRUE(by_tag->GetDeleteButton()->IsEnabled());
    EXPECT_TRUE(by_tag->DeleteSelected());
    EXPECT_EQ(rows(by_tag), (std::vector<std::string>{"Howl", "<no tag> #2"}));
    EXPECT_EQ(editor->GetData().data()[4], 2);

    // Added elements naming no tag show up at once; the array fills up.
    Then([&] { dynamic_cast<StructEditor*>(pirn::GetTopModalWindow())->GetOkButton()->SetState(1, false); });
    EXPECT_EQ(by_tag->AddElement(-1), 1);
    EXPECT_EQ(rows(by_tag), (std::vector<std::string>{"Howl", "<no tag> #2", "<no tag> #3"}));
    EXPECT_FALSE(by_tag->GetAddButton()->IsEnabled());

    // Opened, given a sound and kept, a placeholder takes the sound's name.
    std::string title;
    Then([&] {
        auto* nested = dynamic_cast<StructEditor*>(pirn::GetTopModalWindow());
        ASSERT_NE(nested, nullptr);
        title = nested->GetTitle();
        Pick(Combo(nested, "sound"), "Breeze");
    });
    Then([&] { dynamic_cast<StructEditor*>(pirn::GetTopModalWindow())->GetOkButton()->SetState(1, false); });
    EXPECT_EQ(by_tag->OpenRow(by_tag->GetList()->ItemAtRow(1)), 1);
    EXPECT_EQ(title, "<no tag> #2");
    EXPECT_EQ(rows(by_tag), (std::vector<std::string>{"Howl", "Breeze", "<no tag> #3"}));
    pirn::DestroyWindow(editor);
    StepFrame();
}

// ---- saving -------------------------------------------------------------------------

TEST_F(StructEditorTest, OkSavesAndClosesOnlyWhenTheSaveWorked) {
    AddWorld();
    TagStructEdit* tag_editor = OpenWind();
    ASSERT_NE(tag_editor, nullptr);
    TypeInto(Field(tag_editor->GetStructEditor(), "seed"), "5");

    // The local folder cannot take the file: the error is shown, the editor stays.
    const std::string local = pirn::GetLocalFolder();
    pirn::SetLocalFolder(dir_.path() + "/not a folder/");
    WriteAll(dir_.path() + "/not a folder", std::vector<u8>{1});
    Answer(0);
    tag_editor->GetStructEditor()->GetOkButton()->SetState(1, false);
    RunScript();
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].text, "The save operation could not be completed.");
    StepFrame();
    EXPECT_FALSE(tag_editor->IsDestroyed());
    EXPECT_TRUE(tag_editor->IsModified());

    pirn::SetLocalFolder(local);
    tag_editor->GetStructEditor()->GetOkButton()->SetState(1, false);
    EXPECT_TRUE(tag_editor->IsDestroyed());
    std::vector<u8> expected = WithPaddingZeroed(GrammarWindRecord());
    expected[8] = expected[9] = expected[10] = 0, expected[11] = 5;
    EXPECT_EQ(LocalData(kWind, "Gale"), expected);
}

TEST_F(StructEditorTest, AFailedWriteIsAFailedSave) {
    TagStructEdit* tag_editor = OpenWind();
    ASSERT_NE(tag_editor, nullptr);
    std::FILE* read_only = std::fopen(LocalFile(Label(kWind), "Gale").c_str(), "rb");
    ASSERT_NE(read_only, nullptr);
    pirn::TagHeader header = tag_editor->GetHeader();
    EXPECT_EQ(tag_editor->WriteTag(read_only, &header), 0);
    std::fclose(read_only);
}

TEST_F(StructEditorTest, DataOfAnotherSizeOrAStructWithoutFormIsNotOpened) {
    for (size_t size : {size_t{0}, size_t{111}, size_t{113}}) {
        SCOPED_TRACE(size);
        std::vector<u8> data = GrammarWindRecord();
        data.resize(size);
        Answer(0);
        EXPECT_EQ(OpenWind(data), nullptr);
        RunScript();
        ASSERT_FALSE(asked_.empty());
        EXPECT_EQ(asked_.back().text, "The tag could not be loaded.");
        StepFrame();
    }
}

// ---- collections ------------------------------------------------------------------

TEST_F(StructEditorTest, EditorsShowingOneCollectionShareItAndTheLastToCloseFreesIt) {
    AddWorld();
    TagEntry* dust = pirn::FindTag(kCollection, pirn::MakeFourCC("f001"));
    TagStructEdit* first = OpenWind();
    ASSERT_NE(first, nullptr);
    pirn::Collection* shared = pirn::FindSharedCollection(dust);
    ASSERT_NE(shared, nullptr);
    auto* second = new StructEditor(*pirn::FindStructDefinition("wind"), nullptr);
    std::FILE* in = editors_test::StreamOf(GrammarWindRecord());
    ASSERT_EQ(pirn::ReadStruct(second->GetData(), in), 112u);
    std::fclose(in);
    ASSERT_EQ(second->BuildForm(), 1);
    const auto& member = static_cast<const pirn::TagMember&>(*pirn::FindStructMember(second->GetDefinition(), "collection"));
    EXPECT_EQ(second->GetMemberCollection(member, 0), shared);

    // One more element of the same member keeps the first one's collection.
    EXPECT_EQ(pirn::LookupCachedCollection(second, member, 1, pirn::MakeFourCC("f002")) != nullptr, true);
    EXPECT_EQ(second->GetMemberCollection(member, 0), shared);
    EXPECT_EQ(pirn::FindSharedCollection(dust), shared);

    first->Close(1);
    StepFrame();
    EXPECT_EQ(pirn::FindSharedCollection(dust), shared);
    pirn::DestroyWindow(second);
    StepFrame();
    EXPECT_EQ(pirn::FindSharedCollection(dust), nullptr);
    EXPECT_EQ(pirn::CachedCollectionEntryCount(), 0u);
}

TEST_F(StructEditorTest, ACollectionReferenceLeadsToItsCollection) {
    AddWorld();
    Bytes core;
    core.Code("f002");
    for (int i = 0; i < 190; ++i) core.U16(0);
    AddLocalTag(kCore, pirn::MakeFourCC("r001"), "Snow Reference", core.data);
    LoadDefinitionText(R"(<pirnxmlfile>
      <struct name="look"><tag name="via" group="core"/><sequence_index name="frame"/></struct>
      <structedit struct="look"><item target="via"/><item target="frame" tag="via"/></structedit>
    </pirnxmlfile>)");
    auto* editor = new StructEditor(*pirn::FindStructDefinition("look"), nullptr);
    Bytes record;
    record.Code("r001").U16(0);
    std::FILE* in = editors_test::StreamOf(record.data);
    ASSERT_EQ(pirn::ReadStruct(editor->GetData(), in), 6u);
    std::fclose(in);
    ASSERT_EQ(editor->BuildForm(), 1);
    EXPECT_EQ(Text(Combo(editor, "via")), "Snow Reference");
    EXPECT_EQ(Text(Combo(editor, "frame")), "Flurry");
    pirn::DestroyWindow(editor);
    StepFrame();
}

}  // namespace
}  // namespace pirn_test
