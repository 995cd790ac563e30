// Compiler: translates a body (the main block or a routine body) into compiled nodes, reading the
// tokens the way the walker reads them when it runs the body.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/compiled.h"
#include "engine/engine_internal.h"

namespace quoll {

class Compiler {
 public:
  // `locals` is the variable list the body runs with (nullptr for the main block), `routine` the
  // running routine (nullptr for the main block).
  Compiler(ScriptEngine& script, compiled::Body& body, Routine* routine, VariableList* locals);
  // The block the walker's RunBlock(scope, false) runs at the cursor.
  std::unique_ptr<compiled::Block> CompileBody(int32_t cursor);
  // One statement of a body at the cursor, as CompileBody would translate it in its block;
  // nullptr when only the walker could go on after it.
  std::unique_ptr<compiled::Stmt> CompileLoneStatement(int32_t cursor);

 private:
  using TK = TokenKind;
  using Block = compiled::Block;
  using Stmt = compiled::Stmt;
  using Expr = compiled::Expr;
  using Operand = compiled::Operand;
  using VarAccess = compiled::VarAccess;
  using NameRef = compiled::NameRef;
  using Skip = compiled::Skip;

  // What a name stands for at a point of the body, as ReadDesignator would find it.
  struct Resolution {
    enum Kind : uint8_t { Variable, Routine, SelfMethod, Other } kind = Other;
    NameRef ref;
    quoll::Routine* routine = nullptr;
  };

  const Token& T(int32_t i) const { return s_.parser_.At(i); }
  TK K(int32_t i) const { return T(i).kind; }
  int32_t Nx(int32_t i) const { return i < count_ ? i + 1 : count_; }

  std::unique_ptr<Block> CompileBlock(int32_t cursor, Block::Kind kind);
  std::unique_ptr<Block> CompileBranch(int32_t cursor);  // a begin block or one statement
  // The end of a branch when it runs normally (-1 when it never does), and whether its run and
  // its skip end at the same token.
  int32_t RunEnd(const Block& b) const;
  std::unique_ptr<Stmt> CompileStatement(int32_t i);
  std::unique_ptr<Stmt> WalkedStatement(int32_t i);
  std::unique_ptr<Stmt> CompileSimple(int32_t i);
  std::unique_ptr<Stmt> CompileIf(int32_t i);
  std::unique_ptr<Stmt> CompileWhile(int32_t i);
  std::unique_ptr<Stmt> CompileFor(int32_t i);
  std::unique_ptr<Stmt> CompileRepeat(int32_t i);
  std::unique_ptr<Stmt> CompileCase(int32_t i);
  std::unique_ptr<Stmt> CompileTry(int32_t i);
  std::unique_ptr<Stmt> CompileBegin(int32_t i);

  // Expressions; nullptr when the compiler leaves the expression to the walker.
  std::unique_ptr<Expr> CompileExpr(int32_t i, TK stop);
  bool CompileOperand(int32_t i, TK stop, Operand& out);
  int32_t WalkedOperandEnd(int32_t i, TK stop) const;
  void Schedule(Expr& e) const;
  static Expr::Shape ShapeOf(const Expr& e);
  bool BuildPure(Expr& e);
  const compiled::PureFn* GeneratePure(const compiled::PureNode* n, Expr& owner);
  // A variable with its selectors from the name at i on; nullptr when it takes a form the
  // compiler leaves to the walker. A trailing `.Method` on an object is left for the caller:
  // `method` names it (the '.' token) when one follows.
  std::unique_ptr<VarAccess> CompileVarAccess(int32_t i, const NameRef& root, bool variableMode,
                                              int32_t& method, Type*& methodClass);
  bool CompileCall(int32_t i, Routine* routine, compiled::Call& call);
  bool CompileMethod(int32_t dot, Type* staticClass, compiled::MethodSelector& m);

  Resolution Resolve(NameId name, int32_t cursor) const;
  NameRef PlainVariable(NameId name) const;  // LookupPlainVariable's answer
  int LocalSlot(NameId name) const;
  Type* TypeOf(const NameRef& ref) const;  // the variable's type now (a hint for the parse)

  // The walker's skips, measured.
  Skip SkipStatementOrBlock(int32_t i) const;
  Skip SkipBlockAt(int32_t i) const;
  bool SkipBlockEnd(int32_t i, int32_t& end) const;
  bool SkipStatementEnd(int32_t i, int32_t& end, int32_t& depth) const;
  int32_t SkipExpressionEnd(int32_t i) const;
  int32_t TryPart(int32_t tryCursor) const;  // the EXCEPT or FINALLY FindTryPart finds; -1 on error
  int32_t PredictStatementEnd(int32_t i) const;

  ScriptEngine& s_;
  compiled::Body& body_;
  Routine* routine_;
  VariableList* locals_;
  int32_t count_;
  int depth_ = 0;
  static constexpr int kMaxDepth = 200;  // deeper constructs are walked
};

}  // namespace quoll
