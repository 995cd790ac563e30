// The compiled form of a body: blocks, statements, expressions and operands as the walker would
// find them in the tokens, with the token index the walker's cursor has at every step that can
// record an error or call out. Built by Compiler (compiler.cpp), run by the ScriptEngine's
// compiled executor (compiled_statements.cpp, compiled_expressions.cpp).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/pure_code.h"
#include "engine/script_engine.h"

namespace quoll::compiled {

struct Expr;
struct Block;

// A skipped branch: where the walker's skip ends and how many levels deeper than its start it
// goes. `known` is false when the skip reports an error (or was too deep to measure): the walker
// then skips it.
struct Skip {
  int32_t cursor = 0;
  int32_t end = 0;
  int32_t depth = 0;
  bool known = false;
  bool block = false;  // SkipBlock (BEGIN ... END, REPEAT ... UNTIL, TRY, EXCEPT); else SkipStatementOrBlock
};

// A name as the walker resolves it at that point of the body.
struct NameRef {
  enum Kind : uint8_t { None, Local, Global, SelfField, SelfProperty } kind = None;
  int32_t index = -1;       // Local: slot in the variable list; SelfField: field index;
                            // SelfProperty: index after the instance's own fields
  Value* global = nullptr;  // Global
};

// `[e, ...]` or `.name` after a variable.
struct Selector {
  enum Kind : uint8_t { Index, Field } kind = Index;
  int32_t cursor = 0;  // the '[' or '.'
  NameId name = kNoName;
  std::vector<std::unique_ptr<Expr>> indexes;
  // A step of the walker's simple walk: `[literal]`, `[name]` (one index) or `.name`.
  bool simple = false;
  bool simpleLiteral = false;
  int32_t literal = 0;
  NameRef indexVar;
};

// A variable by name with selectors, read or written.
struct VarAccess {
  int32_t cursor = 0;  // the name
  int32_t end = 0;     // the token after the designator
  NameId name = kNoName;
  NameRef root;
  std::vector<Selector> selectors;
  bool simpleShape = false;      // the walker's simple walk applies (every selector simple)
  bool pureIndexes = false;      // every index expression is pure
  bool recordFieldsOnly = true;  // no field selector that reaches into a class instance
  uint64_t generation = 0;
};

struct Arg {
  ParamMode mode = ParamMode::Value;
  int32_t cursor = 0;  // the first token of the argument
  std::unique_ptr<Expr> value;
  std::unique_ptr<VarAccess> var;  // var/const: a variable or an element
};

// A routine called by name (or a method on an object): arguments as the walker reads them.
struct Call {
  Routine* routine = nullptr;
  bool onSelf = false;  // a method of SELF called by its bare name inside a method
  int32_t cursor = 0;   // the routine's name
  int32_t end = 0;      // the token after the call
  std::vector<Arg> args;
  uint64_t generation = 0;
};

// A method call on the object a designator reaches: `.name(args)`.
struct MethodSelector {
  int32_t cursor = 0;  // the '.'
  NameId name = kNoName;
  Call call;  // routine: the method found through the static class when compiled (its declaration)
  // A small cache of the virtual dispatch: instance class and static class to method. A call
  // over a list of objects of a few classes finds each of them here; the oldest entry goes first.
  struct Dispatch {
    Type* staticClass = nullptr;
    Type* instanceClass = nullptr;
    Routine* method = nullptr;
  };
  static constexpr size_t kDispatchEntries = 4;
  mutable Dispatch dispatch[kDispatchEntries];
  mutable uint8_t nextDispatch = 0;
};

struct Operand {
  enum Kind : uint8_t { IntLiteral, RealLiteral, StringLiteral, Variable, Paren, Call, MethodCall, Walk };
  Kind kind = Walk;
  int32_t cursor = 0;    // the first token, prefix operators included
  int32_t primary = 0;   // the first token after the prefix operators
  int32_t end = 0;       // the token after the operand
  std::string prefixes;  // '-' and '!' (not) in the order written, as the walker applies them
  int32_t intValue = 0;
  long double realValue = 0;
  std::string str;
  std::unique_ptr<VarAccess> var;  // Variable; MethodCall: the object
  std::unique_ptr<Expr> inner;     // Paren
  std::unique_ptr<compiled::Call> call;
  std::unique_ptr<MethodSelector> method;  // MethodCall
};

// A node of an expression computed in machine words: every value is a LONGINT or a BOOLEAN, as
// the types of its variables were when it was compiled; a load finds the variable still of that
// type or gives up (and the general path evaluates the expression).
struct PureNode {
  enum Op : uint8_t {
    Const,
    Load,     // a variable by name
    Element,  // a variable with indexes and record fields
    Add,
    Subtract,
    Multiply,
    IntDivide,
    Mod,
    And,
    Or,
    Xor,
    Shl,
    Shr,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    Negate,
    Not,
    BoolAnd,
    BoolOr,
    BoolXor,
    BoolEqual,
    BoolNotEqual,
    BoolLess,
    BoolGreater,
    BoolLessEqual,
    BoolGreaterEqual,
    BoolNot,
  };
  Op op = Const;
  bool boolean = false;  // a BOOLEAN value (0 or 1), else a LONGINT
  int64_t value = 0;     // Const
  NameRef ref;           // Load, Element: the variable
  const PureNode* a = nullptr;
  const PureNode* b = nullptr;
  struct Step {
    const PureNode* index;  // nullptr: a record field
    NameId field;
  };
  std::vector<Step> steps;  // Element
};

// One operator application in the walker's order (level by level, left to right), with its two
// operands named by their places in the original operand list.
struct Step {
  uint8_t op = 0;
  uint8_t a = 0;  // the left operand's place in the original list; the result goes there
  uint8_t b = 0;  // the right operand's place
};

struct Expr {
  int32_t cursor = 0;  // the first token
  int32_t end = 0;     // the token that ends it (the stop token or one that ends every expression)
  TokenKind stop = TokenKind::Semicolon;
  std::vector<Operand> operands;
  std::vector<uint8_t> ops;  // operation codes between the operands
  std::vector<Step> steps;   // the operators in the order they apply
  bool hasDivide = false;
  bool hasLiterals = false;  // integer or real literals among its own operands (typed by the destination)
  // Every operand is free of side effects (literals, variables and their elements, nested such
  // expressions) and every operator is one of integers and booleans: computed in machine words.
  bool pure = false;
  std::vector<std::unique_ptr<PureNode>> pureNodes;
  const PureNode* pureRoot = nullptr;
  // The machine-word form to run (see pure_code.h) and whether its value is a BOOLEAN.
  std::vector<std::unique_ptr<PureFn>> pureFns;
  const PureFn* pureFn = nullptr;
  bool pureBoolean = false;
  uint64_t generation = 0;
  int32_t nesting = 1;  // the deepest chain of nested evaluations in it, itself included
  // `dest := dest + a + b ...` with string operands: appended in place.
  bool appendsToFirst = false;
  // Forms with a way of their own around the operand stack (each without prefix operators):
  // one call, one variable, a comparison of two variables or string literals.
  enum class Shape : uint8_t { General, OneCall, OneVariable, Comparison } shape = Shape::General;
};

// A statement of a compiled block.
struct Stmt {
  enum Kind : uint8_t {
    Assign,
    CallStmt,
    MethodStmt,
    If,
    While,
    For,
    Repeat,
    Case,
    Try,
    Begin,
    Walk,
    WalkRest
  };
  Kind kind = Walk;
  int32_t cursor = 0;  // the first token
  int32_t end = 0;     // where the block goes on after it; -1: unknown (the rest is walked)
  uint64_t generation = 0;
  // Assign: a plain local or global takes a machine-word expression (checked when it runs).
  bool pureTarget = false;
  // Assign: the target and the expression; the ':=' token.
  std::unique_ptr<VarAccess> target;
  int32_t assignCursor = 0;
  std::unique_ptr<Expr> expr;              // Assign, If/While/Repeat condition, Case selector, For start
  std::unique_ptr<Expr> expr2;             // For end
  std::unique_ptr<compiled::Call> call;    // CallStmt
  std::unique_ptr<MethodSelector> method;  // MethodStmt (target: the object)
  // If: branches; While/For: body; Repeat: the block; Try: the protected block.
  std::unique_ptr<Block> first;
  std::unique_ptr<Block> second;  // If: ELSE branch; Try: the FINALLY or EXCEPT part
  Skip firstSkip, secondSkip;
  int32_t elseCursor = -1;  // If: the ELSE token; Repeat: the UNTIL token; For/While: the DO token
  int32_t bodyCursor = 0;   // For/While: the body's first token
  bool down = false;        // For: DOWNTO
  NameRef loopVar;          // For
  NameId loopName = kNoName;
  int32_t exprCursor2 = 0;  // For: the end expression's first token
  // Repeat: the skip of the whole statement (BREAK) and where its condition ends when skipped.
  Skip wholeSkip;
  int32_t skipExprEnd = -1;
  // Try: the EXCEPT or FINALLY token and what FindTryPart gives.
  int32_t partCursor = -1;
  bool finallyPart = false;
  // Case: the branches.
  struct CaseBranch {
    int32_t cursor = 0;  // the first label (hook position)
    std::vector<std::unique_ptr<Expr>> labels;
    std::unique_ptr<Block> body;
    Skip skip;
    int32_t bodyEnd = 0;  // where the branch ends, run or skipped
    int32_t next = 0;     // the token after the branch and its optional ';'
  };
  std::vector<CaseBranch> branches;
  int32_t caseElse = -1;  // the ELSE token
  std::unique_ptr<Block> elseBody;
  Skip elseSkip;
  int32_t caseEnd = 0;  // the END token
};

struct Block {
  enum class Kind : uint8_t { Repeat, Try, Begin, Single };
  enum class End : uint8_t { Return, ReturnAfterNext, Error, Exit };
  Kind kind = Kind::Single;
  int32_t cursor = 0;  // where the block is entered (its BEGIN, REPEAT, TRY, or first statement)
  std::vector<std::unique_ptr<Stmt>> statements;
  End endKind = End::Return;
  int32_t endCursor = 0;  // the token that ends it
  ErrorCode endError = ErrorCode::NoError;
};

// A compiled routine body or main block with what it was compiled for.
struct Body {
  std::unique_ptr<Block> block;
  std::vector<NameId> layout;  // the names of the variable list it expects
  bool hasLocals = false;
  bool method = false;
  Type* selfClass = nullptr;
  Routine* routine = nullptr;  // nullptr: the main block
  uint64_t generation = 0;
  int32_t cursor = 0;                    // where it starts
  const ScriptEngine* engine = nullptr;  // whose token list that is
};

}  // namespace quoll::compiled
