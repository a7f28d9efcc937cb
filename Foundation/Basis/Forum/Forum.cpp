#include "Foundation/Basis/Forum/Forum.h"

#include <cstring>
#include <new>

BASIS_DEFINE_TYPE_OPERATIONS(CT_Forum)

CT_Forum::CT_Forum() : co_Listeners(sizeof(CT_Forum*)) { BASIS_TYPE_CONSTRUCT(CT_Forum); }

CT_Forum::CT_Forum(CT_Forum const* other) : co_Listeners(sizeof(CT_Forum*)) {
    if (other != nullptr) co_Listeners.v_Set(&other->co_Listeners);
    BASIS_TYPE_CONSTRUCT(CT_Forum);
}

CT_Forum::CT_Forum(CT_Type*) : co_Listeners(sizeof(CT_Forum*)) { BASIS_TYPE_CONSTRUCT(CT_Forum); }

CT_Forum::~CT_Forum() { (void)BASIS_TYPE_DESTRUCT(CT_Forum); }

void* CT_Forum::operator new(std::size_t size) { return ::operator new(size); }
void CT_Forum::operator delete(void* block) { ::operator delete(block); }

void CT_Forum::v_Set() { co_Listeners.v_Set(CT_VoidArray::e_DefaultGrowth, 0, 0); }

void CT_Forum::v_Set(CT_Forum const* other) {
    if (other != nullptr && other != this) co_Listeners.v_Set(&other->co_Listeners);
}

CT_Forum* CT_Forum::pco_GetListener(unsigned position) const {
    CT_Forum const* listener = nullptr;
    if (position >= 1 && position <= co_Listeners.n_GetCount())
        co_Listeners.v_GetAt(&listener, static_cast<int>(position));
    return const_cast<CT_Forum*>(listener);
}

void CT_Forum::vv_Update(CT_Forum* target, unsigned, ...) { vv_Speak(target, e_UpdateMessage); }

void CT_Forum::vv_Listen(CT_Forum*, unsigned, va_list) {}

unsigned CT_Forum::vn_Listen(CT_Forum*, unsigned, va_list) { return 0; }

void CT_Forum::vv_AddListener(CT_Forum const* listener) { co_Listeners.v_Insert(&listener); }

void CT_Forum::vv_RemoveListener(CT_Forum const* listener) {
    unsigned count = co_Listeners.n_GetCount();
    for (unsigned position = 1; position <= count; ++position) {
        if (pco_GetListener(position) == listener) {
            co_Listeners.v_RemoveAt(position);
            return;
        }
    }
}

void CT_Forum::vv_Speak(CT_Forum* target, unsigned message, ...) {
    va_list arguments;
    va_start(arguments, message);
    vv_SpeakVA(target, message, arguments);
    va_end(arguments);
}

unsigned CT_Forum::vn_Speak(CT_Forum* target, unsigned message, ...) {
    va_list arguments;
    va_start(arguments, message);
    unsigned answer = vn_SpeakVA(target, message, arguments);
    va_end(arguments);
    return answer;
}

void CT_Forum::vv_SpeakVA(CT_Forum* target, unsigned message, va_list arguments) {
    if (target != nullptr) {
        target->vv_Listen(this, message, arguments);
        return;
    }
    v_Broadcast(message, arguments);
}

unsigned CT_Forum::vn_SpeakVA(CT_Forum* target, unsigned message, va_list arguments) {
    if (target != nullptr) return target->vn_Listen(this, message, arguments);
    return n_Broadcast(message, arguments);
}

// The compiler would otherwise test each listener for the base class's
// empty vv_Listen before calling it: a test and two extra jumps per
// listener that only pay off for listeners that do not listen.
#if defined(__GNUC__) && !defined(__clang__)
#define BASIS_PLAIN_VIRTUAL_CALLS __attribute__((optimize("no-devirtualize-speculatively")))
#else
#define BASIS_PLAIN_VIRTUAL_CALLS
#endif

// Both broadcasts walk the list the same way. They count bytes into the
// array's storage, not positions, and read the storage and its used size
// again after every call (see the header), as a listener may have added
// or removed one, or moved the storage. The used size is rounded down to
// whole entries, so a damaged size can never make the walk read past the
// storage.
static inline std::size_t n_EntriesEnd(CT_Buffer const* buffer) {
    return buffer->n_GetUsedSize() & ~(sizeof(CT_Forum*) - 1);
}

// The listener at offset, which lies inside the used storage.
static inline CT_Forum* pco_ListenerAt(CT_Buffer const* buffer, std::size_t offset) {
    CT_Forum* listener;
    std::memcpy(&listener, static_cast<unsigned char const*>(buffer->qcv_Get()) + offset, sizeof listener);
    return listener;
}

BASIS_PLAIN_VIRTUAL_CALLS void CT_Forum::v_Broadcast(unsigned message, va_list arguments) {
    CT_Buffer const* buffer = co_Listeners.pcco_GetBuffer();
    for (std::size_t offset = 0; offset < n_EntriesEnd(buffer); offset += sizeof(CT_Forum*)) {
        CT_Forum* listener = pco_ListenerAt(buffer, offset);
        // A null listener (added as such) hears nothing.
        if (listener == nullptr) continue;
        va_list own;
        va_copy(own, arguments);
        listener->vv_Listen(this, message, own);
        va_end(own);
    }
}

BASIS_PLAIN_VIRTUAL_CALLS unsigned CT_Forum::n_Broadcast(unsigned message, va_list arguments) {
    CT_Buffer const* buffer = co_Listeners.pcco_GetBuffer();
    for (std::size_t offset = 0; offset < n_EntriesEnd(buffer); offset += sizeof(CT_Forum*)) {
        CT_Forum* listener = pco_ListenerAt(buffer, offset);
        if (listener == nullptr) continue;
        va_list own;
        va_copy(own, arguments);
        unsigned answer = listener->vn_Listen(this, message, own);
        va_end(own);
        if (answer != 0) return answer;
    }
    return 0;
}
