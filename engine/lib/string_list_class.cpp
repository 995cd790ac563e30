// TIfStringList for scripts. Each native list lives in the script object's resource table, which
// owns it: Destroy frees it early, Cleanup frees whatever a script left behind. The instance's
// DATA field holds the list's address, and every method checks that address against the resource
// table before using it, so a destroyed or never-created list is never touched.
#include "engine/lib/string_list_class.h"

#include <memory>

#include "engine/script_engine.h"
#include "engine/string_list.h"

namespace quoll {
namespace {

constexpr const char* kClassText =
    "class(TObject) private data: ResourcePointer;public constructor Create; destructor Destroy; "
    "override; procedure Clear;function GetItem(I: Integer): string;procedure SetItem(I: Integer; S: "
    "string);function Count: Integer; function Add(s: string): Integer;procedure Delete(I: "
    "Integer);end;";

// The methods by their host data: their order in the class text.
enum class Method : intptr_t { Create, Destroy, Clear, GetItem, SetItem, Count, Add, Delete };

void FreeList(void* /*host*/, intptr_t data) {
  std::unique_ptr<StringList> owned(reinterpret_cast<StringList*>(data));
}

// The instance's DATA field, searched from its class up through the ancestors.
Value* DataField(ObjectInstance* inst) {
  for (Type* c = inst->cls; c && c->cls; c = c->cls->ancestor) {
    const auto& own = c->cls->fields;
    for (size_t i = 0; i < own.size(); ++i) {
      if (own[i].name != names::Data) continue;
      size_t index = static_cast<size_t>(c->cls->inheritedFieldCount) + i;
      if (index >= inst->fields.size()) return nullptr;
      Value* f = inst->fields[index].get();
      return f->code() == TypeCode::ResourcePointer ? f : nullptr;
    }
  }
  return nullptr;
}

ErrorCode StringListCall(ScriptEngine* script, void* /*host*/, Routine* routine, Value* result,
                         VariableList& args) {
  Value* self = args.Count() > 0 ? args.Get(0)->Deref() : nullptr;
  if (!self || self->code() != TypeCode::Class || !self->v.obj) return ErrorCode::ClassNotCreated;
  Value* data = DataField(self->v.obj);
  if (!data) return ErrorCode::CommandNotSupported;
  const auto method = static_cast<Method>(routine->hostData);
  if (method == Method::Create) {
    auto list = std::make_unique<StringList>();
    intptr_t handle = reinterpret_cast<intptr_t>(list.get());
    script->AddResource(FreeList, handle);
    list.release();  // the resource table owns it now
    data->v.res.handle = handle;
    return ErrorCode::NoError;
  }
  intptr_t handle = data->v.res.handle;
  if (handle == 0 || !script->IsValidResource(FreeList, handle)) return ErrorCode::ClassNotCreated;
  StringList& list = *reinterpret_cast<StringList*>(handle);
  auto index = [&](int i) { return static_cast<int>(args.Get(i)->Deref()->GetInt()); };
  auto text = [&](int i) {
    std::string s;
    args.Get(i)->Deref()->GetString(s);
    return s;
  };
  switch (method) {
    case Method::Create:
      break;
    case Method::Destroy:
      script->RemoveResource(handle);
      FreeList(nullptr, handle);
      data->v.res.handle = 0;
      break;
    case Method::Clear:
      list.Clear();
      break;
    case Method::GetItem:
      if (result) result->SetString(list.Get(index(1)));
      break;
    case Method::SetItem:
      list.Set(index(1), text(2));
      break;
    case Method::Count:
      if (result) result->SetInt(list.Count());
      break;
    case Method::Add:
      if (result) result->SetInt(list.Count());
      list.Add(text(1));
      break;
    case Method::Delete:
      list.Delete(index(1));
      break;
    default:
      return ErrorCode::CommandNotSupported;
  }
  return ErrorCode::NoError;
}

}  // namespace

void RegisterStringListClass(ScriptEngine* script) {
  script->AddClass("TIfStringList", kClassText, StringListCall);
}

}  // namespace quoll
