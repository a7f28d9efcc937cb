#include "Foundation/Basis/SymbolTable/SymbolTable.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "Foundation/Basis/Error/ErrorManager.h"
#include "Foundation/Basis/String/StringTesting.h"

using StringTesting::Text;
using StringTesting::W;

namespace {

CT_Symbol* pco_New(char16_t const* name, std::uint32_t id = CT_Symbol::e_NoId) { return new CT_Symbol(W(name), id); }

TEST(SymbolTable, SymbolsCopyTheirNames) {
    CT_Symbol copied(W(u"beta"), 8);
    CT_Symbol copy(&copied);
    EXPECT_EQ(Text(*copy.pcco_GetName()), u"beta");
    EXPECT_EQ(copy.n4_GetId(), 8u);
    EXPECT_NE(copy.pcco_GetName()->qcuz_Get(), copied.pcco_GetName()->qcuz_Get());
    CT_Symbol assigned;
    assigned = copy;
    EXPECT_EQ(Text(*assigned.pcco_GetName()), u"beta");
    // A reset leaves no id and an empty name; setting from itself keeps both.
    copy.v_Set();
    EXPECT_EQ(copy.n4_GetId(), 0xFFFFFFFFu);
    EXPECT_EQ(Text(*copy.pcco_GetName()), u"");
    CT_UString name(W(u"alpha"), ~0u);
    copy.v_Set(&name, 3);
    copy.v_Set(&copy);
    EXPECT_EQ(Text(*copy.pcco_GetName()), u"alpha");
    EXPECT_EQ(copy.n4_GetId(), 3u);
    CT_Symbol none(static_cast<unsigned short const*>(nullptr), 1);
    EXPECT_EQ(Text(*none.pcco_GetName()), u"");
}

TEST(SymbolTable, IdsAreHandedOutAboveTheHighestSeen) {
    CT_SymbolTable table;
    CT_Symbol* a = pco_New(u"a");
    CT_Symbol* b = pco_New(u"b");
    EXPECT_EQ(table.b_Take(a), 0);
    EXPECT_EQ(table.b_Take(b), 0);
    EXPECT_EQ(a->n4_GetId(), 1u);
    EXPECT_EQ(b->n4_GetId(), 2u);
    EXPECT_EQ(table.b_Take(pco_New(u"c", 10)), 0);
    EXPECT_EQ(table.n4_GetNextId(), 11u);
    EXPECT_EQ(table.b_Take(pco_New(u"d", 5)), 0);  // lower: the last id stays
    CT_Symbol* e = pco_New(u"e");
    table.b_Take(e);
    EXPECT_EQ(e->n4_GetId(), 12u);
    EXPECT_EQ(table.n_GetCount(), 5u);
    EXPECT_EQ(table.pco_Get(5u), table.pco_Get(W(u"d")));
    EXPECT_EQ(table.pco_Get(12u), e);
    EXPECT_EQ(table.pco_Get(13u), nullptr);

    // A reset deletes the symbols and keeps the last id.
    table.v_Set();
    EXPECT_EQ(table.n_GetCount(), 0u);
    EXPECT_EQ(table.pco_Get(W(u"a")), nullptr);
    EXPECT_EQ(table.pco_Get(1u), nullptr);
    CT_Symbol* f = pco_New(u"f");
    table.b_Take(f);
    EXPECT_EQ(f->n4_GetId(), 13u);
    EXPECT_EQ(table.pco_Get(W(u"f")), f);
}

TEST(SymbolTable, CaseRuleOfTheNames) {
    CT_SymbolTable loose, strict(1);
    CT_Symbol* upper = pco_New(u"NAME");
    loose.b_Take(upper);
    strict.b_Take(pco_New(u"NAME"));
    EXPECT_EQ(loose.pco_Get(W(u"Name")), upper);
    EXPECT_EQ(strict.pco_Get(W(u"Name")), nullptr);
    EXPECT_NE(strict.pco_Get(W(u"NAME")), nullptr);
    CT_UString lower(W(u"name"), ~0u);
    EXPECT_EQ(loose.pco_Get(&lower), upper);
    EXPECT_EQ(loose.pco_Get(static_cast<unsigned short const*>(nullptr)), nullptr);
    EXPECT_EQ(loose.pco_Get(static_cast<CT_UString const*>(nullptr)), nullptr);
    // Case-insensitively, Name is the same name: taking it replaces.
    EXPECT_NE(loose.b_Take(pco_New(u"Name")), 0);
    EXPECT_EQ(loose.n_GetCount(), 1u);
    EXPECT_EQ(strict.b_Take(pco_New(u"Name")), 0);
    EXPECT_EQ(strict.n_GetCount(), 2u);

    // The empty name: an empty string finds it.
    CT_Symbol* nameless = new CT_Symbol;
    loose.b_Take(nameless);
    CT_UString empty;
    EXPECT_EQ(loose.pco_Get(&empty), nameless);
    EXPECT_EQ(loose.pco_Get(W(u"")), nameless);
}

TEST(SymbolTable, GivingBackHandsOwnershipToTheCaller) {
    CT_SymbolTable table;
    for (char16_t const* name : {u"one", u"two", u"three"}) table.b_Take(pco_New(name));
    std::unique_ptr<CT_Symbol> two(table.pco_Give(2u));
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(Text(*two->pcco_GetName()), u"two");
    EXPECT_EQ(table.pco_Get(W(u"two")), nullptr);
    EXPECT_EQ(table.pco_Get(2u), nullptr);
    EXPECT_EQ(table.n_GetCount(), 2u);
    EXPECT_EQ(table.pco_Give(2u), nullptr);

    std::unique_ptr<CT_Symbol> one(table.pco_Give(W(u"ONE")));
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->n4_GetId(), 1u);
    EXPECT_EQ(table.pco_Get(1u), nullptr);
    CT_UString three(W(u"three"), ~0u);
    std::unique_ptr<CT_Symbol> back(table.pco_Give(&three));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(table.n_GetCount(), 0u);
    EXPECT_EQ(table.pco_Give(W(u"none")), nullptr);
    // A symbol given back can be taken again, its id kept.
    EXPECT_EQ(table.b_Take(one.release()), 0);
    EXPECT_EQ(table.pco_Get(1u), table.pco_Get(W(u"one")));
}

