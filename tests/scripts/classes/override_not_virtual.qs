// Only a virtual method (or an override) can be overridden.
type
  TBase = class
    procedure Run;
  end;
  TChild = class(TBase)
    procedure Run; override;   // expect compile error: can not override
  end;
begin
end.
