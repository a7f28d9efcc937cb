#include "Foundation/Basis/Frame/Counter.h"

#include "Foundation/Platform/Interlocked.h"

CT_Counter::CT_Counter(std::int32_t value) : i4_Value(0) { Platform::i4_InterlockedExchange(&i4_Value, value); }

void CT_Counter::v_Set(std::int32_t value) { Platform::i4_InterlockedExchange(&i4_Value, value); }

std::int32_t CT_Counter::i4_Inc() { return Platform::i4_InterlockedIncrement(&i4_Value); }

std::int32_t CT_Counter::i4_Dec() { return Platform::i4_InterlockedDecrement(&i4_Value); }

CT_Counter CT_Counter::operator++() {
    Platform::i4_InterlockedIncrement(&i4_Value);
    return CT_Counter(i4_Get());
}

CT_Counter CT_Counter::operator++(int) { return ++*this; }

CT_Counter CT_Counter::operator--() {
    Platform::i4_InterlockedDecrement(&i4_Value);
    return CT_Counter(i4_Get());
}

CT_Counter CT_Counter::operator--(int) { return --*this; }
