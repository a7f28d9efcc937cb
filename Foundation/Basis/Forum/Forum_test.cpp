#include "Foundation/Basis/Forum/Forum.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "Foundation/Basis/Forum/EventObject.h"
#include "Foundation/Basis/Forum/ThreadSafeForum.h"
#include "Foundation/System/IPC/Event.h"

namespace {

// A listener that logs what it hears into a shared log, answers with a
// chosen value, and may run an action the first time it is called.
template <class Base>
class Listener : public Base {
public:
    Listener(std::string name, std::string* log) : s_Name(std::move(name)), ps_Log(log) {}

    void vv_Listen(CT_Forum* speaker, unsigned message, va_list arguments) override {
        pco_Speaker = speaker;
        n_Message = message;
        *ps_Log += s_Name;
        if (message == 1) {
            // Message 1 carries an int, a text and a double.
            i_Number = va_arg(arguments, int);
            s_Text = va_arg(arguments, char const*);
            d_Value = va_arg(arguments, double);
        }
        if (pf_Action) {
            auto action = pf_Action;
            pf_Action = nullptr;
            action();
        }
    }
    unsigned vn_Listen(CT_Forum* speaker, unsigned message, va_list arguments) override {
        vv_Listen(speaker, message, arguments);
        return n_Answer;
    }

    std::string s_Name;
    std::string* ps_Log;
    CT_Forum* pco_Speaker = nullptr;
    unsigned n_Message = 0;
    unsigned n_Answer = 0;
    int i_Number = 0;
    std::string s_Text;
    double d_Value = 0;
    std::function<void()> pf_Action;
};

// The same checks for both forums.
template <class ForumType>
void v_CheckBroadcasts() {
    std::string log;
    ForumType forum;
    EXPECT_EQ(forum.vn_Speak(nullptr, 3), 0u);  // nobody listens
    forum.vv_Speak(nullptr, 3);
    Listener<CT_Forum> a("A", &log), b("B", &log), c("C", &log);
    forum.vv_AddListener(&a);
    forum.vv_AddListener(&b);
    forum.vv_AddListener(&c);

    // Every listener reads the arguments from their start.
    forum.vv_Speak(nullptr, 1, 42, "text", 2.5);
    EXPECT_EQ(log, "ABC");
    for (auto* l : {&a, &b, &c}) {
        EXPECT_EQ(l->i_Number, 42);
        EXPECT_EQ(l->s_Text, "text");
        EXPECT_EQ(l->d_Value, 2.5);
        EXPECT_EQ(l->pco_Speaker, &forum);
    }

    // The first non-zero answer ends the broadcast.
    log.clear();
    b.n_Answer = 7;
    EXPECT_EQ(forum.vn_Speak(nullptr, 4), 7u);
    EXPECT_EQ(log, "AB");

    // A target alone hears it, listed or not.
    log.clear();
    Listener<CT_Forum> outsider("X", &log);
    outsider.n_Answer = 9;
    forum.vv_Speak(&a, 5);
    EXPECT_EQ(forum.vn_Speak(&outsider, 1, 7, "t", 1.0), 9u);
    EXPECT_EQ(log, "AX");
    EXPECT_EQ(outsider.i_Number, 7);

    // Removing an absent listener changes nothing; a twice-added one hears
    // twice, and once after one removal.
    log.clear();
    b.n_Answer = 0;
    forum.vv_RemoveListener(&outsider);
    forum.vv_AddListener(&a);
    forum.vv_Speak(nullptr, 6);
    EXPECT_EQ(log, "ABCA");
    log.clear();
    forum.vv_RemoveListener(&a);
    forum.vv_Speak(nullptr, 6);
    EXPECT_EQ(log, "BCA");

    // The update message, without the caller's arguments.
    forum.vv_Update(nullptr, 5, 77);
    EXPECT_EQ(a.n_Message, 0xFFFFFFFFu);
    EXPECT_EQ(c.n_Message, 0xFFFFFFFFu);

    // A copy shares the list; clearing one leaves the other.
    ForumType copy(&forum);
    forum.v_Set();
    log.clear();
    forum.vv_Speak(nullptr, 6);
    copy.vv_Speak(nullptr, 6);
    EXPECT_EQ(log, "BCA");
}

template <class ForumType>
void v_CheckReentrancy() {
    std::string log;
    ForumType forum;
    Listener<CT_Forum> a("A", &log), b("B", &log), c("C", &log), d("D", &log);
    // Added during the broadcast: reached in it.
    a.pf_Action = [&] { forum.CT_Forum::vv_AddListener(&d); };
    forum.vv_AddListener(&a);
    forum.vv_AddListener(&b);
    forum.vv_Speak(nullptr, 2);
    EXPECT_EQ(log, "ABD");

    // A listener removing itself: the one after it is skipped this time.
    log.clear();
    forum.v_Set();
    forum.vv_AddListener(&a);
    forum.vv_AddListener(&b);
    forum.vv_AddListener(&c);
    a.pf_Action = [&] { forum.CT_Forum::vv_RemoveListener(&a); };
    forum.vv_Speak(nullptr, 2);
    EXPECT_EQ(log, "AC");
    log.clear();
    forum.vv_Speak(nullptr, 2);
    EXPECT_EQ(log, "BC");

    // Removing one before the current position skips the next as well;
    // one after it is simply not reached.
    log.clear();
    forum.vv_AddListener(&d);  // B C D
    c.pf_Action = [&] { forum.CT_Forum::vv_RemoveListener(&b); };
    forum.vv_Speak(nullptr, 2);
    EXPECT_EQ(log, "BC");
    log.clear();
    forum.vv_Speak(nullptr, 2);
    EXPECT_EQ(log, "CD");

    // A nested broadcast runs to its end before the outer one goes on.
    log.clear();
    c.pf_Action = [&] { forum.vv_Speak(nullptr, 3); };
    forum.vv_Speak(nullptr, 2);
    EXPECT_EQ(log, "CCDD");
}

}  // namespace

