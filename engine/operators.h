// Operator tokens: the operation each stands for and its precedence level, from one table; and
// the tokens that end every expression.
#pragma once

#include <array>
#include <cstdint>

#include "engine/engine_internal.h"
#include "engine/tokens.h"

namespace quoll {

// Level 1 binds tightest (`* / div mod and shl shr as`), then 2 (`+ - or xor`), then 3 (the
// comparisons, `is`); level 0: the token is no operator.
struct OperatorInfo {
  int8_t operation;
  int8_t level;
};

namespace operator_table {
struct Entry {
  TokenKind token;
  OperatorInfo info;
};
inline constexpr Entry kEntries[] = {
    {TokenKind::Multiply, {kOpMultiply, 1}},
    {TokenKind::Divide, {kOpDivide, 1}},
    {TokenKind::Div, {kOpIntDivide, 1}},
    {TokenKind::Mod, {kOpMod, 1}},
    {TokenKind::And, {kOpAnd, 1}},
    {TokenKind::Shr, {kOpShr, 1}},
    {TokenKind::Shl, {kOpShl, 1}},
    {TokenKind::As, {kOpAs, 1}},
    {TokenKind::Plus, {kOpAdd, 2}},
    {TokenKind::Minus, {kOpSubtract, 2}},
    {TokenKind::Or, {kOpOr, 2}},
    {TokenKind::Xor, {kOpXor, 2}},
    {TokenKind::Equal, {kOpEqual, 3}},
    {TokenKind::Greater, {kOpGreater, 3}},
    {TokenKind::Less, {kOpLess, 3}},
    {TokenKind::NotEqual, {kOpNotEqual, 3}},
    {TokenKind::LessEqual, {kOpLessEqual, 3}},
    {TokenKind::GreaterEqual, {kOpGreaterEqual, 3}},
    {TokenKind::Is, {kOpIs, 3}},
};
// The table by token kind, for the one lookup the evaluator makes per operator it reads.
inline constexpr auto kByToken = [] {
  std::array<OperatorInfo, 256> table{};
  for (const Entry& e : kEntries) table[static_cast<uint8_t>(e.token)] = e.info;
  return table;
}();
// The level of each operation code.
inline constexpr auto kLevelByOperation = [] {
  std::array<int8_t, 32> levels{};
  for (const Entry& e : kEntries) levels[static_cast<size_t>(e.info.operation)] = e.info.level;
  return levels;
}();
}  // namespace operator_table

inline OperatorInfo OperatorFor(TokenKind k) {
  return operator_table::kByToken[static_cast<uint8_t>(k)];
}

inline int LevelOf(int operation) {
  return operator_table::kLevelByOperation[static_cast<size_t>(operation) & 31];
}

// Tokens that end every expression.
inline bool EndsExpression(TokenKind k) {
  switch (k) {
    case TokenKind::Semicolon:
    case TokenKind::Comma:
    case TokenKind::CloseRound:
    case TokenKind::Do:
    case TokenKind::Downto:
    case TokenKind::Else:
    case TokenKind::End:
    case TokenKind::To:
    case TokenKind::Until:
      return true;
    default:
      return false;
  }
}

}  // namespace quoll
