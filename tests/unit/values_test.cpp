// Value (creation, accessors, width rules, negate and not, type change) and the type list.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "engine/names.h"
#include "engine/script_engine.h"
#include "engine/types.h"
#include "engine/variant.h"

namespace quoll_test {
namespace {

using quoll::ScriptEngine;
using quoll::Type;
using quoll::TypeCode;
using quoll::Value;
using quoll::ValuePtr;

// A script whose standard types are registered, to create values from.
class ValueTest : public testing::Test {
 protected:
  void SetUp() override {
    script_.SetText("begin end.");
    ASSERT_EQ(script_.Error().code, quoll::ErrorCode::NoError);
  }

  Type* TypeNamed(const char* name) {
    Type* t = script_.FindType(name);
    EXPECT_NE(t, nullptr) << "no type " << name;
    return t;
  }
  ValuePtr Make(const char* typeName) {
    ValuePtr v = Value::Create(TypeNamed(typeName));
    EXPECT_NE(v, nullptr);
    return v;
  }

  ScriptEngine script_;
};

// ---- creation ----

TEST_F(ValueTest, IntegerFindsTheLongintType) {
  Type* t = script_.FindType("integer");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->code, TypeCode::LongInt);
  EXPECT_EQ(t, script_.FindType("LONGINT"));
}

TEST_F(ValueTest, VariantOfTheIntegerTypeCopyHasTheLongintType) {
  Type* copy = script_.Types().Find(quoll::Intern("INTEGER"));
  ASSERT_NE(copy, nullptr);
  ASSERT_EQ(copy->code, TypeCode::TypeCopy);
  ValuePtr v = Value::Create(copy);
  EXPECT_EQ(v->type, script_.FindType("LONGINT"));
}

TEST_F(ValueTest, CreatingFromNoTypeGivesNoVariant) {
  EXPECT_EQ(Value::Create(nullptr), nullptr);
}

TEST_F(ValueTest, NewVariantsHoldTheZeroValue) {
  ValuePtr i = Make("LONGINT");
  ValuePtr r = Make("DOUBLE");
  ValuePtr b = Make("BOOLEAN");
  ValuePtr s = Make("STRING");
  ValuePtr c = Make("CHAR");
  ValuePtr a = Make("!ARRAY");
  EXPECT_EQ(i->GetInt(), 0);
  EXPECT_EQ(r->GetReal(), 0.0L);
  EXPECT_FALSE(b->GetBool());
  EXPECT_EQ(s->str, "");
  EXPECT_EQ(c->v.ch, 0);
  EXPECT_TRUE(a->items.empty());
  EXPECT_EQ(i->flags, 0);
}

TEST_F(ValueTest, RecordVariantGetsOneFieldPerFieldInDeclarationOrder) {
  Type* rec = script_.AddTypeText("TPair", "record A: Byte; B: string; C: Integer; end");
  ASSERT_NE(rec, nullptr);
  ValuePtr v = Value::Create(rec);
  ASSERT_EQ(v->items.size(), 3u);
  EXPECT_EQ(v->items[0]->code(), TypeCode::Byte);
  EXPECT_EQ(v->items[1]->code(), TypeCode::String);
  EXPECT_EQ(v->items[2]->code(), TypeCode::LongInt);
}

TEST_F(ValueTest, NestedRecordFieldsAreCreatedRecursively) {
  ASSERT_NE(script_.AddTypeText("TInner", "record X: Word; end"), nullptr);
  Type* outer = script_.AddTypeText("TOuter", "record I: TInner; S: string; end");
  ASSERT_NE(outer, nullptr);
  ValuePtr v = Value::Create(outer);
  ASSERT_EQ(v->items.size(), 2u);
  ASSERT_EQ(v->items[0]->code(), TypeCode::Record);
  ASSERT_EQ(v->items[0]->items.size(), 1u);
  EXPECT_EQ(v->items[0]->items[0]->code(), TypeCode::Word);
}

// ---- integer widths ----

struct WidthCase {
  const char* type;
  int64_t stored;
  int64_t read;
};

void PrintTo(const WidthCase& c, std::ostream* os) {
  *os << c.stored << " into " << c.type << " reads " << c.read;
}

class SetIntTest : public ValueTest, public testing::WithParamInterface<WidthCase> {};

TEST_P(SetIntTest, StoredIntegerIsTruncatedToTheTypesWidthAndSignedness) {
  ValuePtr v = Make(GetParam().type);
  v->SetInt(GetParam().stored);
  EXPECT_EQ(v->GetInt(), GetParam().read);
  EXPECT_EQ(v->GetReal(), static_cast<long double>(GetParam().read));
}

const WidthCase kWidthCases[] = {
    {"BYTE", 300, 44},
    {"BYTE", 255, 255},
    {"BYTE", -1, 255},
    {"SHORTINT", 127, 127},
    {"SHORTINT", 128, -128},
    {"SHORTINT", 200, -56},
    {"WORD", 70000, 4464},
    {"WORD", -1, 65535},
    {"SMALLINT", 32768, -32768},
    {"SMALLINT", 40000, -25536},
    {"CARDINAL", -1, 4294967295},
    {"CARDINAL", 4294967296, 0},
    {"LONGINT", 2147483648, -2147483648},
    {"LONGINT", 4294967297, 1},
    {"LONGINT", -5, -5},
};

INSTANTIATE_TEST_SUITE_P(Values, SetIntTest, testing::ValuesIn(kWidthCases),
                         [](const testing::TestParamInfo<WidthCase>& info) {
                           std::string n = std::string(info.param.type) + "Stores";
                           n += info.param.stored < 0 ? "Minus" + std::to_string(-info.param.stored)
                                                      : std::to_string(info.param.stored);
                           return n;
                         });

TEST_F(ValueTest, SetIntIsIgnoredByNonIntegerTypes) {
  ValuePtr r = Make("DOUBLE");
  ValuePtr s = Make("STRING");
  ValuePtr b = Make("BOOLEAN");
  r->SetInt(7);
  s->SetInt(7);
  b->SetInt(7);
  EXPECT_EQ(r->GetReal(), 0.0L);
  EXPECT_EQ(s->str, "");
  EXPECT_FALSE(b->GetBool());
}

// ---- reals ----

struct RealCase {
  const char* name;
  const char* type;
  long double stored;
  long double read;
};

void PrintTo(const RealCase& c, std::ostream* os) {
  *os << static_cast<double>(c.stored) << " into " << c.type << " reads " << static_cast<double>(c.read);
}

class SetRealTest : public ValueTest, public testing::WithParamInterface<RealCase> {};

TEST_P(SetRealTest, StoredRealReadsBackAtTheTypesPrecision) {
  ValuePtr v = Make(GetParam().type);
  v->SetReal(GetParam().stored);
  EXPECT_EQ(v->GetReal(), GetParam().read);
}

const RealCase kRealCases[] = {
    {"CompRoundsHalfDownToEven", "COMP", 2.5L, 2.0L},
    {"CompRoundsHalfUpToEven", "COMP", 3.5L, 4.0L},
    {"CompRoundsNegativeHalfUpToEven", "COMP", -2.5L, -2.0L},
    {"CompRoundsNegativeHalfDownToEven", "COMP", -3.5L, -4.0L},
    {"CompRoundsDown", "COMP", 2.4L, 2.0L},
    {"CompRoundsUp", "COMP", 2.6L, 3.0L},
    {"SingleKeepsSinglePrecision", "SINGLE", 0.1L, static_cast<long double>(0.1f)},
    {"DoubleKeepsDoublePrecision", "DOUBLE", 0.1L, static_cast<long double>(0.1)},
    {"RealIsStoredAsDouble", "REAL", 0.1L, static_cast<long double>(0.1)},
    {"ExtendedKeepsFullPrecision", "EXTENDED", 0.1L, 0.1L},
};

INSTANTIATE_TEST_SUITE_P(Values, SetRealTest, testing::ValuesIn(kRealCases),
                         [](const testing::TestParamInfo<RealCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(ValueTest, SetRealIsIgnoredByIntegerTypes) {
  ValuePtr v = Make("BYTE");
  v->SetReal(2.0L);
  EXPECT_EQ(v->GetInt(), 0);
}

TEST_F(ValueTest, CardinalReadsAsAnUnsignedReal) {
  ValuePtr v = Make("CARDINAL");
  v->SetInt(-1);
  EXPECT_EQ(v->GetReal(), 4294967295.0L);
}

// ---- accessors of unsuitable types ----

TEST_F(ValueTest, ReadingAStringFromANumberLeavesTheDestinationAsItWas) {
  ValuePtr v = Make("LONGINT");
  std::string out = "kept";
  v->GetString(out);
  EXPECT_EQ(out, "kept");
}

TEST_F(ValueTest, CharReadsAsAOneCharacterString) {
  ValuePtr v = Make("CHAR");
  v->SetChar('x');
  std::string out;
  v->GetString(out);
  EXPECT_EQ(out, "x");
}

TEST_F(ValueTest, ReadingNumbersAndBooleansFromAStringGivesZeroAndFalse) {
  ValuePtr v = Make("STRING");
  v->SetString("12");
  EXPECT_EQ(v->GetInt(), 0);
  EXPECT_EQ(v->GetReal(), 0.0L);
  EXPECT_FALSE(v->GetBool());
}

TEST_F(ValueTest, SetStringIsIgnoredByChar) {
  ValuePtr v = Make("CHAR");
  v->SetString("ab");
  std::string out;
  v->GetString(out);
  EXPECT_EQ(out, std::string(1, '\0'));
}

// ---- negate and not ----

struct UnaryCase {
  const char* type;
  int64_t before;
  int64_t after;
};

void PrintTo(const UnaryCase& c, std::ostream* os) {
  *os << c.type << " " << c.before << " -> " << c.after;
}

class NegateIntegerTest : public ValueTest, public testing::WithParamInterface<UnaryCase> {};

TEST_P(NegateIntegerTest, NegationIsTwosComplementAtTheWidth) {
  ValuePtr v = Make(GetParam().type);
  v->SetInt(GetParam().before);
  ASSERT_TRUE(v->Negate());
  EXPECT_EQ(v->GetInt(), GetParam().after);
}

const UnaryCase kNegateCases[] = {
    {"BYTE", 1, 255},
    {"BYTE", 0, 0},
    {"SHORTINT", 5, -5},
    {"SHORTINT", -128, -128},
    {"WORD", 1, 65535},
    {"SMALLINT", -32768, -32768},
    {"CARDINAL", 1, 4294967295},
    {"LONGINT", 7, -7},
    {"LONGINT", -2147483648, -2147483648},
};

std::string UnaryName(const testing::TestParamInfo<UnaryCase>& info) {
  auto num = [](int64_t n) { return n < 0 ? "Minus" + std::to_string(-n) : std::to_string(n); };
  return std::string(info.param.type) + num(info.param.before);
}

INSTANTIATE_TEST_SUITE_P(Values, NegateIntegerTest, testing::ValuesIn(kNegateCases), UnaryName);

class NotIntegerTest : public ValueTest, public testing::WithParamInterface<UnaryCase> {};

TEST_P(NotIntegerTest, NotIsTheBitwiseComplementAtTheWidth) {
  ValuePtr v = Make(GetParam().type);
  v->SetInt(GetParam().before);
  ASSERT_TRUE(v->Not());
  EXPECT_EQ(v->GetInt(), GetParam().after);
}

const UnaryCase kNotCases[] = {
    {"BYTE", 1, 254},   {"BYTE", 0, 255},    {"SHORTINT", 0, -1},
    {"WORD", 0, 65535}, {"SMALLINT", 5, -6}, {"CARDINAL", 0, 4294967295},
    {"LONGINT", 0, -1}, {"LONGINT", -1, 0},
};

INSTANTIATE_TEST_SUITE_P(Values, NotIntegerTest, testing::ValuesIn(kNotCases), UnaryName);

TEST_F(ValueTest, NegatingARealChangesItsSign) {
  for (const char* type : {"REAL", "SINGLE", "DOUBLE", "EXTENDED", "COMP"}) {
    SCOPED_TRACE(type);
    ValuePtr v = Make(type);
    v->SetReal(3.0L);
    ASSERT_TRUE(v->Negate());
    EXPECT_EQ(v->GetReal(), -3.0L);
  }
}

TEST_F(ValueTest, NegatingANonNumberFails) {
  for (const char* type : {"BOOLEAN", "STRING", "CHAR", "!ARRAY", "VARIANT"}) {
    SCOPED_TRACE(type);
    EXPECT_FALSE(Make(type)->Negate());
  }
}

TEST_F(ValueTest, NotTogglesABoolean) {
  ValuePtr v = Make("BOOLEAN");
  ASSERT_TRUE(v->Not());
  EXPECT_TRUE(v->GetBool());
  ASSERT_TRUE(v->Not());
  EXPECT_FALSE(v->GetBool());
}

TEST_F(ValueTest, NotOnARealOrStringFails) {
  for (const char* type : {"REAL", "EXTENDED", "COMP", "STRING", "CHAR"}) {
    SCOPED_TRACE(type);
    EXPECT_FALSE(Make(type)->Not());
  }
}

// ---- change type ----

TEST_F(ValueTest, ChangeTypeEmptiesAString) {
  ValuePtr v = Make("STRING");
  v->SetString("abc");
  v->ChangeType(v->type);
  EXPECT_EQ(v->str, "");
}

TEST_F(ValueTest, ChangeTypeEmptiesAnArray) {
  ValuePtr v = Make("!ARRAY");
  v->items.push_back(Make("LONGINT"));
  v->ChangeType(v->type);
  EXPECT_TRUE(v->items.empty());
}

TEST_F(ValueTest, ChangeTypeGivesARecordFreshFields) {
  Type* rec = script_.AddTypeText("TRec", "record N: Integer; S: string; end");
  ASSERT_NE(rec, nullptr);
  ValuePtr v = Value::Create(rec);
  v->items[0]->SetInt(5);
  v->items[1]->SetString("x");
  v->ChangeType(v->type);
  ASSERT_EQ(v->items.size(), 2u);
  EXPECT_EQ(v->items[0]->GetInt(), 0);
  EXPECT_EQ(v->items[1]->str, "");
}

TEST_F(ValueTest, ChangeTypeKeepsNumbersCharactersAndBooleans) {
  ValuePtr i = Make("LONGINT");
  ValuePtr r = Make("DOUBLE");
  ValuePtr c = Make("CHAR");
  ValuePtr b = Make("BOOLEAN");
  i->SetInt(42);
  r->SetReal(1.5L);
  c->SetChar('q');
  b->SetBool(true);
  for (auto* v : {i.get(), r.get(), c.get(), b.get()}) v->ChangeType(v->type);
  EXPECT_EQ(i->GetInt(), 42);
  EXPECT_EQ(r->GetReal(), 1.5L);
  EXPECT_EQ(c->v.ch, 'q');
  EXPECT_TRUE(b->GetBool());
}

TEST_F(ValueTest, ChangeTypeDropsAReferencesTarget) {
  ValuePtr target = Make("LONGINT");
  ValuePtr ref = Make("!VAR");
  ref->target = target;
  ref->ChangeType(ref->type);
  EXPECT_EQ(ref->target, nullptr);
  EXPECT_EQ(ref->Deref(), ref.get());
}

TEST_F(ValueTest, AccessorsFollowReferencesToTheirTarget) {
  ValuePtr target = Make("LONGINT");
  target->SetInt(9);
  ValuePtr inner = Make("!VAR");
  inner->target = target;
  ValuePtr outer = Make("!VAR");
  outer->target = inner;
  EXPECT_EQ(outer->Deref(), target.get());
}

// ---- type list ----

TEST(TypeList, NamedTypeCannotBeAddedTwice) {
  quoll::TypeList list;
  quoll::NameId name = quoll::Intern("TYPELISTDUPLICATE");
  ASSERT_NE(list.Add(name, TypeCode::Byte), nullptr);
  EXPECT_EQ(list.Add(name, TypeCode::Word), nullptr);
  EXPECT_EQ(list.Find(name)->code, TypeCode::Byte);
  EXPECT_EQ(list.All().size(), 1u);
}

TEST(TypeList, AnonymousTypeReusesAnEarlierTypeOfTheSameCodeAndExtraData) {
  quoll::TypeList list;
  Type* named = list.Add(quoll::Intern("TYPELISTBOOLEAN"), TypeCode::Boolean);
  EXPECT_EQ(list.Add(quoll::kNoName, TypeCode::Boolean), named);
  Type* element = list.Add(quoll::Intern("TYPELISTELEMENT"), TypeCode::Byte);
  Type* arrayOfByte = list.Add(quoll::kNoName, TypeCode::Array, element);
  EXPECT_EQ(list.Add(quoll::kNoName, TypeCode::Array, element), arrayOfByte);
  EXPECT_EQ(list.All().size(), 3u);
}

TEST(TypeList, AnonymousTypeWithOtherExtraDataIsNew) {
  quoll::TypeList list;
  Type* a = list.Add(quoll::Intern("TYPELISTA"), TypeCode::Byte);
  Type* b = list.Add(quoll::Intern("TYPELISTB"), TypeCode::Word);
  Type* arrayOfA = list.Add(quoll::kNoName, TypeCode::Array, a);
  Type* arrayOfB = list.Add(quoll::kNoName, TypeCode::Array, b);
  EXPECT_NE(arrayOfA, arrayOfB);
  EXPECT_EQ(arrayOfB->base, b);
}

TEST(TypeList, AnonymousClassesAreNeverReused) {
  quoll::TypeList list;
  Type* first = list.Add(quoll::kNoName, TypeCode::Class);
  Type* second = list.Add(quoll::kNoName, TypeCode::Class);
  EXPECT_NE(first, second);
}

TEST(TypeList, ResolvingFollowsAChainOfTypeCopies) {
  quoll::TypeList list;
  Type* base = list.Add(quoll::Intern("TYPELISTBASE"), TypeCode::SmallInt);
  Type* copy = list.Add(quoll::Intern("TYPELISTCOPY"), TypeCode::TypeCopy, base);
  Type* copyOfCopy = list.Add(quoll::Intern("TYPELISTCOPY2"), TypeCode::TypeCopy, copy);
  EXPECT_EQ(copyOfCopy->Resolved(), base);
  EXPECT_EQ(Value::Create(copyOfCopy)->type, base);
}

}  // namespace
}  // namespace quoll_test
