#include "Foundation/Basis/Forum/ThreadSafeForum.h"

BASIS_DEFINE_TYPE_OPERATIONS(CT_ThreadSafeForum)

CT_ThreadSafeForum::CT_ThreadSafeForum() { BASIS_TYPE_CONSTRUCT(CT_ThreadSafeForum); }

CT_ThreadSafeForum::CT_ThreadSafeForum(CT_ThreadSafeForum const* other) {
    if (other != nullptr) {
        other->co_Lock.v_AddReader();
        co_Listeners.v_Set(&other->co_Listeners);
        other->co_Lock.v_ReleaseReader();
    }
    BASIS_TYPE_CONSTRUCT(CT_ThreadSafeForum);
}

CT_ThreadSafeForum::CT_ThreadSafeForum(CT_Type* type) : CT_Forum(type) { BASIS_TYPE_CONSTRUCT(CT_ThreadSafeForum); }

CT_ThreadSafeForum::~CT_ThreadSafeForum() { (void)BASIS_TYPE_DESTRUCT(CT_ThreadSafeForum); }

void CT_ThreadSafeForum::v_Set() {
    co_Lock.v_AddWriter();
    CT_Forum::v_Set();
    co_Lock.v_ReleaseWriter();
}

void CT_ThreadSafeForum::v_Set(CT_ThreadSafeForum const* other) {
    if (other == nullptr || other == this) return;
    CT_VoidArray copy(sizeof(CT_Forum*));
    other->co_Lock.v_AddReader();
    copy.v_Set(&other->co_Listeners);
    other->co_Lock.v_ReleaseReader();
    co_Lock.v_AddWriter();
    co_Listeners.v_Set(&copy);
    co_Lock.v_ReleaseWriter();
}

void CT_ThreadSafeForum::vv_AddListener(CT_Forum const* listener) {
    co_Lock.v_AddWriter();
    CT_Forum::vv_AddListener(listener);
    co_Lock.v_ReleaseWriter();
}

void CT_ThreadSafeForum::vv_RemoveListener(CT_Forum const* listener) {
    co_Lock.v_AddWriter();
    CT_Forum::vv_RemoveListener(listener);
    co_Lock.v_ReleaseWriter();
}

void CT_ThreadSafeForum::vv_Speak(CT_Forum* target, unsigned message, ...) {
    va_list arguments;
    va_start(arguments, message);
    vv_SpeakVA(target, message, arguments);
    va_end(arguments);
}

unsigned CT_ThreadSafeForum::vn_Speak(CT_Forum* target, unsigned message, ...) {
    va_list arguments;
    va_start(arguments, message);
    unsigned answer = vn_SpeakVA(target, message, arguments);
    va_end(arguments);
    return answer;
}

void CT_ThreadSafeForum::vv_SpeakVA(CT_Forum* target, unsigned message, va_list arguments) {
    if (target != nullptr) {
        target->vv_Listen(this, message, arguments);
        return;
    }
    co_Lock.v_AddReader();
    v_Broadcast(message, arguments);
    co_Lock.v_ReleaseReader();
}

unsigned CT_ThreadSafeForum::vn_SpeakVA(CT_Forum* target, unsigned message, va_list arguments) {
    if (target != nullptr) return target->vn_Listen(this, message, arguments);
    co_Lock.v_AddReader();
    unsigned answer = n_Broadcast(message, arguments);
    co_Lock.v_ReleaseReader();
    return answer;
}
