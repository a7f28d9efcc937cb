// An interlocked 32-bit signed counter. Every change is an atomic operation;
// the operators read the value again after changing it, so under contention
// they may return a value another thread has already moved on.
#pragma once

#include <cstdint>

#include "Foundation/Platform/Export.h"

class BASIS_API CT_Counter {
public:
    CT_Counter(std::int32_t value = 0);
    CT_Counter(CT_Counter const& other) : i4_Value(other.i4_Value) {}
    // A plain store, as the original contract says; not interlocked.
    CT_Counter& operator=(CT_Counter const& other) {
        i4_Value = other.i4_Value;
        return *this;
    }

    void v_Set(std::int32_t value);
    // Return the value the interlocked operation produced.
    std::int32_t i4_Inc();
    std::int32_t i4_Dec();
    std::int32_t i4_Get() const { return __atomic_load_n(&i4_Value, __ATOMIC_RELAXED); }
    std::int32_t operator()() const { return i4_Get(); }

    // Prefix and postfix alike return the value read after the change.
    CT_Counter operator++();
    CT_Counter operator++(int);
    CT_Counter operator--();
    CT_Counter operator--(int);

private:
    std::int32_t i4_Value;
};
