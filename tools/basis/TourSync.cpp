// The tour's stop at the synchronisation objects and forums: a forum
// broadcasting to its listeners, and a named event that a second process
// sets to wake this one.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Foundation/Basis.h"
#include "Foundation/Platform/Process.h"
#include "Foundation/Platform/Thread.h"
#include "tools/basis/Tour.h"

namespace {

// A listener that prints what it hears: message 1 carries a text and a number.
class PrintingListener : public CT_Forum {
public:
    explicit PrintingListener(char const* name) : qccz_Name(name) {}
    void vv_Listen(CT_Forum*, unsigned message, va_list arguments) override {
        if (message == CT_Forum::e_UpdateMessage) {
            std::printf("  %-8s heard the update message\n", qccz_Name);
            return;
        }
        char const* text = va_arg(arguments, char const*);
        int number = va_arg(arguments, int);
        std::printf("  %-8s heard message %u: \"%s\", %d\n", qccz_Name, message, text, number);
    }
    unsigned vn_Listen(CT_Forum* speaker, unsigned message, va_list arguments) override {
        vv_Listen(speaker, message, arguments);
        return n_Answer;
    }
    unsigned n_Answer = 0;

private:
    char const* qccz_Name;
};

// The second process: opens the event by name and sets it.
int i_Waker(char const* name, void*) {
    CT_IPC_Event event(0, 0, name);
    if (event.h_GetHandle() == nullptr) return 1;
    event.v_SetState(1);
    return 0;
}

}  // namespace

int i_TourSync() {
    // Where a second process is a fresh start of this program, it comes
    // here with the job in its environment.
    if (char const* job = std::getenv(Platform::pcc_ChildVariable)) Platform::v_RunChild(&i_Waker, job);

    v_TourHeading("Forums and synchronisation objects");
    CT_Forum forum;
    PrintingListener spelling("spelling"), index("index"), status("status");
    forum.vv_AddListener(&spelling);
    forum.vv_AddListener(&index);
    forum.vv_AddListener(&status);
    std::printf("A forum with three listeners broadcasts message 1 (\"Wort\", 3):\n");
    forum.vv_Speak(nullptr, 1, "Wort", 3);
    index.n_Answer = 42;
    std::printf("Asking for an answer stops at the first listener that gives one:\n");
    unsigned answer = forum.vn_Speak(nullptr, 1, "Wort", 4);
    std::printf("  answer %u\n", answer);
    std::printf("vv_Update reaches everyone with the update message:\n");
    forum.vv_Update(nullptr, 0);

    std::string name = "basis-tour-wake-" + std::to_string(Platform::n_GetCurrentThreadId());
    CT_IPC_Event event(0, 0, name.c_str());
    if (b_TourFailed("Creating the named event")) return 1;
    std::printf("\nThe named event \"%s\" waits for a second process to set it...\n", name.c_str());
    void* child = Platform::h_StartChild(&i_Waker, name.c_str(), "tour sync");
    if (child == nullptr) {
        std::printf("  (no second process on this system)\n");
        return 0;
    }
    CT_IPC_SyncObject::et_WaitResult woken = event.eo_Wait(60000, 0);
    int exitCode = Platform::i_WaitForChild(child);
    std::printf("  woken with result %u; the second process ended with %d\n", static_cast<unsigned>(woken), exitCode);
    return woken == CT_IPC_SyncObject::e_WaitObject0 && exitCode == 0 ? 0 : 1;
}
