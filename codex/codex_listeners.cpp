#include "codex/codex_events.h"
#include "codex/codex_state.h"

namespace pirn {

void SetCodexListener(CodexListener listener, void* context, int add) {
    auto& listeners = TheCodex().listeners;
    for (size_t i = 0; i < listeners.size(); ++i) {
        if (listeners[i].function == listener && listeners[i].context == context) {
            if (!add) listeners.erase(listeners.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
    if (add) listeners.push_back({listener, context});
}

void NotifyCodexListeners(u32 event, TagEntry* tag, Archive* archive) {
    // Listeners must not change the list while being called; iterate a copy
    // anyway so a careless one cannot make us read freed storage.
    std::vector<CodexListenerSlot> listeners = TheCodex().listeners;
    for (const CodexListenerSlot& slot : listeners) slot.function(slot.context, archive, tag, event);
}

}  // namespace pirn
