// ScriptEngine: construction, error recording, registration API, units, resources and Cleanup.
#include "engine/engine_internal.h"

#include "engine/compiled.h"

#include <pthread.h>
#include <sys/resource.h>

#include <algorithm>

#include "engine/textutil.h"

namespace quoll {

namespace {

// The lowest stack address the engine's recursion may reach on this thread: the last line of
// defence against running out of stack, below every limit the engine counts. Computed once per
// thread, again after ReserveStackSpace.
thread_local uintptr_t tStackFloor = 0;
thread_local bool tStackFloorKnown = false;

uintptr_t StackFloor() {
  if (tStackFloorKnown) return tStackFloor;
  pthread_attr_t attr;
  void* addr = nullptr;
  size_t size = 0;
  uintptr_t result = 0;
  if (pthread_getattr_np(pthread_self(), &attr) == 0) {
    if (pthread_attr_getstack(&attr, &addr, &size) == 0) {
      // Keep a reserve for the host's own calls (output, message pumping, sanitizer reports).
      size_t reserve = std::min<size_t>(size / 4, 1024 * 1024);
      result = reinterpret_cast<uintptr_t>(addr) + reserve;
    }
    pthread_attr_destroy(&attr);
  }
  tStackFloor = result;
  tStackFloorKnown = true;
  return result;
}

}  // namespace

ScriptEngine::ScriptEngine(void* hostIdentity) : host_(hostIdentity) {
  spareLists_.reserve(64);      // see CalleeList
  spareWithLists_.reserve(64);  // see SelfWithList
}

ScriptEngine::~ScriptEngine() {
  Cleanup();
}

bool ReserveStackSpace() {
  rlimit limit{};
  if (getrlimit(RLIMIT_STACK, &limit) != 0) return false;
  if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= kStackSpace) return true;
  const rlim_t wanted =
      limit.rlim_max == RLIM_INFINITY ? kStackSpace : std::min<rlim_t>(kStackSpace, limit.rlim_max);
  if (wanted > limit.rlim_cur) {
    limit.rlim_cur = wanted;
    if (setrlimit(RLIMIT_STACK, &limit) != 0) return false;
    tStackFloorKnown = false;
  }
  return wanted >= kStackSpace;
}

void ScriptEngine::RefreshStackFloor() {
  stackFloor_ = StackFloor();
}

bool ScriptEngine::StackExhaustedSlow() {
  SetError(ErrorCode::OutOfMemory);
  return true;
}

void ScriptEngine::SetError(ScriptEngine* source, ErrorCode code) {
  SetErrorParam(source, code, std::string());
}

void ScriptEngine::SetErrorParam(ScriptEngine* source, ErrorCode code, const std::string& param) {
  if (code == ErrorCode::NoError) {
    error_.Clear();
    return;
  }
  if (error_.Failed()) return;  // the first error wins
  error_.code = code;
  error_.position = source->parser_.CurrTokenPos();
  error_.param = param;
  error_.module = source->moduleName_;
}

Type* ScriptEngine::StdType(TypeCode code) const {
  auto i = static_cast<size_t>(code);
  return i < std::size(stdTypes_) ? stdTypes_[i] : nullptr;
}

Type* ScriptEngine::TypeByName(NameId name) const {
  const Symbol* s = FindSymbol(name);
  return s && s->type ? s->type->Resolved() : nullptr;
}

Type* ScriptEngine::FindType(std::string_view name) const {
  NameId id = FindName(UpperCase(name));
  return id == kNoName ? nullptr : TypeByName(id);
}

bool ScriptEngine::NameInUse(NameId name, bool includeGlobals) const {
  if (name == names::Self) return true;
  const Symbol* s = FindSymbol(name);
  if (!s) return false;
  return s->unit || s->routine || s->type || (includeGlobals && s->global >= 0);
}

int32_t ScriptEngine::AddGlobal(NameId name, ValuePtr var) {
  int32_t index = globals_.Add(name, std::move(var));
  Symbol& s = SymbolFor(name);
  if (s.global < 0) s.global = index;
  return index;
}

Routine* ScriptEngine::AddRoutine(std::unique_ptr<Routine> routine) {
  Routine* r = routine.get();
  routines_.push_back(std::move(routine));
  if (!r->IsMethod()) {
    Symbol& s = SymbolFor(r->name);
    if (!s.routine) s.routine = r;  // lookups find the earliest routine of a name
  }
  return r;
}

Value* ScriptEngine::GetVariable(std::string_view name) {
  NameId id = FindName(UpperCase(name));
  if (id == kNoName) return nullptr;
  if (currentLocals_) {
    int i = currentLocals_->Find(id);
    if (i >= 0) return currentLocals_->Get(i);
  }
  const Symbol* s = FindSymbol(id);
  return s && s->global >= 0 ? globals_.Get(s->global) : nullptr;
}

Routine* ScriptEngine::AddNativeRoutine(NativeFunction entry, std::string_view name, ParamList decl,
                                        intptr_t hostData) {
  auto r = std::make_unique<Routine>();
  r->owner = this;
  r->kind = RoutineKind::Native;
  r->name = r->plainName = InternUpper(name);
  r->decl = std::move(decl);
  r->hostData = hostData;
  r->native = entry;
  return AddRoutine(std::move(r));
}

bool ScriptEngine::RemoveFunction(Routine* routine) {
  auto it = std::find_if(routines_.begin(), routines_.end(), [&](auto& r) { return r.get() == routine; });
  if (it == routines_.end()) return false;
  // The record leaves the routine list but stays alive until the next SetText: callers may
  // still hold it.
  Symbol& s = SymbolFor(routine->name);
  if (s.routine == routine) {
    s.routine = nullptr;
    for (auto& r : routines_)
      if (r.get() != routine && r->name == routine->name && !r->IsMethod()) {
        s.routine = r.get();
        break;
      }
  }
  removedRoutines_.push_back(std::move(*it));
  routines_.erase(it);
  return true;
}

