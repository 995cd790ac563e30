// The forms library's classes. Each script control holds its native control in the field
// FControl: the handle is the control's record, the companion word this library's identity. Every
// record is a resource of the script that made it, so the clean-up after a run frees whatever the
// script left behind; a set of the live records lets every method tell a live control of this
// library from a destroyed, foreign or never-made one. Notifications find the script object
// through the record and run its handler in the script that made the control.
#include "libs/forms/forms_library.h"

#include <initializer_list>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quoll::forms {
namespace {

constexpr const char* kControlClassText =
    "class(TObject) private FParent: TControl;protected FOnKeyPress: TKeyPressEvent;FOnCloseQuery: "
    "TCloseQueryEvent;FOnChange,FOnClick,FOnDblClick: TNotifyEvent;FControl:ResourcePointer;procedure "
    "SetEnabled(B: Boolean);virtual;function GetEnabled: Boolean;virtual;procedure SetColor(I: Longint); "
    "virtual;function GetColor: Longint; virtual;procedure SetLeft(I: Integer);virtual;procedure SetTop(I: "
    "Integer);virtual;procedure SetWidth(I: Integer);virtual;procedure SetHeight(I: "
    "Integer);virtual;function "
    "GetLeft: Integer; virtual;function GetTop: Integer; virtual;function GetWidth: Integer;virtual;function "
    "GetHeight: Integer; virtual;function GetVisible: Boolean; virtual;procedure SetVisible(b: Boolean); "
    "virtual;function GetFontName: string;function GetFontSize: Integer;function GetFontColor: "
    "Integer;function GetFontStyle: Byte;procedure SetFontName(s: string);procedure SetFontSize(i: "
    "Integer);procedure SetFontColor(i: Integer);procedure SetFontStyle(b: Byte);public Constructor "
    "Create(AParent: TControl);procedure SetBounds(Left, Top, Width, Height: Integer);property Color: "
    "Longint read GetColor write SetColor;property Parent:TControl read FParent;property Left: Integer read "
    "GetLeft write SetLeft;property Top: Integer read GetTop write SetTop;property Width: Integer read "
    "GetWidth write SetWidth;property Height: Integer read GetHeight write SetHeight;property Visible: "
    "Boolean read GetVisible write SetVisible;property OnClick: TNotifyEvent read FOnClick write "
    "FOnClick;property OnKeyPress: TKeyPressEvent read FOnKeyPress write FOnKeyPress;property OnChange: "
    "TNotifyEvent read FOnChange write FOnChange;property OnDblClick: TNotifyEvent read FOnDblClick write "
    "FOnDblClick;property OnCloseQuery: TCloseQueryEvent read FOnCloseQuery write FOnCloseQuery;Destructor "
    "Destroy; override; property FontName: string read GetFontName write SetFontName;property FontSize: "
    "Integer read GetFontSize write SetFontSize;property FontColor: Integer read GetFontColor write "
    "SetFontColor;property FontStyle: Byte read GetFontStyle write SetFontStyle;property Enabled: Boolean "
    "read GetEnabled write SetEnabled;end;";

constexpr const char* kFormClassText =
    "class(TControl)protected function GetBorderIcons: Byte;procedure SetBorderIcons(b: Byte);procedure "
    "SetBorderStyle(b: Byte);function GetBorderStyle: Byte;procedure SetColor(I: Integer);function "
    "GetColor:Integer;function GetCaption:string;procedure SetCaption(s: string);public constructor "
    "Create;procedure Close;property Color: Integer read GetColor write SetColor;property BorderStyle: Byte "
    "read GetBorderStyle write SetBorderStyle;property BorderIcons: Byte read GetBorderIcons write "
    "SetBorderIcons;property Caption: string read GetCaption write SetCaption;procedure Center;procedure "
    "SetActiveControl(c: TControl);end;";

constexpr const char* kButtonClassText =
    "class(TControl)private function GetCaption: string;function GetDefault: Boolean;procedure "
    "SetDefault(b: Boolean);function GetCancel: Boolean;procedure SetCancel(b: Boolean);procedure "
    "SetCaption(s: string);public Constructor Create(AParent: TControl);property Caption: string read "
    "GetCaption write SetCaption;property Cancel: Boolean read GetCancel write SetCancel;property Default: "
    "Boolean read GetDefault write SetDefault;end;";

constexpr const char* kEditClassText =
    "class(TControl)private function GetReadonly: Boolean;procedure SetReadonly(B: Boolean);function "
    "GetText: string;procedure SetText(s: string);public constructor Create(AParent: TControl);property "
    "Text: string read GetText write SetText;property ReadOnly: Boolean read GetReadonly write "
    "SetReadonly;end;";

constexpr const char* kLabelClassText =
    "class(TControl)private function GetCaption: string;procedure SetCaption(s: string);public "
    "constructor Create(Aparent: TControl);property Caption: string read GetCaption write SetCaption;end;";

constexpr const char* kMemoClassText =
    "class(TControl)private function GetText: string;procedure SetText(S: String);function GetReadonly: "
    "Boolean;procedure SetReadonly(B: Boolean);public Constructor Create(AParent: TControl);property Text: "
    "string read GetText write SetText;property Readonly: Boolean read GetReadonly write SetReadonly;end;";

// Each class's methods by their host data: their place in its class text.
enum class ControlMethod : intptr_t {
  SetEnabled,
  GetEnabled,
  SetColor,
  GetColor,
  SetLeft,
  SetTop,
  SetWidth,
  SetHeight,
  GetLeft,
  GetTop,
  GetWidth,
  GetHeight,
  GetVisible,
  SetVisible,
  GetFontName,
  GetFontSize,
  GetFontColor,
  GetFontStyle,
  SetFontName,
  SetFontSize,
  SetFontColor,
  SetFontStyle,
  Create,
  SetBounds,
  Destroy
};
enum class FormMethod : intptr_t {
  GetBorderIcons,
  SetBorderIcons,
  SetBorderStyle,
  GetBorderStyle,
  SetColor,
  GetColor,
  GetCaption,
  SetCaption,
  Create,
  Close,
  Center,
  SetActiveControl
};
enum class ButtonMethod : intptr_t {
  GetCaption,
  GetDefault,
  SetDefault,
  GetCancel,
  SetCancel,
  SetCaption,
  Create
};
enum class EditMethod : intptr_t { GetReadonly, SetReadonly, GetText, SetText, Create };
enum class LabelMethod : intptr_t { GetCaption, SetCaption, Create };
enum class MemoMethod : intptr_t { GetText, SetText, GetReadonly, SetReadonly, Create };

// The companion word of FControl: the address of this constant is the library's identity.
constexpr char kLibraryIdentity = 0;
intptr_t Identity() {
  return reinterpret_cast<intptr_t>(&kLibraryIdentity);
}

// One control of a script: where its handlers run, its script object, and its native control.
struct Control {
  ScriptEngine* script;
  ObjectInstance* instance;
  std::unique_ptr<NativeControl> native;
};

// The fields of TControl the library reads, by name.
struct FieldNames {
  NameId control = InternUpper("FControl");
  NameId parent = InternUpper("FParent");
  NameId onClick = InternUpper("FOnClick");
  NameId onDblClick = InternUpper("FOnDblClick");
  NameId onChange = InternUpper("FOnChange");
  NameId onKeyPress = InternUpper("FOnKeyPress");
  NameId onCloseQuery = InternUpper("FOnCloseQuery");
};
const FieldNames& Fields() {
  static const FieldNames names;
  return names;
}

// A field of an instance found by name, searched from its class up through the ancestors.
Value* FieldOf(ObjectInstance* inst, NameId name) {
  if (!inst || inst->freed) return nullptr;
  for (Type* c = inst->cls; c && c->cls; c = c->cls->ancestor) {
    const auto& own = c->cls->fields;
    for (size_t i = 0; i < own.size(); ++i) {
      if (own[i].name != name) continue;
      size_t index = static_cast<size_t>(c->cls->inheritedFieldCount) + i;
      return index < inst->fields.size() ? inst->fields[index].get() : nullptr;
    }
  }
  return nullptr;
}

void FreeControlResource(void* host, intptr_t data);

// The process's forms runtime: the toolkit, the live controls, and the notifications' way back
// into the scripts.
class Runtime : public ControlEvents {
 public:
  static Runtime& Get() {
    static Runtime runtime;
    return runtime;
  }

