// OVERRIDE needs a method of that name in an ancestor.
type
  TBase = class
    procedure Run; virtual;
  end;
  TChild = class(TBase)
    procedure Walk; override;   // expect compile error: can not override
  end;
begin
end.