void ScriptEngine::AddResource(ResourceFree freeProc, intptr_t data) {
  resourceIndex_[data].push_back(resources_.size());
  resources_.push_back({freeProc, data});
}

void ScriptEngine::RemoveResource(intptr_t data) {
  auto it = resourceIndex_.find(data);
  if (it == resourceIndex_.end()) return;
  resources_[it->second.back()].free = nullptr;
  it->second.pop_back();
  if (it->second.empty()) resourceIndex_.erase(it);
  // A gap is as good as gone; the list is packed again when gaps are the majority, so its size
  // stays proportional to the live resources.
  if (++resourceGaps_ > 64 && resourceGaps_ * 2 > resources_.size()) CompactResources();
}

void ScriptEngine::CompactResources() {
  std::vector<Resource> live;
  live.reserve(resources_.size() - resourceGaps_);
  resourceIndex_.clear();
  for (const Resource& r : resources_)
    if (r.free) {
      resourceIndex_[r.data].push_back(live.size());
      live.push_back(r);
    }
  resources_ = std::move(live);
  resourceGaps_ = 0;
}

bool ScriptEngine::IsValidResource(ResourceFree freeProc, intptr_t data) const {
  if (!freeProc) return false;
  auto it = resourceIndex_.find(data);
  if (it == resourceIndex_.end()) return false;
  for (size_t i : it->second)
    if (resources_[i].free == freeProc) return true;
  return false;
}

bool ScriptEngine::AttachUnit(std::unique_ptr<ScriptEngine>& unit, bool owned) {
  if (!unit || !AttachUnit(*unit)) return false;
  unit->ownedByAttacher_ = owned;
  if (owned) attached_.back().owned = std::move(unit);
  return true;
}

bool ScriptEngine::AttachUnit(ScriptEngine& unit) {
  ScriptEngine* u = &unit;
  if (u == this || u->mainPos_ == -1 || !u->isUnit_) return false;
  for (const AttachedUnit& a : attached_)
    if (a.unit->moduleName_ == u->moduleName_) return false;
  u->ownedByAttacher_ = false;
  // Types: copies under the same names; a name that exists here keeps its own type.
  for (const auto& t : u->types_.All()) {
    if (t->name == kNoName || types_.Find(t->name)) continue;
    Type* copy = types_.Add(t->name, TypeCode::TypeCopy, t.get());
    if (copy) {
      Symbol& s = SymbolFor(t->name);
      if (!s.type) s.type = copy;
    }
  }
  // Globals: references to the unit's variables, unless a global of that name exists here.
  for (auto& e : u->globals_.Entries()) {
    const Symbol* s = FindSymbol(e.name);
    if (s && s->global >= 0) continue;
    auto ref = NewValue(varType_);
    ref->target = e.var;
    ref->flags = e.var->flags & kReadOnly;
    AddGlobal(e.name, std::move(ref));
  }
  // Routines: new records that keep the unit as their owner, so calls run in the unit. A name
  // that already names a routine here gets no record: lookups find the earliest routine of a
  // name, so it could never be called (the unit's own copy of the SYSTEM library, routines seen
  // through two units). Methods are found through their classes, which stay the unit's.
  for (const auto& r : u->routines_) {
    if (r->IsMethod()) continue;
    const Symbol* s = FindSymbol(r->name);
    if (s && s->routine) continue;
    auto copy = std::make_unique<Routine>(*r);
    AddRoutine(std::move(copy));
  }
  attached_.push_back({nullptr, u});
  return true;
}

void ScriptEngine::KeepUnit(const std::string& unitName, std::unique_ptr<ScriptEngine> unit) {
  keptUnitNames_.emplace(unitName, unit.get());
  keptUnits_.push_back(std::move(unit));
}

ScriptEngine* ScriptEngine::KeptUnit(const std::string& unitName) const {
  auto it = keptUnitNames_.find(unitName);
  return it == keptUnitNames_.end() ? nullptr : it->second;
}

void ScriptEngine::Cleanup() {
  savedError_.code = ErrorCode::NoError;
  // Globals get their own type again: strings empty, arrays empty, objects nil.
  for (auto& e : globals_.Entries())
    if (e.var) {
      Value& g = *e.var;
      uint8_t flags = g.flags;
      g.ChangeType(g.type);
      g.flags = flags;
    }
  depths_->blocks = 0;
  depths_->expressions = 0;
  callStack_.clear();
  currentLocals_ = nullptr;
  // Owned units are cleaned now and freed at the next SetText (this script's types and routine
  // copies still point into them until then).
  for (AttachedUnit& a : attached_) {
    if (!a.owned) continue;
    a.owned->Cleanup();
    retiredUnits_.push_back(std::move(a.owned));
  }
  attached_.clear();
  for (auto it = keptUnits_.rbegin(); it != keptUnits_.rend(); ++it) {
    (*it)->Cleanup();
    retiredUnits_.push_back(std::move(*it));
  }
  keptUnits_.clear();
  keptUnitNames_.clear();
  // Resources, last first. A free procedure may remove other resources meanwhile.
  resourceIndex_.clear();
  while (!resources_.empty()) {
    Resource r = resources_.back();
    resources_.pop_back();
    if (r.free) r.free(host_, r.data);
  }
  resourceGaps_ = 0;
  // Native objects the script still holds are destroyed with their holders.
  nativeHolders_.clear();
  for (auto& o : objects_) o.fields.clear();
  objects_.clear();
  operands_.clear();
  operators_.clear();
}

}  // namespace quoll
