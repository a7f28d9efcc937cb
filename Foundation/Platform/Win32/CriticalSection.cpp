#include "Foundation/Platform/CriticalSection.h"

#include <windows.h>

#include <new>

namespace Platform {

static_assert(sizeof(CRITICAL_SECTION) <= 64, "CRITICAL_SECTION does not fit the storage");

static CRITICAL_SECTION* pco_Section(unsigned char* storage) {
    return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}

CriticalSection::CriticalSection() { ::InitializeCriticalSection(new (ac_Storage) CRITICAL_SECTION); }

CriticalSection::~CriticalSection() { ::DeleteCriticalSection(pco_Section(ac_Storage)); }

void CriticalSection::v_Enter() { ::EnterCriticalSection(pco_Section(ac_Storage)); }

void CriticalSection::v_Leave() { ::LeaveCriticalSection(pco_Section(ac_Storage)); }

int CriticalSection::b_TryEnter() { return ::TryEnterCriticalSection(pco_Section(ac_Storage)) != 0; }

}  // namespace Platform
