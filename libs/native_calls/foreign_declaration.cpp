// The declaration reader: one pass over the tokens, any surprise makes the declaration invalid.
#include "libs/native_calls/foreign_declaration.h"

#include <array>

#include "engine/tokens.h"

namespace quoll {

namespace {

struct TypeName {
  const char* name;  // upper case, as the tokenizer gives identifiers
  ForeignType type;
};

constexpr std::array<TypeName, 10> kTypeNames{{
    {"BYTE", ForeignType::Byte},
    {"SHORTINT", ForeignType::ShortInt},
    {"CHAR", ForeignType::Char},
    {"WORD", ForeignType::Word},
    {"SMALLINT", ForeignType::SmallInt},
    {"CARDINAL", ForeignType::Cardinal},
    {"LONGINT", ForeignType::LongInt},
    {"INTEGER", ForeignType::LongInt},
    {"STRING", ForeignType::String},
    {"PCHAR", ForeignType::PChar},
}};

struct ConventionName {
  const char* name;
  CallingConvention convention;
};

constexpr std::array<ConventionName, 3> kConventionNames{{
    {"STDCALL", CallingConvention::Stdcall},
    {"CDECL", CallingConvention::Cdecl},
    {"PASCAL", CallingConvention::Pascal},
}};

// The type named by the identifier at the cursor, moving past it; nothing for any other token.
std::optional<ForeignType> ReadTypeName(Tokenizer& tokens) {
  if (tokens.CurrTokenKind() != TokenKind::Identifier) return std::nullopt;
  const std::string name = tokens.CurrTokenText();
  for (const TypeName& entry : kTypeNames) {
    if (name == entry.name) {
      tokens.Next();
      return entry.type;
    }
  }
  return std::nullopt;
}

// One group `[var] A, B: TYPE` appended to `parameters`; false on anything unexpected.
bool ReadParameterGroup(Tokenizer& tokens, std::vector<ForeignParameter>& parameters) {
  bool byReference = false;
  if (tokens.CurrTokenKind() == TokenKind::Var) {
    byReference = true;
    tokens.Next();
  }
  const size_t first = parameters.size();
  for (;;) {
    if (tokens.CurrTokenKind() != TokenKind::Identifier) return false;
    parameters.push_back({tokens.CurrTokenName(), ForeignType::LongInt, byReference});
    tokens.Next();
    if (tokens.CurrTokenKind() == TokenKind::Comma) {
      tokens.Next();
      continue;
    }
    if (tokens.CurrTokenKind() != TokenKind::Colon) return false;
    tokens.Next();
    break;
  }
  std::optional<ForeignType> type = ReadTypeName(tokens);
  if (!type) return false;
  for (size_t i = first; i < parameters.size(); ++i) parameters[i].type = *type;
  return true;
}

}  // namespace

std::optional<ForeignDeclaration> ParseForeignDeclaration(std::string_view text) {
  if (text.find('\0') != std::string_view::npos) return std::nullopt;
  Tokenizer tokens;
  LexErrorReport report;
  if (!tokens.SetText(text, report)) return std::nullopt;

  ForeignDeclaration declaration;
  if (tokens.CurrTokenKind() == TokenKind::Function)
    declaration.isFunction = true;
  else if (tokens.CurrTokenKind() != TokenKind::Procedure)
    return std::nullopt;
  tokens.Next();
  if (tokens.CurrTokenKind() != TokenKind::Identifier) return std::nullopt;
  declaration.name = tokens.CurrTokenText();
  tokens.Next();

  if (tokens.CurrTokenKind() == TokenKind::OpenRound) {
    tokens.Next();
    for (;;) {
      if (!ReadParameterGroup(tokens, declaration.parameters)) return std::nullopt;
      if (tokens.CurrTokenKind() == TokenKind::Semicolon) {
        tokens.Next();
        continue;
      }
      if (tokens.CurrTokenKind() != TokenKind::CloseRound) return std::nullopt;
      tokens.Next();
      break;
    }
  }

  if (declaration.isFunction) {
    if (tokens.CurrTokenKind() != TokenKind::Colon) return std::nullopt;
    tokens.Next();
    std::optional<ForeignType> result = ReadTypeName(tokens);
    if (!result) return std::nullopt;
    declaration.result = *result;
  }

  // The tail: nothing, `;`, `; CONVENTION` or `; CONVENTION;`.
  if (tokens.CurrTokenKind() == TokenKind::Semicolon) {
    tokens.Next();
    if (tokens.CurrTokenKind() == TokenKind::Identifier) {
      const std::string name = tokens.CurrTokenText();
      for (const ConventionName& entry : kConventionNames)
        if (name == entry.name) declaration.convention = entry.convention;
      tokens.Next();
      if (tokens.CurrTokenKind() == TokenKind::Semicolon) tokens.Next();
    }
  }
  if (tokens.CurrTokenKind() != TokenKind::EndOfText) return std::nullopt;
  return declaration;
}

TypeCode ScriptTypeCode(ForeignType type) {
  switch (type) {
    case ForeignType::Byte:
      return TypeCode::Byte;
    case ForeignType::ShortInt:
      return TypeCode::ShortInt;
    case ForeignType::Char:
      return TypeCode::Char;
    case ForeignType::Word:
      return TypeCode::Word;
    case ForeignType::SmallInt:
      return TypeCode::SmallInt;
    case ForeignType::Cardinal:
      return TypeCode::Cardinal;
    case ForeignType::LongInt:
      return TypeCode::LongInt;
    case ForeignType::String:
    case ForeignType::PChar:
      break;
  }
  return TypeCode::String;
}

CType CTypeOf(ForeignType type) {
  switch (type) {
    case ForeignType::Byte:
      return CType::kUInt8;
    case ForeignType::ShortInt:
      return CType::kInt8;
    case ForeignType::Char:
      return CType::kUnsignedChar;
    case ForeignType::Word:
      return CType::kUInt16;
    case ForeignType::SmallInt:
      return CType::kInt16;
    case ForeignType::Cardinal:
      return CType::kUInt32;
    case ForeignType::LongInt:
      return CType::kInt32;
    case ForeignType::String:
    case ForeignType::PChar:
      break;
  }
  return CType::kText;
}

}  // namespace quoll
