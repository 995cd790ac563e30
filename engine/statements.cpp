// The block executor: runs (or skips) blocks and statements by walking the token list.
#include <new>
#include <stdexcept>

#include "engine/compiled.h"
#include "engine/engine_internal.h"

namespace quoll {

namespace {
using TK = TokenKind;

// Lowers the nesting depth on every way out of a block.
struct DepthRelease {
  int32_t& depth;
  ~DepthRelease() { --depth; }
};

bool IsLoopExit(TK k) {
  return k == TK::Break || k == TK::Continue;
}
}  // namespace

#define QUOLL_ENTER_BLOCK()        \
  if (!EnterBlock()) return false; \
  DepthRelease depthRelease_ {     \
    depths_->blocks                \
  }

bool ScriptEngine::EnterBlock() {
  int32_t& blocks = depths_->blocks;
  if (++blocks > MaxBeginNesting) {
    --blocks;
    SetError(ErrorCode::OutOfMemory);
    return false;
  }
  if (StackExhausted()) {
    --blocks;
    return false;
  }
  return true;
}

void ScriptEngine::RunMain() {
  RefreshStackFloor();
  callStack_.clear();
  currentLocals_ = nullptr;
  if (mainPos_ == -1) return;
  error_.Clear();
  parser_.SeekTo(mainPos_);
  try {
    bool ok = RunBody(MainScope(), nullptr);
    if (ok && parser_.CurrTokenKind() != TK::Period) SetError(ErrorCode::PeriodExpected);
  } catch (const std::bad_alloc&) {
    // A script that exhausts memory ends with "out of memory" rather than ending the program.
    SetError(ErrorCode::OutOfMemory);
  } catch (const std::length_error&) {
    SetError(ErrorCode::OutOfMemory);
  }
  if (error_.code == ErrorCode::ExitSignal) error_.Clear();
  callStack_.clear();
  currentLocals_ = nullptr;
  depths_->blocks = 0;
  depths_->expressions = 0;
}

bool ScriptEngine::CallHook(int32_t pos) {
  if (!OnRunLine) return true;
  if (SpendHookAllowance()) {
    if (hookAllowance_->tracked == this) hookAllowance_->quietPosition = pos;
    return true;
  }
  ErrorCode code = OnRunLine(host_, this, pos);
  if (code != ErrorCode::NoError) {
    SetError(this, code);
    error_.endsRun = code == ErrorCode::ExitSignal;
  }
  return !error_.Failed();
}

bool ScriptEngine::RunBlock(Scope scope, bool skip) {
  TK k = parser_.CurrTokenKind();
  if (skip) {
    switch (k) {
      case TK::Begin:
      case TK::Case:
      case TK::Repeat:
      case TK::Try:
      case TK::Except:
      case TK::Finally:
        return SkipBlock();
      default:
        return SkipStatement();
    }
  }
  switch (k) {
    case TK::Repeat:
      return RunBlockOfKind(scope, BlockKind::Repeat);
    case TK::Try:
      return RunBlockOfKind(scope, BlockKind::Try);
    case TK::Begin:
    case TK::Except:
    case TK::Finally:
      return RunBlockOfKind(scope, BlockKind::Begin);
    default:
      return RunBlockOfKind(scope, BlockKind::Single);
  }
}

// A branch or loop body: a begin block, or one statement (which may itself be a REPEAT or TRY
// statement).
bool ScriptEngine::RunStatementOrBlock(Scope scope) {
  return RunBlockOfKind(scope, parser_.CurrTokenKind() == TK::Begin ? BlockKind::Begin : BlockKind::Single);
}

bool ScriptEngine::SkipStatementOrBlock() {
  return parser_.CurrTokenKind() == TK::Begin ? SkipBlock() : SkipStatement();
}

bool ScriptEngine::RunBlockOfKind(Scope scope, BlockKind kind) {
  QUOLL_ENTER_BLOCK();
  if (kind != BlockKind::Single) parser_.Next();
  return RunBlockLoop(scope, kind);
}

// One statement that starts at the cursor (the block loop's statement forms).
bool ScriptEngine::WalkStatement(Scope scope) {
  switch (parser_.CurrTokenKind()) {
    case TK::Begin:
      return RunBlockOfKind(scope, BlockKind::Begin);
    case TK::If:
      return RunIf(scope);
    case TK::Case:
      return RunCase(scope);
    case TK::For:
      return RunFor(scope);
    case TK::While:
      return RunWhile(scope);
    case TK::Repeat:
      return RunRepeat(scope);
    case TK::With:
      return RunWith(scope);
    case TK::Try:
      return RunTry(scope);
    default:
      return RunSimpleStatement(scope);
  }
}

// The statements of a block that has been entered, from the cursor to the token that ends it. A
// compiled block hands the rest of itself over to this loop when a statement ended elsewhere
// than its translation expected.
bool ScriptEngine::RunBlockLoop(Scope scope, BlockKind kind) {
  const bool single = kind == BlockKind::Single;
  for (;;) {
    switch (parser_.CurrTokenKind()) {
      case TK::EndOfText:
        SetError(ErrorCode::UnexpectedEndOfFile);
        return false;
      case TK::Semicolon:
        if (single) return true;
        parser_.Next();
        break;
      // WalkStatement's forms, called directly: every walked statement passes here.
      case TK::Begin:
        if (!RunBlockOfKind(scope, BlockKind::Begin)) return false;
        break;
      case TK::If:
        if (!RunIf(scope)) return false;
        break;
      case TK::Case:
        if (!RunCase(scope)) return false;
        break;
      case TK::For:
        if (!RunFor(scope)) return false;
        break;
      case TK::While:
        if (!RunWhile(scope)) return false;
        break;
      case TK::Repeat:
        if (!RunRepeat(scope)) return false;
        break;
      case TK::With:
        if (!RunWith(scope)) return false;
        break;
      case TK::Try:
        if (!RunTry(scope)) return false;
        break;
      case TK::Else:
        if (single) return true;
        SetError(ErrorCode::ErrorInStatement);
        return false;
      case TK::End:
        switch (kind) {
          case BlockKind::Begin:
            parser_.Next();
            return true;
          case BlockKind::Single:
            return true;
          case BlockKind::Repeat:
            SetError(ErrorCode::UntilExpected);
            return false;
          case BlockKind::Try:
            SetError(ErrorCode::ExceptExpected);
            return false;
        }
        return false;
      case TK::Until:
        switch (kind) {
          case BlockKind::Repeat:
          case BlockKind::Single:
            return true;  // `repeat if x then y until z` ends the branch here
          case BlockKind::Try:
            SetError(ErrorCode::ExceptExpected);
            return false;
          case BlockKind::Begin:
            SetError(ErrorCode::EndExpected);
            return false;
        }
        return false;
      case TK::Except:
      case TK::Finally:
        switch (kind) {
          case BlockKind::Try:
            return true;
          case BlockKind::Repeat:
            SetError(ErrorCode::UntilExpected);
            return false;
          default:
            SetError(ErrorCode::EndExpected);
            return false;
        }
      case TK::Exit:
        SetError(ErrorCode::ExitSignal);
        return false;
      case TK::Break:
      case TK::Continue:
        return true;
      case TK::Identifier:
      case TK::OpenRound:
      case TK::Inherited:
        if (!RunSimpleStatement(scope)) return false;
        break;
      default:
        SetError(ErrorCode::ErrorInStatement);
        return false;
    }
  }
}

// ---- skipping: a pure token scan with a nesting counter ----

// BEGIN, CASE, REPEAT, TRY, EXCEPT or FINALLY up to and including the matching END or UNTIL.
bool ScriptEngine::SkipBlock() {
  QUOLL_ENTER_BLOCK();
  int depth = 1;
  parser_.Next();
  for (;;) {
    switch (parser_.CurrTokenKind()) {
      case TK::EndOfText:
        SetError(ErrorCode::UnexpectedEndOfFile);
        return false;
      case TK::Begin:
      case TK::Case:
      case TK::Repeat:
      case TK::Try:
        ++depth;
        break;
      case TK::End:
      case TK::Until:
        if (--depth == 0) {
          parser_.Next();
          return true;
        }
        break;
      default:
        break;
    }
    parser_.Next();
  }
}

// One statement, up to the `;`, END, UNTIL or unmatched ELSE that ends it (left under the cursor).
bool ScriptEngine::SkipStatement() {
  QUOLL_ENTER_BLOCK();
  int ifs = 1;
  for (;;) {
    switch (parser_.CurrTokenKind()) {
      case TK::EndOfText:
        SetError(ErrorCode::UnexpectedEndOfFile);
        return false;
      case TK::Semicolon:
      case TK::End:
      case TK::Until:
        return true;
      case TK::Begin:
      case TK::Case:
      case TK::Repeat:
      case TK::Try:
        if (!SkipBlock()) return false;
        continue;
      case TK::If:
        ++ifs;
        break;
      case TK::Else:
        if (--ifs == 0) return true;
        break;
      default:
        break;
    }
    parser_.Next();
  }
}

// The rest of an expression that is not evaluated (a REPEAT condition after BREAK).
bool ScriptEngine::SkipExpression() {
  int parens = 0;
  for (;;) {
    switch (parser_.CurrTokenKind()) {
      case TK::EndOfText:
        SetError(ErrorCode::UnexpectedEndOfFile);
        return false;
      case TK::OpenRound:
      case TK::OpenBlock:
        ++parens;
        break;
      case TK::CloseRound:
      case TK::CloseBlock:
        if (parens == 0) return true;
        --parens;
        break;
      case TK::Semicolon:
      case TK::End:
      case TK::Else:
      case TK::Until:
      case TK::Except:
      case TK::Finally:
        if (parens == 0) return true;
        break;
      default:
        break;
    }
    parser_.Next();
  }
}

// ---- statements ----

// Assignment or call: `designator := expression`, or a routine or method call.
bool ScriptEngine::RunSimpleStatement(Scope scope) {
  if (!CallHook(parser_.CurrTokenPos())) return false;
  return RunSimpleStatementBody(scope);
}

// A simple statement after its hook.
bool ScriptEngine::RunSimpleStatementBody(Scope scope) {
  // The common case first: `name := expression` with a plain local or global variable.
  if (scope.with->empty() && parser_.CurrTokenKind() == TK::Identifier && parser_.PeekKind() == TK::Assign) {
    if (Value* var = LookupPlainVariable(parser_.CurrTokenName(), scope.locals)) {
      Value* target = var->Deref();
      if (target->code() != TypeCode::PropertyRef) {
        parser_.Next();
        if (var->readOnly() || target->readOnly()) {
          SetError(ErrorCode::VariableExpected);
          return false;
        }
        parser_.Next();
        return Evaluate(scope, TK::Semicolon, *var);
      }
    }
  }
  Designator d = ReadDesignator(scope, DesignatorMode::Statement);
  return FinishSimpleStatement(scope, d);
}

// A simple statement after its designator: the assignment to a variable, or nothing more after
// a call (but a native property written).
bool ScriptEngine::FinishSimpleStatement(Scope scope, Designator& d) {
  if (d.outcome == Designator::Failure) return false;
  if (d.outcome == Designator::Variable) {
    Value* v = d.var.get();
    if (v->readOnly() || v->Deref()->readOnly()) {
      SetError(ErrorCode::VariableExpected);
      return false;
    }
    if (parser_.CurrTokenKind() != TK::Assign) {
      SetError(ErrorCode::AssignmentExpected);
      return false;
    }
    parser_.Next();
    Value* target = v->Deref();
    if (target->code() == TypeCode::PropertyRef) {
      Value value(varType_);
      if (!Evaluate(scope, TK::Semicolon, value)) return false;
      return WriteProperty(*target, value);
    }
    return Evaluate(scope, TK::Semicolon, *v);
  }
  if (d.var && d.var->code() == TypeCode::NativeProperty) return WriteNativeProperty(scope, *d.var);
  return true;
}

// IF condition THEN statement [ELSE statement]
bool ScriptEngine::RunIf(Scope scope) {
  if (!CallHook(parser_.CurrTokenPos())) return false;
  parser_.Next();
  Value cond(StdType(TypeCode::Boolean));
  if (!Evaluate(scope, TK::Then, cond)) return false;
  if (parser_.CurrTokenKind() != TK::Then) {
    SetError(ErrorCode::ThenExpected);
    return false;
  }
  parser_.Next();
  if (cond.GetBool()) {
    if (!RunStatementOrBlock(scope)) return false;
    if (parser_.CurrTokenKind() == TK::Else) {
      if (!CallHook(parser_.CurrTokenPos())) return false;
      parser_.Next();
      if (!SkipStatementOrBlock()) return false;
    }
    return true;
  }
  if (!SkipStatementOrBlock()) return false;
  if (parser_.CurrTokenKind() == TK::Else) {
    parser_.Next();
    if (!CallHook(parser_.CurrTokenPos())) return false;
    return RunStatementOrBlock(scope);
  }
  return true;
}

// CASE selector OF labels: statement; ... [ELSE statement] END
bool ScriptEngine::RunCase(Scope scope) {
  parser_.Next();
  Value selector(varType_);
  if (!Evaluate(scope, TK::Of, selector)) return false;
  if (parser_.CurrTokenKind() != TK::Of) {
    SetError(ErrorCode::OfExpected);
    return false;
  }
  parser_.Next();
  return RunCaseBranches(scope, selector, false);
}

// The branches of a CASE from the cursor on, up to and including its END.
bool ScriptEngine::RunCaseBranches(Scope scope, Value& selector, bool matched) {
  while (parser_.CurrTokenKind() != TK::End) {
    if (parser_.CurrTokenKind() == TK::Else) {
      parser_.Next();
      if (!(matched ? SkipStatementOrBlock() : RunStatementOrBlock(scope))) return false;
      if (IsLoopExit(parser_.CurrTokenKind())) return true;  // BREAK/CONTINUE reach the loop
      if (parser_.CurrTokenKind() == TK::Semicolon) parser_.Next();
      if (parser_.CurrTokenKind() != TK::End) {
        SetError(ErrorCode::EndExpected);
        return false;
      }
      break;
    }
    if (!CallHook(parser_.CurrTokenPos())) return false;
    bool hit = false;
    for (;;) {
      Value label(selector.type);
      if (!Evaluate(scope, TK::Colon, label)) return false;
      if (!DoOperation(label, selector, kOpEqual)) return false;
      hit = hit || label.GetBool();
      if (parser_.CurrTokenKind() != TK::Comma) break;
      parser_.Next();
    }
    if (parser_.CurrTokenKind() != TK::Colon) {
      SetError(ErrorCode::ColonExpected);
      return false;
    }
    parser_.Next();
    if (hit && !matched) {
      if (!RunStatementOrBlock(scope)) return false;
      if (IsLoopExit(parser_.CurrTokenKind())) return true;
    } else if (!SkipStatementOrBlock()) {
      return false;
    }
    matched = matched || hit;
    if (parser_.CurrTokenKind() == TK::Semicolon) parser_.Next();
  }
  parser_.Next();
  return true;
}

// FOR variable := start TO|DOWNTO end DO statement
bool ScriptEngine::RunFor(Scope scope) {
  parser_.Next();
  if (parser_.CurrTokenKind() != TK::Identifier) {
    SetError(ErrorCode::IdentifierExpected);
    return false;
  }
  NameId name = parser_.CurrTokenName();
  Value* var = nullptr;
  ValuePtr keep;
  if (scope.locals) {
    int i = scope.locals->Find(name);
    if (i >= 0) keep = scope.locals->Ptr(i);
  }
  if (!keep) {
    const Symbol* s = FindSymbol(name);
    if (s && s->global >= 0) keep = globals_.Ptr(s->global);
  }
  if (!keep) {
    SetErrorParam(ErrorCode::UnknownIdentifier, NameText(name));
    return false;
  }
  var = keep->Deref();
  if (keep->readOnly() || var->readOnly()) {
    SetError(ErrorCode::VariableExpected);
    return false;
  }
  if (!var->IsInteger()) {
    SetError(ErrorCode::IntegerVariableExpected);
    return false;
  }
  parser_.Next();
  if (parser_.CurrTokenKind() != TK::Assign) {
    SetError(ErrorCode::AssignmentExpected);
    return false;
  }
  parser_.Next();
  if (!Evaluate(scope, TK::To, *var)) return false;
  int64_t start = static_cast<int32_t>(var->GetInt());
  bool down = parser_.CurrTokenKind() == TK::Downto;
  if (!down && parser_.CurrTokenKind() != TK::To) {
    SetError(ErrorCode::ToExpected);
    return false;
  }
  parser_.Next();
  if (!Evaluate(scope, TK::Do, *var)) return false;
  int64_t end = static_cast<int32_t>(var->GetInt());
  if (parser_.CurrTokenKind() != TK::Do) {
    SetError(ErrorCode::DoExpected);
    return false;
  }
  parser_.Next();
  const int32_t bodyPos = parser_.CurrTokenPos();
  const int32_t bodyCursor = parser_.Cursor();

  // The variable is read-only while its loop runs, and on every way out it is released.
  var->flags |= kReadOnly;
  struct Release {
    Value* v;
    ~Release() { v->flags &= static_cast<uint8_t>(~kReadOnly); }
  } release{var};
  const int64_t step = down ? -1 : 1;
  const int64_t passes = down ? start - end + 1 : end - start + 1;
  int64_t value = start;
  for (int64_t n = 0; n < passes; ++n, value += step) {
    if (!CallHook(bodyPos)) return false;
    var->SetInt(value);
    if (!RunStatementOrBlock(scope)) return false;
    bool brk = parser_.CurrTokenKind() == TK::Break;
    parser_.SetCursor(bodyCursor);
    if (brk) break;
  }
  return SkipStatementOrBlock();
}

// WHILE condition DO statement
bool ScriptEngine::RunWhile(Scope scope) {
  parser_.Next();
  const int32_t condCursor = parser_.Cursor();
  Value cond(StdType(TypeCode::Boolean));
  if (!Evaluate(scope, TK::Do, cond)) return false;
  if (parser_.CurrTokenKind() != TK::Do) {
    SetError(ErrorCode::DoExpected);
    return false;
  }
  parser_.Next();
  const int32_t bodyPos = parser_.CurrTokenPos();
  const int32_t bodyCursor = parser_.Cursor();
  bool brk = false;
  while (cond.GetBool() && !brk) {
    if (!CallHook(bodyPos)) return false;
    if (!RunStatementOrBlock(scope)) return false;
    brk = parser_.CurrTokenKind() == TK::Break;
    parser_.SetCursor(condCursor);
    if (!Evaluate(scope, TK::Do, cond)) return false;
    parser_.SetCursor(bodyCursor);
  }
  return SkipStatementOrBlock();
}

// REPEAT statements UNTIL condition
bool ScriptEngine::RunRepeat(Scope scope) {
  const int32_t repeatPos = parser_.CurrTokenPos();
  const int32_t repeatCursor = parser_.Cursor();
  Value cond(StdType(TypeCode::Boolean));
  for (;;) {
    parser_.SetCursor(repeatCursor);
    if (!CallHook(repeatPos)) return false;
    if (!RunBlockOfKind(scope, BlockKind::Repeat)) return false;
    TK k = parser_.CurrTokenKind();
    if (k == TK::Break) {  // the whole statement is passed over, condition included
      parser_.SetCursor(repeatCursor);
      return SkipBlock() && SkipExpression();
    }
    if (k == TK::Continue) {  // on to the condition
      parser_.SetCursor(repeatCursor);
      if (!SkipBlock()) return false;
    } else {
      if (k != TK::Until) {
        SetError(ErrorCode::UntilExpected);
        return false;
      }
      parser_.Next();
    }
    if (!Evaluate(scope, TK::Semicolon, cond)) return false;
    if (cond.GetBool()) return true;
  }
}

// WITH object, ... DO statement: the objects' members are found by their bare names.
bool ScriptEngine::RunWith(Scope scope) {
  parser_.Next();
  WithList entries;
  for (;;) {
    Designator d = ReadDesignator(scope, DesignatorMode::Statement);
    if (d.outcome == Designator::Failure) return false;
    Value* v = d.var ? d.var->Deref() : nullptr;
    if (!v || v->code() != TypeCode::Class) {
      SetError(ErrorCode::ClassTypeExpected);
      return false;
    }
    if (!v->v.obj) {
      SetError(ErrorCode::ClassNotCreated);
      return false;
    }
    if (v->v.obj->freed) {
      SetError(ErrorCode::ClassAlreadyFreed);
      return false;
    }
    entries.push_back(std::move(d.var));
    if (parser_.CurrTokenKind() == TK::Comma) {
      parser_.Next();
      continue;
    }
    if (parser_.CurrTokenKind() == TK::Do) break;
    SetError(ErrorCode::CommaExpected);
    return false;
  }
  entries.insert(entries.end(), scope.with->begin(), scope.with->end());
  parser_.Next();
  return RunStatementOrBlock(Scope{&entries, scope.locals});
}

// Moves the cursor from a TRY to its own EXCEPT or FINALLY, passing nested blocks.
bool ScriptEngine::FindTryPart(int32_t tryCursor) {
  parser_.SetCursor(tryCursor);
  parser_.Next();
  int depth = 0;
  for (;;) {
    switch (parser_.CurrTokenKind()) {
      case TK::EndOfText:
        SetError(ErrorCode::UnexpectedEndOfFile);
        return false;
      case TK::Begin:
      case TK::Case:
      case TK::Repeat:
      case TK::Try:
        ++depth;
        break;
      case TK::End:
      case TK::Until:
        if (depth == 0) {
          SetError(ErrorCode::ExceptExpected);
          return false;
        }
        --depth;
        break;
      case TK::Except:
      case TK::Finally:
        if (depth == 0) return true;
        break;
      default:
        break;
    }
    parser_.Next();
  }
}

// TRY statements EXCEPT statements END | TRY statements FINALLY statements END
bool ScriptEngine::RunTry(Scope scope) {
  const int32_t tryCursor = parser_.Cursor();
  if (RunBlockOfKind(scope, BlockKind::Try)) {
    if (IsLoopExit(parser_.CurrTokenKind())) {
      // BREAK/CONTINUE leave the protected part: a FINALLY part runs on the way to the loop.
      const int32_t exitCursor = parser_.Cursor();
      if (!FindTryPart(tryCursor)) return false;
      if (parser_.CurrTokenKind() == TK::Finally && !RunBlockOfKind(scope, BlockKind::Begin)) return false;
      parser_.SetCursor(exitCursor);
      return true;
    }
    if (parser_.CurrTokenKind() == TK::Finally) return RunBlockOfKind(scope, BlockKind::Begin);
    return SkipBlock();  // the EXCEPT part
  }
  // Errors in the text are not caught, nor is the end of a run the user stopped.
  if (!IsRuntimeError(error_.code) || error_.endsRun) return false;
  savedError_ = error_;
  error_.Clear();
  if (!FindTryPart(tryCursor)) return false;
  if (parser_.CurrTokenKind() == TK::Finally) {
    if (!RunBlockOfKind(scope, BlockKind::Begin)) return false;
    error_ = savedError_;
    return false;
  }
  if (savedError_.code == ErrorCode::ExitSignal) {
    if (!SkipBlock()) return false;
  } else if (!RunBlockOfKind(scope, BlockKind::Begin)) {
    return false;
  }
  savedError_ = error_;
  return true;
}

}  // namespace quoll