TEST(SymbolTable, ASecondSymbolOfANameTakesItsPlace) {
    CT_SymbolTable table;
    CT_Symbol* first = pco_New(u"word");
    CT_Symbol* second = pco_New(u"word");
    EXPECT_EQ(table.b_Take(first), 0);
    EXPECT_NE(table.b_Take(second), 0);
    EXPECT_EQ(table.pco_Get(W(u"word")), second);
    EXPECT_EQ(table.n_GetCount(), 1u);
    // The first is still found by its id, and giving it back by id leaves
    // the name with the second.
    EXPECT_EQ(table.pco_Get(1u), first);
    std::unique_ptr<CT_Symbol> given(table.pco_Give(1u));
    EXPECT_EQ(given.get(), first);
    EXPECT_EQ(table.pco_Get(W(u"word")), second);
    EXPECT_EQ(table.pco_Get(2u), second);

    // A later symbol of the same id: the id leads to it, the earlier one
    // keeps its name.
    CT_Symbol* other = pco_New(u"other", 2);
    EXPECT_EQ(table.b_Take(other), 0);
    EXPECT_EQ(table.pco_Get(2u), other);
    EXPECT_EQ(table.pco_Get(W(u"word")), second);
    // Same name and same id: nothing leads to the displaced one any more,
    // so the table deletes it (the leak check of the sanitizer build would
    // see it otherwise).
    CT_Symbol* again = pco_New(u"other", 2);
    EXPECT_NE(table.b_Take(again), 0);
    EXPECT_EQ(table.pco_Get(2u), again);
    EXPECT_EQ(table.pco_Get(W(u"other")), again);
    // Taking the same symbol twice changes nothing.
    EXPECT_NE(table.b_Take(again), 0);
    EXPECT_EQ(table.pco_Get(W(u"other")), again);
    // The reset deletes the symbols only the name or only the id leads to.
}