TEST(Forum, BroadcastsAnswersAndTargets) {
    v_CheckBroadcasts<CT_Forum>();
    v_CheckBroadcasts<CT_ThreadSafeForum>();
}

TEST(Forum, ChangesDuringABroadcast) {
    v_CheckReentrancy<CT_Forum>();
    // Listeners of a thread-safe forum must not change it on the broadcast's
    // own thread through its locked operations; the unlocked base ones used
    // above show the same walk, and nested broadcasts are allowed.
    v_CheckReentrancy<CT_ThreadSafeForum>();
}

TEST(Forum, TypesAndCompanions) {
    CT_ThreadSafeForum safe;
    EXPECT_STREQ(CT_Forum::spcco_GetType()->qccz_GetName(), "CT_Forum");
    EXPECT_STREQ(safe.vpcco_GetType()->qccz_GetName(), "CT_ThreadSafeForum");
    EXPECT_EQ(safe.vpv_IsA(CT_Forum::spcco_GetType()), nullptr);
    EXPECT_EQ(safe.vpv_IsKindOf(CT_Forum::spcco_GetType()), static_cast<CT_Forum*>(&safe));

    CT_EventSource* source = reinterpret_cast<CT_EventSource*>(&safe);
    CT_EventObject event(source);
    CT_EventObject copy(event);
    EXPECT_EQ(copy.pco_GetSource(), source);
    copy.v_Set(nullptr);
    EXPECT_EQ(copy.pco_GetSource(), nullptr);
    copy = event;
    EXPECT_EQ(copy.pco_GetSource(), source);
}

TEST(Forum, AChangeWaitsForTheRunningBroadcast) {
    CT_ThreadSafeForum forum;
    std::string log;
    CT_IPC_Event inside(1, 0), proceed(1, 0), added(1, 0);
    Listener<CT_Forum> slow("S", &log), late("L", &log);
    slow.pf_Action = [&] {
        inside.v_SetState(1);
        proceed.eo_Wait(60000, 0);
    };
    forum.vv_AddListener(&slow);
    std::thread speaker([&] { forum.vv_Speak(nullptr, 2); });
    ASSERT_EQ(inside.eo_Wait(60000, 0), CT_IPC_SyncObject::e_WaitObject0);
    std::thread adder([&] {
        forum.vv_AddListener(&late);
        added.v_SetState(1);
    });
    EXPECT_EQ(added.eo_Wait(100, 0), CT_IPC_SyncObject::e_WaitTimeout);
    proceed.v_SetState(1);
    EXPECT_EQ(added.eo_Wait(60000, 0), CT_IPC_SyncObject::e_WaitObject0);
    speaker.join();
    adder.join();
    EXPECT_EQ(log, "S");  // the late listener missed the broadcast it waited for
}

namespace {

// Counts what it hears; complains when called after its removal returned.
class Counter : public CT_Forum {
public:
    void vv_Listen(CT_Forum*, unsigned, va_list arguments) override {
        if (b_Removed.load()) i_Late.fetch_add(1);
        if (va_arg(arguments, int) != 1234) i_Garbled.fetch_add(1);
        n_Heard.fetch_add(1);
    }
    std::atomic<bool> b_Removed{true};
    std::atomic<int> i_Late{0};
    std::atomic<int> i_Garbled{0};
    std::atomic<long> n_Heard{0};
};

}  // namespace

TEST(ForumStress, ThreadsAddAndRemoveWhileOthersBroadcast) {
    CT_ThreadSafeForum forum;
    Counter resident;
    resident.b_Removed = false;
    forum.vv_AddListener(&resident);
    std::atomic<bool> stop{false};
    std::vector<Counter> visitors(8);
    std::vector<std::thread> threads;
    std::atomic<long> broadcasts{0};
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&] {
            while (!stop.load()) {
                forum.vv_Speak(nullptr, 1, 1234);
                broadcasts.fetch_add(1);
            }
        });
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&, i] {
            while (!stop.load()) {
                for (int k = 0; k < 2; ++k) {
                    Counter& visitor = visitors[2 * i + k];
                    visitor.b_Removed = false;
                    forum.vv_AddListener(&visitor);
                }
                for (int k = 0; k < 2; ++k) {
                    Counter& visitor = visitors[2 * i + k];
                    forum.vv_RemoveListener(&visitor);
                    visitor.b_Removed = true;
                }
            }
        });
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < end) std::this_thread::yield();
    stop = true;
    for (std::thread& thread : threads) thread.join();
    // Every broadcast reached the resident listener, each with its argument.
    EXPECT_EQ(resident.n_Heard.load(), broadcasts.load());
    EXPECT_EQ(resident.i_Garbled.load(), 0);
    for (Counter& visitor : visitors) {
        EXPECT_EQ(visitor.i_Late.load(), 0);
        EXPECT_EQ(visitor.i_Garbled.load(), 0);
    }
    EXPECT_EQ(forum.n_GetListenerCount(), 1u);
}
