// Declaration processing: headers, uses, const/type/var sections, routine and class declarations,
// type expressions, and the registration of native routines and types from declaration texts.
#include <functional>
#include <new>
#include <stdexcept>
#include <utility>

#include "engine/compiled.h"
#include "engine/engine_internal.h"
#include "engine/textutil.h"

namespace quoll {

namespace {
using TK = TokenKind;

ErrorCode LexErrorCode(LexError e) {
  switch (e) {
    case LexError::Comment:
      return ErrorCode::CommentError;
    case LexError::String:
      return ErrorCode::StringError;
    case LexError::Char:
      return ErrorCode::CharError;
    default:
      return ErrorCode::SyntaxError;
  }
}

// Swaps a fresh parser in for the reading of a declaration text and back again afterwards.
class TextParserScope {
 public:
  TextParserScope(Tokenizer& slot, std::string_view text) : slot_(slot) {
    std::swap(slot_, saved_);
    LexErrorReport report;
    ok_ = slot_.SetText(text, report);
  }
  ~TextParserScope() { std::swap(slot_, saved_); }
  bool ok() const { return ok_; }

 private:
  Tokenizer& slot_;
  Tokenizer saved_;
  bool ok_ = false;
};
}  // namespace

void ScriptEngine::SetText(std::string_view text) {
  RefreshStackFloor();
  error_.Clear();
  moduleName_ = "MAIN";
  mainPos_ = -1;
  LexErrorReport report;
  // Positions are 32-bit offsets: a longer text is refused like a string beyond the limit.
  if (text.size() > kMaxStringLength) {
    parser_.SetText(std::string_view(), report);
    error_.code = ErrorCode::OutOfMemory;
    error_.position = 0;
    error_.module = moduleName_;
    return;
  }
  if (!parser_.SetText(text, report)) {
    error_.code = LexErrorCode(report.kind);
    error_.position = report.pos;
    error_.module = moduleName_;
    return;
  }
  try {
    ProcessDeclarations();
  } catch (const std::bad_alloc&) {
    SetError(ErrorCode::OutOfMemory);
    mainPos_ = -1;
  } catch (const std::length_error&) {
    SetError(ErrorCode::OutOfMemory);
    mainPos_ = -1;
  }
}

void ScriptEngine::ResetForText() {
  Cleanup();
  moduleName_ = "MAIN";
  isUnit_ = false;
  units_.clear();
  globals_.Clear();
  routines_.clear();
  removedRoutines_.clear();
  routineTypes_.clear();
  types_.Clear();
  symbols_.clear();
  compiledBodies_.clear();
  retiredBodies_.clear();
  freshStatements_.clear();
  retiredStatements_.clear();
  varSections_.clear();
  retiredUnits_.clear();
  std::fill(std::begin(stdTypes_), std::end(stdTypes_), nullptr);
}

void ScriptEngine::RegisterStandardTypes() {
  struct Std {
    const char* name;
    TypeCode code;
  };
  static const Std kStd[] = {
      {"BYTE", TypeCode::Byte},         {"SHORTINT", TypeCode::ShortInt},
      {"CHAR", TypeCode::Char},         {"WORD", TypeCode::Word},
      {"SMALLINT", TypeCode::SmallInt}, {"CARDINAL", TypeCode::Cardinal},
      {"LONGINT", TypeCode::LongInt},   {"INTEGER", TypeCode::TypeCopy},
      {"STRING", TypeCode::String},     {"REAL", TypeCode::Real},
      {"SINGLE", TypeCode::Single},     {"DOUBLE", TypeCode::Double},
      {"EXTENDED", TypeCode::Extended}, {"COMP", TypeCode::Comp},
      {"BOOLEAN", TypeCode::Boolean},   {"RESOURCEPOINTER", TypeCode::ResourcePointer},
      {"!ARRAY", TypeCode::Array},      {"!VAR", TypeCode::Reference},
      {"VARIANT", TypeCode::Variant},
  };
  for (const Std& s : kStd) {
    NameId name = Intern(s.name);
    Type* base = s.code == TypeCode::TypeCopy ? stdTypes_[static_cast<int>(TypeCode::LongInt)] : nullptr;
    Type* t = types_.Add(name, s.code, base);
    SymbolFor(name).type = t;
    if (s.code != TypeCode::TypeCopy) stdTypes_[static_cast<int>(s.code)] = t;
  }
  varType_ = stdTypes_[static_cast<int>(TypeCode::Reference)];
  arrayType_ = stdTypes_[static_cast<int>(TypeCode::Array)];
  nilType_ = types_.Add(kNoName, TypeCode::NilType);
  stdTypes_[static_cast<int>(TypeCode::NilType)] = nilType_;

  // The root class and its methods (their behaviour is the object support's).
  auto root = std::make_unique<Type>();
  root->name = names::TObject;
  root->code = TypeCode::Class;
  root->cls = std::make_unique<ClassType>();
  tobjectType_ = types_.AddPrepared(std::move(root));
  SymbolFor(names::TObject).type = tobjectType_;
  struct Method {
    NameId name;
    uint16_t flags;
    Type* result;
    NameId param;
  };
  const uint16_t pub = static_cast<uint16_t>(Visibility::Public);
  Type* str = stdTypes_[static_cast<int>(TypeCode::String)];
  // In the order of TObjectMethodIndex.
  const Method kMethods[] = {
      {names::Create, static_cast<uint16_t>(pub | kMethodConstructor), nullptr, kNoName},
      {names::Destroy, static_cast<uint16_t>(pub | kMethodVirtual | kMethodDestructor), nullptr, kNoName},
      {names::Free, pub, nullptr, kNoName},
      {Intern("CLASSNAMEIS"), pub, stdTypes_[static_cast<int>(TypeCode::Boolean)], Intern("FTYPE")},
      {Intern("CLASSNAME"), pub, str, kNoName},
      {Intern("GETANCESTORS"), pub, str, kNoName},
  };
  intptr_t index = 0;
  for (const Method& m : kMethods) {
    auto r = std::make_unique<Routine>();
    r->owner = this;
    r->hostData = index++;
    r->kind = RoutineKind::Native;
    r->methodFlags = m.flags;
    r->plainName = m.name;
    r->name = Intern("!" + NameText(m.name));
    r->decl.result = m.result;
    if (m.param != kNoName) r->decl.params.push_back({m.param, ParamMode::Value, str});
    r->cls = tobjectType_;
    r->native = TObjectMethod;
    tobjectType_->cls->methods.push_back(AddRoutine(std::move(r)));
  }
}

void ScriptEngine::ProcessDeclarations() {
  ResetForText();
  if (StackExhausted()) return;  // units using units, many files deep
  RegisterStandardTypes();

  auto addConstant = [&](NameId name, Type* type, int64_t value) {
    auto v = Value::Create(type);
    v->v.i = value;
    v->flags = kReadOnly;
    AddGlobal(name, std::move(v));
  };
  addConstant(names::True, StdType(TypeCode::Boolean), 1);
  addConstant(names::False, StdType(TypeCode::Boolean), 0);
  addConstant(names::Nil, nilType_, 0);

  units_.push_back(names::System);
  SymbolFor(names::System).unit = true;
  if (OnUses) {
    OnUses(host_, this, NameText(names::System));
    error_.Clear();
  }
  mainPos_ = -1;

  bool headerSeen = false;
  bool usesSeen = false;
  auto expect = [&](TK kind, quoll::ErrorCode code) {
    if (parser_.CurrTokenKind() == kind) return true;
    SetError(code);
    return false;
  };

  for (;;) {
    switch (parser_.CurrTokenKind()) {
      case TK::Program:
      case TK::Unit: {
        bool unit = parser_.CurrTokenKind() == TK::Unit;
        if (headerSeen || usesSeen) return SetError(ErrorCode::BeginExpected);
        parser_.Next();
        if (!expect(TK::Identifier, ErrorCode::IdentifierExpected)) return;
        moduleName_ = NameText(parser_.CurrTokenName());
        parser_.Next();
        if (!expect(TK::Semicolon, ErrorCode::SemicolonExpected)) return;
        parser_.Next();
        headerSeen = true;
        if (unit) isUnit_ = true;
        break;
      }
      case TK::Uses: {
        if (usesSeen) return SetError(ErrorCode::BeginExpected);
        usesSeen = true;
        parser_.Next();
        for (;;) {
          if (!expect(TK::Identifier, ErrorCode::IdentifierExpected)) return;
          NameId name = parser_.CurrTokenName();
          if (NameInUse(name, true)) return SetError(ErrorCode::DuplicateIdentifier);
          units_.push_back(name);
          SymbolFor(name).unit = true;
          if (!OnUses) return SetErrorParam(ErrorCode::UnknownIdentifier, NameText(name));
          ErrorCode code = OnUses(host_, this, NameText(name));
          if (code != ErrorCode::NoError) return SetError(this, code);
          if (error_.Failed()) return;
          parser_.Next();
          if (parser_.CurrTokenKind() == TK::Semicolon) {
            parser_.Next();
            break;
          }
          if (parser_.CurrTokenKind() == TK::Comma) {
            parser_.Next();
            continue;
          }
          return SetError(parser_.CurrTokenKind() == TK::EndOfText ? ErrorCode::UnexpectedEndOfFile
                                                                   : ErrorCode::SemicolonExpected);
        }
        break;
      }
      case TK::Const: {
        parser_.Next();
        do {
          if (!expect(TK::Identifier, ErrorCode::IdentifierExpected)) return;
          NameId name = parser_.CurrTokenName();
          if (NameInUse(name, true)) return SetError(ErrorCode::DuplicateIdentifier);
          parser_.Next();
          if (!expect(TK::Equal, ErrorCode::IsExpected)) return;
          parser_.Next();
          auto value = NewValue(varType_);
          if (!Evaluate(MainScope(), TK::Semicolon, *value)) return;
          value->flags |= kReadOnly;
          AddGlobal(name, std::move(value));
          parser_.Next();  // the ';' after the expression
        } while (parser_.CurrTokenKind() == TK::Identifier);
        break;
      }
      case TK::Type: {
        parser_.Next();
        do {
          if (!expect(TK::Identifier, ErrorCode::IdentifierExpected)) return;
          NameId name = parser_.CurrTokenName();
          if (NameInUse(name, true)) return SetError(ErrorCode::DuplicateIdentifier);
          parser_.Next();
          if (!expect(TK::Equal, ErrorCode::IsExpected)) return;
          parser_.Next();
          if (!ReadType(name, true)) return;
          if (!expect(TK::Semicolon, ErrorCode::SemicolonExpected)) return;
          parser_.Next();
        } while (parser_.CurrTokenKind() == TK::Identifier);
        break;
      }
      case TK::Var:
        parser_.Next();
        if (!ReadVarSection(globals_, true)) return;
        break;
      case TK::Procedure:
      case TK::Function:
      case TK::Constructor:
      case TK::Destructor:
        if (!ReadRoutineDeclaration()) return;
        break;
      case TK::Begin:
        if (!CheckUnsatisfiedMethods()) return;
        mainPos_ = parser_.CurrTokenPos();
        return;
      case TK::End:
        if (!isUnit_) return SetError(ErrorCode::BeginExpected);
        if (!CheckUnsatisfiedMethods()) return;
        mainPos_ = parser_.CurrTokenPos();
        return;
      case TK::EndOfText:
        return SetError(ErrorCode::UnexpectedEndOfFile);
      default:
        return SetError(ErrorCode::BeginExpected);
    }
  }
}

bool ScriptEngine::CheckUnsatisfiedMethods() {
  for (const auto& r : routines_)
    if (r->kind == RoutineKind::Script && r->entryPos == -1 && r->owner == this) {
      SetErrorParam(ErrorCode::UnsatisfiedForward,
                    (r->cls ? NameText(r->cls->name) : std::string()) + "." + NameText(r->plainName));
      return false;
    }
  return true;
}

// VAR items `A, B: type;` into a list: globals, or the locals of a routine being called.
bool ScriptEngine::ReadVarSection(VariableList& list, bool globals) {
  do {
    std::vector<NameId> names;
    for (;;) {
      if (parser_.CurrTokenKind() == TK::EndOfText) return Fail(ErrorCode::UnexpectedEndOfFile);
      if (parser_.CurrTokenKind() != TK::Identifier) return Fail(ErrorCode::IdentifierExpected);
      NameId name = parser_.CurrTokenName();
      bool taken = NameInUse(name, false) || list.Find(name) >= 0;
      for (NameId n : names) taken = taken || n == name;
      if (taken) return Fail(ErrorCode::DuplicateIdentifier);
      names.push_back(name);
      parser_.Next();
      if (parser_.CurrTokenKind() == TK::Comma) {
        parser_.Next();
        continue;
      }
      if (parser_.CurrTokenKind() == TK::EndOfText) return Fail(ErrorCode::UnexpectedEndOfFile);
      if (parser_.CurrTokenKind() != TK::Colon) return Fail(ErrorCode::ColonExpected);
      parser_.Next();
      break;
    }
    Type* type = ReadType(kNoName, false);
    if (!type) return false;
    for (NameId name : names) {
      if (globals)
        AddGlobal(name, Value::Create(type));
      else
        list.Add(name, Value::Create(type));
    }
    if (parser_.CurrTokenKind() == TK::EndOfText) return Fail(ErrorCode::UnexpectedEndOfFile);
    if (parser_.CurrTokenKind() != TK::Semicolon) return Fail(ErrorCode::SemicolonExpected);
    parser_.Next();
  } while (parser_.CurrTokenKind() == TK::Identifier);
  return true;
}

// `( [var|const] a, b: type; ... )` and, for a function, `: result`.
bool ScriptEngine::ReadParams(ParamList& decl, bool isFunction, NameId routineName, bool checkNames) {
  if (parser_.CurrTokenKind() == TK::OpenRound) {
    parser_.Next();
    if (parser_.CurrTokenKind() == TK::CloseRound) {
      parser_.Next();
    } else {
      for (;;) {
        ParamMode mode = ParamMode::Value;
        if (parser_.CurrTokenKind() == TK::Var) {
          mode = ParamMode::Var;
          parser_.Next();
        } else if (parser_.CurrTokenKind() == TK::Const) {
          mode = ParamMode::Const;
          parser_.Next();
        }
        size_t groupStart = decl.params.size();
        for (;;) {
          if (parser_.CurrTokenKind() != TK::Identifier) return Fail(ErrorCode::IdentifierExpected);
          NameId name = parser_.CurrTokenName();
          bool taken = false;
          for (const ParamDef& p : decl.params) taken = taken || p.name == name;
          if (checkNames)
            taken = taken || NameInUse(name, true) || name == routineName ||
                    (isFunction && name == names::Result);
          if (taken) return Fail(ErrorCode::DuplicateIdentifier);
          decl.params.push_back({name, mode, nullptr});
          parser_.Next();
          if (parser_.CurrTokenKind() == TK::Comma) {
            parser_.Next();
            continue;
          }
          if (parser_.CurrTokenKind() == TK::Colon) {
            parser_.Next();
            break;
          }
          return Fail(ErrorCode::CommaExpected);
        }
        Type* type = ReadType(kNoName, false);
        if (!type) return false;
        for (size_t i = groupStart; i < decl.params.size(); ++i) decl.params[i].type = type;
        if (parser_.CurrTokenKind() == TK::Semicolon) {
          parser_.Next();
          continue;
        }
        if (parser_.CurrTokenKind() == TK::CloseRound) {
          parser_.Next();
          break;
        }
        return Fail(ErrorCode::CommaExpected);
      }
    }
  }
  if (isFunction) {
    if (parser_.CurrTokenKind() != TK::Colon) return Fail(ErrorCode::ColonExpected);
    parser_.Next();
    decl.result = ReadType(kNoName, false);
    if (!decl.result) return false;
  }
  return true;
}

bool ScriptEngine::ReadRoutineDeclaration() {
  TK headKind = parser_.CurrTokenKind();
  bool isFunction = headKind == TK::Function;
  parser_.Next();
  if (parser_.CurrTokenKind() != TK::Identifier) return Fail(ErrorCode::IdentifierExpected);
  NameId name = parser_.CurrTokenName();
  Routine* method = nullptr;
  if (!NameInUse(name, true)) {
    if (headKind == TK::Constructor || headKind == TK::Destructor) return Fail(ErrorCode::IdentifierExpected);
  } else {
    Type* cls = nullptr;
    const Symbol* s = FindSymbol(name);
    if (s && s->type && !s->routine) cls = s->type->Resolved();
    if (!cls || cls->code != TypeCode::Class || !cls->cls) return Fail(ErrorCode::DuplicateIdentifier);
    parser_.Next();
    if (parser_.CurrTokenKind() != TK::Period) return Fail(ErrorCode::PeriodExpected);
    parser_.Next();
    if (parser_.CurrTokenKind() != TK::Identifier) return Fail(ErrorCode::IdentifierExpected);
    name = parser_.CurrTokenName();
    for (Routine* m : cls->cls->methods)
      if (m->plainName == name) method = m;
    if (!method) return Fail(ErrorCode::UnknownIdentifier, NameText(name));
    if (method->entryPos != -1 || method->kind != RoutineKind::Script)
      return Fail(ErrorCode::DuplicateIdentifier);
    bool kindMatches = headKind == TK::Constructor  ? (method->methodFlags & kMethodConstructor) != 0
                       : headKind == TK::Destructor ? (method->methodFlags & kMethodDestructor) != 0
                       : headKind == TK::Procedure
                           ? method->decl.result == nullptr &&
                                 !(method->methodFlags & (kMethodConstructor | kMethodDestructor))
                           : method->decl.result != nullptr;
    if (!kindMatches) return Fail(ErrorCode::ParameterError);
  }
  parser_.Next();
  ParamList decl;
  if (!ReadParams(decl, isFunction, name, true)) return false;
  if (parser_.CurrTokenKind() != TK::Semicolon) return Fail(ErrorCode::SemicolonExpected);
  parser_.Next();
  int32_t bodyPos = parser_.CurrTokenPos();
  int32_t bodyCursor = parser_.Cursor();
  Routine* routine = method;
  if (method) {
    if (!(decl == method->decl)) return Fail(ErrorCode::ParameterError);
    method->entryPos = bodyPos;
    method->entryCursor = bodyCursor;
  } else {
    auto r = std::make_unique<Routine>();
    r->owner = this;
    r->kind = RoutineKind::Script;
    r->name = r->plainName = name;
    r->decl = std::move(decl);
    r->entryPos = bodyPos;
    r->entryCursor = bodyCursor;
    routine = AddRoutine(std::move(r));
  }

  if (parser_.CurrTokenKind() == TK::External) {
    if (method) return Fail(ErrorCode::BeginExpected);
    return ReadExternal(routine);
  }
  if (parser_.CurrTokenKind() == TK::Var) {
    while (parser_.CurrTokenKind() != TK::Begin) {
      if (parser_.CurrTokenKind() == TK::EndOfText) return Fail(ErrorCode::UnexpectedEndOfFile);
      parser_.Next();
    }
  }
  if (!RunBlock(MainScope(), true)) return false;
  if (parser_.CurrTokenKind() != TK::Semicolon) return Fail(ErrorCode::SemicolonExpected);
  parser_.Next();
  return true;
}

// `external 'lib' [name 'import'] ; [convention ;]`: read in full, so its own mistakes are
// reported, but no host binds external routines: the declaration ends with "unknown identifier"
// naming the routine. Scripts bind library routines with MapLibraryProc instead.
bool ScriptEngine::ReadExternal(Routine* routine) {
  parser_.Next();
  auto readName = [&](std::string& out) -> bool {
    if (parser_.CurrTokenKind() == TK::String) {
      std::string text = parser_.CurrTokenText();
      out = text.substr(1, text.size() - 2);
      parser_.Next();
      return true;
    }
    if (parser_.CurrTokenKind() == TK::Identifier) {
      const Symbol* s = FindSymbol(parser_.CurrTokenName());
      Value* g = s && s->global >= 0 ? globals_.Get(s->global)->Deref() : nullptr;
      if (!g) return Fail(ErrorCode::UnknownIdentifier, parser_.CurrTokenText());
      if (g->code() != TypeCode::String) return Fail(ErrorCode::StringExpected);
      out = g->str;
      parser_.Next();
      return true;
    }
    return Fail(ErrorCode::StringExpected);
  };
  std::string library, import;
  if (!readName(library)) return false;
  if (parser_.CurrTokenKind() == TK::Identifier && parser_.CurrTokenName() == names::Name) {
    parser_.Next();
    if (!readName(import)) return false;
  }
  if (parser_.CurrTokenKind() != TK::Semicolon) return Fail(ErrorCode::SemicolonExpected);
  parser_.Next();
  if (parser_.CurrTokenKind() == TK::Identifier) {  // the calling convention
    parser_.Next();
    if (parser_.CurrTokenKind() != TK::Semicolon) return Fail(ErrorCode::SemicolonExpected);
    parser_.Next();
  }
  return Fail(ErrorCode::UnknownIdentifier, NameText(routine->name));
}

Type* ScriptEngine::ReadType(NameId name, bool classesAllowed) {
  if (StackExhausted()) return nullptr;
  // Values are created, copied and freed recursively along their type's nesting, so type
  // expressions nest only so deep: beyond that the text ends with "out of memory".
  if (typeNesting_ >= kMaxTypeNesting) return Fail(ErrorCode::OutOfMemory);
  ++typeNesting_;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{typeNesting_};
  auto registerNamed = [&](Type* t) {
    if (t && name != kNoName) SymbolFor(name).type = t;
    return t;
  };
  switch (parser_.CurrTokenKind()) {
    case TK::Procedure:
    case TK::Function: {
      bool isFunction = parser_.CurrTokenKind() == TK::Function;
      parser_.Next();
      auto desc = std::make_unique<ProcedureType>();
      if (!ReadParams(desc->decl, isFunction, kNoName, false)) return nullptr;
      if (parser_.CurrTokenKind() == TK::Of) {
        parser_.Next();
        if (parser_.CurrTokenKind() != TK::Identifier || parser_.CurrTokenName() != names::Object)
          return Fail(ErrorCode::ObjectExpected);
        parser_.Next();
        desc->ofObject = true;
      }
      auto t = std::make_unique<Type>();
      t->name = name;
      t->code = TypeCode::ProcType;
      t->proc = std::move(desc);
      return registerNamed(types_.AddPrepared(std::move(t)));
    }
    case TK::OpenRound: {
      parser_.Next();
      std::vector<NameId> values;
      for (;;) {
        if (parser_.CurrTokenKind() != TK::Identifier) return Fail(ErrorCode::IdentifierExpected);
        NameId v = parser_.CurrTokenName();
        bool taken = NameInUse(v, true) || v == name;
        for (NameId n : values) taken = taken || n == v;
        if (taken) return Fail(ErrorCode::DuplicateIdentifier);
        values.push_back(v);
        parser_.Next();
        if (parser_.CurrTokenKind() == TK::Comma) {
          parser_.Next();
          continue;
        }
        if (parser_.CurrTokenKind() == TK::CloseRound) break;
        return Fail(ErrorCode::CloseRoundExpected);
      }
      parser_.Next();
      Type* t = types_.Add(name, TypeCode::Enum, nullptr, static_cast<int32_t>(values.size()) - 1);
      if (!t) return Fail(ErrorCode::DuplicateIdentifier);
      registerNamed(t);
      for (size_t i = 0; i < values.size(); ++i) {
        auto v = Value::Create(t);
        v->v.i = static_cast<int64_t>(i);
        v->flags = kReadOnly;
        AddGlobal(values[i], std::move(v));
      }
      return t;
    }
    case TK::Class:
      if (!classesAllowed) return Fail(ErrorCode::ClassNotAllowedHere);
      return ReadClass(name);
    case TK::Array: {
      parser_.Next();
      if (parser_.CurrTokenKind() != TK::Of) return Fail(ErrorCode::OfExpected);
      parser_.Next();
      Type* elem;
      if (parser_.CurrTokenKind() == TK::Const) {
        elem = varType_;
        parser_.Next();
      } else {
        elem = ReadType(kNoName, false);
        if (!elem) return nullptr;
      }
      Type* t = types_.Add(name, TypeCode::Array, elem);
      if (!t) return Fail(ErrorCode::DuplicateIdentifier);
      return registerNamed(t);
    }
    case TK::Record: {
      parser_.Next();
      auto desc = std::make_unique<RecordType>();
      while (parser_.CurrTokenKind() != TK::End) {
        size_t groupStart = desc->fields.size();
        for (;;) {
          if (parser_.CurrTokenKind() != TK::Identifier) return Fail(ErrorCode::IdentifierExpected);
          NameId f = parser_.CurrTokenName();
          if (desc->Find(f) >= 0) return Fail(ErrorCode::DuplicateIdentifier);
          desc->fields.push_back({f, nullptr, Visibility::Public});
          parser_.Next();
          if (parser_.CurrTokenKind() == TK::Comma) {
            parser_.Next();
            continue;
          }
          if (parser_.CurrTokenKind() != TK::Colon) return Fail(ErrorCode::ColonExpected);
          parser_.Next();
          break;
        }
        Type* ft = ReadType(kNoName, false);
        if (!ft) return nullptr;
        for (size_t i = groupStart; i < desc->fields.size(); ++i) desc->fields[i].type = ft;
        if (parser_.CurrTokenKind() == TK::Semicolon)
          parser_.Next();
        else if (parser_.CurrTokenKind() != TK::End)
          return Fail(ErrorCode::SemicolonExpected);
      }
      parser_.Next();
      auto t = std::make_unique<Type>();
      t->name = name;
      t->code = TypeCode::Record;
      t->record = std::move(desc);
      return registerNamed(types_.AddPrepared(std::move(t)));
    }
    case TK::Identifier: {
      Type* found = TypeByName(parser_.CurrTokenName());
      if (!found) return Fail(ErrorCode::UnknownIdentifier, parser_.CurrTokenText());
      parser_.Next();
      if (name == kNoName) return found;
      if (found->name != kNoName) return registerNamed(types_.Add(name, TypeCode::TypeCopy, found));
      types_.Name(found, name);
      return registerNamed(found);
    }
    default:
      return Fail(ErrorCode::IdentifierExpected);
  }
}

Type* ScriptEngine::LookupClassType(bool& failed) {
  failed = true;
  if (parser_.CurrTokenKind() != TK::Identifier) return Fail(ErrorCode::IdentifierExpected);
  const Symbol* s = FindSymbol(parser_.CurrTokenName());
  Type* t = s && s->type ? s->type->Resolved() : nullptr;
  if (!t) return Fail(ErrorCode::UnknownIdentifier, parser_.CurrTokenText());
  if (t->code != TypeCode::Class) return Fail(ErrorCode::ClassTypeExpected);
  failed = false;
  parser_.Next();
  return t;
}

Type* ScriptEngine::ReadClass(NameId name) {
  parser_.Next();
  bool failed = false;
  if (parser_.CurrTokenKind() == TK::Of) {
    parser_.Next();
    Type* cls = LookupClassType(failed);
    if (failed) return nullptr;
    Type* t = types_.Add(name, TypeCode::ClassRef, cls);
    if (!t) return Fail(ErrorCode::DuplicateIdentifier);
    if (name != kNoName) SymbolFor(name).type = t;
    return t;
  }
  Type* ancestor = tobjectType_;
  if (parser_.CurrTokenKind() == TK::OpenRound) {
    parser_.Next();
    ancestor = LookupClassType(failed);
    if (failed) return nullptr;
    if (parser_.CurrTokenKind() != TK::CloseRound) return Fail(ErrorCode::CloseRoundExpected);
    parser_.Next();
  }
  auto rec = std::make_unique<Type>();
  rec->name = name;
  rec->code = TypeCode::Class;
  rec->cls = std::make_unique<ClassType>();
  ClassType& desc = *rec->cls;
  desc.ancestor = ancestor;
  desc.inheritedPropCount = ancestor->cls->PropertyCount();
  desc.inheritedFieldCount = ancestor->cls->FieldCount();
  Type* cls = types_.AddPrepared(std::move(rec));
  if (!cls) return Fail(ErrorCode::DuplicateIdentifier);
  if (name != kNoName) SymbolFor(name).type = cls;

  auto memberTaken = [&](NameId n) {
    if (n == names::Self) return true;
    for (const FieldDef& f : desc.fields)
      if (f.name == n) return true;
    for (const PropertyDef& p : desc.properties)
      if (p.name == n) return true;
    for (const Routine* m : desc.methods)
      if (m->plainName == n) return true;
    return false;
  };

  Visibility visibility = Visibility::Public;
  bool afterMethod = false;
  for (;;) {
    switch (parser_.CurrTokenKind()) {
      case TK::Private:
      case TK::Public:
      case TK::Published:
      case TK::Protected:
        visibility = parser_.CurrTokenKind() == TK::Private     ? Visibility::Private
                     : parser_.CurrTokenKind() == TK::Protected ? Visibility::Protected
                                                                : Visibility::Public;
        afterMethod = false;
        parser_.Next();
        break;
      case TK::End:
        parser_.Next();
        return cls;
      case TK::Identifier: {
        if (afterMethod) return Fail(ErrorCode::EndExpected);
        size_t groupStart = desc.fields.size();
        for (;;) {
          if (parser_.CurrTokenKind() != TK::Identifier) return Fail(ErrorCode::IdentifierExpected);
          NameId f = parser_.CurrTokenName();
          if (memberTaken(f)) return Fail(ErrorCode::DuplicateIdentifier);
          desc.fields.push_back({f, nullptr, visibility});
          parser_.Next();
          if (parser_.CurrTokenKind() == TK::Comma) {
            parser_.Next();
            continue;
          }
          if (parser_.CurrTokenKind() != TK::Colon) return Fail(ErrorCode::ColonExpected);
          parser_.Next();
          break;
        }
        Type* ft = ReadType(kNoName, false);
        if (!ft) return nullptr;
        for (size_t i = groupStart; i < desc.fields.size(); ++i) desc.fields[i].type = ft;
        if (parser_.CurrTokenKind() != TK::Semicolon) return Fail(ErrorCode::SemicolonExpected);
        parser_.Next();
        break;
      }
      case TK::Procedure:
      case TK::Function:
      case TK::Constructor:
      case TK::Destructor: {
        TK head = parser_.CurrTokenKind();
        parser_.Next();
        if (parser_.CurrTokenKind() != TK::Identifier) return Fail(ErrorCode::IdentifierExpected);
        NameId m = parser_.CurrTokenName();
        if (memberTaken(m)) return Fail(ErrorCode::DuplicateIdentifier);
        parser_.Next();
        auto r = std::make_unique<Routine>();
        r->owner = this;
        r->kind = RoutineKind::Script;
        r->plainName = m;
        r->name = Intern("!" + NameText(m));
        r->cls = cls;
        r->methodFlags = static_cast<uint16_t>(visibility);
        if (head == TK::Constructor) r->methodFlags |= kMethodConstructor;
        if (head == TK::Destructor) r->methodFlags |= kMethodDestructor;
        if (!ReadParams(r->decl, head == TK::Function, m, !libraryText_)) return nullptr;
        if (parser_.CurrTokenKind() != TK::Semicolon) return Fail(ErrorCode::SemicolonExpected);
        parser_.Next();
        if (parser_.CurrTokenKind() == TK::Virtual) {
          r->methodFlags |= kMethodVirtual;
          parser_.Next();
          if (parser_.CurrTokenKind() != TK::Semicolon) return Fail(ErrorCode::SemicolonExpected);
          parser_.Next();
        } else if (parser_.CurrTokenKind() == TK::Override) {
          if (!CanOverride(cls, *r)) return Fail(ErrorCode::CannotOverride);
          r->methodFlags |= kMethodOverride;
          parser_.Next();
          if (parser_.CurrTokenKind() != TK::Semicolon) return Fail(ErrorCode::SemicolonExpected);
          parser_.Next();
        }
        desc.methods.push_back(AddRoutine(std::move(r)));
        afterMethod = true;
        break;
      }
      case TK::Property:
        if (!ReadPropertyDeclaration(cls, visibility, memberTaken)) return nullptr;
        break;
      default:
        return Fail(ErrorCode::EndExpected);
    }
  }
}

// The first ancestor with a method of the same name decides: same declaration, same flags apart
// from virtual/override, and itself virtual or an override.
bool ScriptEngine::CanOverride(Type* cls, const Routine& method) {
  const uint16_t vo = kMethodVirtual | kMethodOverride;
  for (Type* a = cls->cls->ancestor; a; a = a->cls->ancestor)
    for (Routine* m : a->cls->methods)
      if (m->plainName == method.plainName)
        return m->decl == method.decl && (m->methodFlags & ~vo) == (method.methodFlags & ~vo) &&
               (m->methodFlags & vo) != 0;
  return false;
}

// `property Name: Type [read X] [write Y];` with accessors declared in the class itself.
bool ScriptEngine::ReadPropertyDeclaration(Type* cls, Visibility visibility,
                                           const std::function<bool(NameId)>& memberTaken) {
  ClassType& desc = *cls->cls;
  parser_.Next();
  if (parser_.CurrTokenKind() != TK::Identifier) return Fail(ErrorCode::IdentifierExpected);
  PropertyDef prop;
  prop.owner = cls;
  prop.name = parser_.CurrTokenName();
  if (memberTaken(prop.name)) return Fail(ErrorCode::DuplicateIdentifier);
  parser_.Next();
  if (parser_.CurrTokenKind() != TK::Colon) return Fail(ErrorCode::ColonExpected);
  parser_.Next();
  prop.type = parser_.CurrTokenKind() == TK::Identifier ? TypeByName(parser_.CurrTokenName()) : nullptr;
  if (!prop.type) return Fail(ErrorCode::UnknownIdentifier, parser_.CurrTokenText());
  parser_.Next();
  prop.flags = static_cast<uint16_t>(static_cast<uint16_t>(visibility) << 4);
  for (int pass = 0; pass < 2; ++pass) {
    NameId which = pass == 0 ? names::Read : names::Write;
    if (parser_.CurrTokenKind() != TK::Identifier || parser_.CurrTokenName() != which) continue;
    parser_.Next();
    if (parser_.CurrTokenKind() != TK::Identifier) return Fail(ErrorCode::IdentifierExpected);
    NameId accessor = parser_.CurrTokenName();
    Routine* method = nullptr;
    for (Routine* m : desc.methods)
      if (m->plainName == accessor) method = m;
    if (method) {
      bool fits = pass == 0 ? method->decl.result && method->decl.result->Resolved() == prop.type &&
                                  method->decl.params.empty()
                            : !method->decl.result && method->decl.params.size() == 1 &&
                                  method->decl.params[0].type->Resolved() == prop.type;
      if (!fits) return Fail(ErrorCode::TypeMismatch);
      if (pass == 0)
        prop.readMethod = method;
      else
        prop.writeMethod = method;
      prop.flags |= pass == 0 ? (kPropReadable | kPropReadMethod) : (kPropWritable | kPropWriteMethod);
    } else {
      int field = -1;
      for (size_t i = 0; i < desc.fields.size(); ++i)
        if (desc.fields[i].name == accessor) field = static_cast<int>(i);
      if (field < 0) return Fail(ErrorCode::UnknownIdentifier, NameText(accessor));
      if (desc.fields[static_cast<size_t>(field)].type->Resolved() != prop.type)
        return Fail(ErrorCode::TypeMismatch);
      if (pass == 0)
        prop.readField = field;
      else
        prop.writeField = field;
      prop.flags |= pass == 0 ? kPropReadable : kPropWritable;
    }
    parser_.Next();
  }
  if (!(prop.flags & (kPropReadable | kPropWritable))) return Fail(ErrorCode::CannotReadOrWriteProperty);
  if (parser_.CurrTokenKind() != TK::Semicolon) return Fail(ErrorCode::SemicolonExpected);
  parser_.Next();
  desc.properties.push_back(prop);
  return true;
}

// ---- registration from declaration texts ----

Routine* ScriptEngine::AddFunction(NativeFunction entry, std::string_view declaration, intptr_t hostData) {
  RefreshStackFloor();
  TextParserScope scope(parser_, declaration);
  if (!scope.ok()) return nullptr;
  bool isFunction = parser_.CurrTokenKind() != TK::Procedure;
  parser_.Next();
  NameId name = parser_.CurrTokenName();
  if (name == kNoName) name = InternUpper(parser_.CurrTokenText());
  parser_.Next();
  ParamList decl;
  if (parser_.CurrTokenKind() == TK::OpenRound) {
    parser_.Next();
    for (;;) {
      ParamMode mode = ParamMode::Value;
      if (parser_.CurrTokenKind() == TK::Var) {
        mode = ParamMode::Var;
        parser_.Next();
      } else if (parser_.CurrTokenKind() == TK::Const) {
        mode = ParamMode::Const;
        parser_.Next();
      }
      size_t groupStart = decl.params.size();
      for (;;) {
        if (parser_.CurrTokenKind() != TK::Identifier) return nullptr;
        decl.params.push_back({parser_.CurrTokenName(), mode, nullptr});
        parser_.Next();
        if (parser_.CurrTokenKind() == TK::Comma) {
          parser_.Next();
          continue;
        }
        if (parser_.CurrTokenKind() != TK::Colon) return nullptr;
        parser_.Next();
        break;
      }
      Type* type = ReadType(kNoName, false);
      if (!type) return nullptr;
      for (size_t i = groupStart; i < decl.params.size(); ++i) decl.params[i].type = type;
      bool close = parser_.CurrTokenKind() == TK::CloseRound;
      parser_.Next();
      if (close) break;
    }
  }
  if (isFunction) {
    parser_.Next();  // the ':'
    decl.result = ReadType(kNoName, false);
    if (!decl.result) return nullptr;
  }
  auto r = std::make_unique<Routine>();
  r->owner = this;
  r->kind = RoutineKind::Native;
  r->name = r->plainName = name;
  r->decl = std::move(decl);
  r->hostData = hostData;
  r->native = entry;
  return AddRoutine(std::move(r));
}

Value* ScriptEngine::AddVariable(std::string_view name, std::string_view typeText, bool readOnly) {
  Type* type;
  RefreshStackFloor();
  {
    TextParserScope scope(parser_, typeText);
    type = scope.ok() ? ReadType(kNoName, false) : nullptr;
  }
  if (!type) {
    error_.Clear();
    return nullptr;
  }
  auto v = Value::Create(type);
  if (readOnly) v->flags |= kReadOnly;
  Value* raw = v.get();
  AddGlobal(InternUpper(name), std::move(v));
  return raw;
}

Type* ScriptEngine::AddTypeText(std::string_view name, std::string_view typeText) {
  Type* type;
  RefreshStackFloor();
  {
    TextParserScope scope(parser_, typeText);
    // A library's class text names its methods' parameters as it likes: SetBounds(Left, ...)
    // may have a parameter named like the SYSTEM function Left.
    const bool outer = libraryText_;
    libraryText_ = true;
    type = scope.ok() ? ReadType(InternUpper(name), true) : nullptr;
    libraryText_ = outer;
  }
  if (!type) error_.Clear();
  return type;
}

Type* ScriptEngine::AddClass(std::string_view name, std::string_view classText, NativeFunction entry) {
  Type* type = AddTypeText(name, classText);
  if (!type || type->code != TypeCode::Class || !type->cls) return type;
  intptr_t index = 0;
  for (Routine* m : type->cls->methods) {
    m->kind = RoutineKind::Native;
    m->native = entry;
    m->hostData = index++;  // the entry switches on the method's place in the class text
  }
  return type;
}

Type* ScriptEngine::AddReferenceType(std::string_view name) {
  NameId id = InternUpper(name);
  Type* t = types_.Add(id, TypeCode::Reference);
  if (t) SymbolFor(id).type = t;
  return t;
}

Type* ScriptEngine::AddNativeObjectType(std::string_view name, const void* nativeClass) {
  auto t = std::make_unique<Type>();
  t->name = InternUpper(name);
  t->code = TypeCode::NativeObject;
  t->nativeClass = nativeClass;
  Type* added = types_.AddPrepared(std::move(t));
  if (added) SymbolFor(added->name).type = added;
  return added;
}

}  // namespace quoll
