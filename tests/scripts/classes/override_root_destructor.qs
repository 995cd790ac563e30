// The root class's Destroy is a virtual destructor, so a class may override it; an override
// may itself be overridden further down.
type
  TBase = class
    destructor Destroy; override;
    procedure Step; virtual;
  end;

  TMiddle = class(TBase)
    procedure Step; override;
  end;

  TLeaf = class(TMiddle)
    procedure Step; override;
  end;

destructor TBase.Destroy;
begin
end;

procedure TBase.Step;
begin
end;

procedure TMiddle.Step;
begin
end;

procedure TLeaf.Step;
begin
end;

begin
  Writeln('overrides accepted');   // expect: overrides accepted
end.
