// ScriptEngine: error state, SetText errors, RunMain, the statement hook, native functions,
// variables and types registered by text, unit attachment, resources and the nesting limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/errors.h"
#include "engine/names.h"
#include "engine/script_engine.h"
#include "test_support.h"

namespace quoll_test {
namespace {

using quoll::ErrorCode;
using quoll::ParamMode;
using quoll::Routine;
using quoll::RoutineKind;
using quoll::ScriptEngine;
using quoll::TypeCode;
using quoll::Value;
using quoll::VariableList;

constexpr ErrorCode kExit = ErrorCode::ExitSignal;

// The host identity of the scripts below: records what their native functions and handlers see.
struct Recorder {
  std::vector<std::string> marks;               // Mark('...') calls, in order
  std::vector<std::string> probes;              // what Probe found for X
  std::vector<int32_t> hookPositions;           // OnRunLine calls
  std::function<ErrorCode(int32_t)> hook;       // answers OnRunLine; NoError when unset
  std::vector<std::string> unitRequests;        // OnUses calls other than SYSTEM
  ErrorCode unitAnswer = ErrorCode::NoError;    // what OnUses answers for them
  ErrorCode systemAnswer = ErrorCode::NoError;  // what OnUses answers for SYSTEM
  std::vector<intptr_t> freed;                  // resource data words, in the order freed
};

// Mark(s): records s. Twin: two registrations of one name, told apart by host data.
// Probe: records what GetVariable('x') finds while it runs.
ErrorCode TestNative(ScriptEngine* script, void* host, Routine* routine, Value* /*result*/,
                     VariableList& args) {
  auto* rec = static_cast<Recorder*>(host);
  const std::string& name = quoll::NameText(routine->name);
  if (name == "MARK") {
    std::string s;
    args.Get(0)->Deref()->GetString(s);
    rec->marks.push_back(s);
  } else if (name == "TWIN") {
    rec->marks.push_back("twin" + std::to_string(routine->hostData));
  } else if (name == "PROBE") {
    Value* x = script->GetVariable("x");
    rec->probes.push_back(x ? std::to_string(x->Deref()->GetInt()) : "none");
  }
  return ErrorCode::NoError;
}

ErrorCode TestUses(void* host, ScriptEngine* script, const std::string& unitName) {
  auto* rec = static_cast<Recorder*>(host);
  if (unitName == "SYSTEM") {
    script->AddFunction(TestNative, "procedure Mark(s: string)", 0);
    script->AddFunction(TestNative, "procedure Probe", 0);
    script->AddFunction(TestNative, "procedure Twin", 1);
    script->AddFunction(TestNative, "procedure Twin", 2);
    return rec->systemAnswer;
  }
  rec->unitRequests.push_back(unitName);
  return rec->unitAnswer;
}

ErrorCode TestHook(void* host, ScriptEngine* /*script*/, int32_t position) {
  auto* rec = static_cast<Recorder*>(host);
  rec->hookPositions.push_back(position);
  return rec->hook ? rec->hook(position) : ErrorCode::NoError;
}

void FreeResource(void* host, intptr_t data) {
  static_cast<Recorder*>(host)->freed.push_back(data);
}
void OtherFreeResource(void*, intptr_t) {}

struct ErrorState {
  ErrorCode code;
  int32_t pos;
  std::string module;
  bool operator==(const ErrorState&) const = default;
};

void PrintTo(const ErrorState& e, std::ostream* os) {
  *os << "{code " << static_cast<int>(e.code) << " (" << quoll::ErrorMessage(e.code, "") << "), pos " << e.pos
      << ", module \"" << e.module << "\"}";
}

ErrorState ErrorOf(const ScriptEngine& s) {
  return {s.Error().code, s.Error().position, s.Error().module};
}

class ScriptObjectTest : public testing::Test {
 protected:
  ScriptObjectTest() : script_(&rec_) { script_.OnUses = TestUses; }

  // Sets the text, which must process without error, and runs it.
  void Run(const std::string& text) {
    SCOPED_TRACE(testing::Message() << "script:\n" << text);
    script_.SetText(text);
    ASSERT_EQ(ErrorOf(script_), (ErrorState{ErrorCode::NoError, -1, ""}))
        << "message: " << quoll::ErrorMessage(script_.Error().code, script_.Error().param);
    script_.RunMain();
  }