  void UseToolkit(std::unique_ptr<Toolkit> toolkit) {
    toolkit_ = std::move(toolkit);
    loadError_.clear();
  }
  void UseLoader(ToolkitLoader loader) { loader_ = loader; }
  void Release() { toolkit_.reset(); }
  bool Started() const { return toolkit_ != nullptr; }
  void SetPausedQuery(std::function<bool(ScriptEngine&)> paused) { paused_ = std::move(paused); }
  size_t LiveCount() const { return live_.size(); }

  // The toolkit, started on first need; nullptr with the reason in `error` when it cannot start.
  Toolkit* EnsureToolkit(std::string& error) {
    if (!toolkit_ && loader_ && loadError_.empty()) {
      toolkit_ = loader_(loadError_);
      if (!toolkit_ && loadError_.empty()) loadError_ = "the windowing toolkit did not start";
    }
    if (!toolkit_) error = loadError_.empty() ? "no windowing toolkit" : loadError_;
    return toolkit_.get();
  }

  void ProcessEvents() {
    if (toolkit_) toolkit_->ProcessEvents();
  }

  Control* Adopt(std::unique_ptr<Control> control) {
    Control* c = control.get();
    live_.emplace(c, std::move(control));
    return c;
  }
  bool IsLive(const void* p) const { return live_.count(static_cast<const Control*>(p)) != 0; }

