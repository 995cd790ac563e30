// ScriptEngine: one script (a main program or a unit) with its tokens, types, globals, routines,
// error state and the run-time bookkeeping of one run.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/errors.h"
#include "engine/names.h"
#include "engine/native_object.h"
#include "engine/tokens.h"
#include "engine/types.h"
#include "engine/variant.h"

namespace quoll {

class ScriptEngine;

// The native function convention: returns NoError (or the exit signal) for success, else the
// error that ends the call.
using NativeFunction = ErrorCode (*)(ScriptEngine* script, void* host, Routine* routine, Value* result,
                                     VariableList& args);

using UsesHandler = ErrorCode (*)(void* host, ScriptEngine* script, const std::string& unitName);
using RunLineHandler = ErrorCode (*)(void* host, ScriptEngine* script, int32_t position);
using ResourceFree = void (*)(void* host, intptr_t data);

enum class RoutineKind : uint8_t { Script = 0, Native = 1 };

enum MethodFlags : uint16_t {
  kMethodVisibilityMask = 3,
  kMethodVirtual = 16,
  kMethodOverride = 32,
  kMethodConstructor = 64,
  kMethodDestructor = 128,
};

namespace compiled {
struct Body;
}

// One routine, script or native.
struct Routine {
  ScriptEngine* owner = nullptr;
  RoutineKind kind = RoutineKind::Script;
  uint16_t methodFlags = 0;
  NameId name = kNoName;       // upper case; a method's name carries a leading '!'
  NameId plainName = kNoName;  // the name without '!'
  ParamList decl;
  Type* cls = nullptr;  // the class a method belongs to
  intptr_t hostData = 0;
  NativeFunction native = nullptr;
  int32_t entryPos = -1;     // script routine: position of its body (VAR or BEGIN)
  int32_t entryCursor = -1;  // the same as an index into its owner's token list
  // The body compiled at its last call (owned by the engine that ran it), found again without
  // a lookup by position while the symbols stay as they were.
  const compiled::Body* compiledBody = nullptr;

  bool IsMethod() const { return cls != nullptr; }
  Visibility visibility() const { return static_cast<Visibility>(methodFlags & kMethodVisibilityMask); }
};

// One object made by a constructor; lives until Cleanup so stale references find `freed` set.
struct ObjectInstance {
  std::vector<ValuePtr>
      fields;  // the fields of the whole class chain, then one property reference per property
  Type* cls = nullptr;
  bool freed = false;
};

using WithList = std::vector<ValuePtr>;

// Where a running statement looks names up beyond the globals: the objects of the WITH
// statements around it (first entry first) and the running routine's parameters and locals
// (none in the main block).
struct Scope {
  const WithList* with;
  VariableList* locals;
};
inline const WithList kNoWithObjects;
// The scope of the main block (and of constant declarations).
inline Scope MainScope() {
  return {&kNoWithObjects, nullptr};
}

struct Designator;
enum class DesignatorMode : uint8_t;
namespace compiled {
struct Block;
struct Body;
struct Stmt;
struct Expr;
struct Operand;
struct VarAccess;
struct Call;
struct MethodSelector;
struct Skip;
struct NameRef;
struct PureNode;
}  // namespace compiled
class Compiler;

// The stack a run may use on the main thread. Every limit the engine counts (blocks and calls,
// expressions, types, units) is met within it, also in sanitizer builds, so those limits decide
// where a script stops, never the stack's address.
inline constexpr size_t kStackSpace = size_t{64} << 20;
// Lets the calling (main) thread's stack grow to kStackSpace by raising the soft stack limit as
// far as the hard limit allows. False when the stack stays smaller; the engine then still stops
// a script with "out of memory" before the stack ends, at a place that may vary.
bool ReserveStackSpace();

class ScriptEngine {
 public:
  explicit ScriptEngine(void* hostIdentity = nullptr);
  ~ScriptEngine();
  ScriptEngine(const ScriptEngine&) = delete;
  ScriptEngine& operator=(const ScriptEngine&) = delete;

