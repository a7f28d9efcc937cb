// CT_Forum: the library's observer mechanism. A forum keeps a list of the
// forums that listen to it (not owned, in the order added) and speaks
// messages: to one given forum, or to every listener in the list. A message
// is a number chosen by the application plus any further arguments, which
// the listener receives as the speaker's own argument list and reads with
// the types the two have agreed on.
//
// The argument list is the platform's va_list; where the library's home
// platform passes it as a char*, so does this. Every listener of a
// broadcast receives the list from its start: where a va_list is a cursor
// that reading moves, each listener is handed its own copy.
//
// Broadcast order and re-entrancy: the list is walked by position from 1,
// reading the count again before each call. A listener added during a
// broadcast is reached in it; removing a listener at or before the current
// position shifts the rest down, so the one directly after it is skipped
// in that broadcast; a listener may speak itself (nested broadcasts run to
// their end first). Not locked: one thread at a time (see
// CT_ThreadSafeForum).
#pragma once

#include <cstdarg>
#include <cstddef>

#include "Foundation/Basis/Container/VoidArray.h"
#include "Foundation/Basis/Frame/Type.h"
#include "Foundation/Platform/Export.h"

class BASIS_API CT_Forum {
    // Dispatch table slots 1 to 3: vpcco_GetType, vpv_IsA, vpv_IsKindOf.
    BASIS_DECLARE_TYPE(CT_Forum)

public:
    enum : unsigned { e_UpdateMessage = 0xFFFFFFFFu };

    CT_Forum();
    // Shares the other's listener list (copied when either changes it).
    explicit CT_Forum(CT_Forum const* other);
    CT_Forum(CT_Forum const& other) : CT_Forum(&other) {}
    // The listeners are not told.
    virtual ~CT_Forum();

    static void* operator new(std::size_t size);
    static void operator delete(void* block);

    // Speaks e_UpdateMessage with no arguments; its own are not passed on.
    virtual void vv_Update(CT_Forum* target, unsigned, ...);
    // What a listener hears; the defaults do nothing and answer 0.
    virtual void vv_Listen(CT_Forum* speaker, unsigned message, va_list arguments);
    virtual unsigned vn_Listen(CT_Forum* speaker, unsigned message, va_list arguments);
    // The same listener added twice hears every broadcast twice.
    virtual void vv_AddListener(CT_Forum const* listener);
    // The first occurrence; nothing when absent.
    virtual void vv_RemoveListener(CT_Forum const* listener);
    // With a target: that forum alone hears it, listed or not. Without:
    // every listener, in list order.
    virtual void vv_Speak(CT_Forum* target, unsigned message, ...);
    virtual void vv_SpeakVA(CT_Forum* target, unsigned message, va_list arguments);
    // With a target: its answer. Without: the first non-zero answer of the
    // listeners in list order (later ones are not asked), or 0.
    virtual unsigned vn_Speak(CT_Forum* target, unsigned message, ...);
    virtual unsigned vn_SpeakVA(CT_Forum* target, unsigned message, va_list arguments);

    // No listeners (growth 8, no storage).
    void v_Set();
    // Takes the other's listener list; nothing when other is this forum.
    void v_Set(CT_Forum const* other);
    CT_Forum& operator=(CT_Forum const& other) {
        v_Set(&other);
        return *this;
    }

    unsigned n_GetListenerCount() const { return co_Listeners.n_GetCount(); }

protected:
    explicit CT_Forum(CT_Type* type);

    // The listener at position (from 1), or null outside the list.
    CT_Forum* pco_GetListener(unsigned position) const;
    // The broadcasts themselves, without any locking.
    void v_Broadcast(unsigned message, va_list arguments);
    unsigned n_Broadcast(unsigned message, va_list arguments);

    CT_VoidArray co_Listeners;
};
