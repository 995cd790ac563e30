// Watch value texts.
#include "host/watch_values.h"

#include <cstdio>

#include "engine/script_engine.h"

namespace quoll {

namespace {

// A var parameter is a reference to the caller's variable, and a Variant holds its value in
// another variant: the watch shows the value the name stands for.
Value* ValueOf(Value* v) {
  for (int hops = 0; v && hops < 64; ++hops) {
    const TypeCode code = v->code();
    if ((code != TypeCode::Reference && code != TypeCode::Variant) || !v->target) return v;
    v = v->target.get();
  }
  return v;
}

}  // namespace

std::string WatchValueText(Value& variable) {
  Value& v = *ValueOf(&variable);
  const TypeCode code = v.code();
  if (IsStringCode(code)) {
    std::string text;
    v.GetString(text);
    return text;
  }
  if (IsIntegerCode(code)) return std::to_string(static_cast<int32_t>(v.GetInt()));
  if (IsRealCode(code)) {
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, "%.12Lf", v.GetReal());
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < sizeof buffer) return buffer;
    // Very large values need more room than the buffer has.
    std::string text(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%.12Lf", v.GetReal());
    text.pop_back();
    return text;
  }
  if (code == TypeCode::Boolean) return v.GetBool() ? "True" : "False";
  return std::string();
}

std::optional<std::string> WatchText(ScriptEngine* engine, std::string_view name) {
  if (!engine) return std::nullopt;
  Value* variable = engine->GetVariable(name);
  if (!variable) return std::nullopt;
  return WatchValueText(*variable);
}

}  // namespace quoll
