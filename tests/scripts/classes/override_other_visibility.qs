// An override must keep the visibility of the method it overrides.
type
  TBase = class
  public
    procedure Run; virtual;
  end;
  TChild = class(TBase)
  private
    procedure Run; override;   // expect compile error: can not override
  end;
begin
end.
