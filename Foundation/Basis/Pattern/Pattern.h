// CT_Pattern: a small matcher for patterns over sequences of tokens. A
// token is any unsigned 32-bit value but 0 that the caller assigns (a word
// id, a character class). A pattern is built element by element: a literal
// token, any one token, any sequence of tokens.
//
// The pattern is a non-deterministic automaton whose states are the items
// of the array: {value, type, follow-any flag}, three 32-bit fields each.
// The last state stands for the pattern's end and is the accepting one.
// Matching runs incrementally: v_DoMatch starts a run, and each token fed
// to b_IsMatch tells whether all tokens since form a complete match. Two
// flag vectors (one flag per state) hold the active states of the present
// and the next step.
//
// Two patterns can be compared for containment (et_Compare). Not locked:
// one pattern, one thread at a time.
#pragma once

#include <cstdint>

#include "Foundation/Basis/Container/VoidArray.h"
#include "Foundation/Platform/Export.h"

class BASIS_API CT_Pattern : public CT_VoidArray {
public:
    enum et_Type : unsigned {
        e_None = 0,         // the final state, or the last one not yet filled
        e_AnyOne = 1,       // any one token
        e_AnySequence = 2,  // any sequence of tokens, none included
        e_Literal = 3       // the state's value
    };
    // The result of et_Compare.
    enum et_Result : unsigned {
        e_Contained = 0,  // the other pattern takes in this one (or both
                          // take in each other and the other is shorter)
        e_Contains = 1,   // this pattern takes in the other (or both, and
                          // this one is shorter)
        e_Same = 2,       // each takes in the other, same number of states
        e_Apart = 3       // neither takes in the other
    };

    struct st_State {
        std::uint32_t n4_Value;      // the literal token (0 for none)
        std::uint32_t n4_Type;       // et_Type
        std::uint32_t n4_FollowAny;  // 1: a sequence followed by any one token
    };

    CT_Pattern();
    // Shares the other's states; no run.
    explicit CT_Pattern(CT_Pattern const* other);
    CT_Pattern(CT_Pattern const& other) : CT_Pattern(&other) {}
    CT_Pattern& operator=(CT_Pattern const& other) {
        v_Set(&other);
        return *this;
    }
    ~CT_Pattern();

    // Back to the single empty state.
    void v_Set();
    // Takes the other's states.
    void v_Set(CT_Pattern const* other);

    // Appends an element. A literal after a sequence becomes the
    // sequence's value, any one after a sequence sets its follow-any flag,
    // and two sequences in a row are one.
    void v_AddToken(et_Type type, unsigned value);

    // Starts a run.
    void v_DoMatch();
    // Feeds one token; non-zero when the tokens fed since v_DoMatch are
    // matched by the whole pattern.
    int b_IsMatch(unsigned token);
    // The number of tokens after which the present unbroken run of matching
    // steps began, or 0.
    unsigned n_EndStateFrom() const { return n_EndFrom; }

    // Compares by containment (this pattern's runs are restarted, and so
    // are the other's).
    et_Result et_Compare(CT_Pattern* other);

    // The object comes from the ordinary allocator: no pool of its own is
    // made at load time, and the array's pool is for arrays.
    static void* operator new(std::size_t size);
    static void operator delete(void* block);

private:
    enum : unsigned { e_StateSize = sizeof(st_State) };

    // Is the accepting state active now.
    int b_IsMatchAny() const;
    // A step with an unknown token.
    int b_IsMatchSome();
    int b_Contains(CT_Pattern* other);
    void v_Init();
    void v_Init(CT_Pattern const* other);
    void v_Exit();
    void v_Null();

    st_State so_GetState(unsigned position) const;
    void v_SetState(st_State const& state, unsigned position) { v_SetAt(&state, static_cast<int>(position)); }
    // One step over the active states; known is 0 for an unknown token.
    int b_Step(unsigned token, int known);

    std::uint32_t* pn4_First;
    std::uint32_t* pn4_Second;
    std::uint32_t* pn4_Current;
    std::uint32_t* pn4_Next;
    unsigned n_EndFrom;
    unsigned n_Steps;
    // The number of flags in each vector: the states when the run began.
    unsigned n_Flags;
};