  // ---- Text and run ----
  // Replaces the whole script: tokenizes it and processes its declarations (asking OnUses for
  // SYSTEM and for every unit the text uses).
  void SetText(std::string_view text);
  // Executes the main block.
  void RunMain();
  // Runs a routine with an argument list prepared by the caller (a library calling back into
  // the script: a handler of a form, a property's accessor).
  ValuePtr CallRoutineWithList(Routine* routine, VariableList& args);
  // Releases what a run created: globals reset, units, resources and objects freed.
  void Cleanup();

  // ---- Errors ----
  // The error of the last text or run: code, position, parameter and module.
  const ScriptError& Error() const { return error_; }
  // Records an error unless one is recorded already (the first one wins), at the source's
  // current token and with its module; NoError clears the record.
  void SetError(ScriptEngine* source, ErrorCode code);
  void SetErrorParam(ScriptEngine* source, ErrorCode code, const std::string& param);
  void SetError(ErrorCode code) { SetError(this, code); }
  void SetErrorParam(ErrorCode code, const std::string& param) { SetErrorParam(this, code, param); }
  void ClearError() { error_.Clear(); }
  // Replaces the error record as a whole (a unit's error copied with its own place and module).
  void OverrideError(const ScriptError& e) { error_ = e; }

  // ---- Registration: what scripts may call and use, by declaration text ----
  // Registers a native function from a declaration text; nullptr when the text cannot be read.
  Routine* AddFunction(NativeFunction entry, std::string_view declaration, intptr_t hostData);
  // Registers a native function from a prepared declaration.
  Routine* AddNativeRoutine(NativeFunction entry, std::string_view name, ParamList decl, intptr_t hostData);
  // Takes a routine out of the lookups (it stays valid until the next SetText).
  bool RemoveFunction(Routine* routine);
  // A global of a type given as text (a library's named constant); nullptr when the type is bad.
  Value* AddVariable(std::string_view name, std::string_view typeText, bool readOnly);
  Type* AddTypeText(std::string_view name, std::string_view typeText);
  // A class from its declaration text whose methods are all native and served by `entry`; each
  // method's host data is its place in the class text (0 for the first method), so the entry
  // can switch on it.
  Type* AddClass(std::string_view name, std::string_view classText, NativeFunction entry);
  Type* AddReferenceType(std::string_view name);
  // Registers a named type whose values are native objects; `nativeClass` tells the types of
  // different libraries apart.
  Type* AddNativeObjectType(std::string_view name, const void* nativeClass = nullptr);
  Type* FindType(std::string_view name) const;
  // Predefined types, valid after SetText.
  Type* StdType(TypeCode code) const;
  Type* VarType() const { return varType_; }
  Type* ArrayType() const { return arrayType_; }

  // ---- Variables ----
  // Locals of the running routine first, then globals (the watch window's lookup).
  Value* GetVariable(std::string_view name);

  // ---- Units ----
  // Attaches a compiled unit: its types, globals and routines become visible here; its routines
  // run in the unit. With `owned` this script frees the unit at its next SetText.
  bool AttachUnit(std::unique_ptr<ScriptEngine>& unit, bool owned);
  // Attaches a unit that this script does not own: a unit of the run that another script of it
  // used first (a unit is one module per run, however many scripts use it).
  bool AttachUnit(ScriptEngine& unit);
  // The units loaded for a run are kept by the run's main script: cleaned by its Cleanup (last
  // loaded first) and freed at its next SetText, when nothing points into them any more.
  void KeepUnit(const std::string& unitName, std::unique_ptr<ScriptEngine> unit);
  // A unit kept for this run under the name it was requested by; nullptr when none.
  ScriptEngine* KeptUnit(const std::string& unitName) const;
  // The script whose run this one belongs to: the main script for a unit compiled for it,
  // otherwise this script itself.
  ScriptEngine& RunOwner() { return runOwner_ ? *runOwner_ : *this; }
  // Makes this script a unit of `owner`'s run: its blocks and expressions count on the owner's
  // depths, so the nesting limits hold for the run as a whole.
  void SetRunOwner(ScriptEngine* owner) {
    runOwner_ = owner;
    depths_ = owner ? owner->depths_ : &ownDepths_;
  }
  // SYSTEM, then the units of the uses clause, upper case.
  const std::vector<NameId>& Units() const { return units_; }
  const std::string& ModuleName() const { return moduleName_; }
  bool IsUnit() const { return isUnit_; }
  // The main block's position; -1 when the text failed or there is nothing to run.
  int32_t MainPosition() const { return mainPos_; }