TEST(SymbolTable, TheIteratorWalksTheNames) {
    CT_SymbolTable table;
    std::set<std::u16string> names = {u"red", u"green", u"blue", u"cyan", u"magenta", u"yellow", u"black"};
    for (std::u16string const& name : names) table.b_Take(pco_New(name.c_str()));
    std::unique_ptr<CT_SymbolTable::tco_NameIterator> it(table.pco_GiveIterator());
    EXPECT_EQ(it->vn_GetCount(), names.size());
    std::set<std::u16string> seen;
    while (it->vb_Next()) seen.insert(Text(*it->vpco_Get()->pcco_GetName()));
    EXPECT_EQ(seen, names);
    // An iterator made here is one of the same kind as the table's.
    CT_SymbolTable::tco_NameIterator mine(*it);
    EXPECT_TRUE(mine.vb_IsEqual(it.get()));
    EXPECT_TRUE(it->vb_IsEqual(&mine));
    it->vv_Set();
    EXPECT_FALSE(mine.vb_IsEqual(it.get()));
}

TEST(SymbolTable, CopiesOwnTheirSymbols) {
    CT_SymbolTable table(1);
    table.b_Take(pco_New(u"x"));
    table.b_Take(pco_New(u"X"));
    CT_Symbol* idOnly = pco_New(u"y", 20);
    table.b_Take(idOnly);
    table.b_Take(pco_New(u"y", 21));  // the name y now leads to id 21
    CT_SymbolTable copy(table);
    EXPECT_EQ(copy.n_GetCount(), 3u);
    EXPECT_NE(copy.pco_Get(W(u"x")), table.pco_Get(W(u"x")));
    EXPECT_EQ(Text(*copy.pco_Get(W(u"X"))->pcco_GetName()), u"X");  // case-sensitive as well
    ASSERT_NE(copy.pco_Get(20u), nullptr);
    EXPECT_NE(copy.pco_Get(20u), idOnly);
    EXPECT_EQ(copy.pco_Get(W(u"y"))->n4_GetId(), 21u);
    EXPECT_EQ(copy.n4_GetNextId(), 22u);

    CT_SymbolTable assigned;  // not case-sensitive: x and X meet
    assigned.b_Take(pco_New(u"old"));
    assigned = table;
    EXPECT_EQ(assigned.pco_Get(W(u"old")), nullptr);
    EXPECT_EQ(assigned.n_GetCount(), 2u);
    EXPECT_NE(assigned.pco_Get(W(u"X")), nullptr);
    assigned = assigned;
    EXPECT_EQ(assigned.n_GetCount(), 2u);
}

// The table reports no failures of its own; an error already set when it
// enters a symbol gets the table's location appended.
TEST(SymbolTable, AnErrorSetOnTheWayGetsTheTablesLocation) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    while (errors->b_IsSetError() || errors->b_IsHoldError()) errors->v_ClearError();
    CT_SymbolTable table;
    CT_Symbol* late = pco_New(u"late");
    errors->v_SetError(CT_ErrorManager::e_OutOfMemory, nullptr, CT_ErrorManager::e_OutOfMemory);
    unsigned before = errors->n_GetLocationCount();
    table.b_Take(late);
    unsigned afterTake = errors->n_GetLocationCount();
    CT_Symbol symbol;
    unsigned afterSymbol = errors->n_GetLocationCount();
    // Locations are counted from 1.
    char const* tableLocation = errors->qccz_GetLocationFileAt(before + 1);
    char const* symbolLocation = errors->qccz_GetLocationFileAt(afterTake + 1);
    std::string tableText = tableLocation ? tableLocation : "";
    std::string symbolText = symbolLocation ? symbolLocation : "";
    errors->v_ClearError();
    EXPECT_EQ(afterTake, before + 1);
    EXPECT_EQ(tableText, "Foundation/Basis/SymbolTable/SymbolTable");
    EXPECT_EQ(afterSymbol, afterTake + 1);
    EXPECT_EQ(symbolText, "Foundation/Basis/SymbolTable/Symbol");
    EXPECT_FALSE(errors->b_IsSetError());
    // The name is in, the id entry was not made: the name still finds it.
    EXPECT_NE(table.pco_Get(W(u"late")), nullptr);
}

}  // namespace
