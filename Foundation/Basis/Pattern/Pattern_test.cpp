#include "Foundation/Basis/Pattern/Pattern.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "Foundation/Basis/Error/ErrorManager.h"

namespace {

using P = CT_Pattern;

// A pattern from a compact description: a number is a literal, '?' any
// one token, '*' any sequence.
struct st_Element {
    P::et_Type type;
    unsigned value;
};
st_Element const Any{P::e_AnyOne, 0};
st_Element const Seq{P::e_AnySequence, 0};
st_Element L(unsigned value) { return {P::e_Literal, value}; }

void v_Build(P& pattern, std::initializer_list<st_Element> elements) {
    for (st_Element const& e : elements) pattern.v_AddToken(e.type, e.value);
}

// The results of feeding the tokens, as a string of 0 and 1.
std::string o_Feed(P& pattern, std::initializer_list<unsigned> tokens) {
    pattern.v_DoMatch();
    std::string results;
    for (unsigned t : tokens) results += pattern.b_IsMatch(t) ? '1' : '0';
    return results;
}

std::vector<unsigned> ao_States(P const& pattern) {
    std::vector<unsigned> fields;
    for (unsigned i = 1; i <= pattern.n_GetCount(); ++i) {
        P::st_State state;
        pattern.v_GetAt(&state, static_cast<int>(i));
        fields.insert(fields.end(), {state.n4_Value, state.n4_Type, state.n4_FollowAny});
    }
    return fields;
}

}  // namespace

TEST(Pattern, BuildingStates) {
    P empty;
    EXPECT_EQ(ao_States(empty), (std::vector<unsigned>{0, 0, 0}));

    P a;
    v_Build(a, {L(5), Seq, L(9)});
    EXPECT_EQ(ao_States(a), (std::vector<unsigned>{5, 3, 0, 9, 2, 0, 0, 0, 0}));
    P b;
    v_Build(b, {L(5), Seq});
    EXPECT_EQ(ao_States(b), (std::vector<unsigned>{5, 3, 0, 0, 2, 0}));
    // Two sequences in a row are one.
    P c;
    v_Build(c, {L(5), Seq, Seq});
    EXPECT_TRUE(c.b_IsEqual(&b));
    // Any one after a sequence sets the follow-any flag.
    P d;
    v_Build(d, {Seq, Any, L(4)});
    EXPECT_EQ(ao_States(d), (std::vector<unsigned>{0, 2, 1, 4, 3, 0, 0, 0, 0}));

    // Copies share, then go their own ways; v_Set empties.
    P e(&a);
    EXPECT_TRUE(e.b_IsEqual(&a));
    e.v_AddToken(P::e_AnyOne, 0);
    EXPECT_EQ(a.n_GetCount(), 3u);
    EXPECT_EQ(e.n_GetCount(), 4u);
    P f;
    f = e;
    EXPECT_TRUE(f.b_IsEqual(&e));
    f.v_Set();
    EXPECT_EQ(ao_States(f), (std::vector<unsigned>{0, 0, 0}));
}

TEST(Pattern, IncrementalMatching) {
    P literal;
    v_Build(literal, {L(5)});
    literal.v_DoMatch();
    EXPECT_TRUE(literal.b_IsMatch(5));
    EXPECT_EQ(literal.n_EndStateFrom(), 1u);
    EXPECT_FALSE(literal.b_IsMatch(5));
    EXPECT_EQ(literal.n_EndStateFrom(), 0u);
    EXPECT_EQ(o_Feed(literal, {6, 5}), "00");

    P open;
    v_Build(open, {L(5), Seq});
    EXPECT_EQ(o_Feed(open, {5, 7, 8}), "111");
    EXPECT_EQ(open.n_EndStateFrom(), 1u);
    EXPECT_EQ(o_Feed(open, {7, 5}), "00");

    P closed;
    v_Build(closed, {L(5), Seq, L(9)});
    EXPECT_EQ(o_Feed(closed, {5, 7, 9, 9, 8, 9}), "001101");
    EXPECT_EQ(closed.n_EndStateFrom(), 6u);
    EXPECT_EQ(o_Feed(closed, {5, 9}), "01");  // the sequence may be empty

    P two;
    v_Build(two, {Any, Any});
    EXPECT_EQ(o_Feed(two, {1, 2, 3}), "010");

    // A sequence followed by any one: at least one token.
    P tail;
    v_Build(tail, {L(1), Seq, Any});
    EXPECT_EQ(o_Feed(tail, {1}), "0");
    EXPECT_EQ(o_Feed(tail, {1, 2, 3}), "011");

    // A leading sequence: the literal anywhere last.
    P ends;
    v_Build(ends, {Seq, L(4)});
    EXPECT_EQ(o_Feed(ends, {1, 4, 2, 4, 4}), "01011");
    EXPECT_EQ(ends.n_EndStateFrom(), 4u);

    // States added after a run began wait for the next run.
    P growing;
    v_Build(growing, {L(1)});
    growing.v_DoMatch();
    growing.v_AddToken(P::e_Literal, 2);
    EXPECT_TRUE(growing.b_IsMatch(1));  // still the run of the one-literal pattern
    EXPECT_EQ(o_Feed(growing, {1, 2}), "01");
}

