#include "Foundation/Basis/Pattern/Pattern.h"

#include <cstdlib>
#include <cstring>

#include "Foundation/Basis/Error/ErrorManager.h"

namespace {

char const qccz_Location[] = "Foundation/Basis/Pattern/Pattern";
unsigned const n_DefaultConstructorLine = 21;
unsigned const n_CopyConstructorLine = 32;

CT_Pattern::st_State const so_Empty = {0, CT_Pattern::e_None, 0};

}  // namespace

void* CT_Pattern::operator new(std::size_t size) { return ::operator new(size); }
void CT_Pattern::operator delete(void* block) { ::operator delete(block); }

CT_Pattern::CT_Pattern() : CT_VoidArray(e_StateSize) {
    v_Null();
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (errors->b_IsSetError()) {
        errors->v_AddLocation(qccz_Location, n_DefaultConstructorLine);
        return;
    }
    v_Init();
}

CT_Pattern::CT_Pattern(CT_Pattern const* other) : CT_VoidArray(e_StateSize) {
    v_Null();
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (errors->b_IsSetError()) {
        errors->v_AddLocation(qccz_Location, n_CopyConstructorLine);
        return;
    }
    v_Init(other);
}

CT_Pattern::~CT_Pattern() { v_Exit(); }

void CT_Pattern::v_Null() {
    pn4_First = nullptr;
    pn4_Second = nullptr;
    pn4_Current = nullptr;
    pn4_Next = nullptr;
    n_EndFrom = 0;
    n_Steps = 0;
    n_Flags = 0;
}

void CT_Pattern::v_Init() {
    CT_VoidArray::v_Set(e_DefaultGrowth, 1, 0);
    v_Insert(&so_Empty);
}

void CT_Pattern::v_Init(CT_Pattern const* other) { CT_VoidArray::v_Set(other); }

void CT_Pattern::v_Exit() {
    std::free(pn4_First);
    std::free(pn4_Second);
    v_Null();
}

void CT_Pattern::v_Set() {
    v_Exit();
    v_Init();
}

void CT_Pattern::v_Set(CT_Pattern const* other) {
    if (other == this) return;
    v_Exit();
    v_Init(other);
}

CT_Pattern::st_State CT_Pattern::so_GetState(unsigned position) const {
    st_State state;
    std::memcpy(&state, pcuc_Item(position), sizeof state);
    return state;
}

void CT_Pattern::v_AddToken(et_Type type, unsigned value) {
    // A pattern whose construction was cut short by an earlier error has
    // no state yet; it starts from the empty one.
    if (n_GetCount() == 0) v_Insert(&so_Empty);
    unsigned last = n_GetCount();
    st_State state = so_GetState(last);
    switch (type) {
    case e_Literal:
        if (state.n4_Type != e_AnySequence) state.n4_Type = e_Literal;
        state.n4_Value = value;
        v_SetState(state, last);
        v_Insert(&so_Empty);
        break;
    case e_AnyOne:
        if (state.n4_Type == e_AnySequence) state.n4_FollowAny = 1;
        else state.n4_Type = e_AnyOne;
        state.n4_Value = 0;
        v_SetState(state, last);
        v_Insert(&so_Empty);
        break;
    case e_AnySequence:
        if (state.n4_Type != e_AnySequence) {
            state.n4_Type = e_AnySequence;
            v_SetState(state, last);
        }
        break;
    default:
        // No element of type none: there is nothing to append.
        break;
    }
}

void CT_Pattern::v_DoMatch() {
    std::free(pn4_First);
    std::free(pn4_Second);
    n_Flags = n_GetCount();
    // One flag more than the states, so that an empty pattern still has
    // somewhere to keep its (never set) flags.
    std::size_t bytes = (n_Flags + 1) * sizeof(std::uint32_t);
    pn4_First = static_cast<std::uint32_t*>(std::calloc(1, bytes));
    pn4_Second = static_cast<std::uint32_t*>(std::calloc(1, bytes));
    if (pn4_First == nullptr || pn4_Second == nullptr) std::abort();  // the allocator's matter
    pn4_Current = pn4_First;
    pn4_Next = pn4_Second;
    n_EndFrom = 0;
    n_Steps = 0;
    if (n_Flags) pn4_Current[0] = 1;
}

int CT_Pattern::b_Step(unsigned token, int known) {
    // The states of the run are those there were at v_DoMatch; states added
    // since wait for the next run.
    unsigned n = n_Flags;
    std::memset(pn4_Next, 0, (n + 1) * sizeof(std::uint32_t));
    for (unsigned i = 1; i <= n; ++i) {
        if (!pn4_Current[i - 1]) continue;
        st_State state = so_GetState(i);
        switch (state.n4_Type) {
        case e_AnySequence:
            pn4_Next[i - 1] = 1;  // the sequence may go on
            if (state.n4_FollowAny) {
                pn4_Next[i] = 1;
            } else if (!known) {
                // An unknown token ends a sequence only before any one.
            } else if (state.n4_Value != 0) {
                if (state.n4_Value == token) pn4_Next[i] = 1;
            } else if (i < n) {
                pn4_Next[i] = 1;
            }
            break;
        case e_AnyOne:
            pn4_Next[i] = 1;
            break;
        case e_Literal:
            if (!known || state.n4_Value == token) pn4_Next[i] = 1;
            break;
        default:
            break;
        }
    }
    std::uint32_t* exchanged = pn4_Current;
    pn4_Current = pn4_Next;
    pn4_Next = exchanged;
    return b_IsMatchAny();
}

int CT_Pattern::b_IsMatch(unsigned token) {
    // Fed without a run begun: the run begins here rather than reading
    // vectors that do not exist.
    if (pn4_Current == nullptr) v_DoMatch();
    ++n_Steps;
    int match = b_Step(token, 1);
    if (!match) n_EndFrom = 0;
    else if (n_EndFrom == 0) n_EndFrom = n_Steps;
    return match;
}

int CT_Pattern::b_IsMatchSome() {
    if (pn4_Current == nullptr) v_DoMatch();
    return b_Step(0, 0);
}

int CT_Pattern::b_IsMatchAny() const { return n_Flags && pn4_Current[n_Flags - 1] ? 1 : 0; }

int CT_Pattern::b_Contains(CT_Pattern* other) {
    v_DoMatch();
    int result = 0;
    unsigned count = other->n_GetCount();
    for (unsigned i = 1; i <= count; ++i) {
        st_State state = other->so_GetState(i);
        switch (state.n4_Type) {
        case e_Literal:
            result = b_IsMatch(state.n4_Value);
            break;
        case e_AnyOne:
            result = b_IsMatchSome();
            break;
        case e_AnySequence:
            result = b_IsMatchAny();
            if (state.n4_Value != 0) result = b_IsMatch(state.n4_Value);
            else if (state.n4_FollowAny) result = b_IsMatchSome();
            break;
        default:
            break;
        }
    }
    return result;
}

CT_Pattern::et_Result CT_Pattern::et_Compare(CT_Pattern* other) {
    int contains = b_Contains(other);
    int contained = other->b_Contains(this);
    if (!contains) return contained ? e_Contained : e_Apart;
    if (!contained) return e_Contains;
    unsigned mine = n_GetCount(), theirs = other->n_GetCount();
    if (mine < theirs) return e_Contains;
    if (theirs < mine) return e_Contained;
    return e_Same;
}