  // ---- Resources and native objects ----
  // Hands a native object to this script: the variant refers to its holder, which this script
  // keeps until Cleanup (the object is destroyed then, unless the script freed it).
  NativeHolder* AdoptNativeObject(std::unique_ptr<NativeObject> object);
  // What a library allocates for a script: Cleanup calls `freeProc` for every entry left, last
  // first. Lookups by data word take constant time.
  void AddResource(ResourceFree freeProc, intptr_t data);
  void RemoveResource(intptr_t data);
  bool IsValidResource(ResourceFree freeProc, intptr_t data) const;

  // ---- Settings ----
  UsesHandler OnUses = nullptr;
  RunLineHandler OnRunLine = nullptr;
  // Statements the host lets pass without calling OnRunLine: it grants them from within the hook
  // when it knows it would only count them. One is spent per statement; any call into native
  // code voids the rest (it may take long or let user actions happen). A script and its units
  // share the host's allowance, so statements of either spend it. The tracked script (the one
  // whose text the user watches) notes the position of each statement that passed, so the
  // host can show the last of them when it next shows anything.
  struct HookAllowance {
    int32_t statements = 0;
    const ScriptEngine* tracked = nullptr;
    int32_t quietPosition = -1;  // -1: no statement has passed since the host last looked
  };
  void ShareHookAllowance(HookAllowance* allowance) { hookAllowance_ = allowance; }
  int32_t MaxBeginNesting = 2147483647;
  int32_t MaxArrayLength = 2147483647;
  // How deeply expressions may nest in a run (parentheses, arguments, indexes, each counting
  // once, across routine calls). Like the block limit it is a count, so a script meets it at
  // the same place in every run, whatever the stack looks like.
  static constexpr int32_t kMaxExpressionNesting = 4000;

  // ---- What the host and tests observe ----
  void* HostIdentity() const { return host_; }
  int32_t NestingDepth() const { return depths_->blocks; }
  // How many calls have left the script for native code (native routines, native object methods
  // and properties) since the object was made. A statement that made none took interpreter time
  // only; the host's statement hook uses this to tell cheap statements from possibly slow ones.
  uint64_t NativeCallCount() const { return nativeCalls_; }
  const std::vector<std::unique_ptr<Routine>>& Routines() const { return routines_; }
  TypeList& Types() { return types_; }

 private:
  // What Fail returns: the failure value of the caller's result, false or a null pointer.
  struct Failure {
    constexpr operator bool() const { return false; }
    template <typename T>
    constexpr operator T*() const {
      return nullptr;
    }
  };
  // Records an error (the first one wins) and fails: `return Fail(ErrorCode::TypeMismatch);`.
  Failure Fail(ErrorCode code) {
    SetError(code);
    return {};
  }
  Failure Fail(ErrorCode code, const std::string& param) {
    SetErrorParam(code, param);
    return {};
  }

