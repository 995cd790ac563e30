// An override must have the same parameters as the method it overrides.
type
  TBase = class
    procedure Run(speed: Integer); virtual;
  end;
  TChild = class(TBase)
    procedure Run(speed: string); override;   // expect compile error: can not override
  end;
begin
end.
