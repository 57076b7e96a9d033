#include "ui/remembered_dialog_fields.h"

#include <cstdarg>
#include <cstring>
#include <map>

#include "platform/pref_store.h"
#include "platform/strings.h"
#include "ui/check_box.h"
#include "ui/text_box.h"

namespace pirn {

namespace {

// Highest check-box state a stored value may set (kPressedUnchecked).
constexpr i32 kCheckBoxStateLimit = 4;

void PersistCheckBox(const std::string& key, Window* control, bool save) {
    auto* box = static_cast<CheckBox*>(control);
    if (save) {
        SetPrefInt(key, static_cast<i32>(box->GetState()));
        return;
    }
    i32 state = 0;
    if (GetPrefInt(key, &state) && state >= 0 && state < kCheckBoxStateLimit)
        box->SetState(static_cast<u32>(state), /*silent=*/true);
}

void PersistTextBox(const std::string& key, Window* control, bool save) {
    auto* box = static_cast<TextBox*>(control);
    if (save) {
        SetPrefString(key, box->GetText());
        return;
    }
    std::string text;
    if (GetPrefString(key, &text)) box->SetText(text);
}

std::map<std::string, DialogControlPersister>& Persisters() {
    static std::map<std::string, DialogControlPersister> persisters = {
        {"CheckBox", PersistCheckBox},
        {"TextBox", PersistTextBox},
    };
    return persisters;
}

}  // namespace

void SetDialogControlPersister(const char* className, DialogControlPersister persister) {
    if (!className) return;
    if (persister) Persisters()[className] = persister;
    else Persisters().erase(className);
}

void PersistDialogControl(const std::string& key, Window* control, bool save) {
    if (!control) return;
    const auto found = Persisters().find(control->GetClassName());
    if (found != Persisters().end()) found->second(key, control, save);
}

void PersistDialogFields(const char* dialogName, bool save,
                         const std::vector<std::pair<const char*, Window*>>& fields) {
    for (const auto& [name, control] : fields)
        PersistDialogControl(FormatString("%s.%s", dialogName, name), control, save);
}

void PersistDialogState(const char* dialogName, int save, ...) {
    std::vector<std::pair<const char*, Window*>> fields;
    va_list args;
    va_start(args, save);
    while (const char* name = va_arg(args, const char*)) fields.emplace_back(name, va_arg(args, Window*));
    va_end(args);
    PersistDialogFields(dialogName, save != 0, fields);
}

}  // namespace pirn
