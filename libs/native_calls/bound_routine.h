// A C export bound to a script routine: the declaration's C signature prepared once, and the call
// that hands the script's arguments to the export and stores what it gives back.
#pragma once

#include <vector>

#include "engine/script_engine.h"
#include "libs/native_calls/foreign_call.h"
#include "libs/native_calls/foreign_declaration.h"

namespace quoll {

class BoundRoutine {
 public:
  // Throws NativeCallError when libffi refuses the signature.
  BoundRoutine(const ForeignDeclaration& declaration, void* address);

  // The script routine that calls this export, once the script has registered it.
  void Attach(ScriptEngine& script, Routine& routine) {
    script_ = &script;
    routine_ = &routine;
  }
  // Takes the routine out of the script's lookups and forgets the export's address, which is
  // invalid once its library is unloaded. A call that still reaches this record (through a
  // procedure value taken before) fails instead of jumping into unmapped memory.
  void Unbind();

  CallingConvention Convention() const { return convention_; }

  // The native function of every bound routine; the routine's host data is its BoundRoutine.
  // Fails with "Could not call function" when the export is unbound or an argument or the result
  // is not of the declared type.
  static ErrorCode Call(ScriptEngine* script, void* host, Routine* routine, Value* result,
                        VariableList& args);

 private:
  // NoError, Custom for a call that cannot be made, OutOfMemory for a text result beyond the
  // longest script string.
  ErrorCode CallWith(VariableList& args, Value* result);

  struct Parameter {
    ForeignType type;
    TypeCode code;  // the script type code its argument must have
    bool byReference;
    bool text;
  };

  void* address_;
  std::vector<Parameter> parameters_;
  ForeignType resultType_;
  TypeCode resultCode_;
  bool isFunction_;
  CallingConvention convention_;
  PreparedSignature signature_;
  ScriptEngine* script_ = nullptr;
  Routine* routine_ = nullptr;
  // The values of one call, kept between calls so that their storage is reused; a bound routine
  // cannot be called again while its export runs (an export cannot call back into the script).
  std::vector<ForeignValue> arguments_;
  ForeignValue result_;
  std::vector<Value*> targets_;  // the argument variants, references followed
  std::vector<uint8_t> lent_;    // whether the argument's text is its variable's own string now
};

}  // namespace quoll