  // Detaches the children first, so that freeing the native control frees no other control.
  void Free(Control* c) {
    auto it = live_.find(c);
    if (it == live_.end()) return;
    std::unique_ptr<Control> owned = std::move(it->second);
    live_.erase(it);
    if (owned->native) owned->native->DetachChildren();
  }

  // The live control in FControl of an instance; nullptr when there is none.
  Control* ControlOf(ObjectInstance* inst) const {
    Value* f = FieldOf(inst, Fields().control);
    if (!f || f->code() != TypeCode::ResourcePointer || f->v.res.companion != Identity()) return nullptr;
    auto* c = reinterpret_cast<Control*>(f->v.res.handle);
    return c && IsLive(c) && c->instance == inst ? c : nullptr;
  }

  // ControlEvents
  void Notify(void* tag, Notification what) override {
    NameId field = what == Notification::Click         ? Fields().onClick
                   : what == Notification::DoubleClick ? Fields().onDblClick
                                                       : Fields().onChange;
    RunHandler(tag, field, nullptr);
  }

  uint8_t KeyPress(void* tag, uint8_t key) override {
    if (!IsLive(tag)) return key;
    ScriptEngine& script = *static_cast<Control*>(tag)->script;
    ValuePtr keyVar = Value::Create(script.StdType(TypeCode::Char));
    keyVar->SetChar(key);
    if (!RunHandler(tag, Fields().onKeyPress, keyVar)) return key;
    return keyVar->v.ch;
  }

  bool CloseQuery(void* tag, bool canClose) override {
    if (!IsLive(tag)) return canClose;
    ScriptEngine& script = *static_cast<Control*>(tag)->script;
    ValuePtr canCloseVar = Value::Create(script.StdType(TypeCode::Boolean));
    canCloseVar->SetBool(canClose);
    if (!RunHandler(tag, Fields().onCloseQuery, canCloseVar)) return canClose;
    return canCloseVar->GetBool();
  }

  bool InputHeld(void* tag) override {
    if (!IsLive(tag) || !paused_) return false;
    return paused_(static_cast<Control*>(tag)->script->RunOwner());
  }

 private:
  Runtime() = default;

