// Messages of the script error codes.
#include "engine/errors.h"

namespace quoll {
namespace {

const char* TableMessage(ErrorCode code) {
  switch (code) {
#define QUOLL_ERROR_CASE(num, name, text) \
  case ErrorCode::name:                   \
    return text;
    QUOLL_ERRORS(QUOLL_ERROR_CASE)
#undef QUOLL_ERROR_CASE
    default:
      return "unknown error";
  }
}

}  // namespace

std::string ErrorMessage(ErrorCode code, const std::string& param) {
  switch (code) {
    case ErrorCode::UnknownIdentifier:
      return param.empty() ? "unknown identifier" : "unknown identifier: " + param;
    case ErrorCode::UnsatisfiedForward:
      return "unsatisfied forward: " + param;
    case ErrorCode::Custom:
      return param;
    default:
      return TableMessage(code);
  }
}

}  // namespace quoll
