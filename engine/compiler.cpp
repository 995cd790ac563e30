// The compiler: reads a body's tokens the way the walker reads them when it runs the body and
// records what it finds as compiled nodes. Whatever it does not translate becomes a node that
// walks; nothing here reports an error (the walker reports them when a statement runs).
#include "engine/compiler.h"

#include <algorithm>

#include "engine/operators.h"

namespace quoll {

namespace {
using TK = TokenKind;
using compiled::Block;
using compiled::Expr;
using compiled::NameRef;
using compiled::Operand;
using compiled::Skip;
using compiled::Stmt;
using compiled::VarAccess;

bool Accepts(Visibility v, bool classContext, bool searchingStaticClass) {
  if (v == Visibility::Public || v == Visibility::None) return true;
  return classContext && (searchingStaticClass || v == Visibility::Protected);
}

// FindMember's search without an instance: the field (or property) a name reaches from a class.
bool FindMemberStatic(Type* staticClass, NameId name, bool classContext, NameRef& ref, Type*& type) {
  if (!staticClass || staticClass->code != TypeCode::Class) return false;
  for (Type* c = staticClass; c; c = c->cls ? c->cls->ancestor : nullptr) {
    const ClassType& d = *c->cls;
    for (size_t j = 0; j < d.fields.size(); ++j)
      if (d.fields[j].name == name && Accepts(d.fields[j].visibility, classContext, c == staticClass)) {
        ref.kind = NameRef::SelfField;
        ref.index = d.inheritedFieldCount + static_cast<int32_t>(j);
        type = d.fields[j].type ? d.fields[j].type->Resolved() : nullptr;
        return true;
      }
    for (size_t j = 0; j < d.properties.size(); ++j)
      if (d.properties[j].name == name &&
          Accepts(d.properties[j].visibility(), classContext, c == staticClass)) {
        ref.kind = NameRef::SelfProperty;
        ref.index = d.inheritedPropCount + static_cast<int32_t>(j);
        type = nullptr;
        return true;
      }
  }
  return false;
}

bool IsSelectorToken(TK k) {
  return k == TK::Period || k == TK::OpenBlock || k == TK::Caret;
}

}  // namespace

Compiler::Compiler(ScriptEngine& script, compiled::Body& body, Routine* routine, VariableList* locals)
    : s_(script), body_(body), routine_(routine), locals_(locals), count_(script.parser_.TokenCount()) {}

std::unique_ptr<Stmt> Compiler::CompileLoneStatement(int32_t cursor) {
  ++depth_;  // as inside its block
  std::unique_ptr<Stmt> st = CompileStatement(cursor);
  --depth_;
  if (st->kind == Stmt::WalkRest || st->end <= cursor) return nullptr;
  return st;
}

std::unique_ptr<Block> Compiler::CompileBody(int32_t cursor) {
  switch (K(cursor)) {
    case TK::Repeat:
      return CompileBlock(cursor, Block::Kind::Repeat);
    case TK::Try:
      return CompileBlock(cursor, Block::Kind::Try);
    case TK::Begin:
    case TK::Except:
    case TK::Finally:
      return CompileBlock(cursor, Block::Kind::Begin);
    default:
      return CompileBlock(cursor, Block::Kind::Single);
  }
}

std::unique_ptr<Block> Compiler::CompileBranch(int32_t cursor) {
  return CompileBlock(cursor, K(cursor) == TK::Begin ? Block::Kind::Begin : Block::Kind::Single);
}

// The block loop of the walker, read once: its statements and the token that ends it.
std::unique_ptr<Block> Compiler::CompileBlock(int32_t cursor, Block::Kind kind) {
  auto b = std::make_unique<Block>();
  b->kind = kind;
  b->cursor = cursor;
  const bool single = kind == Block::Kind::Single;
  int32_t i = single ? cursor : Nx(cursor);
  ++depth_;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{depth_};
  auto finish = [&](Block::End end, ErrorCode error = ErrorCode::NoError) {
    b->endKind = end;
    b->endCursor = i;
    b->endError = error;
    return std::move(b);
  };
  for (;;) {
    switch (K(i)) {
      case TK::EndOfText:
        return finish(Block::End::Error, ErrorCode::UnexpectedEndOfFile);
      case TK::Semicolon:
        if (single) return finish(Block::End::Return);
        i = Nx(i);
        break;
      case TK::Begin:
      case TK::If:
      case TK::Case:
      case TK::For:
      case TK::While:
      case TK::Repeat:
      case TK::With:
      case TK::Try:
      case TK::Identifier:
      case TK::OpenRound:
      case TK::Inherited: {
        std::unique_ptr<Stmt> st;
        if (depth_ > kMaxDepth) {
          st = std::make_unique<Stmt>();
          st->kind = Stmt::WalkRest;
          st->cursor = i;
        } else {
          st = CompileStatement(i);
        }
        if (st->kind != Stmt::WalkRest && st->end <= i) st->kind = Stmt::WalkRest;
        const Stmt::Kind stKind = st->kind;
        const int32_t next = st->end;
        b->statements.push_back(std::move(st));
        // After a statement whose end is unknown, the block goes on only by walking.
        if (stKind == Stmt::WalkRest || next < 0) return finish(Block::End::Return);
        i = next;
        break;
      }
      case TK::Else:
        if (single) return finish(Block::End::Return);
        return finish(Block::End::Error, ErrorCode::ErrorInStatement);
      case TK::End:
        switch (kind) {
          case Block::Kind::Begin:
            return finish(Block::End::ReturnAfterNext);
          case Block::Kind::Single:
            return finish(Block::End::Return);
          case Block::Kind::Repeat:
            return finish(Block::End::Error, ErrorCode::UntilExpected);
          case Block::Kind::Try:
            return finish(Block::End::Error, ErrorCode::ExceptExpected);
        }
        return finish(Block::End::Return);
      case TK::Until:
        switch (kind) {
          case Block::Kind::Repeat:
          case Block::Kind::Single:
            return finish(Block::End::Return);
          case Block::Kind::Try:
            return finish(Block::End::Error, ErrorCode::ExceptExpected);
          case Block::Kind::Begin:
            return finish(Block::End::Error, ErrorCode::EndExpected);
        }
        return finish(Block::End::Return);
      case TK::Except:
      case TK::Finally:
        switch (kind) {
          case Block::Kind::Try:
            return finish(Block::End::Return);
          case Block::Kind::Repeat:
            return finish(Block::End::Error, ErrorCode::UntilExpected);
          default:
            return finish(Block::End::Error, ErrorCode::EndExpected);
        }
      case TK::Exit:
        return finish(Block::End::Exit);
      case TK::Break:
      case TK::Continue:
        return finish(Block::End::Return);
      default:
        return finish(Block::End::Error, ErrorCode::ErrorInStatement);
    }
  }
}

// Where a block that runs to its end leaves the cursor; -1 when it never ends normally there (it
// fails, exits, leaves through BREAK or CONTINUE, or its rest is walked).
int32_t Compiler::RunEnd(const Block& b) const {
  if (!b.statements.empty()) {
    const Stmt& last = *b.statements.back();
    if (last.kind == Stmt::WalkRest || last.end < 0) return -1;
  }
  switch (b.endKind) {
    case Block::End::Return:
      return K(b.endCursor) == TK::Break || K(b.endCursor) == TK::Continue ? -1 : b.endCursor;
    case Block::End::ReturnAfterNext:
      return Nx(b.endCursor);
    default:
      return -1;
  }
}

std::unique_ptr<Stmt> Compiler::CompileStatement(int32_t i) {
  std::unique_ptr<Stmt> st;
  switch (K(i)) {
    case TK::Begin:
      st = CompileBegin(i);
      break;
    case TK::If:
      st = CompileIf(i);
      break;
    case TK::Case:
      st = CompileCase(i);
      break;
    case TK::For:
      st = CompileFor(i);
      break;
    case TK::While:
      st = CompileWhile(i);
      break;
    case TK::Repeat:
      st = CompileRepeat(i);
      break;
    case TK::Try:
      st = CompileTry(i);
      break;
    case TK::Identifier:
      st = CompileSimple(i);
      break;
    default:
      break;
  }
  if (!st) st = WalkedStatement(i);
  st->cursor = i;
  st->generation = body_.generation;
  return st;
}

std::unique_ptr<Stmt> Compiler::WalkedStatement(int32_t i) {
  auto st = std::make_unique<Stmt>();
  st->kind = Stmt::Walk;
  st->cursor = i;
  st->end = PredictStatementEnd(i);
  return st;
}

// Where a statement the walker runs is expected to end: a guess that saves walking the rest of
// its block when it is right (the walked statement's real end is compared with it).
int32_t Compiler::PredictStatementEnd(int32_t i) const {
  int32_t end, depth;
  switch (K(i)) {
    case TK::Begin:
      return SkipBlockEnd(i, end) ? end : -1;
    case TK::If:
    case TK::Case:
    case TK::For:
    case TK::While:
    case TK::Repeat:
    case TK::With:
    case TK::Try:
      return SkipStatementEnd(i, end, depth) ? end : -1;
    default:
      break;
  }
  int32_t nesting = 0;
  for (int32_t j = i;; j = Nx(j)) {
    switch (K(j)) {
      case TK::EndOfText:
        return -1;
      case TK::OpenRound:
      case TK::OpenBlock:
        ++nesting;
        break;
      case TK::CloseRound:
      case TK::CloseBlock:
        if (nesting > 0) --nesting;
        break;
      case TK::Semicolon:
      case TK::End:
      case TK::Else:
      case TK::Until:
      case TK::Except:
      case TK::Finally:
        if (nesting == 0) return j;
        break;
      default:
        break;
    }
  }
}

// ---- simple statements ----

std::unique_ptr<Stmt> Compiler::CompileSimple(int32_t i) {
  Resolution r = Resolve(T(i).name, i);
  if (r.kind == Resolution::Variable) {
    int32_t dot = -1;
    Type* cls = nullptr;
    auto target = CompileVarAccess(i, r.ref, false, dot, cls);
    if (!target) return nullptr;
    if (dot >= 0) {
      auto m = std::make_unique<compiled::MethodSelector>();
      if (!CompileMethod(dot, cls, *m) || IsSelectorToken(K(m->call.end)) || K(m->call.end) == TK::Assign)
        return nullptr;
      auto st = std::make_unique<Stmt>();
      st->kind = Stmt::MethodStmt;
      st->end = m->call.end;
      st->target = std::move(target);
      st->method = std::move(m);
      return st;
    }
    if (K(target->end) != TK::Assign) return nullptr;
    auto e = CompileExpr(Nx(target->end), TK::Semicolon);
    if (!e) return nullptr;
    auto st = std::make_unique<Stmt>();
    st->kind = Stmt::Assign;
    st->assignCursor = target->end;
    st->end = e->end;
    // `s := s + a + ...`: the string grows in place.
    const VarAccess& t = *target;
    if (t.selectors.empty() && !e->ops.empty() && e->operands[0].kind == Operand::Variable &&
        e->operands[0].prefixes.empty() && e->operands[0].var->selectors.empty() &&
        e->operands[0].var->root.kind == t.root.kind && e->operands[0].var->root.index == t.root.index &&
        e->operands[0].var->root.global == t.root.global &&
        (t.root.kind == NameRef::Local || t.root.kind == NameRef::Global)) {
      bool appends = true;
      for (int op : e->ops) appends = appends && op == kOpAdd;
      for (size_t k = 1; k < e->operands.size() && appends; ++k) {
        const Operand& o = e->operands[k];
        appends =
            o.prefixes.empty() && (o.kind == Operand::StringLiteral ||
                                   (o.kind == Operand::Variable && o.var->pureIndexes &&
                                    o.var->recordFieldsOnly && o.var->root.kind != NameRef::SelfProperty));
      }
      e->appendsToFirst = appends;
    }
    st->pureTarget = e->pureFn && target->selectors.empty() &&
                     (target->root.kind == NameRef::Local || target->root.kind == NameRef::Global);
    st->target = std::move(target);
    st->expr = std::move(e);
    return st;
  }
  if (r.kind == Resolution::Routine || r.kind == Resolution::SelfMethod) {
    auto call = std::make_unique<compiled::Call>();
    if (!CompileCall(i, r.routine, *call)) return nullptr;
    call->onSelf = r.kind == Resolution::SelfMethod;
    if (IsSelectorToken(K(call->end))) return nullptr;
    auto st = std::make_unique<Stmt>();
    st->kind = Stmt::CallStmt;
    st->end = call->end;
    st->call = std::move(call);
    return st;
  }
  return nullptr;
}

// ---- structured statements ----

std::unique_ptr<Stmt> Compiler::CompileBegin(int32_t i) {
  auto st = std::make_unique<Stmt>();
  st->kind = Stmt::Begin;
  st->first = CompileBlock(i, Block::Kind::Begin);
  st->end = RunEnd(*st->first);
  return st;
}

std::unique_ptr<Stmt> Compiler::CompileIf(int32_t i) {
  auto cond = CompileExpr(Nx(i), TK::Then);
  if (!cond || K(cond->end) != TK::Then) return nullptr;
  auto st = std::make_unique<Stmt>();
  st->kind = Stmt::If;
  const int32_t thenCursor = Nx(cond->end);
  st->expr = std::move(cond);
  st->first = CompileBranch(thenCursor);
  st->firstSkip = SkipStatementOrBlock(thenCursor);
  int32_t thenEnd = st->firstSkip.known ? st->firstSkip.end : RunEnd(*st->first);
  if (thenEnd < 0) return nullptr;
  if (K(thenEnd) == TK::Else) {
    st->elseCursor = thenEnd;
    const int32_t elseStart = Nx(thenEnd);
    st->second = CompileBranch(elseStart);
    st->secondSkip = SkipStatementOrBlock(elseStart);
    st->end = st->secondSkip.known ? st->secondSkip.end : RunEnd(*st->second);
  } else {
    st->end = thenEnd;
  }
  return st;
}

std::unique_ptr<Stmt> Compiler::CompileWhile(int32_t i) {
  auto cond = CompileExpr(Nx(i), TK::Do);
  if (!cond || K(cond->end) != TK::Do) return nullptr;
  auto st = std::make_unique<Stmt>();
  st->kind = Stmt::While;
  st->bodyCursor = Nx(cond->end);
  st->expr = std::move(cond);
  st->first = CompileBranch(st->bodyCursor);
  st->firstSkip = SkipStatementOrBlock(st->bodyCursor);
  st->end = st->firstSkip.known ? st->firstSkip.end : -1;
  return st;
}

std::unique_ptr<Stmt> Compiler::CompileFor(int32_t i) {
  const int32_t nameCursor = Nx(i);
  if (K(nameCursor) != TK::Identifier || K(Nx(nameCursor)) != TK::Assign) return nullptr;
  const NameId name = T(nameCursor).name;
  NameRef var;
  if (locals_) {
    int slot = LocalSlot(name);
    if (slot >= 0) {
      var.kind = NameRef::Local;
      var.index = slot;
    }
  }
  if (var.kind == NameRef::None) {
    const ScriptEngine::Symbol* sym = s_.FindSymbol(name);
    if (!sym || sym->global < 0) return nullptr;
    var.kind = NameRef::Global;
    var.index = sym->global;
    var.global = s_.globals_.Get(sym->global);
  }
  auto start = CompileExpr(Nx(Nx(nameCursor)), TK::To);
  if (!start || (K(start->end) != TK::To && K(start->end) != TK::Downto)) return nullptr;
  auto st = std::make_unique<Stmt>();
  st->kind = Stmt::For;
  st->down = K(start->end) == TK::Downto;
  st->exprCursor2 = Nx(start->end);
  auto end = CompileExpr(st->exprCursor2, TK::Do);
  if (!end || K(end->end) != TK::Do) return nullptr;
  st->loopVar = var;
  st->loopName = name;
  st->elseCursor = nameCursor;
  st->bodyCursor = Nx(end->end);
  st->expr = std::move(start);
  st->expr2 = std::move(end);
  st->first = CompileBranch(st->bodyCursor);
  st->firstSkip = SkipStatementOrBlock(st->bodyCursor);
  st->end = st->firstSkip.known ? st->firstSkip.end : -1;
  return st;
}

std::unique_ptr<Stmt> Compiler::CompileRepeat(int32_t i) {
  auto st = std::make_unique<Stmt>();
  st->kind = Stmt::Repeat;
  st->first = CompileBlock(i, Block::Kind::Repeat);
  const Block& b = *st->first;
  if (b.endKind != Block::End::Return || K(b.endCursor) != TK::Until) return nullptr;
  if (!b.statements.empty() && (b.statements.back()->kind == Stmt::WalkRest || b.statements.back()->end < 0))
    return nullptr;
  st->elseCursor = b.endCursor;
  auto cond = CompileExpr(Nx(b.endCursor), TK::Semicolon);
  if (!cond) return nullptr;
  st->wholeSkip = SkipBlockAt(i);
  if (!st->wholeSkip.known || st->wholeSkip.end != Nx(b.endCursor)) return nullptr;
  st->skipExprEnd = SkipExpressionEnd(st->wholeSkip.end);
  st->end = cond->end;
  st->expr = std::move(cond);
  return st;
}

std::unique_ptr<Stmt> Compiler::CompileCase(int32_t i) {
  auto selector = CompileExpr(Nx(i), TK::Of);
  if (!selector || K(selector->end) != TK::Of) return nullptr;
  auto st = std::make_unique<Stmt>();
  st->kind = Stmt::Case;
  int32_t j = Nx(selector->end);
  st->expr = std::move(selector);
  auto branchEnd = [&](const Block& body, const Skip& skip) { return skip.known ? skip.end : RunEnd(body); };
  while (K(j) != TK::End) {
    if (K(j) == TK::EndOfText) return nullptr;
    if (K(j) == TK::Else) {
      st->caseElse = j;
      st->elseBody = CompileBranch(Nx(j));
      st->elseSkip = SkipStatementOrBlock(Nx(j));
      int32_t after = branchEnd(*st->elseBody, st->elseSkip);
      if (after < 0) return nullptr;
      if (K(after) == TK::Semicolon) after = Nx(after);
      if (K(after) != TK::End) return nullptr;
      j = after;
      break;
    }
    Stmt::CaseBranch br;
    br.cursor = j;
    for (;;) {
      auto label = CompileExpr(j, TK::Colon);
      if (!label) return nullptr;
      j = label->end;
      br.labels.push_back(std::move(label));
      if (K(j) != TK::Comma) break;
      j = Nx(j);
    }
    if (K(j) != TK::Colon) return nullptr;
    br.body = CompileBranch(Nx(j));
    br.skip = SkipStatementOrBlock(Nx(j));
    int32_t after = branchEnd(*br.body, br.skip);
    if (after < 0) return nullptr;
    br.bodyEnd = after;
    if (K(after) == TK::Semicolon) after = Nx(after);
    br.next = after;
    j = after;
    st->branches.push_back(std::move(br));
  }
  st->caseEnd = j;
  st->end = Nx(j);
  return st;
}

std::unique_ptr<Stmt> Compiler::CompileTry(int32_t i) {
  const int32_t part = TryPart(i);
  if (part < 0) return nullptr;
  auto st = std::make_unique<Stmt>();
  st->kind = Stmt::Try;
  st->partCursor = part;
  st->finallyPart = K(part) == TK::Finally;
  st->first = CompileBlock(i, Block::Kind::Try);
  st->second = CompileBlock(part, Block::Kind::Begin);
  st->secondSkip = SkipBlockAt(part);
  const int32_t runEnd = RunEnd(*st->second);
  st->end = st->finallyPart ? runEnd : (st->secondSkip.known ? st->secondSkip.end : runEnd);
  return st;
}

// ---- expressions ----

std::unique_ptr<Expr> Compiler::CompileExpr(int32_t i, TK stop) {
  if (depth_ > kMaxDepth) return nullptr;
  ++depth_;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{depth_};
  auto e = std::make_unique<Expr>();
  e->cursor = i;
  e->stop = stop;
  bool expectOperand = true;
  int32_t j = i;
  for (;;) {
    const TK k = K(j);
    if (k == stop || EndsExpression(k)) break;
    if (k == TK::EndOfText) return nullptr;
    if (expectOperand) {
      Operand o;
      if (!CompileOperand(j, stop, o) || o.end <= j) return nullptr;
      j = o.end;
      e->operands.push_back(std::move(o));
    } else {
      OperatorInfo info = OperatorFor(k);
      if (info.level == 0) return nullptr;
      if (info.operation == kOpDivide) e->hasDivide = true;
      e->ops.push_back(static_cast<uint8_t>(info.operation));
      j = Nx(j);
    }
    expectOperand = !expectOperand;
  }
  if (expectOperand) return nullptr;  // empty, or an operator last: the walker reports it
  e->end = j;
  if (e->operands.size() > 250) return nullptr;
  e->generation = body_.generation;
  Schedule(*e);
  for (const Operand& o : e->operands) {
    if (o.kind == Operand::IntLiteral || o.kind == Operand::RealLiteral) e->hasLiterals = true;
    if (o.kind == Operand::Variable)
      for (const auto& sel : o.var->selectors)
        for (const auto& idx : sel.indexes) e->nesting = std::max(e->nesting, 1 + idx->nesting);
    if (o.kind == Operand::Paren) e->nesting = std::max(e->nesting, 1 + o.inner->nesting);
  }
  BuildPure(*e);
  e->pure = e->pureRoot != nullptr;
  e->shape = ShapeOf(*e);
  return e;
}

compiled::Expr::Shape Compiler::ShapeOf(const Expr& e) {
  using Shape = Expr::Shape;
  for (const Operand& o : e.operands)
    if (!o.prefixes.empty()) return Shape::General;
  if (e.operands.size() == 1) {
    if (e.operands[0].kind == Operand::Call) return Shape::OneCall;
    if (e.operands[0].kind == Operand::Variable) return Shape::OneVariable;
  }
  if (e.operands.size() == 2 && IsComparison(e.ops[0])) {
    for (const Operand& o : e.operands)
      if (o.kind != Operand::Variable && o.kind != Operand::StringLiteral) return Shape::General;
    return Shape::Comparison;
  }
  return Shape::General;
}

// The machine-word form of an expression, when every operand and operator allows one.
bool Compiler::BuildPure(Expr& e) {
  using compiled::PureNode;
  auto make = [&](PureNode::Op op, bool boolean) {
    e.pureNodes.push_back(std::make_unique<PureNode>());
    PureNode* n = e.pureNodes.back().get();
    n->op = op;
    n->boolean = boolean;
    return n;
  };
  std::vector<const PureNode*> nodes;
  for (const Operand& o : e.operands) {
    const PureNode* n = nullptr;
    switch (o.kind) {
      case Operand::IntLiteral: {
        PureNode* c = make(PureNode::Const, false);
        c->value = o.intValue;
        n = c;
        break;
      }
      case Operand::Paren:
        n = o.inner->pureRoot;
        break;
      case Operand::Variable: {
        const VarAccess& a = *o.var;
        if (a.root.kind == NameRef::SelfProperty || a.root.kind == NameRef::None) return false;
        Type* t = TypeOf(a.root);
        std::vector<PureNode::Step> steps;
        for (const compiled::Selector& sel : a.selectors) {
          if (sel.kind == compiled::Selector::Index) {
            for (const auto& idx : sel.indexes) {
              if (!idx->pureRoot || idx->pureRoot->boolean || !t || t->code != TypeCode::Array || !t->base)
                return false;
              steps.push_back({idx->pureRoot, kNoName});
              t = t->base->Resolved();
            }
          } else {
            if (!t || t->code != TypeCode::Record || !t->record) return false;
            const int f = t->record->Find(sel.name);
            if (f < 0) return false;
            steps.push_back({nullptr, sel.name});
            Type* ft = t->record->fields[static_cast<size_t>(f)].type;
            t = ft ? ft->Resolved() : nullptr;
          }
        }
        if (!t || (t->code != TypeCode::LongInt && t->code != TypeCode::Boolean)) return false;
        PureNode* load =
            make(steps.empty() ? PureNode::Load : PureNode::Element, t->code == TypeCode::Boolean);
        load->ref = a.root;
        load->steps = std::move(steps);
        n = load;
        break;
      }
      default:
        return false;
    }
    if (!n) return false;
    for (char p : o.prefixes) {
      if (p == '-') {
        if (n->boolean) return false;
        PureNode* neg = make(PureNode::Negate, false);
        neg->a = n;
        n = neg;
      } else {
        PureNode* nt = make(n->boolean ? PureNode::BoolNot : PureNode::Not, n->boolean);
        nt->a = n;
        n = nt;
      }
    }
    nodes.push_back(n);
  }
  for (const compiled::Step& st : e.steps) {
    const PureNode* l = nodes[st.a];
    const PureNode* r = nodes[st.b];
    if (l->boolean != r->boolean) return false;
    PureNode::Op op;
    bool boolean = true;
    if (!l->boolean) {
      switch (st.op) {
        case kOpAdd:
          op = PureNode::Add, boolean = false;
          break;
        case kOpSubtract:
          op = PureNode::Subtract, boolean = false;
          break;
        case kOpMultiply:
          op = PureNode::Multiply, boolean = false;
          break;
        case kOpIntDivide:
          op = PureNode::IntDivide, boolean = false;
          break;
        case kOpMod:
          op = PureNode::Mod, boolean = false;
          break;
        case kOpAnd:
          op = PureNode::And, boolean = false;
          break;
        case kOpOr:
          op = PureNode::Or, boolean = false;
          break;
        case kOpXor:
          op = PureNode::Xor, boolean = false;
          break;
        case kOpShl:
          op = PureNode::Shl, boolean = false;
          break;
        case kOpShr:
          op = PureNode::Shr, boolean = false;
          break;
        case kOpEqual:
          op = PureNode::Equal;
          break;
        case kOpNotEqual:
          op = PureNode::NotEqual;
          break;
        case kOpLess:
          op = PureNode::Less;
          break;
        case kOpGreater:
          op = PureNode::Greater;
          break;
        case kOpLessEqual:
          op = PureNode::LessEqual;
          break;
        case kOpGreaterEqual:
          op = PureNode::GreaterEqual;
          break;
        default:
          return false;
      }
    } else {
      switch (st.op) {
        case kOpAnd:
          op = PureNode::BoolAnd;
          break;
        case kOpOr:
          op = PureNode::BoolOr;
          break;
        case kOpXor:
          op = PureNode::BoolXor;
          break;
        case kOpEqual:
          op = PureNode::BoolEqual;
          break;
        case kOpNotEqual:
          op = PureNode::BoolNotEqual;
          break;
        case kOpLess:
          op = PureNode::BoolLess;
          break;
        case kOpGreater:
          op = PureNode::BoolGreater;
          break;
        case kOpLessEqual:
          op = PureNode::BoolLessEqual;
          break;
        case kOpGreaterEqual:
          op = PureNode::BoolGreaterEqual;
          break;
        default:
          return false;
      }
    }
    PureNode* n = make(op, boolean);
    n->a = l;
    n->b = r;
    nodes[st.a] = n;
  }
  e.pureRoot = nodes.empty() ? nullptr : nodes[0];
  if (!e.pureRoot) return false;
  e.pureBoolean = e.pureRoot->boolean;
  e.pureFn = GeneratePure(e.pureRoot, e);
  return true;
}

// The runnable form of a machine-word tree: a node per operator, its operands read in place
// when they are constants or plain locals and globals.
const compiled::PureFn* Compiler::GeneratePure(const compiled::PureNode* n, Expr& owner) {
  using compiled::PureFn;
  using compiled::PureNode;
  using From = PureFn::From;
  auto make = [&] {
    owner.pureFns.push_back(std::make_unique<PureFn>());
    return owner.pureFns.back().get();
  };
  auto operand = [&](const PureNode* x) {
    PureFn::Operand o;
    o.boolean = x->boolean;
    if (x->op == PureNode::Const) {
      o.from = From::Constant;
      o.index = static_cast<int32_t>(x->value);
    } else if (x->op == PureNode::Load && x->ref.kind == NameRef::Local) {
      o.from = From::Local;
      o.index = x->ref.index;
    } else if (x->op == PureNode::Load && x->ref.kind == NameRef::Global) {
      o.from = From::Global;
      o.global = x->ref.global;
    } else {
      o.from = From::Node;
      o.node = GeneratePure(x, owner);
    }
    return o;
  };
  PureFn* f = make();
  f->boolean = n->boolean;
  switch (n->op) {
    case PureNode::Const:
    case PureNode::Load:
      if (n->op == PureNode::Load && n->ref.kind == NameRef::SelfField) {
        f->eval = compiled::EvalSelfField;
        f->field = n->ref.index;
        return f;
      }
      f->a = operand(n);
      f->eval = compiled::OperandEval(f->a.from);
      return f;
    case PureNode::Element:
      f->eval = compiled::EvalElement;
      if (n->ref.kind == NameRef::SelfField) {
        f->field = n->ref.index;
      } else {
        f->root.from = n->ref.kind == NameRef::Local ? From::Local : From::Global;
        f->root.index = n->ref.index;
        f->root.global = n->ref.global;
      }
      for (const PureNode::Step& st : n->steps)
        f->steps.push_back({st.index ? GeneratePure(st.index, owner) : nullptr, st.field, nullptr, -1});
      return f;
    case PureNode::Negate:
    case PureNode::Not:
    case PureNode::BoolNot:
      f->a = operand(n->a);
      f->eval = compiled::UnaryEval(n->op == PureNode::Negate ? compiled::PureUnary::Negate
                                    : n->op == PureNode::Not  ? compiled::PureUnary::Not
                                                              : compiled::PureUnary::BoolNot,
                                    f->a.from);
      return f;
    default:
      break;
  }
  compiled::PureOp op;
  switch (n->op) {
    case PureNode::Add:
      op = compiled::PureOp::Add;
      break;
    case PureNode::Subtract:
      op = compiled::PureOp::Subtract;
      break;
    case PureNode::Multiply:
      op = compiled::PureOp::Multiply;
      break;
    case PureNode::IntDivide:
      op = compiled::PureOp::IntDivide;
      break;
    case PureNode::Mod:
      op = compiled::PureOp::Mod;
      break;
    case PureNode::And:
    case PureNode::BoolAnd:
      op = compiled::PureOp::And;
      break;
    case PureNode::Or:
    case PureNode::BoolOr:
      op = compiled::PureOp::Or;
      break;
    case PureNode::Xor:
    case PureNode::BoolXor:
      op = compiled::PureOp::Xor;
      break;
    case PureNode::Shl:
      op = compiled::PureOp::Shl;
      break;
    case PureNode::Shr:
      op = compiled::PureOp::Shr;
      break;
    case PureNode::Equal:
    case PureNode::BoolEqual:
      op = compiled::PureOp::Equal;
      break;
    case PureNode::NotEqual:
    case PureNode::BoolNotEqual:
      op = compiled::PureOp::NotEqual;
      break;
    case PureNode::Less:
    case PureNode::BoolLess:
      op = compiled::PureOp::Less;
      break;
    case PureNode::Greater:
    case PureNode::BoolGreater:
      op = compiled::PureOp::Greater;
      break;
    case PureNode::LessEqual:
    case PureNode::BoolLessEqual:
      op = compiled::PureOp::LessEqual;
      break;
    default:
      op = compiled::PureOp::GreaterEqual;
      break;
  }
  f->a = operand(n->a);
  f->b = operand(n->b);
  f->eval = compiled::BinaryEval(op, f->a.from, f->b.from);
  return f;
}

// The walker's order of operator applications: level 1 first, then 2, then 3, each left to right,
// every application merging its right operand into its left one.
void Compiler::Schedule(Expr& e) const {
  std::vector<uint8_t> live(e.operands.size());
  for (size_t k = 0; k < live.size(); ++k) live[k] = static_cast<uint8_t>(k);
  std::vector<uint8_t> ops = e.ops;
  for (int level = 1; level <= 3 && !ops.empty(); ++level) {
    size_t k = 0;
    while (k < ops.size()) {
      if (LevelOf(ops[k]) != level || k + 1 >= live.size()) {
        ++k;
        continue;
      }
      e.steps.push_back({ops[k], live[k], live[k + 1]});
      live.erase(live.begin() + static_cast<ptrdiff_t>(k + 1));
      ops.erase(ops.begin() + static_cast<ptrdiff_t>(k));
    }
  }
}

bool Compiler::CompileOperand(int32_t i, TK stop, Operand& o) {
  o.cursor = i;
  int32_t j = i;
  while (K(j) == TK::Minus || K(j) == TK::Not || K(j) == TK::Plus) {
    if (K(j) != TK::Plus) o.prefixes += K(j) == TK::Minus ? '-' : '!';
    j = Nx(j);
  }
  o.primary = j;
  auto walk = [&] {
    o.kind = Operand::Walk;
    o.var.reset();
    o.inner.reset();
    o.call.reset();
    o.method.reset();
    o.end = WalkedOperandEnd(o.primary, stop);
    return true;
  };
  const Token& t = T(j);
  switch (t.kind) {
    case TK::Integer:
    case TK::Hex:
      o.kind = Operand::IntLiteral;
      o.intValue = t.intValue;
      o.end = Nx(j);
      return true;
    case TK::Real:
      o.kind = Operand::RealLiteral;
      o.realValue = s_.parser_.RealValue(t);
      o.end = Nx(j);
      return true;
    case TK::String:
    case TK::Char: {
      o.kind = Operand::StringLiteral;
      const int32_t saved = s_.parser_.Index();
      s_.parser_.SetIndex(j);
      o.str = s_.parser_.ReadStringRun();
      o.end = s_.parser_.Index();
      s_.parser_.SetIndex(saved);
      return true;
    }
    case TK::OpenRound: {
      auto inner = CompileExpr(Nx(j), TK::CloseRound);
      if (!inner || K(inner->end) != TK::CloseRound) return walk();
      const int32_t after = Nx(inner->end);
      if (IsSelectorToken(K(after))) return walk();
      o.kind = Operand::Paren;
      o.inner = std::move(inner);
      o.end = after;
      return true;
    }
    case TK::Identifier: {
      Resolution r = Resolve(t.name, j);
      if (r.kind == Resolution::Variable) {
        int32_t dot = -1;
        Type* cls = nullptr;
        auto acc = CompileVarAccess(j, r.ref, false, dot, cls);
        if (!acc) return walk();
        if (dot >= 0) {
          auto m = std::make_unique<compiled::MethodSelector>();
          if (!CompileMethod(dot, cls, *m) || IsSelectorToken(K(m->call.end))) return walk();
          o.kind = Operand::MethodCall;
          o.end = m->call.end;
          o.var = std::move(acc);
          o.method = std::move(m);
          return true;
        }
        o.kind = Operand::Variable;
        o.end = acc->end;
        o.var = std::move(acc);
        return true;
      }
      if (r.kind == Resolution::Routine || r.kind == Resolution::SelfMethod) {
        auto call = std::make_unique<compiled::Call>();
        if (!CompileCall(j, r.routine, *call) || IsSelectorToken(K(call->end))) return walk();
        call->onSelf = r.kind == Resolution::SelfMethod;
        o.kind = Operand::Call;
        o.end = call->end;
        o.call = std::move(call);
        return true;
      }
      return walk();
    }
    default:
      return walk();
  }
}

// Where the walker's reading of an operand that starts at i ends when it succeeds: the first
// operator or end of the expression outside brackets.
int32_t Compiler::WalkedOperandEnd(int32_t i, TK stop) const {
  int32_t nesting = 0;
  for (int32_t j = i;; j = Nx(j)) {
    const TK k = K(j);
    if (k == TK::EndOfText) return j;
    if (nesting == 0 && j > i && (k == stop || EndsExpression(k) || OperatorFor(k).level > 0)) return j;
    if (k == TK::OpenRound || k == TK::OpenBlock) {
      ++nesting;
    } else if (k == TK::CloseRound || k == TK::CloseBlock) {
      if (nesting == 0) return j;
      --nesting;
    }
  }
}

std::unique_ptr<VarAccess> Compiler::CompileVarAccess(int32_t i, const NameRef& root, bool variableMode,
                                                      int32_t& method, Type*& methodClass) {
  method = -1;
  auto a = std::make_unique<VarAccess>();
  a->cursor = i;
  a->name = T(i).name;
  a->root = root;
  a->generation = body_.generation;
  a->simpleShape = K(Nx(i)) != TK::OpenRound;
  a->pureIndexes = true;
  Type* type = TypeOf(root);
  int32_t j = Nx(i);
  for (;;) {
    const TK k = K(j);
    if (k == TK::OpenBlock) {
      compiled::Selector sel;
      sel.kind = compiled::Selector::Index;
      sel.cursor = j;
      int32_t jj = j;
      for (;;) {
        auto e = CompileExpr(Nx(jj), TK::CloseBlock);
        if (!e) return nullptr;
        if (!e->pureRoot || e->pureRoot->boolean) a->pureIndexes = false;
        jj = e->end;
        sel.indexes.push_back(std::move(e));
        if (K(jj) == TK::Comma) continue;
        if (K(jj) != TK::CloseBlock) return nullptr;
        break;
      }
      // The walker's simple walk: `[literal]` or `[name]`, one token between the brackets.
      const int32_t inside = Nx(j);
      if (sel.indexes.size() == 1 && K(inside) != TK::EndOfText && K(Nx(inside)) == TK::CloseBlock) {
        if (K(inside) == TK::Integer || K(inside) == TK::Hex) {
          sel.simple = true;
          sel.simpleLiteral = true;
          sel.literal = T(inside).intValue;
        } else if (K(inside) == TK::Identifier) {
          sel.simple = true;
          sel.indexVar = PlainVariable(T(inside).name);
        }
      }
      if (!sel.simple) a->simpleShape = false;
      type = type && type->code == TypeCode::Array && type->base ? type->base->Resolved() : nullptr;
      a->selectors.push_back(std::move(sel));
      j = Nx(jj);
      continue;
    }
    if (k == TK::Period) {
      if (K(Nx(j)) != TK::Identifier) return nullptr;
      const NameId name = T(Nx(j)).name;
      compiled::Selector sel;
      sel.kind = compiled::Selector::Field;
      sel.cursor = j;
      sel.name = name;
      sel.simple = true;
      if (type && type->code == TypeCode::Class) {
        NameRef member;
        Type* memberType = nullptr;
        if (FindMemberStatic(type, name, false, member, memberType)) {
          if (variableMode || member.kind == NameRef::SelfProperty) return nullptr;
          a->simpleShape = false;
          a->recordFieldsOnly = false;
          type = memberType;
        } else if (!variableMode && s_.FindMethod(nullptr, type, name, false)) {
          method = j;
          methodClass = type;
          a->end = j;
          return a;
        } else {
          return nullptr;
        }
      } else if (type && type->code == TypeCode::Record) {
        int f = type->record ? type->record->Find(name) : -1;
        if (f < 0) return nullptr;
        Type* ft = type->record->fields[static_cast<size_t>(f)].type;
        type = ft ? ft->Resolved() : nullptr;
      } else {
        return nullptr;
      }
      a->selectors.push_back(std::move(sel));
      j = Nx(Nx(j));
      continue;
    }
    if (k == TK::Caret || k == TK::OpenRound) return nullptr;
    break;
  }
  a->end = j;
  return a;
}

bool Compiler::CompileCall(int32_t i, Routine* routine, compiled::Call& call) {
  call.routine = routine;
  call.cursor = i;
  call.generation = body_.generation;
  const ParamList& decl = routine->decl;
  const size_t n = decl.params.size();
  int32_t j = Nx(i);
  if (n == 0) {
    if (K(j) == TK::OpenRound) {
      if (K(Nx(j)) != TK::CloseRound) return false;
      j = Nx(Nx(j));
    }
    call.end = j;
    return true;
  }
  if (K(j) != TK::OpenRound) return false;
  for (size_t k = 0; k < n; ++k) {
    compiled::Arg arg;
    arg.mode = decl.params[k].mode;
    arg.cursor = Nx(j);
    int32_t jj;
    if (arg.mode == ParamMode::Value) {
      arg.value = CompileExpr(arg.cursor, TK::CloseRound);
      if (!arg.value) return false;
      jj = arg.value->end;
    } else {
      if (K(arg.cursor) != TK::Identifier) return false;
      Resolution r = Resolve(T(arg.cursor).name, arg.cursor);
      if (r.kind != Resolution::Variable) return false;
      int32_t dot;
      Type* cls;
      arg.var = CompileVarAccess(arg.cursor, r.ref, true, dot, cls);
      if (!arg.var || dot >= 0) return false;
      jj = arg.var->end;
    }
    if (K(jj) != (k + 1 < n ? TK::Comma : TK::CloseRound)) return false;
    call.args.push_back(std::move(arg));
    j = jj;
  }
  call.end = Nx(j);
  return true;
}

bool Compiler::CompileMethod(int32_t dot, Type* staticClass, compiled::MethodSelector& m) {
  m.cursor = dot;
  m.name = T(Nx(dot)).name;
  Routine* method = s_.FindMethod(nullptr, staticClass, m.name, false);
  if (!method) return false;
  return CompileCall(Nx(dot), method, m.call);
}

// ---- names ----

int Compiler::LocalSlot(NameId name) const {
  return locals_ ? locals_->Find(name) : -1;
}

NameRef Compiler::PlainVariable(NameId name) const {
  NameRef ref;
  const ScriptEngine::Symbol* sym = s_.FindSymbol(name);
  if (sym && sym->type && !sym->routine) return ref;
  int slot = LocalSlot(name);
  if (slot >= 0) {
    ref.kind = NameRef::Local;
    ref.index = slot;
    return ref;
  }
  if (sym && sym->global >= 0) {
    ref.kind = NameRef::Global;
    ref.index = sym->global;
    ref.global = s_.globals_.Get(sym->global);
  }
  return ref;
}

// ReadDesignator's order: members of SELF in a method, type names, locals, globals, routines
// (a function's own name without '(' inside it is its result).
Compiler::Resolution Compiler::Resolve(NameId name, int32_t cursor) const {
  Resolution r;
  if (body_.method && body_.selfClass) {
    Type* memberType = nullptr;
    if (FindMemberStatic(body_.selfClass, name, true, r.ref, memberType)) {
      r.kind = Resolution::Variable;
      return r;
    }
    if (Routine* m = s_.FindMethod(nullptr, body_.selfClass, name, true)) {
      r.kind = Resolution::SelfMethod;
      r.routine = m;
      return r;
    }
  }
  const ScriptEngine::Symbol* sym = s_.FindSymbol(name);
  if (sym && sym->type && !sym->routine) return r;
  int slot = LocalSlot(name);
  if (slot >= 0) {
    r.kind = Resolution::Variable;
    r.ref.kind = NameRef::Local;
    r.ref.index = slot;
    return r;
  }
  if (sym && sym->global >= 0) {
    r.kind = Resolution::Variable;
    r.ref.kind = NameRef::Global;
    r.ref.index = sym->global;
    r.ref.global = s_.globals_.Get(sym->global);
    return r;
  }
  Routine* routine = sym ? sym->routine : nullptr;
  if (!routine) return r;
  if (routine == routine_ && routine->decl.result && locals_ && K(Nx(cursor)) != TK::OpenRound) {
    int result = LocalSlot(names::Result);
    if (result >= 0) {
      r.kind = Resolution::Variable;
      r.ref.kind = NameRef::Local;
      r.ref.index = result;
    }
    return r;
  }
  r.kind = Resolution::Routine;
  r.routine = routine;
  return r;
}

Type* Compiler::TypeOf(const NameRef& ref) const {
  Value* v = nullptr;
  switch (ref.kind) {
    case NameRef::Local:
      v = locals_ ? locals_->Get(ref.index) : nullptr;
      break;
    case NameRef::Global:
      v = ref.global;
      break;
    case NameRef::SelfField: {
      for (Type* c = body_.selfClass; c; c = c->cls ? c->cls->ancestor : nullptr) {
        const ClassType& d = *c->cls;
        if (ref.index >= d.inheritedFieldCount && ref.index < d.FieldCount()) {
          Type* t = d.fields[static_cast<size_t>(ref.index - d.inheritedFieldCount)].type;
          return t ? t->Resolved() : nullptr;
        }
      }
      return nullptr;
    }
    default:
      return nullptr;
  }
  return v ? v->Deref()->type : nullptr;
}

// ---- skips, as the walker's SkipBlock, SkipStatement, SkipExpression and FindTryPart scan ----

bool Compiler::SkipBlockEnd(int32_t i, int32_t& end) const {
  int depth = 1;
  for (int32_t j = Nx(i);; j = Nx(j)) {
    switch (K(j)) {
      case TK::EndOfText:
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
          end = Nx(j);
          return true;
        }
        break;
      default:
        break;
    }
  }
}

