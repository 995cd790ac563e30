// Script error codes, their messages, and the error record of a script object.
#pragma once

#include <cstdint>
#include <string>

#include "engine/names.h"

namespace quoll {

// One list: code, name, message. Codes below 32768 are found while a text is processed or a
// construct is read; codes from 32768 are run-time errors, the only ones `try` can catch.
#define QUOLL_ERRORS(X)                                               \
  X(0, NoError, "no error")                                           \
  X(1, CannotReadProperty, "can not read property")                   \
  X(2, CannotWriteProperty, "can not write property")                 \
  X(3, UnknownIdentifier, "unknown identifier")                       \
  X(4, IdentifierExpected, "identifier expected")                     \
  X(5, SemicolonExpected, "semicolon expected")                       \
  X(6, BeginExpected, "begin expected")                               \
  X(7, DuplicateIdentifier, "duplicate identifier")                   \
  X(8, UnexpectedEndOfFile, "unexpected end of file")                 \
  X(9, ColonExpected, "colon expected")                               \
  X(10, SyntaxError, "syntax error")                                  \
  X(11, StringError, "string error")                                  \
  X(12, ErrorInStatement, "error in statement")                       \
  X(13, AssignmentExpected, "assignment expected")                    \
  X(14, TypeMismatch, "type mismatch")                                \
  X(15, ErrorInExpression, "error in expression")                     \
  X(16, RoundOpenExpected, "round open expected")                     \
  X(17, RoundCloseExpected, "round close expected")                   \
  X(18, VariableExpected, "variable expected")                        \
  X(19, CommaExpected, "comma expected")                              \
  X(20, ThenExpected, "then expected")                                \
  X(21, PeriodExpected, "period expected")                            \
  X(22, ParameterError, "parameter error")                            \
  X(23, ToExpected, "to expected")                                    \
  X(24, DoExpected, "do expected")                                    \
  X(25, OfExpected, "of expected")                                    \
  X(26, EndExpected, "end expected")                                  \
  X(27, OpenBlockExpected, "open block expected")                     \
  X(28, CloseBlockExpected, "close block expected")                   \
  X(29, ConstantExpected, "constant expected")                        \
  X(30, IsExpected, "is expected")                                    \
  X(31, IntegerVariableExpected, "integer variable expected")         \
  X(32, CloseRoundExpected, "close round expected")                   \
  X(33, UntilExpected, "until expected")                              \
  X(34, ClassNotAllowedHere, "class not allowed here")                \
  X(35, ClassTypeExpected, "class type expected")                     \
  X(36, CannotOverride, "can not override")                           \
  X(37, UnsatisfiedForward, "unsatisfied forward: ")                  \
  X(38, ConstructorExpected, "constructor expected")                  \
  X(39, NoInheritedAllowedHere, "no inherited allowed here")          \
  X(40, CannotReadOrWriteProperty, "can not read or write property")  \
  X(41, ObjectExpected, "object expected")                            \
  X(42, CommentError, "comment error")                                \
  X(43, CharError, "char error")                                      \
  X(44, ExceptExpected, "except expected")                            \
  X(45, StringExpected, "string expected")                            \
  X(32768, UnitNotFound, "unit is not found")                         \
  X(32769, ClassNotCreated, "class is not created")                   \
  X(32770, OutOfRange, "out of range")                                \
  X(32771, DivideByZero, "divide by zero")                            \
  X(32772, CommandNotSupported, "command is not supported")           \
  X(32774, ClassAlreadyFreed, "class already freed")                  \
  X(32775, ClassReferenceNotAssigned, "class reference not assigned") \
  X(32776, VariantIsNil, "variant is nil")                            \
  X(32777, Custom, "")                                                \
  X(32778, OutOfMemory, "out of memory")

enum class ErrorCode : uint16_t {
#define QUOLL_ERROR_ENUM(code, name, text) name = code,
  QUOLL_ERRORS(QUOLL_ERROR_ENUM)
#undef QUOLL_ERROR_ENUM
  // Not an error: `exit`, and the statement hook after Stop, end a routine or the run with it.
  // It travels like an error code so that every block it passes ends; it is never reported.
  ExitSignal = 32773,
};

inline bool IsRuntimeError(ErrorCode code) {
  return static_cast<uint16_t>(code) >= 32768;
}

// The message shown for a code with its parameter: "unknown identifier: FOO", the parameter
// itself for Custom, "unknown error" for codes outside the table (the exit signal included).
std::string ErrorMessage(ErrorCode code, const std::string& param);

// The error state of a script object.
struct ScriptError {
  ErrorCode code = ErrorCode::NoError;
  int32_t position = -1;
  std::string param;
  std::string module;
  // The exit code came from the statement hook (the user stopped the run): it ends the whole run,
  // through routine returns and try blocks, rather than the routine it happened in.
  bool endsRun = false;

  bool Failed() const { return code != ErrorCode::NoError; }
  void Clear() {
    code = ErrorCode::NoError;
    endsRun = false;
    position = -1;
    param.clear();
    module.clear();
  }
};

}  // namespace quoll