  // Calls the handler in the event field of the control's script object with SELF (and the
  // variable `extra`, passed by reference, for a key or a close query). False when no handler
  // ran to its end. A run that has failed or is ending runs no more handlers: its first error
  // stays the one reported.
  bool RunHandler(void* tag, NameId field, const ValuePtr& extra) {
    if (!IsLive(tag)) return false;
    Control& c = *static_cast<Control*>(tag);
    Value* handler = FieldOf(c.instance, field);
    if (!handler || handler->code() != TypeCode::ProcType || !handler->v.pv.proc) return false;
    ScriptEngine& script = *c.script;
    if (script.Error().Failed()) return false;
    Routine* routine = handler->v.pv.proc;
    ObjectInstance* methodSelf = handler->v.pv.self;
    VariableList args;
    if (routine->IsMethod()) {
      if (!methodSelf) return false;
      auto self = Value::Create(routine->cls);
      self->v.obj = methodSelf;
      args.Add(names::Self, std::move(self));
    }
    auto sender = Value::Create(c.instance->cls);
    sender->v.obj = c.instance;
    args.Add(kNoName, std::move(sender));
    if (extra) {
      auto ref = NewValue(script.VarType());
      ref->target = extra;
      args.Add(kNoName, std::move(ref));
    }
    // The handler may free this very control: nothing of `c` is used from here on.
    script.CallRoutineWithList(routine, args);
    return !script.Error().Failed();
  }