  // What a name means in this script: its type, global, earliest routine, or unit.
  struct Symbol {
    Type* type = nullptr;
    int32_t global = -1;
    Routine* routine = nullptr;  // the earliest routine of that name
    bool unit = false;
  };
  const Symbol* FindSymbol(NameId name) const { return name < symbols_.size() ? &symbols_[name] : nullptr; }
  Type* TypeByName(NameId name) const;
  // Every change to the symbol table goes through here and raises the symbol generation, which
  // tells compiled code that its resolved names may be stale.
  Symbol& SymbolFor(NameId name) {
    ++symbolGeneration_;
    if (name >= symbols_.size()) symbols_.resize(NameCount() + 64);
    return symbols_[name];
  }
  // Names, globals and routines of this script (script_engine.cpp)
  bool NameInUse(NameId name, bool includeGlobals) const;
  int32_t AddGlobal(NameId name, ValuePtr var);
  Routine* AddRoutine(std::unique_ptr<Routine> routine);
  // Whether the C++ stack is nearly used up (then "out of memory" is recorded). The floor is
  // taken from the running thread at every entry from outside.
  bool StackExhausted() {
    char probe;
    return reinterpret_cast<uintptr_t>(&probe) < stackFloor_ && StackExhaustedSlow();
  }
  bool StackExhaustedSlow();
  void RefreshStackFloor();

  // Declarations (declarations.cpp)
  void ResetForText();
  void RegisterStandardTypes();
  void ProcessDeclarations();
  bool CheckUnsatisfiedMethods();
  bool ReadVarSection(VariableList& list, bool globals);
  bool ReadRoutineDeclaration();
  bool ReadExternal(Routine* routine);
  // Reads a type expression at the cursor; nullptr with an error recorded on failure.
  Type* ReadType(NameId name, bool classesAllowed);
  Type* ReadClass(NameId name);
  Type* LookupClassType(bool& failed);
  bool CanOverride(Type* cls, const Routine& method);
  bool ReadPropertyDeclaration(Type* cls, Visibility visibility,
                               const std::function<bool(NameId)>& memberTaken);
  // Reads `( params ) : result` of a routine heading into decl.
  bool ReadParams(ParamList& decl, bool isFunction, NameId routineName, bool checkNames);

  // Blocks and statements (statements.cpp)
  bool RunBlock(Scope scope, bool skip);
  enum class BlockKind : uint8_t { Repeat, Try, Begin, Single };
  bool EnterBlock();
  bool RunBlockOfKind(Scope scope, BlockKind kind);
  bool RunBlockLoop(Scope scope, BlockKind kind);
  bool WalkStatement(Scope scope);
  bool RunSimpleStatementBody(Scope scope);
  bool FinishSimpleStatement(Scope scope, Designator& d);
  bool RunStatementOrBlock(Scope scope);
  bool SkipStatementOrBlock();
  bool SkipBlock();
  bool SkipStatement();
  bool SkipExpression();
  bool CallHook(int32_t pos);
  bool RunSimpleStatement(Scope scope);
  bool RunIf(Scope scope);
  bool RunCase(Scope scope);
  bool RunCaseBranches(Scope scope, Value& selector, bool matched);
  bool RunFor(Scope scope);
  bool RunWhile(Scope scope);
  bool RunRepeat(Scope scope);
  bool RunWith(Scope scope);
  bool RunTry(Scope scope);
  bool FindTryPart(int32_t tryPos);

  // Expressions (expressions.cpp)
  bool Evaluate(Scope scope, TokenKind stop, Value& dest);
  bool EvaluateFrom(Scope scope, TokenKind stop, Value& dest, size_t base, size_t opBase, bool expectOperand);
  bool ApplyOperators(size_t base, size_t opBase, int fromLevel);
  bool FinishEvaluation(Value& dest, Value& result);
  // Cuts the shared operand and operator stacks back to where an evaluation found them.
  struct OperandStackRestore {
    ScriptEngine& s;
    size_t base, opBase;
    ~OperandStackRestore() {
      s.operands_.erase(s.operands_.begin() + static_cast<ptrdiff_t>(base), s.operands_.end());
      s.operators_.resize(opBase);
    }
  };
  bool ReadOperand(Scope scope, Value& dest, size_t slot);
  bool OperandFromDesignator(Designator& d, size_t slot);
  // A plain variable name (no WITH objects in effect): a local or global, or nullptr when the
  // name means something else (a type, a routine) or nothing.
  Value* LookupPlainVariable(NameId name, VariableList* locals) const {
    const Symbol* sym = FindSymbol(name);
    if (sym && sym->type && !sym->routine) return nullptr;
    if (locals) {
      int i = locals->Find(name);
      if (i >= 0) return locals->Get(i);
    }
    return sym && sym->global >= 0 ? globals_.Get(sym->global) : nullptr;
  }

