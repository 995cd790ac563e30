// Script values in and out of a prepared C call. Strings travel without copies: a script string's
// own buffer is handed to the call and taken back afterwards, for a `var` string with whatever the
// export wrote into it.
#include "libs/native_calls/bound_routine.h"

#include <utility>

#include "libs/native_calls/native_call_error.h"

namespace quoll {

namespace {

CSignature SignatureOf(const ForeignDeclaration& declaration) {
  CSignature signature;
  signature.result = declaration.isFunction ? CTypeOf(declaration.result) : CType::kVoid;
  for (const ForeignParameter& parameter : declaration.parameters)
    signature.parameters.push_back({CTypeOf(parameter.type), parameter.byReference});
  return signature;
}

bool IsText(ForeignType type) {
  return type == ForeignType::String || type == ForeignType::PChar;
}

// Runs an action when the scope ends, however it ends.
template <typename Action>
class AtScopeExit {
 public:
  explicit AtScopeExit(Action action) : action_(std::move(action)) {}
  AtScopeExit(const AtScopeExit&) = delete;
  AtScopeExit& operator=(const AtScopeExit&) = delete;
  ~AtScopeExit() { action_(); }

 private:
  Action action_;
};

}  // namespace

BoundRoutine::BoundRoutine(const ForeignDeclaration& declaration, void* address)
    : address_(address),
      resultType_(declaration.result),
      resultCode_(ScriptTypeCode(declaration.result)),
      isFunction_(declaration.isFunction),
      convention_(declaration.convention),
      signature_(SignatureOf(declaration)) {
  for (const ForeignParameter& parameter : declaration.parameters)
    parameters_.push_back(
        {parameter.type, ScriptTypeCode(parameter.type), parameter.byReference, IsText(parameter.type)});
  arguments_.resize(parameters_.size());
  targets_.resize(parameters_.size());
  lent_.resize(parameters_.size());
}

void BoundRoutine::Unbind() {
  if (script_ && routine_) script_->RemoveFunction(routine_);
  script_ = nullptr;
  address_ = nullptr;
}

ErrorCode BoundRoutine::Call(ScriptEngine* script, void* /*host*/, Routine* routine, Value* result,
                             VariableList& args) {
  auto* bound = reinterpret_cast<BoundRoutine*>(routine->hostData);
  ErrorCode code = bound ? bound->CallWith(args, result) : ErrorCode::Custom;
  if (code == ErrorCode::Custom) script->SetErrorParam(ErrorCode::Custom, "Could not call function");
  return code;
}

ErrorCode BoundRoutine::CallWith(VariableList& args, Value* result) {
  const size_t count = parameters_.size();
  if (!address_ || static_cast<size_t>(args.Count()) != count) return ErrorCode::Custom;
  if (isFunction_ && (!result || result->code() != resultCode_)) return ErrorCode::Custom;
  // Every argument is checked before any is touched.
  for (size_t i = 0; i < count; ++i) {
    Value* argument = args.Get(static_cast<int>(i));
    if (!argument) return ErrorCode::Custom;
    argument = argument->Deref();
    if (argument->code() != parameters_[i].code) return ErrorCode::Custom;
    targets_[i] = argument;
  }

  {
    // The strings lent to the call go back to their variables however the call ends.
    size_t lentCount = 0;
    AtScopeExit giveBack([&] {
      for (size_t i = 0; lentCount > 0 && i < count; ++i)
        if (lent_[i]) {
          std::swap(targets_[i]->str, arguments_[i].text);
          lent_[i] = 0;
          --lentCount;
        }
    });
    for (size_t i = 0; i < count; ++i) {
      const Parameter& parameter = parameters_[i];
      Value& argument = *targets_[i];
      ForeignValue& value = arguments_[i];
      if (parameter.text) {
        // One variable given for two `var` texts: the first gets its buffer, the others copies.
        size_t first = 0;
        while (first < i && !(lent_[first] && targets_[first] == &argument)) ++first;
        if (first < i) {
          value.text = arguments_[first].text;
        } else {
          std::swap(argument.str, value.text);
          lent_[i] = 1;
          ++lentCount;
        }
      } else if (parameter.type == ForeignType::Char) {
        value.number = argument.v.ch;
      } else {
        value.number = argument.v.i;
      }
    }
    try {
      signature_.Call(address_, arguments_, result_);
    } catch (const NativeCallError&) {
      return ErrorCode::Custom;
    }
  }

  for (size_t i = 0; i < count; ++i) {
    const Parameter& parameter = parameters_[i];
    if (!parameter.byReference || parameter.text) continue;
    if (parameter.type == ForeignType::Char)
      targets_[i]->SetChar(static_cast<uint8_t>(arguments_[i].number));
    else
      targets_[i]->SetInt(arguments_[i].number);
  }
  if (!isFunction_) return ErrorCode::NoError;
  if (IsText(resultType_)) {
    // Text from outside the script obeys the same limit as the strings a script builds.
    if (result_.text.size() > kMaxStringLength) return ErrorCode::OutOfMemory;
    result->SetString(std::move(result_.text));
  } else if (resultType_ == ForeignType::Char) {
    result->SetChar(static_cast<uint8_t>(result_.number));
  } else {
    result->SetInt(result_.number);
  }
  return ErrorCode::NoError;
}

}  // namespace quoll
