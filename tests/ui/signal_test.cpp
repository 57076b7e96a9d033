#include "ui/signal.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace pirn {
namespace {

std::vector<std::string> g_calls;

class Recorder : public SignalListener {
public:
    explicit Recorder(std::string name) : name_(std::move(name)) {}
    void OnNone() { g_calls.push_back(name_); }
    void OnInt(i32 v) { g_calls.push_back(name_ + ":" + std::to_string(v)); }
    void OnPair(intptr_t a, intptr_t b) {
        g_calls.push_back(name_ + ":" + std::to_string(a) + "," + std::to_string(b));
    }

private:
    std::string name_;
};

class SignalTest : public ::testing::Test {
protected:
    void SetUp() override { g_calls.clear(); }
};

TEST_F(SignalTest, EmitsInlineFirstThenInOrderWithValues) {
    SignalInt s;
    Recorder a("a"), b("b"), c("c");
    ConnectSignal<&Recorder::OnInt>(s, &a);
    ConnectSignal<&Recorder::OnInt>(s, &b);
    ConnectSignal<&Recorder::OnInt>(s, &c);
    ConnectSignal<&Recorder::OnInt>(s, &b);  // the same pair twice is called twice
    EmitSignalInt(s, 7);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"a:7", "b:7", "c:7", "b:7"}));
    EXPECT_EQ(b.ConnectedSignalCount(), 1u);

    SignalPair p;
    ConnectSignal<&Recorder::OnPair>(p, &a);
    g_calls.clear();
    EmitSignalPair(p, -3, 1 << 20);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"a:-3,1048576"}));
}

TEST_F(SignalTest, DisconnectingTheFirstMovesTheLastIntoTheInlinePair) {
    SignalNone s;
    Recorder a("a"), b("b"), c("c");
    ConnectSignal<&Recorder::OnNone>(s, &a);
    ConnectSignal<&Recorder::OnNone>(s, &b);
    ConnectSignal<&Recorder::OnNone>(s, &c);
    DisconnectSignal(s, &a);
    EXPECT_FALSE(a.IsConnectedTo(s));
    EXPECT_EQ(s.ListenerAt(0), &c);
    EmitSignal(s);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"c", "b"}));
}

TEST_F(SignalTest, DisconnectRemovesEveryConnectionOfTheListener) {
    // The inline listener also holds the last array entry: moving that entry
    // into the inline pair must not keep the listener connected.
    SignalNone s;
    Recorder a("a"), b("b");
    ConnectSignal<&Recorder::OnNone>(s, &a);
    ConnectSignal<&Recorder::OnNone>(s, &b);
    ConnectSignal<&Recorder::OnNone>(s, &a);
    DisconnectSignal(s, &a);
    EXPECT_EQ(s.ConnectionCount(), 1u);
    EXPECT_FALSE(a.IsConnectedTo(s));
    EmitSignal(s);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"b"}));
}

TEST_F(SignalTest, EitherSideGoingAwayRemovesTheConnection) {
    auto listener = std::make_unique<Recorder>("l");
    Recorder other("o");
    SignalNone s;
    {
        SignalNone gone;
        ConnectSignal<&Recorder::OnNone>(gone, listener.get());
        ConnectSignal<&Recorder::OnNone>(s, listener.get());
        ConnectSignal<&Recorder::OnNone>(s, &other);
        EXPECT_EQ(listener->ConnectedSignalCount(), 2u);
    }
    EXPECT_EQ(listener->ConnectedSignalCount(), 1u);
    listener.reset();
    EXPECT_EQ(s.ConnectionCount(), 1u);
    EmitSignal(s);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"o"}));
}

void FreeSlot(SignalListener* listener, i32 v) {
    EXPECT_EQ(listener, nullptr);
    g_calls.push_back("free:" + std::to_string(v));
}

TEST_F(SignalTest, NullListenerConnectsAFreeFunction) {
    SignalInt s;
    ConnectSignal(s, nullptr, &FreeSlot);
    EmitSignalInt(s, 3);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"free:3"}));
    DisconnectSignal(s, nullptr);
    EXPECT_FALSE(s.HasConnections());
}

// A slot that tears things down in the middle of an emission.
class Closer : public SignalListener {
public:
    std::unique_ptr<SignalListener>* victim = nullptr;
    std::unique_ptr<SignalNone>* own_signal = nullptr;
    SignalNone* signal = nullptr;
    void OnNone() {
        g_calls.push_back("closer");
        if (victim) victim->reset();
        if (signal) DisconnectSignal(*signal, this);
        if (own_signal) own_signal->reset();
    }
};

TEST_F(SignalTest, SlotsMayDisconnectAndDestroyDuringEmission) {
    SignalNone s;
    Closer closer;
    auto doomed = std::make_unique<SignalListener>();
    Recorder after("after");
    ConnectSignal<&Closer::OnNone>(s, &closer);
    ConnectSignal<&Recorder::OnNone>(s, &after);
    s.Connect(doomed.get(), [](SignalListener*) { g_calls.push_back("doomed"); });
    closer.victim = &doomed;
    closer.signal = &s;
    EmitSignal(s);
    // The destroyed listener is skipped, the others still run.
    EXPECT_EQ(g_calls, (std::vector<std::string>{"closer", "after"}));
    g_calls.clear();
    EmitSignal(s);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"after"}));

    // The slot destroys the signal it is called from.
    auto owned = std::make_unique<SignalNone>();
    Closer closer2;
    closer2.own_signal = &owned;
    ConnectSignal<&Closer::OnNone>(*owned, &closer2);
    ConnectSignal<&Recorder::OnNone>(*owned, &after);
    g_calls.clear();
    owned->Emit();
    EXPECT_EQ(g_calls, (std::vector<std::string>{"closer"}));
    EXPECT_EQ(closer2.ConnectedSignalCount(), 0u);
    EXPECT_EQ(after.ConnectedSignalCount(), 1u);  // only `s` remains
}

}  // namespace
}  // namespace pirn