  // The common shapes without the operand list (expression_fast_paths.cpp)
  bool EvaluateSimpleBinary(VariableList* locals, TokenKind stop, Value& dest);
  bool EvaluateSimpleStrings(VariableList* locals, const Token* t, Value* d);
  bool ReadSimpleElement(VariableList* locals, size_t slot);
  bool WalkSimpleSelectors(VariableList* locals, Value*& v, const ValuePtr*& holder, int& consumed);

  // Designators (designators.cpp)
  Designator ReadDesignator(Scope scope, DesignatorMode mode);
  bool ReadSelectors(Scope scope, DesignatorMode mode, Designator& d);
  Designator CallMethodOn(Scope scope, ObjectInstance* inst, Type* staticClass, Routine* method,
                          DesignatorMode mode);
  Type* RoutineType(Routine* routine);
  Type* ClassRefType(Type* cls);

  // Native objects' properties (native_properties.cpp)
  bool ReadNativeProperty(Value& prop, Value& out);
  bool WriteNativeProperty(Scope scope, Value& prop);

  // The compiled executor (compiled_statements.cpp, compiled_expressions.cpp; compiler.cpp)
  friend class Compiler;
  enum class Outcome : uint8_t { Fail, Normal, Diverted };
  const compiled::Body* CompiledBody(Scope scope, Routine* routine);
  // Runs the body at the cursor (a routine's after its VAR section, or the main block), compiled
  // when it can be.
  bool RunBody(Scope scope, Routine* routine);
  bool RunCompiledBlock(const compiled::Block& block, Scope scope);
  const compiled::Stmt* FreshStatement(const compiled::Stmt& stale, Scope scope);
  Outcome RunCompiledStatement(const compiled::Stmt& s, Scope scope);
  Outcome EndAt(int32_t at, const compiled::Stmt& s);
  Outcome WalkCompiledStatement(const compiled::Stmt& s, Scope scope);
  Outcome RunCompiledIf(const compiled::Stmt& s, Scope scope);
  Outcome RunCompiledWhile(const compiled::Stmt& s, Scope scope);
  Outcome RunCompiledFor(const compiled::Stmt& s, Scope scope);
  Outcome RunCompiledRepeat(const compiled::Stmt& s, Scope scope);
  Outcome RunCompiledCase(const compiled::Stmt& s, Scope scope);
  Outcome RunCompiledTry(const compiled::Stmt& s, Scope scope);
  Outcome RunCompiledAssign(const compiled::Stmt& s, Scope scope);
  Outcome RunCompiledAssignGeneral(const compiled::Stmt& s, Scope scope);
  Outcome RunCompiledCallStatement(const compiled::Stmt& s, Scope scope);
  bool CompiledHook(int32_t cursor) {
    if (!OnRunLine) return true;
    if (SpendHookAllowance()) {
      if (hookAllowance_->tracked == this) hookAllowance_->quietPosition = parser_.At(cursor).pos;
      return true;
    }
    parser_.SetIndex(cursor);
    return CallHook(parser_.CurrTokenPos());
  }
  bool RunCompiledSkip(const compiled::Skip& skip);
  // Whether the stack is nearly used up, without recording anything.
  bool StackLow() const {
    char probe;
    return reinterpret_cast<uintptr_t>(&probe) < stackFloor_;
  }
  bool EvaluateCompiled(const compiled::Expr& e, Scope scope, Value& dest);
  // Whether the machine-word form of E may run now: it exists, its nested evaluations cannot
  // reach the limit, and the names it resolved still stand.
  bool PureFormApplies(const compiled::Expr& e) const;
  bool EvaluateCompiledBool(const compiled::Expr& e, Scope scope, bool& out);
  bool EvaluateCompiledGeneral(const compiled::Expr& e, Scope scope, Value& dest);
  bool EvaluateCompiledCall(const compiled::Expr& e, Scope scope, Value& dest);
  bool EvaluateCompiledRecordCopy(const compiled::Expr& e, Scope scope, Value& dest);
  bool CompareStringsInPlace(const compiled::Expr& e, Scope scope, Value& dest, bool& done);
  bool EvaluateCompiledIndex(const compiled::Expr& e, Scope scope, int64_t& out);
  bool AssignPure(const compiled::Expr& e, Value& dest, int64_t v);
  bool AppendInPlace(const compiled::Expr& e, Scope scope, Value& dest, bool& done);
  bool ReadCompiledOperand(const compiled::Operand& o, Scope scope, Value& dest, size_t slot, bool& diverted);
  Value* NameValue(const compiled::NameRef& ref, Scope scope);
  ObjectInstance* SelfInstance(Scope scope) const;
  bool SimpleWalk(const compiled::VarAccess& a, Scope scope, Value*& v);
  bool PeekVar(const compiled::VarAccess& a, Scope scope, Value*& v);
  Designator ReadCompiledDesignator(const compiled::VarAccess& a, Scope scope, DesignatorMode mode);
  ValuePtr CallCompiled(const compiled::Call& c, Scope scope, ObjectInstance* self, Routine* routine,
                        Type* selfType);
  ValuePtr CallCompiledMethod(const compiled::MethodSelector& m, Designator& object, Scope scope,
                              bool& walked);
  std::vector<std::unique_ptr<compiled::Body>> compiledBodies_;  // by the token index a body starts at
  std::vector<std::unique_ptr<compiled::Body>> retiredBodies_;   // replaced while they may still run
  const compiled::Body* runningBody_ = nullptr;                  // the innermost compiled body running
  // Loop statements compiled again after a symbol change, by their first token.
  struct RecompiledStatement {
    const compiled::Body* body = nullptr;  // the body it belongs to
    std::unique_ptr<compiled::Stmt> stmt;
    int compilations = 0;
  };
  std::unordered_map<int32_t, RecompiledStatement> freshStatements_;
  std::vector<std::unique_ptr<compiled::Stmt>> retiredStatements_;  // replaced while they may still run
  uint64_t symbolGeneration_ = 0;
  // A routine's VAR section as the walker read it, replayed while the symbols stay the same.
  struct VarSectionReplay {
    uint64_t generation = 0;
    int listCount = 0;  // entries before the section (SELF, parameters, RESULT)
    int32_t endCursor = 0;
    std::vector<std::pair<NameId, Type*>> variables;
  };
  std::unordered_map<int32_t, VarSectionReplay> varSections_;
  bool ReadLocalVarSection(VariableList& callee);

