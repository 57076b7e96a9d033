#pragma once
// Signals and slots: a widget tells its owner about a change by emitting a
// signal; the owner listens with a member function. Both sides remember the
// connection so that destroying either one removes it.

#include <cstdint>
#include <vector>

#include "platform/types.h"

namespace pirn {

class SignalListener;
class SignalBase;

// Type-erased slot; each typed signal casts it back to its own signature.
using SlotFunction = void (*)();

// Removes every connection of the listener (a null listener: every free
// function connected without one). The listener also forgets the signal: a
// listener must never keep a signal it has no connection to, since a signal
// that goes away only visits the listeners it is connected to.
void DisconnectSignal(SignalBase& signal, const SignalListener* listener);
// Drops every connection; the listeners forget this signal.
void DestroySignal(SignalBase& signal);

class SignalBase {
public:
    struct Connection {
        SignalListener* listener;
        SlotFunction function;
        u64 serial;  // tells a live connection from one removed during an emission
    };

    SignalBase() = default;
    ~SignalBase() { DestroySignal(*this); }
    SignalBase(const SignalBase&) = delete;
    SignalBase& operator=(const SignalBase&) = delete;

    bool HasConnections() const { return !connections_.empty(); }
    size_t ConnectionCount() const { return connections_.size(); }
    // Listener of the n-th connection in emission order (the first is the
    // inline one).
    const SignalListener* ListenerAt(size_t n) const { return connections_[n].listener; }

protected:
    // Marks one emission running over this signal; the signal clears `alive`
    // when it is destroyed underneath the emission.
    struct EmitFrame {
        explicit EmitFrame(SignalBase& s) : signal(&s), outer(s.emitting_) { s.emitting_ = this; }
        ~EmitFrame() {
            if (alive) signal->emitting_ = outer;
        }
        EmitFrame(const EmitFrame&) = delete;
        EmitFrame& operator=(const EmitFrame&) = delete;
        SignalBase* signal;
        EmitFrame* outer;
        bool alive = true;
    };

    void Connect(SignalListener* listener, SlotFunction function);
    bool IsConnected(u64 serial) const;
    // Copy of the connections taken before an emission: slots may connect,
    // disconnect or close windows while it runs.
    std::vector<Connection> Snapshot() const { return connections_; }

private:
    friend void DisconnectSignal(SignalBase&, const SignalListener*);
    friend void DestroySignal(SignalBase&);
    friend class SignalListener;

    // Removes the listener's connections; returns whether any went.
    bool RemoveConnectionsOf(const SignalListener* listener);

    // connections_[0] plays the inline pair: the first connection, which a
    // disconnect refills with the last one.
    std::vector<Connection> connections_;
    EmitFrame* emitting_ = nullptr;
};

template <typename... Args>
class Signal : public SignalBase {
public:
    using Slot = void (*)(SignalListener* listener, Args... args);

    void Connect(SignalListener* listener, Slot slot) {
        SignalBase::Connect(listener, reinterpret_cast<SlotFunction>(slot));
    }

    // Calls every connection, the inline one first, with the listener and the
    // values. Runs over a snapshot and skips connections removed meanwhile, so
    // a slot may disconnect others, close its own window or destroy the
    // object that owns this signal.
    void Emit(Args... args) {
        if (!HasConnections()) return;
        const std::vector<Connection> snapshot = Snapshot();
        EmitFrame frame(*this);
        for (const Connection& c : snapshot) {
            if (!frame.alive) return;
            if (snapshot.size() > 1 && !IsConnected(c.serial)) continue;
            reinterpret_cast<Slot>(c.function)(c.listener, args...);
        }
    }
};

// The kinds the toolkit uses.
using SignalNone = Signal<>;
using SignalInt = Signal<i32>;
using SignalPtr = Signal<void*>;
using SignalPair = Signal<intptr_t, intptr_t>;
using SignalPtrInt = Signal<intptr_t, i32>;

// The listener side. Every window is one.
class SignalListener {
public:
    SignalListener() = default;
    virtual ~SignalListener() { DisconnectAll(); }
    SignalListener(const SignalListener&) = delete;
    SignalListener& operator=(const SignalListener&) = delete;

    // Leaves every signal this listener is connected to.
    void DisconnectAll();
    size_t ConnectedSignalCount() const { return signals_.size(); }
    bool IsConnectedTo(const SignalBase& signal) const;

private:
    friend class SignalBase;
    friend void DisconnectSignal(SignalBase&, const SignalListener*);
    friend void DestroySignal(SignalBase&);

    void Remember(SignalBase* signal);
    void Forget(SignalBase* signal);

    std::vector<SignalBase*> signals_;  // each at most once
};

// Connects a free function; a null listener is allowed and is in no list.
template <typename... Args>
void ConnectSignal(Signal<Args...>& signal, SignalListener* listener,
                   typename Signal<Args...>::Slot slot) {
    signal.Connect(listener, slot);
}

// Connects a member function: ConnectSignal<&Owner::OnClicked>(button.clicked, this).
// The same pair connected twice is called twice.
template <auto Method, typename Listener, typename... Args>
void ConnectSignal(Signal<Args...>& signal, Listener* listener) {
    signal.Connect(listener, [](SignalListener* l, Args... args) {
        (static_cast<Listener*>(l)->*Method)(args...);
    });
}

inline void EmitSignal(SignalNone& s) { s.Emit(); }
inline void EmitSignalInt(SignalInt& s, i32 value) { s.Emit(value); }
inline void EmitSignalPtr(SignalPtr& s, void* value) { s.Emit(value); }
inline void EmitSignalPair(SignalPair& s, intptr_t a, intptr_t b) { s.Emit(a, b); }
inline void EmitSignalPtrInt(SignalPtrInt& s, intptr_t a, i32 b) { s.Emit(a, b); }

}  // namespace pirn