TEST(Pattern, CompareByContainment) {
    P open, fives, five, six, closed, any, self;
    v_Build(open, {L(5), Seq});
    v_Build(fives, {L(5), L(6)});
    v_Build(five, {L(5)});
    v_Build(six, {L(6)});
    v_Build(closed, {L(5), Seq, L(9)});
    v_Build(any, {Any, Any});
    v_Build(self, {Seq, Any, L(3)});

    EXPECT_EQ(closed.et_Compare(&closed), P::e_Same);
    EXPECT_EQ(any.et_Compare(&any), P::e_Same);
    EXPECT_EQ(self.et_Compare(&self), P::e_Same);
    EXPECT_EQ(open.et_Compare(&fives), P::e_Contains);
    EXPECT_EQ(fives.et_Compare(&open), P::e_Contained);
    EXPECT_EQ(five.et_Compare(&six), P::e_Apart);
    EXPECT_EQ(open.et_Compare(&five), P::e_Same);
    EXPECT_EQ(open.et_Compare(&closed), P::e_Contains);
    EXPECT_EQ(closed.et_Compare(&open), P::e_Contained);
    // Containment is loose where the other pattern has any one token: fed
    // as an unknown token, it moves a literal on whatever its value. So a
    // literal and any one token take in each other.
    P anyThenSix;
    v_Build(anyThenSix, {Any, L(6)});
    EXPECT_EQ(anyThenSix.et_Compare(&fives), P::e_Same);
    EXPECT_EQ(fives.et_Compare(&anyThenSix), P::e_Same);
    P anyThenSeven;
    v_Build(anyThenSeven, {Any, L(7)});
    EXPECT_EQ(anyThenSeven.et_Compare(&fives), P::e_Apart);
    EXPECT_EQ(any.et_Compare(&five), P::e_Apart);
    // A sequence takes in a sequence followed by more.
    P seqAny, seqAnyThree;
    v_Build(seqAny, {L(2), Seq});
    v_Build(seqAnyThree, {L(2), Seq, Any, L(3)});
    EXPECT_EQ(seqAny.et_Compare(&seqAnyThree), P::e_Contains);
    EXPECT_EQ(seqAnyThree.et_Compare(&seqAny), P::e_Contained);

    // A comparison restarts the runs of both.
    open.v_DoMatch();
    EXPECT_TRUE(open.b_IsMatch(5));
    open.et_Compare(&five);
    EXPECT_EQ(open.n_EndStateFrom(), 1u);
}

TEST(Pattern, ConstructionPassesAnEarlierErrorOn) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    errors->v_ClearError();
    errors->v_SetError(60006, nullptr, 60006);
    unsigned before = errors->n_GetLocationCount();
    P pattern;
    ASSERT_EQ(errors->n_GetLocationCount(), before + 1);
    // Locations are counted from 1.
    EXPECT_STREQ(errors->qccz_GetLocationFileAt(before + 1), "Foundation/Basis/Pattern/Pattern");
    EXPECT_EQ(errors->n_GetLocationLineAt(before + 1), 21u);
    P copy(&pattern);
    ASSERT_EQ(errors->n_GetLocationCount(), before + 2);
    EXPECT_EQ(errors->n_GetLocationLineAt(before + 2), 32u);
    errors->v_ClearError();

    // Built without states, it still takes elements and matches.
    EXPECT_EQ(pattern.n_GetCount(), 0u);
    pattern.v_DoMatch();
    EXPECT_FALSE(pattern.b_IsMatch(1));
    pattern.v_AddToken(P::e_Literal, 7);
    EXPECT_EQ(o_Feed(pattern, {7}), "1");
}