  // Calls (calls.cpp)
  ValuePtr CallRoutine(Scope scope, ObjectInstance* self, Routine* routine, Type* selfType = nullptr);
  bool ReadArguments(Scope scope, const ParamList& decl, VariableList& callee);
  bool RunRoutineBody(Routine* routine, VariableList& callee, int32_t returnCursor);
  // A routine of another script object (a unit's) runs there; its error becomes this script's.
  ValuePtr CallInOwner(Routine* routine, VariableList& callee);
  bool CallNative(Routine* routine, VariableList& args, Value* result);

  // Operations (operations.cpp; operation codes in engine_internal.h)
  bool DoOperation(Value& left, Value& right, int operation);
  bool Assign(Value& dest, Value& src) { return DoOperation(dest, src, 0); }
  bool AssignValue(Value& l, Value& r);
  bool CompareValues(Value& l, Value& r, int op);
  bool CompareVariantContents(Value& l, Value& r, int op);

  // Classes at run time (classes.cpp)
  ValuePtr Construct(Scope scope, Type* cls, Routine* method);
  ObjectInstance* NewInstance(Type* cls);
  ValuePtr FindMember(ObjectInstance* inst, Type* staticClass, NameId name, bool classContext);
  Routine* FindMethod(ObjectInstance* inst, Type* staticClass, NameId name, bool classContext);
  ValuePtr ReadProperty(Value& propRef);
  bool WriteProperty(Value& propRef, Value& value);
  ValuePtr CallInherited(Scope scope, bool& ok);
  // The native methods of TOBJECT.
  static ErrorCode TObjectMethod(ScriptEngine* script, void* host, Routine* routine, Value* result,
                                 VariableList& args);