bool Compiler::SkipStatementEnd(int32_t i, int32_t& end, int32_t& depth) const {
  depth = 1;
  int ifs = 1;
  int32_t j = i;
  for (;;) {
    switch (K(j)) {
      case TK::EndOfText:
        return false;
      case TK::Semicolon:
      case TK::End:
      case TK::Until:
        end = j;
        return true;
      case TK::Begin:
      case TK::Case:
      case TK::Repeat:
      case TK::Try: {
        int32_t after;
        if (!SkipBlockEnd(j, after)) return false;
        depth = 2;
        j = after;
        continue;
      }
      case TK::If:
        ++ifs;
        break;
      case TK::Else:
        if (--ifs == 0) {
          end = j;
          return true;
        }
        break;
      default:
        break;
    }
    j = Nx(j);
  }
}

Skip Compiler::SkipBlockAt(int32_t i) const {
  Skip s;
  s.cursor = i;
  s.block = true;
  s.depth = 1;
  s.known = SkipBlockEnd(i, s.end);
  return s;
}

Skip Compiler::SkipStatementOrBlock(int32_t i) const {
  if (K(i) == TK::Begin) {
    Skip s = SkipBlockAt(i);
    s.block = false;
    return s;
  }
  Skip s;
  s.cursor = i;
  s.known = SkipStatementEnd(i, s.end, s.depth);
  return s;
}