  std::unique_ptr<Toolkit> toolkit_;
  ToolkitLoader loader_ = nullptr;
  std::string loadError_;
  std::function<bool(ScriptEngine&)> paused_;
  // The live controls; freed before the toolkit when the program ends with some left.
  std::unordered_map<const Control*, std::unique_ptr<Control>> live_;
};

void FreeControlResource(void* /*host*/, intptr_t data) {
  Runtime::Get().Free(reinterpret_cast<Control*>(data));
}

// ---- Arguments ----

ObjectInstance* SelfOf(VariableList& args) {
  Value* self = args.Count() > 0 ? args.Get(0)->Deref() : nullptr;
  return self && self->code() == TypeCode::Class ? self->v.obj : nullptr;
}
int64_t IntArg(VariableList& args, int i) {
  return args.Get(i)->Deref()->GetInt();
}
bool BoolArg(VariableList& args, int i) {
  return args.Get(i)->Deref()->GetBool();
}
std::string TextArg(VariableList& args, int i) {
  std::string s;
  args.Get(i)->Deref()->GetString(s);
  return s;
}
void SetResultInt(Value* result, int64_t v) {
  if (result) result->SetInt(v);
}
void SetResultBool(Value* result, bool v) {
  if (result) result->SetBool(v);
}
// A result of type string; longer texts than a script string may hold are out of memory.
ErrorCode SetResultText(Value* result, std::string text) {
  if (text.size() > kMaxStringLength) return ErrorCode::OutOfMemory;
  if (result) result->SetString(std::move(text));
  return ErrorCode::NoError;
}

// ---- Construction ----

// TControl.Create: attaches the native control (made by the derived constructor) to the parent's,
// stores the parent and registers the control as a resource of the script.
ErrorCode AttachControl(ScriptEngine& script, ObjectInstance* self, Control& c, Value* parentArg) {
  Runtime& rt = Runtime::Get();
  ObjectInstance* parentInst = parentArg && parentArg->code() == TypeCode::Class ? parentArg->v.obj : nullptr;
  Control* parent = nullptr;
  if (parentInst) {
    parent = rt.ControlOf(parentInst);
    if (!parent) return ErrorCode::TypeMismatch;
    if (!parent->native->IsWindowed()) return ErrorCode::CommandNotSupported;
  } else if (parentArg && parentArg->code() != TypeCode::Class && parentArg->code() != TypeCode::NilType) {
    return ErrorCode::TypeMismatch;
  }
  c.native->SetParent(parent ? parent->native.get() : nullptr);
  if (Value* f = FieldOf(self, Fields().parent); f && f->code() == TypeCode::Class) f->v.obj = parentInst;
  script.AddResource(FreeControlResource, reinterpret_cast<intptr_t>(&c));
  return ErrorCode::NoError;
}

// The constructor of a form or a standard control: makes the native control, links it with the
// script object both ways, and attaches it to its parent. A control the instance held already
// (Create called again on it) is freed first.
ErrorCode CreateControl(ScriptEngine& script, VariableList& args, ControlKind kind, bool hasParent) {
  Runtime& rt = Runtime::Get();
  ObjectInstance* self = SelfOf(args);
  if (!self) return ErrorCode::ClassNotCreated;
  Value* field = FieldOf(self, Fields().control);
  if (!field || field->code() != TypeCode::ResourcePointer) return ErrorCode::CommandNotSupported;
  if (Control* old = rt.ControlOf(self)) {
    old->script->RemoveResource(reinterpret_cast<intptr_t>(old));
    rt.Free(old);
  }
  field->v.res.handle = 0;
  field->v.res.companion = 0;
  std::string error;
  Toolkit* toolkit = rt.EnsureToolkit(error);
  if (!toolkit) {
    script.SetErrorParam(ErrorCode::Custom, "forms are not available: " + error);
    return ErrorCode::Custom;
  }
  auto record = std::make_unique<Control>(Control{&script, self, nullptr});
  record->native = toolkit->Make(kind, rt, record.get());
  if (!record->native) return ErrorCode::OutOfMemory;
  Control* c = rt.Adopt(std::move(record));
  field->v.res.handle = reinterpret_cast<intptr_t>(c);
  field->v.res.companion = Identity();
  ErrorCode attached = AttachControl(script, self, *c, hasParent ? args.Get(1)->Deref() : nullptr);
  if (attached != ErrorCode::NoError) {
    field->v.res.handle = 0;
    field->v.res.companion = 0;
    rt.Free(c);
  }
  return attached;
}

// ---- The classes' native functions ----

ErrorCode ControlCall(ScriptEngine* /*script*/, void* /*host*/, Routine* routine, Value* result,
                      VariableList& args) {
  Runtime& rt = Runtime::Get();
  ObjectInstance* self = SelfOf(args);
  if (!self) return ErrorCode::ClassNotCreated;
  Control* c = rt.ControlOf(self);
  if (!c) return ErrorCode::CommandNotSupported;
  NativeControl& n = *c->native;
  auto i = [&](int k) { return static_cast<int>(IntArg(args, k)); };
  switch (static_cast<ControlMethod>(routine->hostData)) {
    case ControlMethod::SetEnabled:
      n.SetEnabled(BoolArg(args, 1));
      break;
    case ControlMethod::GetEnabled:
      SetResultBool(result, n.Enabled());
      break;
    case ControlMethod::SetColor:
      n.SetColor(static_cast<uint32_t>(IntArg(args, 1)));
      break;
    case ControlMethod::GetColor:
      SetResultInt(result, static_cast<int32_t>(n.Color()));
      break;
    case ControlMethod::SetLeft:
      n.SetBounds(i(1), n.Top(), n.Width(), n.Height());
      break;
    case ControlMethod::SetTop:
      n.SetBounds(n.Left(), i(1), n.Width(), n.Height());
      break;
    case ControlMethod::SetWidth:
      n.SetBounds(n.Left(), n.Top(), i(1), n.Height());
      break;
    case ControlMethod::SetHeight:
      n.SetBounds(n.Left(), n.Top(), n.Width(), i(1));
      break;
    case ControlMethod::GetLeft:
      SetResultInt(result, n.Left());
      break;
    case ControlMethod::GetTop:
      SetResultInt(result, n.Top());
      break;
    case ControlMethod::GetWidth:
      SetResultInt(result, n.Width());
      break;
    case ControlMethod::GetHeight:
      SetResultInt(result, n.Height());
      break;
    case ControlMethod::GetVisible:
      SetResultBool(result, n.Visible());
      break;
    case ControlMethod::SetVisible:
      n.SetVisible(BoolArg(args, 1));
      break;
    case ControlMethod::GetFontName:
      return SetResultText(result, n.FontName());
    case ControlMethod::GetFontSize:
      SetResultInt(result, n.FontSize());
      break;
    case ControlMethod::GetFontColor:
      SetResultInt(result, static_cast<int32_t>(n.FontColor()));
      break;
    case ControlMethod::GetFontStyle:
      SetResultInt(result, n.FontStyle());
      break;
    case ControlMethod::SetFontName:
      n.SetFontName(TextArg(args, 1));
      break;
    case ControlMethod::SetFontSize:
      n.SetFontSize(i(1));
      break;
    case ControlMethod::SetFontColor:
      n.SetFontColor(static_cast<uint32_t>(IntArg(args, 1)));
      break;
    case ControlMethod::SetFontStyle:
      n.SetFontStyle(static_cast<uint8_t>(IntArg(args, 1) & 15));
      break;
    case ControlMethod::Create:
      // Only a derived class's constructor makes a native control; it attaches it itself.
      return ErrorCode::CommandNotSupported;
    case ControlMethod::SetBounds:
      n.SetBounds(i(1), i(2), i(3), i(4));
      break;
    case ControlMethod::Destroy:
      c->script->RemoveResource(reinterpret_cast<intptr_t>(c));
      if (Value* f = FieldOf(self, Fields().control)) f->v.res.handle = 0;
      rt.Free(c);
      break;
  }
  return ErrorCode::NoError;
}

ErrorCode FormCall(ScriptEngine* script, void* /*host*/, Routine* routine, Value* result,
                   VariableList& args) {
  const auto method = static_cast<FormMethod>(routine->hostData);
  if (method == FormMethod::Create) return CreateControl(*script, args, ControlKind::Form, false);
  Runtime& rt = Runtime::Get();
  Control* c = rt.ControlOf(SelfOf(args));
  if (!c || c->native->Kind() != ControlKind::Form) return ErrorCode::CommandNotSupported;
  NativeControl& n = *c->native;
  switch (method) {
    case FormMethod::GetBorderIcons:
      SetResultInt(result, n.BorderIcons());
      break;
    case FormMethod::SetBorderIcons:
      n.SetBorderIcons(static_cast<uint8_t>(IntArg(args, 1) & 7));
      break;
    case FormMethod::SetBorderStyle: {
      const int64_t style = IntArg(args, 1);
      if (style >= 0 && style <= 3) n.SetBorder(static_cast<BorderStyle>(style));
      break;
    }
    case FormMethod::GetBorderStyle:
      SetResultInt(result, static_cast<int>(n.Border()));
      break;
    case FormMethod::SetColor:
      n.SetColor(static_cast<uint32_t>(IntArg(args, 1)));
      break;
    case FormMethod::GetColor:
      SetResultInt(result, static_cast<int32_t>(n.Color()));
      break;
    case FormMethod::GetCaption:
      return SetResultText(result, n.Text());
    case FormMethod::SetCaption:
      n.SetText(TextArg(args, 1));
      break;
    case FormMethod::Create:
      break;
    case FormMethod::Close:
      n.Close();
      break;
    case FormMethod::Center:
      n.Center();
      break;
    case FormMethod::SetActiveControl: {
      Value* arg = args.Get(1)->Deref();
      Control* target = arg->code() == TypeCode::Class ? rt.ControlOf(arg->v.obj) : nullptr;
      if (!target || !target->native->IsWindowed()) return ErrorCode::CommandNotSupported;
      n.SetActiveControl(*target->native);
      break;
    }
  }
  return ErrorCode::NoError;
}

// The standard controls share one shape: Create, a caption or text, and two flags.
struct StandardMethods {
  ControlKind kind;
  intptr_t create, getText, setText;
  intptr_t getFlag1 = -1, setFlag1 = -1, getFlag2 = -1, setFlag2 = -1;
};

ErrorCode StandardCall(const StandardMethods& m, ScriptEngine* script, Routine* routine, Value* result,
                       VariableList& args) {
  const intptr_t method = routine->hostData;
  if (method == m.create) return CreateControl(*script, args, m.kind, true);
  Control* c = Runtime::Get().ControlOf(SelfOf(args));
  if (!c || c->native->Kind() != m.kind) return ErrorCode::CommandNotSupported;
  NativeControl& n = *c->native;
  const bool button = m.kind == ControlKind::Button;
  if (method == m.getText) return SetResultText(result, n.Text());
  if (method == m.setText) {
    n.SetText(TextArg(args, 1));
    // A change handler may have ended the run.
    return script->Error().code;
  }
  if (method == m.getFlag1) SetResultBool(result, button ? n.IsDefault() : n.ReadOnly());
  if (method == m.setFlag1) button ? n.SetDefault(BoolArg(args, 1)) : n.SetReadOnly(BoolArg(args, 1));
  if (method == m.getFlag2) SetResultBool(result, n.IsCancel());
  if (method == m.setFlag2) n.SetCancel(BoolArg(args, 1));
  return ErrorCode::NoError;
}

#define QUOLL_STANDARD_ENTRY(Name, ...)                                                              \
  ErrorCode Name(ScriptEngine* script, void*, Routine* routine, Value* result, VariableList& args) { \
    static const StandardMethods methods{__VA_ARGS__};                                               \
    return StandardCall(methods, script, routine, result, args);                                     \
  }
#define M(e) static_cast<intptr_t>(e)
QUOLL_STANDARD_ENTRY(ButtonCall, ControlKind::Button, M(ButtonMethod::Create), M(ButtonMethod::GetCaption),
                     M(ButtonMethod::SetCaption), M(ButtonMethod::GetDefault), M(ButtonMethod::SetDefault),
                     M(ButtonMethod::GetCancel), M(ButtonMethod::SetCancel))
QUOLL_STANDARD_ENTRY(EditCall, ControlKind::Edit, M(EditMethod::Create), M(EditMethod::GetText),
                     M(EditMethod::SetText), M(EditMethod::GetReadonly), M(EditMethod::SetReadonly))
QUOLL_STANDARD_ENTRY(LabelCall, ControlKind::Label, M(LabelMethod::Create), M(LabelMethod::GetCaption),
                     M(LabelMethod::SetCaption))
QUOLL_STANDARD_ENTRY(MemoCall, ControlKind::Memo, M(MemoMethod::Create), M(MemoMethod::GetText),
                     M(MemoMethod::SetText), M(MemoMethod::GetReadonly), M(MemoMethod::SetReadonly))
#undef M
#undef QUOLL_STANDARD_ENTRY

// ProcessMessages: the pending events, whose handlers run now; an error one of them raised ends
// the calling script.
ErrorCode ProcessMessagesCall(ScriptEngine* script, void*, Routine*, Value*, VariableList&) {
  Runtime::Get().ProcessEvents();
  return script->Error().code;
}

void AddConstant(ScriptEngine& script, const char* name, int32_t value) {
  if (Value* v = script.AddVariable(name, "Integer", true)) v->SetInt(value);
}

}  // namespace