  void* host_;
  uintptr_t stackFloor_ = 0;
  static constexpr int kMaxTypeNesting = 500;
  bool libraryText_ = false;  // reading a type text a library registers (AddTypeText)
  int typeNesting_ = 0;
  std::vector<NameId> units_;
  bool ownedByAttacher_ = false;
  // Resources in registration order, with removed entries left as gaps (free == nullptr) until
  // they outnumber the live ones; the index finds the live entries of a data word at once.
  struct Resource {
    ResourceFree free;
    intptr_t data;
  };
  std::vector<Resource> resources_;
  std::unordered_map<intptr_t, std::vector<size_t>> resourceIndex_;
  size_t resourceGaps_ = 0;
  void CompactResources();
  // Instances by address; a deque never moves them. A destroyed instance keeps only its record
  // (class and freed flag) so that references to it find the flag.
  std::deque<ObjectInstance> objects_;
  std::vector<std::unique_ptr<NativeHolder>> nativeHolders_;
  std::vector<std::pair<Routine*, Type*>> routineTypes_;  // procedure types of routine addresses
  bool isUnit_ = false;
  std::string moduleName_ = "MAIN";
  int32_t mainPos_ = -1;
  ScriptError error_;
  // Nesting depths of a run (see SetRunOwner).
  struct RunDepths {
    int32_t blocks = 0;
    int32_t expressions = 0;
  };
  RunDepths ownDepths_;
  RunDepths* depths_ = &ownDepths_;
  VariableList globals_;
  TypeList types_;
  std::vector<std::unique_ptr<Routine>> routines_;
  std::vector<std::unique_ptr<Routine>> removedRoutines_;
  std::vector<Symbol> symbols_;
  Tokenizer parser_;
  std::vector<Routine*> callStack_;
  VariableList* currentLocals_ = nullptr;
  uint64_t nativeCalls_ = 0;
  HookAllowance* hookAllowance_ = nullptr;
  bool SpendHookAllowance() {
    if (!hookAllowance_ || hookAllowance_->statements <= 0) return false;
    --hookAllowance_->statements;
    return true;
  }
  void NoteNativeCall() {
    ++nativeCalls_;
    if (hookAllowance_) hookAllowance_->statements = 0;
  }
  struct AttachedUnit {
    std::unique_ptr<ScriptEngine> owned;  // set when this instance frees the unit
    ScriptEngine* unit;
  };
  std::vector<AttachedUnit> attached_;
  ScriptEngine* runOwner_ = nullptr;
  // Units of this run kept by this script (see KeepUnit), in load order.
  std::vector<std::unique_ptr<ScriptEngine>> keptUnits_;
  std::unordered_map<std::string, ScriptEngine*> keptUnitNames_;
  // Units detached by Cleanup; kept until the next SetText because this script's types and
  // routine records may still point into them.
  std::vector<std::unique_ptr<ScriptEngine>> retiredUnits_;
  ScriptError savedError_;
  // Operand stack shared by nested evaluations. Outer evaluations keep indexes into it, never
  // references: a nested evaluation may grow it, and applying operators erases from it.
  std::vector<Value> operands_;
  // Storage of finished routine calls' variable lists, reused by the next calls.
  std::vector<std::vector<VariableList::Entry>> spareLists_;
  friend class CalleeList;
  // Storage of finished method calls' SELF lists, the same way.
  std::vector<WithList> spareWithLists_;
  friend class SelfWithList;
  std::vector<uint8_t> operators_;
  Type* stdTypes_[29] = {};
  Type* varType_ = nullptr;
  Type* arrayType_ = nullptr;
  Type* tobjectType_ = nullptr;
  Type* nilType_ = nullptr;
};

}  // namespace quoll
