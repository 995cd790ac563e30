// The standard library's registration: which routines a script gets, in which order, with which
// parameter shapes, and that the strings-only variant leaves the real routines out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/lib/stdlib.h"
#include "engine/names.h"
#include "engine/script_engine.h"

namespace quoll_test {
namespace {

using quoll::ScriptEngine;

struct Options {
  bool stringsOnly = false;
};

quoll::ErrorCode RegisterOnSystem(void* host, ScriptEngine* script, const std::string& unit) {
  if (unit == "SYSTEM") quoll::RegisterStdLib(script, static_cast<Options*>(host)->stringsOnly);
  return quoll::ErrorCode::NoError;
}

std::vector<std::string> RegisteredNames(bool stringsOnly) {
  Options options{stringsOnly};
  ScriptEngine script(&options);
  script.OnUses = RegisterOnSystem;
  script.SetText("begin end.");
  EXPECT_EQ(script.Error().code, quoll::ErrorCode::NoError);
  std::vector<std::string> names;
  for (const auto& r : script.Routines())
    if (!r->IsMethod()) names.push_back(quoll::NameText(r->name));
  return names;
}

TEST(StdLibRegistration, AllRoutinesInOrder) {
  const std::vector<std::string> expected = {"STRGET",
                                             "STRSET",
                                             "CHR",
                                             "STRTOINT",
                                             "INTTOSTR",
                                             "UPPERCASE",
                                             "COPY",
                                             "DELETE",
                                             "INSERT",
                                             "POS",
                                             "LENGTH",
                                             "LOWERCASE",
                                             "TRIM",
                                             "INT",
                                             "FLOATTOSTR",
                                             "REPLICATE",
                                             "VERSION",
                                             "LEFT",
                                             "STRINGOFCHAR",
                                             "SETLENGTH",
                                             "GETTYPE",
                                             "GETARRAYLENGTH",
                                             "SETARRAYLENGTH",
                                             "ASSIGNED",
                                             "LOW",
                                             "HIGH",
                                             "ORD",
                                             "PRED",
                                             "SUCC",
                                             "SIN",
                                             "COS",
                                             "TAN",
                                             "SQRT",
                                             "ROUND",
                                             "TRUNC",
                                             "PI"};
  EXPECT_EQ(RegisteredNames(false), expected);
  std::vector<std::string> stringsOnly(expected.begin(), expected.end() - 7);
  EXPECT_EQ(RegisteredNames(true), stringsOnly);
}

TEST(StdLibRegistration, DeclarationShapes) {
  Options options;
  ScriptEngine script(&options);
  script.OnUses = RegisterOnSystem;
  script.SetText("begin end.");
  auto find = [&](const char* name) -> const quoll::Routine* {
    for (const auto& r : script.Routines())
      if (quoll::NameText(r->name) == name) return r.get();
    return nullptr;
  };
  // StrSet is declared as a procedure: the trailing ": char" of its text gives it no result.
  const quoll::Routine* strSet = find("STRSET");
  ASSERT_NE(strSet, nullptr);
  EXPECT_EQ(strSet->decl.result, nullptr);
  ASSERT_EQ(strSet->decl.params.size(), 3u);
  EXPECT_EQ(strSet->decl.params[2].mode, quoll::ParamMode::Var);
  // The any-type routines: a var array, a const untyped reference, a value of any type.
  const quoll::Routine* setLen = find("SETARRAYLENGTH");
  ASSERT_NE(setLen, nullptr);
  EXPECT_EQ(setLen->decl.params[0].mode, quoll::ParamMode::Var);
  EXPECT_EQ(setLen->decl.params[0].type, script.ArrayType());
  const quoll::Routine* high = find("HIGH");
  ASSERT_NE(high, nullptr);
  EXPECT_EQ(high->decl.params[0].mode, quoll::ParamMode::Const);
  EXPECT_EQ(high->decl.result, script.VarType());
  EXPECT_EQ(find("ORD")->decl.params[0].type, script.VarType());
}

}  // namespace
}  // namespace quoll_test
