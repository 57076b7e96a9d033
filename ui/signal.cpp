#include "ui/signal.h"

#include <algorithm>

namespace pirn {

namespace {
u64 g_next_serial = 1;
}

void SignalBase::Connect(SignalListener* listener, SlotFunction function) {
    if (listener) listener->Remember(this);
    connections_.push_back(Connection{listener, function, g_next_serial++});
}

bool SignalBase::IsConnected(u64 serial) const {
    for (const Connection& c : connections_)
        if (c.serial == serial) return true;
    return false;
}

bool SignalBase::RemoveConnectionsOf(const SignalListener* listener) {
    if (connections_.empty()) return false;
    bool removed = false;
    // Later connections of the listener go first, keeping the order of the
    // others; only then is the first (inline) one refilled, so the entry that
    // moves into it can never be the listener being removed.
    auto tail_end = std::remove_if(connections_.begin() + 1, connections_.end(),
                                   [&](const Connection& c) { return c.listener == listener; });
    if (tail_end != connections_.end()) {
        connections_.erase(tail_end, connections_.end());
        removed = true;
    }
    if (connections_[0].listener == listener) {
        if (connections_.size() > 1) connections_[0] = connections_.back();
        connections_.pop_back();
        removed = true;
    }
    return removed;
}

void DisconnectSignal(SignalBase& signal, const SignalListener* listener) {
    if (signal.RemoveConnectionsOf(listener) && listener)
        const_cast<SignalListener*>(listener)->Forget(&signal);
}

void DestroySignal(SignalBase& signal) {
    for (SignalBase::EmitFrame* f = signal.emitting_; f; f = f->outer) f->alive = false;
    signal.emitting_ = nullptr;
    std::vector<SignalBase::Connection> connections;
    connections.swap(signal.connections_);
    for (const SignalBase::Connection& c : connections)
        if (c.listener) c.listener->Forget(&signal);
}

void SignalListener::Remember(SignalBase* signal) {
    if (std::find(signals_.begin(), signals_.end(), signal) == signals_.end())
        signals_.push_back(signal);
}

void SignalListener::Forget(SignalBase* signal) {
    auto it = std::find(signals_.begin(), signals_.end(), signal);
    if (it == signals_.end()) return;
    *it = signals_.back();  // order is not kept
    signals_.pop_back();
}

bool SignalListener::IsConnectedTo(const SignalBase& signal) const {
    return std::find(signals_.begin(), signals_.end(), &signal) != signals_.end();
}

void SignalListener::DisconnectAll() {
    std::vector<SignalBase*> signals;
    signals.swap(signals_);
    for (SignalBase* s : signals) s->RemoveConnectionsOf(this);
}

}  // namespace pirn