  Recorder rec_;
  ScriptEngine script_;
};

// ---- a new instance ----

TEST(NewScriptObject, HasNoErrorAndTheModuleNameMain) {
  ScriptEngine s;
  EXPECT_EQ(ErrorOf(s), (ErrorState{ErrorCode::NoError, -1, ""}));
  EXPECT_EQ(s.Error().param, "");
  EXPECT_EQ(s.ModuleName(), "MAIN");
  EXPECT_EQ(s.MainPosition(), -1);
  EXPECT_EQ(s.MaxBeginNesting, 2147483647);
  EXPECT_EQ(s.MaxArrayLength, 2147483647);
}

TEST(NewScriptObject, RunMainWithoutTextDoesNothing) {
  ScriptEngine s;
  s.RunMain();
  EXPECT_EQ(ErrorOf(s), (ErrorState{ErrorCode::NoError, -1, ""}));
}

// ---- SetText errors ----

struct SetTextErrorCase {
  const char* name;
  std::string text;
  ErrorCode code;
  std::string at;  // the error lies at the first occurrence of this text; empty: position 0
  const char* module;
};

void PrintTo(const SetTextErrorCase& c, std::ostream* os) {
  *os << c.name;
}

class SetTextErrorTest : public ScriptObjectTest, public testing::WithParamInterface<SetTextErrorCase> {};

TEST_P(SetTextErrorTest, TextFailsWithThisCodeAtThisPosition) {
  const SetTextErrorCase& c = GetParam();
  script_.SetText(c.text);
  int32_t pos = c.at.empty() ? 0 : PosOf(c.text, c.at);
  EXPECT_EQ(ErrorOf(script_), (ErrorState{c.code, pos, c.module}));
  EXPECT_EQ(script_.MainPosition(), -1);
}

const SetTextErrorCase kSetTextErrors[] = {
    {"UnclosedCommentIsCode42", "begin\r\n  { never closed\r\nend.", ErrorCode::CommentError, "{", "MAIN"},
    {"UnclosedStringIsCode11", "begin\r\n  Mark('abc\r\nend.", ErrorCode::StringError, "'", "MAIN"},
    {"BadCharacterLiteralIsCode43", "begin Mark(#65x) end.", ErrorCode::CharError, "#", "MAIN"},
    {"InvalidCharacterIsCode10", "begin Mark('a') ! end.", ErrorCode::SyntaxError, "!", "MAIN"},
    {"LexicalErrorIsReportedBeforeTheHeaderIsRead", "program Named; begin } end.", ErrorCode::SyntaxError,
     "}", "MAIN"},
    {"HeaderWithoutNameIsCode4", "program ; begin end.", ErrorCode::IdentifierExpected, ";", "MAIN"},
    {"HeaderWithoutSemicolonIsCode5", "program Named begin end.", ErrorCode::SemicolonExpected, "begin",
     "NAMED"},
    {"DuplicateVariableIsCode7", "var A: Integer; var a: Byte; begin end.", ErrorCode::DuplicateIdentifier,
     "a:", "MAIN"},
    {"VariableNamedLikeANativeFunctionIsCode7", "var Mark: Integer; begin end.",
     ErrorCode::DuplicateIdentifier, "Mark", "MAIN"},
    {"MissingMainBlockAtEndOfTextIsCode8AtPositionZero", "program P; var x: Integer;",
     ErrorCode::UnexpectedEndOfFile, "", "P"},
    {"StatementBeforeBeginIsCode6", "x := 1; begin end.", ErrorCode::BeginExpected, "x", "MAIN"},
    {"UnitNamedTwiceIsCode7", "uses Foo, Foo; begin end.", ErrorCode::DuplicateIdentifier, "Foo;", "MAIN"},
    {"UnitNamedLikeANativeFunctionIsCode7", "uses Mark; begin end.", ErrorCode::DuplicateIdentifier, "Mark",
     "MAIN"},
    {"SecondHeaderIsCode6", "program A; program B; begin end.", ErrorCode::BeginExpected, "program B", "A"},
};

INSTANTIATE_TEST_SUITE_P(ScriptObject, SetTextErrorTest, testing::ValuesIn(kSetTextErrors),
                         [](const testing::TestParamInfo<SetTextErrorCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(ScriptObjectTest, UnknownTypeNamesTheIdentifier) {
  script_.SetText("var x: TNoSuchType; begin end.");
  EXPECT_EQ(script_.Error().code, ErrorCode::UnknownIdentifier);
  EXPECT_EQ(script_.Error().param, "TNOSUCHTYPE");
  EXPECT_EQ(script_.Error().position, 7);
}

TEST_F(ScriptObjectTest, ProgramHeaderNamesTheModule) {
  script_.SetText("program Demo; begin end.");
  EXPECT_EQ(script_.Error().code, ErrorCode::NoError);
  EXPECT_EQ(script_.ModuleName(), "DEMO");
  EXPECT_EQ(script_.MainPosition(), 14);
}

TEST_F(ScriptObjectTest, NextTextStartsAgainWithTheModuleNameMain) {
  script_.SetText("program Demo; begin end.");
  script_.SetText("begin end.");
  EXPECT_EQ(script_.ModuleName(), "MAIN");
}

TEST_F(ScriptObjectTest, NextTextClearsTheEarlierError) {
  script_.SetText("begin ! end.");
  ASSERT_NE(script_.Error().code, ErrorCode::NoError);
  script_.SetText("begin end.");
  EXPECT_EQ(ErrorOf(script_), (ErrorState{ErrorCode::NoError, -1, ""}));
}

TEST_F(ScriptObjectTest, UnitHeaderMarksAUnitWhoseMainPositionIsItsEnd) {
  const std::string text = "unit Tools; var k: Integer; end.";
  script_.SetText(text);
  EXPECT_EQ(script_.Error().code, ErrorCode::NoError);
  EXPECT_TRUE(script_.IsUnit());
  EXPECT_EQ(script_.ModuleName(), "TOOLS");
  EXPECT_EQ(script_.MainPosition(), PosOf(text, "end"));
}

TEST_F(ScriptObjectTest, CodeAnsweredForSystemIsNotRecorded) {
  rec_.systemAnswer = ErrorCode::UnitNotFound;
  script_.SetText("begin Mark('ok') end.");
  EXPECT_EQ(script_.Error().code, ErrorCode::NoError);
}

TEST_F(ScriptObjectTest, UnitsAreRequestedByUpperCaseName) {
  script_.SetText("uses Alpha, beta; begin end.");
  EXPECT_EQ(rec_.unitRequests, (std::vector<std::string>{"ALPHA", "BETA"}));
}

TEST_F(ScriptObjectTest, CodeAnsweredForAUnitIsRecordedAtTheUnitName) {
  rec_.unitAnswer = ErrorCode::UnitNotFound;
  const std::string text = "program P; uses Gone; begin end.";
  script_.SetText(text);
  EXPECT_EQ(ErrorOf(script_), (ErrorState{ErrorCode::UnitNotFound, PosOf(text, "Gone"), "P"}));
}

TEST(ScriptWithoutUnitHandler, UnitIsAnUnknownIdentifier) {
  ScriptEngine s;
  s.SetText("uses Foo; begin end.");
  EXPECT_EQ(ErrorOf(s), (ErrorState{ErrorCode::UnknownIdentifier, 5, "MAIN"}));
  EXPECT_EQ(s.Error().param, "FOO");
}

// ---- RunMain ----

TEST_F(ScriptObjectTest, RunMainAfterAFailedSetTextKeepsTheError) {
  script_.SetText("begin Mark('x') ! end.");
  ErrorState before = ErrorOf(script_);
  ASSERT_EQ(before.code, ErrorCode::SyntaxError);
  script_.RunMain();
  EXPECT_EQ(ErrorOf(script_), before);
  EXPECT_TRUE(rec_.marks.empty());
}

TEST_F(ScriptObjectTest, MainBlockRunsItsStatementsInOrder) {
  Run("begin Mark('a'); Mark('b'); end.");
  EXPECT_EQ(rec_.marks, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(script_.Error().code, ErrorCode::NoError);
}

TEST_F(ScriptObjectTest, ExitInTheMainBlockEndsTheRunWithoutError) {
  Run("begin Mark('a'); exit; Mark('b'); end.");
  EXPECT_EQ(rec_.marks, (std::vector<std::string>{"a"}));
  EXPECT_EQ(ErrorOf(script_), (ErrorState{ErrorCode::NoError, -1, ""}));
}

TEST_F(ScriptObjectTest, MainBlockWithoutClosingPeriodIsCode21) {
  Run("begin Mark('a') end");
  EXPECT_EQ(rec_.marks, (std::vector<std::string>{"a"}));
  EXPECT_EQ(script_.Error().code, ErrorCode::PeriodExpected);
  EXPECT_EQ(script_.Error().position, 0);
}

TEST_F(ScriptObjectTest, ScriptCanRunAgainAfterARun) {
  Run("begin Mark('a'); end.");
  script_.Cleanup();
  script_.RunMain();
  EXPECT_EQ(rec_.marks, (std::vector<std::string>{"a", "a"}));
}

// ---- native functions ----

TEST_F(ScriptObjectTest, TwoNativeFunctionsOfOneNameAreBothKeptAndCallsReachTheFirst) {
  Run("begin Twin; Twin; end.");
  EXPECT_EQ(rec_.marks, (std::vector<std::string>{"twin1", "twin1"}));
  int twins = 0;
  for (const auto& r : script_.Routines()) twins += quoll::NameText(r->name) == "TWIN";
  EXPECT_EQ(twins, 2);
}

TEST_F(ScriptObjectTest, NativeFunctionsAreRegisteredAgainOnEveryText) {
  Run("begin Mark('one') end.");
  Run("begin Mark('two') end.");
  EXPECT_EQ(rec_.marks, (std::vector<std::string>{"one", "two"}));
}

// AddFunction reads declaration texts with the script's types, so the tests give it a text first.
class AddFunctionTest : public ScriptObjectTest {
 protected:
  void SetUp() override {
    script_.SetText("begin end.");
    ASSERT_EQ(script_.Error().code, ErrorCode::NoError);
  }
  quoll::Type* Type(const char* name) { return script_.FindType(name); }
};

TEST_F(AddFunctionTest, FunctionWithParametersGetsTheirNamesTypesAndResult) {
  Routine* r =
      script_.AddFunction(TestNative, "function SendAPDU(nIndex : Integer; strIN : string) : string;", 7);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(quoll::NameText(r->name), "SENDAPDU");
  EXPECT_EQ(r->kind, RoutineKind::Native);
  EXPECT_EQ(r->owner, &script_);
  EXPECT_EQ(r->hostData, 7);
  EXPECT_EQ(r->cls, nullptr);
  EXPECT_EQ(r->decl.result, Type("STRING"));
  ASSERT_EQ(r->decl.params.size(), 2u);
  EXPECT_EQ(quoll::NameText(r->decl.params[0].name), "NINDEX");
  EXPECT_EQ(r->decl.params[0].type, Type("LONGINT"));
  EXPECT_EQ(quoll::NameText(r->decl.params[1].name), "STRIN");
  EXPECT_EQ(r->decl.params[1].type, Type("STRING"));
  EXPECT_EQ(script_.Routines().back().get(), r);
}

TEST_F(AddFunctionTest, ProcedureHasNoResult) {
  Routine* r = script_.AddFunction(TestNative, "procedure Writeln(s: string)", 0);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(quoll::NameText(r->name), "WRITELN");
  EXPECT_EQ(r->decl.result, nullptr);
  ASSERT_EQ(r->decl.params.size(), 1u);
  EXPECT_EQ(quoll::NameText(r->decl.params[0].name), "S");
}

TEST_F(AddFunctionTest, GroupsSharingATypeAndParameterModes) {
  Routine* r =
      script_.AddFunction(TestNative, "procedure P(var a, b: Byte; const c: string; d, e: Integer)", 0);
  ASSERT_NE(r, nullptr);
  ASSERT_EQ(r->decl.params.size(), 5u);
  const ParamMode modes[] = {ParamMode::Var, ParamMode::Var, ParamMode::Const, ParamMode::Value,
                             ParamMode::Value};
  const char* types[] = {"BYTE", "BYTE", "STRING", "LONGINT", "LONGINT"};
  const char* names[] = {"A", "B", "C", "D", "E"};
  for (size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(quoll::NameText(r->decl.params[i].name), names[i]);
    EXPECT_EQ(r->decl.params[i].mode, modes[i]);
    EXPECT_EQ(r->decl.params[i].type, Type(types[i]));
  }
}

TEST_F(AddFunctionTest, DescriptionTextPrefixesVarAndConstParameters) {
  Routine* r = script_.AddFunction(TestNative, "function F(var a: Byte; const b: Byte; c: Byte): Boolean", 0);
  ASSERT_NE(r, nullptr);
  std::istringstream words(r->decl.Text());
  std::vector<std::string> w;
  for (std::string s; words >> s;) w.push_back(s);
  ASSERT_EQ(w.size(), 7u) << r->decl.Text();
  EXPECT_NE(w[0], "0");
  EXPECT_EQ(w[1], "!A");
  EXPECT_EQ(w[3], "^B");
  EXPECT_EQ(w[5], "C");
  EXPECT_EQ(w[2], w[4]);
  EXPECT_EQ(w[4], w[6]);
  EXPECT_NE(w[0], w[2]);
}

TEST_F(AddFunctionTest, ProcedureDescriptionTextStartsWithZero) {
  Routine* r = script_.AddFunction(TestNative, "procedure P(x: Byte)", 0);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->decl.Text().substr(0, 4), "0 X ");
}

TEST_F(AddFunctionTest, FunctionWithoutParameterListReadsItsResult) {
  Routine* r = script_.AddFunction(TestNative, "function Ready: Boolean;", 0);
  ASSERT_NE(r, nullptr);
  EXPECT_TRUE(r->decl.params.empty());
  EXPECT_EQ(r->decl.result, Type("BOOLEAN"));
}

TEST_F(AddFunctionTest, InlineArrayTypeIsAccepted) {
  Routine* r = script_.AddFunction(TestNative, "procedure Fill(var data: array of Byte)", 0);
  ASSERT_NE(r, nullptr);
  ASSERT_EQ(r->decl.params.size(), 1u);
  ASSERT_NE(r->decl.params[0].type, nullptr);
  EXPECT_EQ(r->decl.params[0].type->code, TypeCode::Array);
  EXPECT_EQ(r->decl.params[0].type->base, Type("BYTE"));
}

TEST_F(AddFunctionTest, TextAfterTheDeclarationIsIgnored) {
  EXPECT_NE(script_.AddFunction(TestNative, "procedure Go; stdcall; whatever", 0), nullptr);
}

struct BadDeclarationCase {
  const char* name;
  const char* text;
};

void PrintTo(const BadDeclarationCase& c, std::ostream* os) {
  *os << c.name << ": " << c.text;
}

class BadDeclarationTest : public AddFunctionTest, public testing::WithParamInterface<BadDeclarationCase> {};

TEST_P(BadDeclarationTest, UnreadableDeclarationRegistersNothing) {
  size_t before = script_.Routines().size();
  EXPECT_EQ(script_.AddFunction(TestNative, GetParam().text, 0), nullptr);
  EXPECT_EQ(script_.Routines().size(), before);
}

const BadDeclarationCase kBadDeclarations[] = {
    {"DoesNotTokenize", "procedure P(s: string) { never closed"},
    {"NamesWithoutSeparator", "procedure P(a b: Byte)"},
    {"NumberWhereANameBelongs", "procedure P(1: Byte)"},
    {"SemicolonWhereAColonBelongs", "procedure P(a; b: Byte)"},
    {"UnknownParameterType", "procedure P(a: TNoSuchType)"},
    {"UnknownResultType", "function F(a: Byte): TNoSuchType"},
    {"FunctionWithoutResult", "function F(a: Byte)"},
    {"UnclosedParameterList", "procedure P(a: Byte"},
};

INSTANTIATE_TEST_SUITE_P(ScriptObject, BadDeclarationTest, testing::ValuesIn(kBadDeclarations),
                         [](const testing::TestParamInfo<BadDeclarationCase>& info) {
                           return std::string(info.param.name);
                         });

// ---- variables and types from declaration texts ----

TEST_F(AddFunctionTest, AddedVariableIsAGlobalUnderTheUpperCaseName) {
  Value* v = script_.AddVariable("Limit", "Word", true);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->code(), TypeCode::Word);
  EXPECT_TRUE(v->readOnly());
  EXPECT_EQ(script_.GetVariable("LIMIT"), v);
  EXPECT_EQ(script_.GetVariable("limit"), v);
}

TEST_F(AddFunctionTest, AddedVariableIsWritableUnlessAskedOtherwise) {
  Value* v = script_.AddVariable("Counter", "Integer", false);
  ASSERT_NE(v, nullptr);
  EXPECT_FALSE(v->readOnly());
  EXPECT_EQ(v->code(), TypeCode::LongInt);
}

TEST_F(AddFunctionTest, VariableOfAnUnreadableTypeIsNotAddedAndLeavesNoError) {
  EXPECT_EQ(script_.AddVariable("Bad", "TNoSuchType", false), nullptr);
  EXPECT_EQ(script_.AddVariable("Bad", "'oops", false), nullptr);
  EXPECT_EQ(script_.Error().code, ErrorCode::NoError);
  EXPECT_EQ(script_.GetVariable("BAD"), nullptr);
}

TEST_F(AddFunctionTest, AddedTypeIsFoundByName) {
  quoll::Type* t = script_.AddTypeText("TBytes", "array of Byte");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->code, TypeCode::Array);
  EXPECT_EQ(script_.FindType("tbytes"), t);
}

TEST_F(AddFunctionTest, UnreadableTypeTextIsNotAddedAndLeavesNoError) {
  EXPECT_EQ(script_.AddTypeText("TBad", "record A: TNoSuchType; end"), nullptr);
  EXPECT_EQ(script_.Error().code, ErrorCode::NoError);
  EXPECT_EQ(script_.FindType("TBAD"), nullptr);
}

TEST_F(ScriptObjectTest, VariableAddedByTheHostIsVisibleToTheScript) {
  struct Local {
    static ErrorCode Uses(void* host, ScriptEngine* script, const std::string& unitName) {
      ErrorCode code = TestUses(host, script, unitName);
      if (unitName == "SYSTEM") {
        Value* v = script->AddVariable("Limit", "Integer", true);
        if (v) v->SetInt(7);
      }
      return code;
    }
  };
  script_.OnUses = Local::Uses;
  Run("begin if Limit = 7 then Mark('seven'); end.");
  EXPECT_EQ(rec_.marks, (std::vector<std::string>{"seven"}));
}

// ---- GetVariable ----

TEST_F(ScriptObjectTest, GetVariableFindsAGlobalOutsideRoutines) {
  Run("var X: Integer; begin X := 5; end.");
  Value* x = script_.GetVariable("x");
  ASSERT_NE(x, nullptr);
  EXPECT_EQ(x->GetInt(), 5);
  EXPECT_EQ(script_.GetVariable("NOSUCHNAME"), nullptr);
}

TEST_F(ScriptObjectTest, GetVariableFindsTheRunningRoutinesLocalBeforeTheGlobal) {
  Run("var X: Integer;\r\n"
      "procedure P;\r\n"
      "var X: Integer;\r\n"
      "begin\r\n"
      "  X := 2;\r\n"
      "  Probe;\r\n"
      "end;\r\n"
      "begin\r\n"
      "  X := 1;\r\n"
      "  Probe;\r\n"
      "  P;\r\n"
      "  Probe;\r\n"
      "end.");
  EXPECT_EQ(script_.Error().code, ErrorCode::NoError);
  EXPECT_EQ(rec_.probes, (std::vector<std::string>{"1", "2", "1"}));
}

TEST_F(ScriptObjectTest, GetVariableFindsTheRunningRoutinesParameter) {
  Run("procedure P(x: Integer);\r\n"
      "begin\r\n"
      "  Probe;\r\n"
      "end;\r\n"
      "var X: Integer;\r\n"
      "begin\r\n"
      "  X := 1;\r\n"
      "  P(3);\r\n"
      "end.");
  EXPECT_EQ(script_.Error().code, ErrorCode::NoError);
  EXPECT_EQ(rec_.probes, (std::vector<std::string>{"3"}));
}

TEST_F(ScriptObjectTest, GetVariableFromTheHookFindsTheRunningRoutinesLocal) {
  script_.OnRunLine = TestHook;
  const std::string text =
      "var X: Integer;\r\n"
      "procedure P;\r\n"
      "var X: Integer;\r\n"
      "begin\r\n"
      "  X := 2;\r\n"
      "  Mark('in P');\r\n"
      "end;\r\n"
      "begin\r\n"
      "  X := 1;\r\n"
      "  P;\r\n"
      "  Mark('in main');\r\n"
      "end.";
  const int32_t inRoutine = PosOf(text, "Mark('in P')");
  const int32_t inMain = PosOf(text, "Mark('in main')");
  rec_.hook = [&](int32_t pos) -> ErrorCode {
    if (pos == inRoutine || pos == inMain) {
      Value* x = script_.GetVariable("X");
      rec_.probes.push_back(x ? std::to_string(x->Deref()->GetInt()) : "none");
    }
    return ErrorCode::NoError;
  };
  Run(text);
  EXPECT_EQ(rec_.probes, (std::vector<std::string>{"2", "1"}));
}

// ---- statement hook ----

TEST_F(ScriptObjectTest, HookIsCalledAtTheFirstTokenOfEveryStatement) {
  script_.OnRunLine = TestHook;
  const std::string text = "begin\r\n  Mark('a');\r\n  if 1 = 1 then\r\n    Mark('b');\r\nend.";
  Run(text);
  EXPECT_EQ(script_.Error().code, ErrorCode::NoError);
  EXPECT_EQ(rec_.hookPositions,
            (std::vector<int32_t>{PosOf(text, "Mark('a')"), PosOf(text, "if"), PosOf(text, "Mark('b')")}));
}

// Where the hook is called inside compound statements; each expected call is named by a piece of
// the text and its occurrence.
struct HookCase {
  const char* name;
  std::string text;
  std::vector<std::pair<std::string, int>> calls;
};

void PrintTo(const HookCase& c, std::ostream* os) {
  *os << c.name;
}

class HookPositionTest : public ScriptObjectTest, public testing::WithParamInterface<HookCase> {};

TEST_P(HookPositionTest, HookIsCalledAtTheseTokensInThisOrder) {
  const HookCase& c = GetParam();
  script_.OnRunLine = TestHook;
  Run(c.text);
  EXPECT_EQ(script_.Error().code, ErrorCode::NoError);
  std::vector<int32_t> expected;
  for (const auto& [needle, nth] : c.calls) expected.push_back(PosOf(c.text, needle, nth));
  EXPECT_EQ(rec_.hookPositions, expected);
}

const HookCase kHookCases[] = {
    {"IfTrueAtTheIfThenBranchThenElse",
     "begin if 1 = 1 then Mark('t') else Mark('f'); end.",
     {{"if", 0}, {"Mark('t')", 0}, {"else", 0}}},
    {"IfFalseAtTheIfThenTwiceAtTheElsePart",
     "begin if 1 = 2 then Mark('t') else Mark('f'); end.",
     {{"if", 0}, {"Mark('f')", 0}, {"Mark('f')", 0}}},
    {"WhileTwiceAtTheBodyPerPass",
     "var i: Integer; begin while i < 2 do i := i + 1; end.",
     {{"i := i", 0}, {"i := i", 0}, {"i := i", 0}, {"i := i", 0}}},
    {"ForTwiceAtTheBodyPerPass",
     "var i: Integer; begin for i := 1 to 2 do Mark('x'); end.",
     {{"Mark", 0}, {"Mark", 0}, {"Mark", 0}, {"Mark", 0}}},
    {"RepeatAtTheRepeatPerPass",
     "var i: Integer; begin repeat i := i + 1 until i = 2; end.",
     {{"repeat", 0}, {"i := i", 0}, {"repeat", 0}, {"i := i", 0}}},
    {"CaseAtEveryLabelListTried",
     "var i: Integer; begin case i of 1: Mark('one'); 0: Mark('zero'); end; end.",
     {{"1:", 0}, {"0:", 0}, {"Mark('zero')", 0}}},
    {"NoCallForBeginOrExit", "begin begin Mark('a') end; exit; end.", {{"Mark", 0}}},
};

INSTANTIATE_TEST_SUITE_P(ScriptObject, HookPositionTest, testing::ValuesIn(kHookCases),
                         [](const testing::TestParamInfo<HookCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(ScriptObjectTest, HookAnsweringExitEndsTheRunWithoutError) {
  script_.OnRunLine = TestHook;
  const std::string text = "begin Mark('a'); Mark('b'); Mark('c'); end.";
  const int32_t second = PosOf(text, "Mark('b')");
  rec_.hook = [&](int32_t pos) -> ErrorCode { return pos == second ? kExit : ErrorCode::NoError; };
  Run(text);
  EXPECT_EQ(rec_.marks, (std::vector<std::string>{"a"}));
  EXPECT_EQ(ErrorOf(script_), (ErrorState{ErrorCode::NoError, -1, ""}));
}

// The hook's exit is a stop request: unlike the EXIT statement it ends the run, not the routine,
// so nothing of the caller runs afterwards, not even the rest of the calling expression.
TEST_F(ScriptObjectTest, HookAnsweringExitInsideARoutineEndsTheWholeRun) {
  script_.OnRunLine = TestHook;
  const std::string text =
      "function P: string; begin Mark('p1'); Mark('p2'); Result := 'r'; end;\r\n"
      "begin Mark(P + 'caller'); Mark('m'); end.";
  const int32_t inRoutine = PosOf(text, "Mark('p1')");
  rec_.hook = [&](int32_t pos) -> ErrorCode { return pos == inRoutine ? kExit : ErrorCode::NoError; };
  Run(text);
  EXPECT_TRUE(rec_.marks.empty());
  EXPECT_EQ(script_.Error().code, ErrorCode::NoError);
}

TEST_F(ScriptObjectTest, HookAnsweringAnotherCodeEndsTheRunWithThatErrorAtTheStatement) {
  script_.OnRunLine = TestHook;
  const std::string text = "program Hooked; begin Mark('a'); Mark('b'); end.";
  const int32_t second = PosOf(text, "Mark('b')");
  rec_.hook = [&](int32_t pos) -> ErrorCode {
    return pos == second ? ErrorCode::OutOfRange : ErrorCode::NoError;
  };
  Run(text);
  EXPECT_EQ(rec_.marks, (std::vector<std::string>{"a"}));
  EXPECT_EQ(ErrorOf(script_), (ErrorState{ErrorCode::OutOfRange, second, "HOOKED"}));
}

// ---- nesting limit ----

TEST_F(ScriptObjectTest, EndlessRecursionStopsWithOutOfMemoryAtTheLimit) {
  script_.MaxBeginNesting = 1000;
  Run("procedure R; begin R; end; begin R; end.");
  EXPECT_EQ(script_.Error().code, ErrorCode::OutOfMemory);
  EXPECT_EQ(quoll::ErrorMessage(script_.Error().code, script_.Error().param), "out of memory");
  EXPECT_EQ(script_.NestingDepth(), 0);
}

TEST_F(ScriptObjectTest, NestingWithinTheLimitRuns) {
  script_.MaxBeginNesting = 3;
  Run("begin begin begin Mark('deep') end end end.");
  EXPECT_EQ(script_.Error().code, ErrorCode::NoError);
  EXPECT_EQ(rec_.marks, (std::vector<std::string>{"deep"}));
}

TEST_F(ScriptObjectTest, NestingBeyondTheLimitIsOutOfMemory) {
  script_.MaxBeginNesting = 3;
  Run("begin begin begin begin Mark('too deep') end end end end.");
  EXPECT_EQ(script_.Error().code, ErrorCode::OutOfMemory);
  EXPECT_TRUE(rec_.marks.empty());
}

// Every entry into the block executor counts: begin blocks, routine bodies, and single
// statements run as a branch or passed over as one.
struct NestingCase {
  const char* name;
  const char* text;
  int32_t limit;
  ErrorCode code;
};

void PrintTo(const NestingCase& c, std::ostream* os) {
  *os << c.name;
}

class NestingLimitTest : public ScriptObjectTest, public testing::WithParamInterface<NestingCase> {};

TEST_P(NestingLimitTest, RunEndsWithThisCodeUnderThisLimit) {
  script_.MaxBeginNesting = GetParam().limit;
  Run(GetParam().text);
  EXPECT_EQ(script_.Error().code, GetParam().code);
}

const NestingCase kNestingCases[] = {
    {"MainBlockFitsALimitOfOne", "begin Mark('a') end.", 1, ErrorCode::NoError},
    {"BranchTakenNeedsALevel", "begin if 1 = 1 then Mark('a'); end.", 1, ErrorCode::OutOfMemory},
    {"BranchTakenFitsTwoLevels", "begin if 1 = 1 then Mark('a'); end.", 2, ErrorCode::NoError},
    {"BranchSkippedNeedsALevel", "begin if 1 = 2 then Mark('a'); end.", 1, ErrorCode::OutOfMemory},
    {"RoutineBodyNeedsALevel", "procedure P; begin end; begin P; end.", 1, ErrorCode::OutOfMemory},
    {"RoutineBodyFitsTwoLevels", "procedure P; begin end; begin P; end.", 2, ErrorCode::NoError},
    {"RepeatBlockNeedsALevel", "var i: Integer; begin repeat i := i + 1 until i = 3; end.", 1,
     ErrorCode::OutOfMemory},
};

INSTANTIATE_TEST_SUITE_P(ScriptObject, NestingLimitTest, testing::ValuesIn(kNestingCases),
                         [](const testing::TestParamInfo<NestingCase>& info) {
                           return std::string(info.param.name);
                         });

// ---- Cleanup ----

TEST_F(ScriptObjectTest, CleanupResetsStringsButKeepsNumbers) {
  Run("var S: string; N: Integer; B: Boolean; begin S := 'text'; N := 5; B := true; end.");
  script_.Cleanup();
  Value* s = script_.GetVariable("S");
  Value* n = script_.GetVariable("N");
  Value* b = script_.GetVariable("B");
  ASSERT_TRUE(s && n && b);
  EXPECT_EQ(s->str, "");
  EXPECT_EQ(n->GetInt(), 5);
  EXPECT_TRUE(b->GetBool());
}

TEST(ScriptResources, CleanupFreesResourcesLastFirstWithTheHostIdentity) {
  Recorder rec;
  ScriptEngine s(&rec);
  s.AddResource(FreeResource, 1);
  s.AddResource(FreeResource, 2);
  s.AddResource(FreeResource, 3);
  s.Cleanup();
  EXPECT_EQ(rec.freed, (std::vector<intptr_t>{3, 2, 1}));
  s.Cleanup();
  EXPECT_EQ(rec.freed.size(), 3u) << "a second cleanup frees nothing again";
  EXPECT_FALSE(s.IsValidResource(FreeResource, 1));
}

TEST(ScriptResources, RemovingTakesTheLastEntryWithThatDataWithoutFreeingIt) {
  Recorder rec;
  ScriptEngine s(&rec);
  s.AddResource(FreeResource, 5);
  s.AddResource(OtherFreeResource, 5);
  s.RemoveResource(5);
  EXPECT_TRUE(rec.freed.empty());
  EXPECT_TRUE(s.IsValidResource(FreeResource, 5));
  EXPECT_FALSE(s.IsValidResource(OtherFreeResource, 5));
  s.Cleanup();
  EXPECT_EQ(rec.freed, (std::vector<intptr_t>{5}));
}

TEST(ScriptResources, ValidityNeedsBothTheProcedureAndTheData) {
  ScriptEngine s;
  s.AddResource(OtherFreeResource, 8);
  EXPECT_TRUE(s.IsValidResource(OtherFreeResource, 8));
  EXPECT_FALSE(s.IsValidResource(FreeResource, 8));
  EXPECT_FALSE(s.IsValidResource(OtherFreeResource, 9));
}

// Many resources made and removed in a mixed order, as lists a script creates and frees: the
// live ones stay valid, the removed ones do not, and Cleanup frees exactly the live ones, last
// first, however often the list was packed on the way.
TEST(ScriptResources, ManyAddsAndRemovesKeepValidityAndCleanupOrder) {
  Recorder rec;
  ScriptEngine s(&rec);
  std::vector<intptr_t> live;
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (intptr_t data = 1; data <= 5000; ++data) {
    s.AddResource(FreeResource, data);
    live.push_back(data);
    if (next() % 3 != 0) {  // remove two thirds, chosen at random among the live ones
      size_t victim = next() % live.size();
      s.RemoveResource(live[victim]);
      live.erase(live.begin() + static_cast<ptrdiff_t>(victim));
    }
  }
  ASSERT_TRUE(rec.freed.empty());
  for (intptr_t data = 1; data <= 5000; ++data) {
    const bool isLive = std::find(live.begin(), live.end(), data) != live.end();
    ASSERT_EQ(s.IsValidResource(FreeResource, data), isLive) << data;
  }
  s.Cleanup();
  EXPECT_EQ(rec.freed, std::vector<intptr_t>(live.rbegin(), live.rend()));
}

TEST(ScriptResources, DestroyingTheScriptFreesItsResources) {
  Recorder rec;
  {
    ScriptEngine s(&rec);
    s.AddResource(FreeResource, 11);
  }
  EXPECT_EQ(rec.freed, (std::vector<intptr_t>{11}));
}

// ---- AttachUnit ----

std::unique_ptr<ScriptEngine> Compiled(const std::string& text) {
  SCOPED_TRACE(text);
  auto s = std::make_unique<ScriptEngine>();
  s->SetText(text);
  EXPECT_EQ(s->Error().code, ErrorCode::NoError) << quoll::ErrorMessage(s->Error().code, s->Error().param);
  return s;
}

TEST(AttachUnit, AcceptsACompiledUnitAndTakesOwnershipWhenAsked) {
  auto unit = Compiled("unit Tools; var Count: Integer; end.");
  auto main = Compiled("begin end.");
  EXPECT_TRUE(main->AttachUnit(unit, true));
  EXPECT_EQ(unit, nullptr);
  EXPECT_NE(main->GetVariable("COUNT"), nullptr);
}

TEST(AttachUnit, UnitGlobalsBecomeReferencesToTheUnitsVariables) {
  auto unit = Compiled("unit Tools; var Count: Integer; end.");
  Value* inUnit = unit->GetVariable("COUNT");
  auto main = Compiled("begin end.");
  ASSERT_TRUE(main->AttachUnit(unit, true));
  Value* seen = main->GetVariable("COUNT");
  ASSERT_NE(seen, nullptr);
  EXPECT_EQ(seen->code(), TypeCode::Reference);
  EXPECT_EQ(seen->Deref(), inUnit);
}

TEST(AttachUnit, NamesAlreadyDeclaredKeepTheirOwnTypeAndVariable) {
  auto unit = Compiled("unit Tools; type TThing = string; var Shared: string; end.");
  auto main = Compiled("type TThing = Byte; var Shared: Word; begin end.");
  ASSERT_TRUE(main->AttachUnit(unit, true));
  EXPECT_EQ(main->FindType("TTHING")->code, TypeCode::Byte);
  EXPECT_EQ(main->GetVariable("SHARED")->code(), TypeCode::Word);
}

TEST(AttachUnit, UnitTypesBecomeKnownByName) {
  auto unit = Compiled("unit Tools; type TPair = record A, B: Integer; end; end.");
  auto main = Compiled("begin end.");
  ASSERT_TRUE(main->AttachUnit(unit, true));
  quoll::Type* t = main->FindType("TPAIR");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->code, TypeCode::Record);
}

TEST(AttachUnit, LeavesTheUnitWithTheCallerWhenNotOwned) {
  auto unit = Compiled("unit Tools; end.");
  auto main = Compiled("begin end.");
  EXPECT_TRUE(main->AttachUnit(unit, false));
  EXPECT_NE(unit, nullptr);
  main.reset();
}

TEST(AttachUnit, RefusesNoUnit) {
  std::unique_ptr<ScriptEngine> none;
  auto main = Compiled("begin end.");
  EXPECT_FALSE(main->AttachUnit(none, true));
}

TEST(AttachUnit, RefusesAProgram) {
  auto program = Compiled("program Tools; begin end.");
  auto main = Compiled("begin end.");
  EXPECT_FALSE(main->AttachUnit(program, true));
  EXPECT_NE(program, nullptr);
}

TEST(AttachUnit, RefusesAUnitWhoseTextFailed) {
  auto unit = std::make_unique<ScriptEngine>();
  unit->SetText("unit Tools; var x: TNoSuchType; end.");
  ASSERT_NE(unit->Error().code, ErrorCode::NoError);
  auto main = Compiled("begin end.");
  EXPECT_FALSE(main->AttachUnit(unit, true));
  EXPECT_NE(unit, nullptr);
}

TEST(AttachUnit, RefusesItself) {
  auto unit = Compiled("unit Tools; end.");
  EXPECT_FALSE(unit->AttachUnit(unit, false));
  EXPECT_NE(unit, nullptr);
}

TEST(AttachUnit, RefusesASecondUnitOfTheSameName) {
  auto first = Compiled("unit Tools; end.");
  auto second = Compiled("unit Tools; var k: Integer; end.");
  auto main = Compiled("begin end.");
  ASSERT_TRUE(main->AttachUnit(first, true));
  EXPECT_FALSE(main->AttachUnit(second, true));
  EXPECT_NE(second, nullptr);
  EXPECT_EQ(main->GetVariable("K"), nullptr);
}

}  // namespace
}  // namespace quoll_test