int32_t Compiler::SkipExpressionEnd(int32_t i) const {
  int parens = 0;
  for (int32_t j = i;; j = Nx(j)) {
    switch (K(j)) {
      case TK::EndOfText:
        return -1;
      case TK::OpenRound:
      case TK::OpenBlock:
        ++parens;
        break;
      case TK::CloseRound:
      case TK::CloseBlock:
        if (parens == 0) return j;
        --parens;
        break;
      case TK::Semicolon:
      case TK::End:
      case TK::Else:
      case TK::Until:
      case TK::Except:
      case TK::Finally:
        if (parens == 0) return j;
        break;
      default:
        break;
    }
  }
}

int32_t Compiler::TryPart(int32_t tryCursor) const {
  int depth = 0;
  for (int32_t j = Nx(tryCursor);; j = Nx(j)) {
    switch (K(j)) {
      case TK::EndOfText:
        return -1;
      case TK::Begin:
      case TK::Case:
      case TK::Repeat:
      case TK::Try:
        ++depth;
        break;
      case TK::End:
      case TK::Until:
        if (depth == 0) return -1;
        --depth;
        break;
      case TK::Except:
      case TK::Finally:
        if (depth == 0) return j;
        break;
      default:
        break;
    }
  }
}

}  // namespace quoll
