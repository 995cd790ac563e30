// Expression evaluation: operand lists with three precedence levels and their operands.
#include "engine/engine_internal.h"
#include "engine/operators.h"

namespace quoll {

namespace {
using TK = TokenKind;
}  // namespace

bool ScriptEngine::Evaluate(Scope scope, TK stop, Value& dest) {
  struct Nested {
    int32_t& depth;
    ~Nested() { --depth; }
  } nested{++depths_->expressions};
  if (nested.depth > kMaxExpressionNesting) return Fail(ErrorCode::OutOfMemory);
  if (StackExhausted()) return false;
  // The most common expression: one integer literal or one plain integer variable straight into an
  // integer destination (`i := 0`, `x := y`, an argument `n`).
  {
    const Token& t = parser_.Cur();
    TK next = t.kind == TK::EndOfText ? TK::EndOfText : parser_.PeekKind();
    if ((next == stop || EndsExpression(next)) && next != TK::EndOfText) {
      Value* d = dest.Deref();
      if (d->IsInteger()) {
        if (t.kind == TK::Integer || t.kind == TK::Hex) {
          d->SetInt(t.intValue);
          parser_.Next();
          return true;
        }
        if (t.kind == TK::Identifier && scope.with->empty()) {
          Value* var = LookupPlainVariable(t.name, scope.locals);
          if (var && (var = var->Deref())->IsInteger()) {
            d->SetInt(var->v.i);
            parser_.Next();
            return true;
          }
        }
      }
    }
  }
  if (scope.with->empty() && EvaluateSimpleBinary(scope.locals, stop, dest)) return true;
  const size_t base = operands_.size();
  const size_t opBase = operators_.size();
  // The shared stacks are cut back to where this evaluation found them on every way out. The
  // loop, the operators and the result are written out here rather than through EvaluateFrom,
  // ApplyOperators and FinishEvaluation (which the compiled executor continues with): the walker
  // runs every expression through it, and the calls cost it a sixth of its time.
  OperandStackRestore restore{*this, base, opBase};

  bool expectOperand = true;
  for (;;) {
    TK k = parser_.CurrTokenKind();
    if (k == stop || EndsExpression(k)) break;
    if (k == TK::EndOfText) {
      SetError(ErrorCode::UnexpectedEndOfFile);
      return false;
    }
    if (expectOperand) {
      operands_.emplace_back();
      if (!ReadOperand(scope, dest, operands_.size() - 1)) return false;
    } else {
      OperatorInfo info = OperatorFor(k);
      if (info.level == 0) {
        SetError(ErrorCode::ErrorInExpression);
        return false;
      }
      if (info.operation == kOpDivide) {
        Value* d = dest.Deref();
        if (d->code() == TypeCode::Reference && !d->target) d->ChangeType(StdType(TypeCode::Extended));
      }
      operators_.push_back(static_cast<uint8_t>(info.operation));
      parser_.Next();
    }
    expectOperand = !expectOperand;
  }

  // Apply the operators level by level, left to right within a level.
  if (operators_.size() == opBase + 1 && operands_.size() == base + 2) {
    if (!DoOperation(operands_[base], operands_[base + 1], operators_[opBase]) || error_.Failed())
      return false;
    operands_.pop_back();
    operators_.pop_back();
  }
  for (int level = 1; level <= 3 && operators_.size() > opBase; ++level) {
    size_t i = opBase;
    while (i < operators_.size()) {
      size_t left = base + (i - opBase);
      if (LevelOf(operators_[i]) != level || left + 1 >= operands_.size()) {
        ++i;
        continue;
      }
      if (!DoOperation(operands_[left], operands_[left + 1], operators_[i]) || error_.Failed()) return false;
      operands_.erase(operands_.begin() + static_cast<ptrdiff_t>(left + 1));
      operators_.erase(operators_.begin() + static_cast<ptrdiff_t>(i));
    }
  }
  if (operands_.size() != base + 1 || operators_.size() != opBase) {
    SetError(ErrorCode::ErrorInExpression);
    return false;
  }
  // The result is a temporary: a string moves into the destination instead of being copied.
  Value& result = operands_[base];
  Value* d = dest.Deref();
  if (d->code() == TypeCode::String && result.code() == TypeCode::String) {
    d->str = std::move(result.str);
    return true;
  }
  if (d->IsInteger() && result.IsInteger()) {
    d->SetInt(result.v.i);
    return true;
  }
  if (d->type == result.type && (d->code() == TypeCode::Boolean || IsRealCode(d->code()))) {
    d->v = result.v;
    return true;
  }
  return DoOperation(dest, result, kOpAssign);
}

// The operand loop of an evaluation whose operands start at `base` and operators at `opBase`,
// from the cursor on (expecting an operand or an operator), then the operators and the result.
// A compiled evaluation that has read some operands itself continues here.
bool ScriptEngine::EvaluateFrom(Scope scope, TK stop, Value& dest, size_t base, size_t opBase,
                                bool expectOperand) {
  for (;;) {
    TK k = parser_.CurrTokenKind();
    if (k == stop || EndsExpression(k)) break;
    if (k == TK::EndOfText) {
      SetError(ErrorCode::UnexpectedEndOfFile);
      return false;
    }
    if (expectOperand) {
      operands_.emplace_back();
      if (!ReadOperand(scope, dest, operands_.size() - 1)) return false;
    } else {
      OperatorInfo info = OperatorFor(k);
      if (info.level == 0) {
        SetError(ErrorCode::ErrorInExpression);
        return false;
      }
      if (info.operation == kOpDivide) {
        Value* d = dest.Deref();
        if (d->code() == TypeCode::Reference && !d->target) d->ChangeType(StdType(TypeCode::Extended));
      }
      operators_.push_back(static_cast<uint8_t>(info.operation));
      parser_.Next();
    }
    expectOperand = !expectOperand;
  }
  if (!ApplyOperators(base, opBase, 1)) return false;
  if (operands_.size() != base + 1 || operators_.size() != opBase) {
    SetError(ErrorCode::ErrorInExpression);
    return false;
  }
  return FinishEvaluation(dest, operands_[base]);
}

// Applies the operators level by level from `fromLevel` on, left to right within a level, each
// merging its two operands into the left one.
bool ScriptEngine::ApplyOperators(size_t base, size_t opBase, int fromLevel) {
  if (fromLevel == 1 && operators_.size() == opBase + 1 && operands_.size() == base + 2) {
    if (!DoOperation(operands_[base], operands_[base + 1], operators_[opBase]) || error_.Failed())
      return false;
    operands_.pop_back();
    operators_.pop_back();
  }
  for (int level = fromLevel; level <= 3 && operators_.size() > opBase; ++level) {
    size_t i = opBase;
    while (i < operators_.size()) {
      size_t left = base + (i - opBase);
      if (LevelOf(operators_[i]) != level || left + 1 >= operands_.size()) {
        ++i;
        continue;
      }
      if (!DoOperation(operands_[left], operands_[left + 1], operators_[i]) || error_.Failed()) return false;
      operands_.erase(operands_.begin() + static_cast<ptrdiff_t>(left + 1));
      operators_.erase(operators_.begin() + static_cast<ptrdiff_t>(i));
    }
  }
  return true;
}

// The result of an evaluation into its destination. The result is a temporary: a string moves
// into the destination instead of being copied.
bool ScriptEngine::FinishEvaluation(Value& dest, Value& result) {
  Value* d = dest.Deref();
  if (d->code() == TypeCode::String && result.code() == TypeCode::String) {
    d->str = std::move(result.str);
    return true;
  }
  if (d->IsInteger() && result.IsInteger()) {
    d->SetInt(result.v.i);
    return true;
  }
  if (d->type == result.type && (d->code() == TypeCode::Boolean || IsRealCode(d->code()))) {
    d->v = result.v;
    return true;
  }
  return DoOperation(dest, result, kOpAssign);
}

// Reads one operand into operands_[slot]. The slot is fetched again after anything that may
// evaluate (and so grow the operand stack).
bool ScriptEngine::ReadOperand(Scope scope, Value& dest, size_t slot) {
  // Prefix operators, applied afterwards in the order written.
  std::string prefixes;
  while (parser_.CurrTokenKind() == TK::Minus || parser_.CurrTokenKind() == TK::Not ||
         parser_.CurrTokenKind() == TK::Plus) {
    TK k = parser_.CurrTokenKind();
    if (k != TK::Plus) prefixes += k == TK::Minus ? '-' : '!';
    parser_.Next();
  }
  Type* destType = dest.Deref()->type;
  TypeCode dc = destType ? destType->code : TypeCode::NilType;
  const Token& t = parser_.Cur();
  switch (t.kind) {
    case TK::Integer:
    case TK::Hex: {
      Value& out = operands_[slot];
      out.type = dc >= TypeCode::ShortInt && dc <= TypeCode::LongInt ? destType : StdType(TypeCode::LongInt);
      out.v.i = TruncateToWidth(out.type->code, t.intValue);
      parser_.Next();
      break;
    }
    case TK::Real: {
      Value& out = operands_[slot];
      out.type = IsRealCode(dc) ? destType : StdType(TypeCode::Extended);
      out.SetReal(parser_.RealValue(t));
      parser_.Next();
      break;
    }
    case TK::String:
    case TK::Char: {
      Value& out = operands_[slot];
      out.type = StdType(TypeCode::String);
      out.str = parser_.ReadStringRun();
      break;
    }
    case TK::OpenRound: {
      parser_.Next();
      Value inner(varType_);
      if (!Evaluate(scope, TK::CloseRound, inner)) return false;
      if (parser_.CurrTokenKind() != TK::CloseRound) {
        SetError(ErrorCode::CloseRoundExpected);
        return false;
      }
      parser_.Next();
      TK after = parser_.CurrTokenKind();
      if (after == TK::Period || after == TK::OpenBlock || after == TK::Caret) {
        // `(a as TFoo).Field` in an expression: selectors apply to the parenthesised value, as
        // they do when a statement starts with `(`.
        Designator d{Designator::Value, NewValue(std::move(inner))};
        if (!ReadSelectors(scope, DesignatorMode::Statement, d)) return false;
        if (!d.var) {
          SetError(ErrorCode::TypeMismatch);
          return false;
        }
        if (!OperandFromDesignator(d, slot)) return false;
        break;
      }
      operands_[slot] = std::move(inner);
      break;
    }
    case TK::OpenBlock: {
      if (dc != TypeCode::Array) {
        SetError(ErrorCode::TypeMismatch);
        return false;
      }
      Value array(destType);
      parser_.Next();
      if (parser_.CurrTokenKind() == TK::CloseBlock) {  // [] is the empty array
        parser_.Next();
        operands_[slot] = std::move(array);
        break;
      }
      for (;;) {
        ValuePtr elem = Value::Create(destType->base);
        if (!elem || !Evaluate(scope, TK::CloseBlock, *elem)) return false;
        array.items.push_back(std::move(elem));
        if (parser_.CurrTokenKind() == TK::Comma) {
          parser_.Next();
          continue;
        }
        if (parser_.CurrTokenKind() != TK::CloseBlock) {
          SetError(ErrorCode::CloseBlockExpected);
          return false;
        }
        parser_.Next();
        break;
      }
      operands_[slot] = std::move(array);
      break;
    }
    case TK::Identifier:
      // The common case first: a plain variable, or one of its elements by simple indexes and
      // fields, read without building designators.
      if (scope.with->empty() && parser_.PeekKind() != TK::OpenRound && ReadSimpleElement(scope.locals, slot))
        break;
      [[fallthrough]];
    case TK::Inherited: {
      Designator d = ReadDesignator(scope, DesignatorMode::Statement);
      if (d.outcome == Designator::Failure) return false;
      if (!d.var) {  // a procedure was called
        SetError(ErrorCode::TypeMismatch);
        return false;
      }
      if (!OperandFromDesignator(d, slot)) return false;
      break;
    }
    case TK::At: {
      parser_.Next();
      Designator d = ReadDesignator(scope, DesignatorMode::RoutineAddress);
      if (d.outcome == Designator::Failure) return false;
      if (d.outcome == Designator::Variable || !d.var || d.var->code() != TypeCode::ProcType) {
        SetError(ErrorCode::TypeMismatch);
        return false;
      }
      operands_[slot] = std::move(*d.var);
      break;
    }
    default:
      SetError(ErrorCode::ErrorInExpression);
      return false;
  }
  for (char p : prefixes) {
    if (!(p == '-' ? operands_[slot].Negate() : operands_[slot].Not())) {
      SetError(ErrorCode::TypeMismatch);
      return false;
    }
  }
  return true;
}

// The value a designator stands for, as operand `slot`: a property is read, a variable copied,
// a value of the reader's own moved.
bool ScriptEngine::OperandFromDesignator(Designator& d, size_t slot) {
  Value* v = d.var->Deref();
  if (v->code() == TypeCode::PropertyRef) {
    ValuePtr value = ReadProperty(*v);
    if (!value) return false;
    operands_[slot] = std::move(*value);
  } else if (v->code() == TypeCode::NativeProperty) {
    Value value;
    if (!ReadNativeProperty(*v, value)) return false;
    operands_[slot] = std::move(value);
  } else if (d.outcome == Designator::Variable || d.var.use_count() > 1) {
    Value& out = operands_[slot];
    if (!out.CopyScalarFrom(*v)) {
      out.Init(v->type);
      if (!AssignValue(out, *v)) return false;
    }
  } else {
    operands_[slot] = std::move(*v);
  }
  operands_[slot].flags = 0;
  return true;
}

}  // namespace quoll
