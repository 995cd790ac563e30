// Native objects handed to scripts: properties and methods reached through the object's own
// lookup, and what happens once the script has let the object go.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/native_object.h"
#include "engine/script_engine.h"

namespace quoll_test {
namespace {

using quoll::NameId;
using quoll::ScriptEngine;
using quoll::TypeCode;
using quoll::Value;
using quoll::VariableList;

// A counter with a read-write property VALUE, a read-only property TWICE and a method ADD(N).
class Counter : public quoll::NativeObject {
 public:
  explicit Counter(ScriptEngine* owner) : NativeObject(owner) {
    add_.result = owner->StdType(TypeCode::LongInt);
    add_.params.push_back({quoll::Intern("N"), quoll::ParamMode::Value, owner->StdType(TypeCode::LongInt)});
  }
  quoll::Type* PropertyType(int32_t) override { return Owner()->StdType(TypeCode::LongInt); }
  bool ReadProperty(int32_t handle, Value& dest) override {
    dest.SetInt(handle == 0 ? value : value * 2);
    return true;
  }
  bool WriteProperty(int32_t handle, Value& v) override {
    if (handle != 0) return false;
    value = static_cast<int32_t>(v.GetInt());
    return true;
  }
  int32_t FindProperty(NameId name) override {
    return name == quoll::Intern("VALUE") ? 0 : name == quoll::Intern("TWICE") ? 1 : -1;
  }
  // ADD(N), and REFUSE, which fails the calling statement.
  int32_t FindMethod(NameId name) override {
    return name == quoll::Intern("ADD") ? 0 : name == quoll::Intern("REFUSE") ? 1 : -1;
  }
  const quoll::ParamList* MethodDeclaration(int32_t handle) override { return handle == 0 ? &add_ : &none_; }
  quoll::ValuePtr CallMethod(int32_t handle, VariableList& args) override {
    if (handle == 1) {
      Caller()->SetErrorParam(quoll::ErrorCode::Custom, "refused");
      return nullptr;
    }
    value += static_cast<int32_t>(args.Get(0)->Deref()->GetInt());
    auto result = Value::Create(Owner()->StdType(TypeCode::LongInt));
    result->SetInt(value);
    return result;
  }
  int32_t value = 0;

 private:
  quoll::ParamList add_;
  quoll::ParamList none_;
};

std::vector<std::string> gLines;
int gDestroyed = 0;

class CountingCounter : public Counter {
 public:
  using Counter::Counter;
  ~CountingCounter() override { ++gDestroyed; }
};

quoll::ErrorCode Library(ScriptEngine* script, void*, quoll::Routine* routine, Value* result,
                         VariableList& args) {
  const std::string& name = quoll::NameText(routine->name);
  if (name == "SAY") {
    std::string s;
    args.Get(0)->Deref()->GetString(s);
    gLines.push_back(s);
  } else if (name == "MAKECOUNTER") {
    result->v.holder = script->AdoptNativeObject(std::make_unique<CountingCounter>(script));
  } else if (name == "DROP") {
    // The library frees the object on the script's request; the holder stays and says so.
    quoll::NativeHolder* h = args.Get(0)->Deref()->v.holder;
    if (h && !h->freed) {
      h->object.reset();
      h->freed = true;
    }
  }
  return quoll::ErrorCode::NoError;
}

// The one unit scripts may use: MAKER, whose text the test sets.
std::string gMakerText;

quoll::ErrorCode Uses(void*, ScriptEngine* script, const std::string& unit) {
  if (unit == "MAKER") {
    auto maker = std::make_unique<ScriptEngine>();
    maker->OnUses = Uses;
    maker->SetText(gMakerText);
    if (maker->Error().Failed() || !script->AttachUnit(maker, true)) return quoll::ErrorCode::UnitNotFound;
    return quoll::ErrorCode::NoError;
  }
  if (unit != "SYSTEM") return quoll::ErrorCode::UnitNotFound;
  script->AddNativeObjectType("TCounter");
  script->AddFunction(Library, "procedure Say(s: string)", 0);
  script->AddFunction(Library, "function MakeCounter: TCounter", 0);
  script->AddFunction(Library, "procedure Drop(c: TCounter)", 0);
  return quoll::ErrorCode::NoError;
}

struct ScriptRun {
  quoll::ErrorCode code;
  std::string message;
  std::string module;
};

ScriptRun RunScript(const std::string& text) {
  gLines.clear();
  ScriptEngine script;
  script.OnUses = Uses;
  script.SetText(text);
  if (!script.Error().Failed()) script.RunMain();
  ScriptRun r{script.Error().code, quoll::ErrorMessage(script.Error().code, script.Error().param),
              script.Error().module};
  script.Cleanup();
  return r;
}

TEST(NativeObjects, PropertiesAndMethodsGoThroughTheObject) {
  ScriptRun r = RunScript(
      "var c: TCounter; n: Integer;\n"
      "begin\n"
      "  c := MakeCounter;\n"
      "  c.Value := 5;\n"
      "  n := c.Add(2);\n"
      "  if (n = 7) and (c.Value = 7) and (c.Twice = 14) then Say('ok');\n"
      "end.\n");
  EXPECT_EQ(r.code, quoll::ErrorCode::NoError) << r.message;
  EXPECT_EQ(gLines, std::vector<std::string>{"ok"});
}

TEST(NativeObjects, RefusedWritesAndUnknownMembersAreErrors) {
  EXPECT_EQ(RunScript("var c: TCounter; begin c := MakeCounter; c.Twice := 1; end.").message,
            "can not write property");
  EXPECT_EQ(RunScript("var c: TCounter; begin c := MakeCounter; c.Nothing := 1; end.").message,
            "unknown identifier: NOTHING");
}

TEST(NativeObjects, NilAndFreedObjectsAreReportedNotTouched) {
  EXPECT_EQ(RunScript("var c: TCounter; n: Integer; begin n := c.Value; end.").message,
            "class is not created");
  EXPECT_EQ(
      RunScript("var c: TCounter; n: Integer; begin c := MakeCounter; Drop(c); n := c.Add(1); end.").message,
      "class already freed");
}

// An object a unit made fails the statement that calls it, in whichever script that statement is.
TEST(NativeObjects, AFailureEndsTheCallingStatementAlsoForAUnitsObject) {
  gMakerText =
      "unit Maker;\n"
      "function Make: TCounter; begin Result := MakeCounter; end;\n"
      "procedure RefuseHere; var c: TCounter; begin c := MakeCounter; c.Refuse; Say('unit went on'); end;\n"
      "end.\n";
  ScriptRun inMain = RunScript("uses Maker; begin Make.Refuse; Say('main went on'); end.");
  EXPECT_EQ(inMain.message, "refused");
  EXPECT_EQ(inMain.module, "MAIN");
  ScriptRun inUnit = RunScript("uses Maker; begin RefuseHere; Say('main went on'); end.");
  EXPECT_EQ(inUnit.message, "refused");
  EXPECT_EQ(inUnit.module, "MAKER");
  EXPECT_TRUE(gLines.empty()) << gLines.front();
}

TEST(NativeObjects, ObjectsTheScriptStillHoldsAreDestroyedByCleanup) {
  gDestroyed = 0;
  ScriptRun r = RunScript("var a, b: TCounter; begin a := MakeCounter; b := MakeCounter; Drop(b); end.");
  EXPECT_EQ(r.code, quoll::ErrorCode::NoError) << r.message;
  EXPECT_EQ(gDestroyed, 2);
}

}  // namespace
}  // namespace quoll_test
