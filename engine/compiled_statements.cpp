// The compiled executor's blocks and statements. Each statement does what the walker's
// statement of that form does, in the same order, with the cursor moved to where the walker's
// cursor would be before every step that can record an error or call out. Where the cursor ends
// up somewhere the translation did not foresee, the walker takes over from there.
#include "engine/compiled.h"
#include "engine/compiler.h"
#include "engine/engine_internal.h"

namespace quoll {

namespace {
using TK = TokenKind;
using compiled::Block;
using compiled::Stmt;

bool IsLoopExit(TK k) {
  return k == TK::Break || k == TK::Continue;
}

bool IsLiveInstanceOf(const Value* self, Type* cls) {
  return self->code() == TypeCode::Class && self->v.obj && !self->v.obj->freed &&
         ClassDescendsFrom(self->v.obj->cls, cls);
}

// Whether a method body's scope holds a live SELF of the routine's class, the class the body was
// compiled for (the scope has its one WITH entry); true for a body that is no method.
bool LiveSelf(Scope scope, const compiled::Body& body, const Routine& routine) {
  return !body.method ||
         (body.selfClass == routine.cls && IsLiveInstanceOf(scope.with->front()->Deref(), routine.cls));
}

}  // namespace

// The compiled body that starts at the cursor, for a scope of this shape; compiled at its first
// run and again when the symbols have changed since. nullptr when the body runs on the walker.
const compiled::Body* ScriptEngine::CompiledBody(Scope scope, Routine* routine) {
  const int32_t at = parser_.Index();
  if (at >= parser_.TokenCount()) return nullptr;
  // A routine's last body, while the symbols are the same, needs only its variable list compared:
  // the checks below would find the same body and the same answer for it.
  if (routine && routine->compiledBody) {
    const compiled::Body& last = *routine->compiledBody;
    if (last.generation == symbolGeneration_ && last.cursor == at && last.engine == this && last.hasLocals &&
        scope.locals && scope.with->size() == (last.method ? 1u : 0u) && LiveSelf(scope, last, *routine)) {
      const auto& entries = scope.locals->Entries();
      if (entries.size() == last.layout.size()) {
        size_t i = 0;
        while (i < entries.size() && entries[i].name == last.layout[i]) ++i;
        if (i == entries.size()) return &last;
      }
    }
  }
  if (compiledBodies_.size() < static_cast<size_t>(parser_.TokenCount()))
    compiledBodies_.resize(static_cast<size_t>(parser_.TokenCount()));
  std::unique_ptr<compiled::Body>& slot = compiledBodies_[static_cast<size_t>(at)];
  const bool method = routine && routine->IsMethod();
  auto fits = [&](const compiled::Body& b) {
    if (b.method != method || b.hasLocals != (scope.locals != nullptr)) return false;
    if (method && (scope.with->size() != 1 || b.selfClass != routine->cls)) return false;
    if (!method && !scope.with->empty()) return false;
    if (!scope.locals) return true;
    const auto& entries = scope.locals->Entries();
    if (entries.size() != b.layout.size()) return false;
    for (size_t i = 0; i < entries.size(); ++i)
      if (entries[i].name != b.layout[i]) return false;
    return true;
  };
  // A SELF that is no live instance of the method's class finds no members: the walker runs it.
  if (method) {
    if (scope.with->size() != 1) return nullptr;
    Value* self = scope.with->front()->Deref();
    if (!IsLiveInstanceOf(self, routine->cls)) return nullptr;
  }
  if (slot && slot->generation == symbolGeneration_) {
    if (!fits(*slot)) return nullptr;
    if (routine) routine->compiledBody = slot.get();
    return slot.get();
  }
  auto body = std::make_unique<compiled::Body>();
  body->method = method;
  body->hasLocals = scope.locals != nullptr;
  body->selfClass = method ? routine->cls : nullptr;
  body->routine = routine;
  body->generation = symbolGeneration_;
  body->cursor = at;
  body->engine = this;
  if (scope.locals)
    for (const auto& e : scope.locals->Entries()) body->layout.push_back(e.name);
  if (!fits(*body)) return nullptr;
  Compiler compiler(*this, *body, routine, scope.locals);
  body->block = compiler.CompileBody(at);
  parser_.SetIndex(at);
  if (slot) retiredBodies_.push_back(std::move(slot));  // it may still be running further up
  slot = std::move(body);
  if (routine) routine->compiledBody = slot.get();
  return slot.get();
}

bool ScriptEngine::RunBody(Scope scope, Routine* routine) {
  const compiled::Body* body = CompiledBody(scope, routine);
  struct Restore {
    const compiled::Body*& running;
    const compiled::Body* outer;
    ~Restore() { running = outer; }
  } restore{runningBody_, runningBody_};
  runningBody_ = body;
  return body ? RunCompiledBlock(*body->block, scope) : RunBlock(scope, false);
}

// A statement compiled before the symbols changed (MapLibraryProc, a unit) is walked, since its
// names may now mean something else. A loop is worth compiling again under the current symbols:
// a script that binds its routines first and then loops over calls of them would otherwise walk
// the whole loop. A few compilations per statement at most, so a loop that keeps changing the
// symbols costs no more than walking it. nullptr: walk it.
const compiled::Stmt* ScriptEngine::FreshStatement(const Stmt& stale, Scope scope) {
  constexpr int kMaxCompilations = 4;
  if (!runningBody_ || (stale.kind != Stmt::For && stale.kind != Stmt::While && stale.kind != Stmt::Repeat))
    return nullptr;
  // The scope the body was compiled for (a block of it never runs in another).
  const compiled::Body& running = *runningBody_;
  if ((scope.locals != nullptr) != running.hasLocals || scope.with->size() != (running.method ? 1u : 0u))
    return nullptr;
  RecompiledStatement& fresh = freshStatements_[stale.cursor];
  if (fresh.stmt && fresh.body == runningBody_ && fresh.stmt->generation == symbolGeneration_)
    return fresh.stmt.get();
  if (fresh.compilations >= kMaxCompilations) return nullptr;
  ++fresh.compilations;
  if (fresh.stmt) retiredStatements_.push_back(std::move(fresh.stmt));  // it may still be running further up
  compiled::Body body;
  body.method = running.method;
  body.hasLocals = running.hasLocals;
  body.selfClass = running.selfClass;
  body.routine = running.routine;
  body.generation = symbolGeneration_;
  const int32_t at = parser_.Index();
  Compiler compiler(*this, body, running.routine, scope.locals);
  std::unique_ptr<Stmt> st = compiler.CompileLoneStatement(stale.cursor);
  parser_.SetIndex(at);
  if (!st || st->end != stale.end) return nullptr;
  fresh.body = runningBody_;
  fresh.stmt = std::move(st);
  return fresh.stmt.get();
}

bool ScriptEngine::RunCompiledBlock(const Block& block, Scope scope) {
  static constexpr BlockKind kWalkerKind[] = {BlockKind::Repeat, BlockKind::Try, BlockKind::Begin,
                                              BlockKind::Single};
  int32_t& blocks = depths_->blocks;
  if (++blocks > MaxBeginNesting) {
    --blocks;
    parser_.SetIndex(block.cursor);
    SetError(ErrorCode::OutOfMemory);
    return false;
  }
  if (StackLow()) {
    --blocks;
    parser_.SetIndex(block.cursor);
    StackExhausted();
    return false;
  }
  struct Release {
    int32_t& depth;
    ~Release() { --depth; }
  } release{blocks};
  for (const auto& st : block.statements) {
    Outcome o;
    if (st->generation != symbolGeneration_) {
      const Stmt* fresh = FreshStatement(*st, scope);
      o = fresh ? RunCompiledStatement(*fresh, scope) : WalkCompiledStatement(*st, scope);
    } else {
      switch (st->kind) {
        case Stmt::Assign:
          o = RunCompiledAssign(*st, scope);
          break;
        case Stmt::If:
          o = RunCompiledIf(*st, scope);
          break;
        case Stmt::WalkRest:
          parser_.SetIndex(st->cursor);
          return RunBlockLoop(scope, kWalkerKind[static_cast<int>(block.kind)]);
        default:
          o = RunCompiledStatement(*st, scope);
          break;
      }
    }
    switch (o) {
      case Outcome::Fail:
        return false;
      case Outcome::Normal:
        break;
      case Outcome::Diverted:
        return RunBlockLoop(scope, kWalkerKind[static_cast<int>(block.kind)]);
    }
  }
  parser_.SetIndex(block.endCursor);
  switch (block.endKind) {
    case Block::End::Return:
      return true;
    case Block::End::ReturnAfterNext:
      parser_.Next();
      return true;
    case Block::End::Error:
      SetError(block.endError);
      return false;
    case Block::End::Exit:
      SetError(ErrorCode::ExitSignal);
      return false;
  }
  return false;
}

// A skip the compiler measured costs nothing unless it could reach the nesting limit (or the
// stack is low); then the walker skips and reports where it stops.
bool ScriptEngine::RunCompiledSkip(const compiled::Skip& skip) {
  if (skip.known && depths_->blocks <= MaxBeginNesting - skip.depth && !StackLow()) return true;
  parser_.SetIndex(skip.cursor);
  return skip.block ? SkipBlock() : SkipStatementOrBlock();
}

// The statement the walker runs; its end tells whether the block's translation still holds.
ScriptEngine::Outcome ScriptEngine::WalkCompiledStatement(const Stmt& s, Scope scope) {
  parser_.SetIndex(s.cursor);
  if (!WalkStatement(scope)) return Outcome::Fail;
  return parser_.Index() == s.end ? Outcome::Normal : Outcome::Diverted;
}

ScriptEngine::Outcome ScriptEngine::RunCompiledStatement(const Stmt& s, Scope scope) {
  if (s.generation != symbolGeneration_) return WalkCompiledStatement(s, scope);
  switch (s.kind) {
    case Stmt::Assign:
      return RunCompiledAssign(s, scope);
    case Stmt::CallStmt:
    case Stmt::MethodStmt:
      return RunCompiledCallStatement(s, scope);
    case Stmt::If:
      return RunCompiledIf(s, scope);
    case Stmt::While:
      return RunCompiledWhile(s, scope);
    case Stmt::For:
      return RunCompiledFor(s, scope);
    case Stmt::Repeat:
      return RunCompiledRepeat(s, scope);
    case Stmt::Case:
      return RunCompiledCase(s, scope);
    case Stmt::Try:
      return RunCompiledTry(s, scope);
    case Stmt::Begin: {
      if (!RunCompiledBlock(*s.first, scope)) return Outcome::Fail;
      return parser_.Index() == s.end ? Outcome::Normal : Outcome::Diverted;
    }
    case Stmt::Walk:
    case Stmt::WalkRest:
      return WalkCompiledStatement(s, scope);
  }
  return Outcome::Fail;
}

// A statement that ended at `at`: on as translated, or handed to the walker's block loop.
ScriptEngine::Outcome ScriptEngine::EndAt(int32_t at, const Stmt& s) {
  if (at == s.end) return Outcome::Normal;
  parser_.SetIndex(at);
  return Outcome::Diverted;
}

// IF condition THEN statement [ELSE statement], as RunIf.
ScriptEngine::Outcome ScriptEngine::RunCompiledIf(const Stmt& s, Scope scope) {
  if (!CompiledHook(s.cursor)) return Outcome::Fail;
  bool cond;
  if (!EvaluateCompiledBool(*s.expr, scope, cond)) return Outcome::Fail;
  if (cond) {
    if (!RunCompiledBlock(*s.first, scope)) return Outcome::Fail;
    int32_t at = parser_.Index();
    if (parser_.At(at).kind == TK::Else) {
      if (!CompiledHook(at)) return Outcome::Fail;
      if (at == s.elseCursor) {
        if (!RunCompiledSkip(s.secondSkip)) return Outcome::Fail;
        return EndAt(s.secondSkip.known ? s.secondSkip.end : parser_.Index(), s);
      }
      parser_.SetIndex(at);
      parser_.Next();
      if (!SkipStatementOrBlock()) return Outcome::Fail;
      return EndAt(parser_.Index(), s);
    }
    return EndAt(at, s);
  }
  if (!RunCompiledSkip(s.firstSkip)) return Outcome::Fail;
  const int32_t at = s.firstSkip.known ? s.firstSkip.end : parser_.Index();
  if (parser_.At(at).kind != TK::Else) return EndAt(at, s);
  if (at == s.elseCursor) {
    if (!CompiledHook(at + 1)) return Outcome::Fail;
    if (!RunCompiledBlock(*s.second, scope)) return Outcome::Fail;
    return EndAt(parser_.Index(), s);
  }
  parser_.SetIndex(at);
  parser_.Next();
  if (!CallHook(parser_.CurrTokenPos())) return Outcome::Fail;
  if (!RunStatementOrBlock(scope)) return Outcome::Fail;
  return EndAt(parser_.Index(), s);
}

// WHILE condition DO statement, as RunWhile: the condition is evaluated again after a BREAK.
ScriptEngine::Outcome ScriptEngine::RunCompiledWhile(const Stmt& s, Scope scope) {
  bool cond;
  if (!EvaluateCompiledBool(*s.expr, scope, cond)) return Outcome::Fail;
  bool brk = false;
  while (cond && !brk) {
    if (!CompiledHook(s.bodyCursor)) return Outcome::Fail;
    if (!RunCompiledBlock(*s.first, scope)) return Outcome::Fail;
    brk = parser_.CurrTokenKind() == TK::Break;
    if (!EvaluateCompiledBool(*s.expr, scope, cond)) return Outcome::Fail;
  }
  if (!RunCompiledSkip(s.firstSkip)) return Outcome::Fail;
  return EndAt(s.firstSkip.known ? s.firstSkip.end : parser_.Index(), s);
}

// FOR variable := start TO|DOWNTO end DO statement, as RunFor.
ScriptEngine::Outcome ScriptEngine::RunCompiledFor(const Stmt& s, Scope scope) {
  Value* keep = s.loopVar.kind == compiled::NameRef::Local
                    ? scope.locals->Entries()[static_cast<size_t>(s.loopVar.index)].var.get()
                    : s.loopVar.global;
  Value* var = keep->Deref();
  if (keep->readOnly() || var->readOnly()) {
    parser_.SetIndex(s.elseCursor);
    SetError(ErrorCode::VariableExpected);
    return Outcome::Fail;
  }
  if (!var->IsInteger()) {
    parser_.SetIndex(s.elseCursor);
    SetError(ErrorCode::IntegerVariableExpected);
    return Outcome::Fail;
  }
  if (!EvaluateCompiled(*s.expr, scope, *var)) return Outcome::Fail;
  const int64_t start = static_cast<int32_t>(var->GetInt());
  if (!EvaluateCompiled(*s.expr2, scope, *var)) return Outcome::Fail;
  const int64_t end = static_cast<int32_t>(var->GetInt());
  var->flags |= kReadOnly;
  struct Release {
    Value* v;
    ~Release() { v->flags &= static_cast<uint8_t>(~kReadOnly); }
  } release{var};
  const int64_t step = s.down ? -1 : 1;
  const int64_t passes = s.down ? start - end + 1 : end - start + 1;
  int64_t value = start;
  const bool longint = var->code() == TypeCode::LongInt;
  for (int64_t n = 0; n < passes; ++n, value += step) {
    if (!CompiledHook(s.bodyCursor)) return Outcome::Fail;
    if (longint)
      var->v.i = value;
    else
      var->SetInt(value);
    if (!RunCompiledBlock(*s.first, scope)) return Outcome::Fail;
    if (parser_.CurrTokenKind() == TK::Break) break;
  }
  if (!RunCompiledSkip(s.firstSkip)) return Outcome::Fail;
  return EndAt(s.firstSkip.known ? s.firstSkip.end : parser_.Index(), s);
}

// REPEAT statements UNTIL condition, as RunRepeat.
ScriptEngine::Outcome ScriptEngine::RunCompiledRepeat(const Stmt& s, Scope scope) {
  for (;;) {
    if (!CompiledHook(s.cursor)) return Outcome::Fail;
    if (!RunCompiledBlock(*s.first, scope)) return Outcome::Fail;
    const int32_t at = parser_.Index();
    const TK k = parser_.At(at).kind;
    if (k == TK::Break) {  // the whole statement is passed over, condition included
      if (!RunCompiledSkip(s.wholeSkip)) return Outcome::Fail;
      if (s.wholeSkip.known && s.skipExprEnd >= 0) return EndAt(s.skipExprEnd, s);
      if (s.wholeSkip.known) parser_.SetIndex(s.wholeSkip.end);
      if (!SkipExpression()) return Outcome::Fail;
      return EndAt(parser_.Index(), s);
    }
    if (k == TK::Continue) {
      if (!RunCompiledSkip(s.wholeSkip)) return Outcome::Fail;
    } else if (at != s.elseCursor) {
      if (k != TK::Until) {
        SetError(ErrorCode::UntilExpected);
        return Outcome::Fail;
      }
      // An UNTIL the translation did not foresee: the walker goes on from it.
      parser_.Next();
      Value cond(StdType(TypeCode::Boolean));
      if (!Evaluate(scope, TK::Semicolon, cond)) return Outcome::Fail;
      if (cond.GetBool()) return EndAt(parser_.Index(), s);
      parser_.SetIndex(s.cursor);
      if (!RunRepeat(scope)) return Outcome::Fail;
      return EndAt(parser_.Index(), s);
    }
    bool cond;
    if (!EvaluateCompiledBool(*s.expr, scope, cond)) return Outcome::Fail;
    if (cond) return Outcome::Normal;
  }
}

// CASE selector OF labels: statement; ... [ELSE statement] END, as RunCase: every label list is
// evaluated (and has its hook) until END, also after a branch ran.
ScriptEngine::Outcome ScriptEngine::RunCompiledCase(const Stmt& s, Scope scope) {
  Value selector(varType_);
  if (!EvaluateCompiled(*s.expr, scope, selector)) return Outcome::Fail;
  bool matched = false;
  // A branch that ended where the translation did not foresee: the walker's CASE goes on there.
  auto walkOn = [&](int32_t at, bool matchedNow) {
    parser_.SetIndex(at);
    if (parser_.CurrTokenKind() == TK::Semicolon) parser_.Next();
    if (!RunCaseBranches(scope, selector, matchedNow)) return Outcome::Fail;
    return EndAt(parser_.Index(), s);
  };
  for (const Stmt::CaseBranch& br : s.branches) {
    if (!CompiledHook(br.cursor)) return Outcome::Fail;
    bool hit = false;
    for (const auto& labelExpr : br.labels) {
      Value label(selector.type);
      if (!EvaluateCompiled(*labelExpr, scope, label)) return Outcome::Fail;
      parser_.SetIndex(labelExpr->end);
      if (!DoOperation(label, selector, kOpEqual)) return Outcome::Fail;
      hit = hit || label.GetBool();
    }
    if (hit && !matched) {
      if (!RunCompiledBlock(*br.body, scope)) return Outcome::Fail;
      const int32_t at = parser_.Index();
      if (IsLoopExit(parser_.At(at).kind)) return Outcome::Diverted;
      if (at != br.bodyEnd) return walkOn(at, true);
    } else {
      if (!RunCompiledSkip(br.skip)) return Outcome::Fail;
      if (!br.skip.known) return walkOn(parser_.Index(), matched || hit);
    }
    matched = matched || hit;
  }
  if (s.caseElse >= 0) {
    int32_t at;
    if (matched) {
      if (!RunCompiledSkip(s.elseSkip)) return Outcome::Fail;
      at = s.elseSkip.known ? s.elseSkip.end : parser_.Index();
    } else {
      if (!RunCompiledBlock(*s.elseBody, scope)) return Outcome::Fail;
      at = parser_.Index();
      if (IsLoopExit(parser_.At(at).kind)) return Outcome::Diverted;
    }
    // After the ELSE branch the walker wants END (after an optional ';').
    if (parser_.At(at).kind == TK::Semicolon) ++at;
    if (parser_.At(at).kind != TK::End) {
      parser_.SetIndex(at);
      SetError(ErrorCode::EndExpected);
      return Outcome::Fail;
    }
    return EndAt(at + 1, s);
  }
  return Outcome::Normal;
}

// TRY statements EXCEPT statements END | TRY statements FINALLY statements END, as RunTry.
ScriptEngine::Outcome ScriptEngine::RunCompiledTry(const Stmt& s, Scope scope) {
  if (RunCompiledBlock(*s.first, scope)) {
    const int32_t at = parser_.Index();
    if (IsLoopExit(parser_.At(at).kind)) {
      // BREAK/CONTINUE leave the protected part: a FINALLY part runs on the way to the loop.
      if (s.finallyPart && !RunCompiledBlock(*s.second, scope)) return Outcome::Fail;
      parser_.SetIndex(at);
      return Outcome::Diverted;
    }
    if (at != s.partCursor) {
      if (parser_.At(at).kind == TK::Finally) {
        if (!RunBlockOfKind(scope, BlockKind::Begin)) return Outcome::Fail;
      } else if (!SkipBlock()) {
        return Outcome::Fail;
      }
      return EndAt(parser_.Index(), s);
    }
    if (s.finallyPart) {
      if (!RunCompiledBlock(*s.second, scope)) return Outcome::Fail;
      return EndAt(parser_.Index(), s);
    }
    if (!RunCompiledSkip(s.secondSkip)) return Outcome::Fail;
    return EndAt(s.secondSkip.known ? s.secondSkip.end : parser_.Index(), s);
  }
  // Errors in the text are not caught, nor is the end of a run the user stopped.
  if (!IsRuntimeError(error_.code) || error_.endsRun) return Outcome::Fail;
  savedError_ = error_;
  error_.Clear();
  if (s.finallyPart) {
    if (!RunCompiledBlock(*s.second, scope)) return Outcome::Fail;
    error_ = savedError_;
    return Outcome::Fail;
  }
  if (savedError_.code == ErrorCode::ExitSignal) {
    if (!RunCompiledSkip(s.secondSkip)) return Outcome::Fail;
    savedError_ = error_;
    return EndAt(s.secondSkip.known ? s.secondSkip.end : parser_.Index(), s);
  }
  if (!RunCompiledBlock(*s.second, scope)) return Outcome::Fail;
  savedError_ = error_;
  return EndAt(parser_.Index(), s);
}

}  // namespace quoll