void RegisterForms(ScriptEngine& script) {
  AddConstant(script, "fsBold", kBold);
  AddConstant(script, "fsItalic", kItalic);
  AddConstant(script, "fsUnderline", kUnderline);
  AddConstant(script, "fsStrikeOut", kStrikeOut);
  script.AddTypeText("TNotifyEvent", "procedure(Sender: TObject);");
  script.AddTypeText("TCloseQueryEvent", "procedure(Sender: TObject; Var CanClose: Boolean);");
  script.AddTypeText("TKeyPressEvent", "procedure(Sender: TObject; var Key: Char);");
  script.AddClass("TControl", kControlClassText, ControlCall);
  script.AddFunction(ProcessMessagesCall, "procedure ProcessMessages;", 0);
  AddConstant(script, "bsNone", 0);
  AddConstant(script, "bsSingle", 1);
  AddConstant(script, "bsDialog", 2);
  AddConstant(script, "bsSizeable", 3);
  AddConstant(script, "BiSystemMenu", kSystemMenu);
  AddConstant(script, "biMinimize", kMinimize);
  AddConstant(script, "biMaximize", kMaximize);
  script.AddClass("TForm", kFormClassText, FormCall);
}

void RegisterControls(ScriptEngine& script) {
  script.AddClass("TBUTTON", kButtonClassText, ButtonCall);
  script.AddClass("TEDIT", kEditClassText, EditCall);
  script.AddClass("TLABEL", kLabelClassText, LabelCall);
  script.AddClass("TMEMO", kMemoClassText, MemoCall);
}

void UseToolkit(std::unique_ptr<Toolkit> toolkit) {
  Runtime::Get().UseToolkit(std::move(toolkit));
}

void UseToolkitLoader(ToolkitLoader loader) {
  Runtime::Get().UseLoader(loader);
}

void ReleaseToolkit() {
  Runtime::Get().Release();
}

bool ToolkitStarted() {
  return Runtime::Get().Started();
}

void SetPausedQuery(std::function<bool(ScriptEngine&)> paused) {
  Runtime::Get().SetPausedQuery(std::move(paused));
}

size_t LiveControlCount() {
  return Runtime::Get().LiveCount();
}

}  // namespace quoll::forms
