// One call site of a virtual method over objects of six classes, more than the call site keeps
// in mind at once, in an order that keeps changing: every call reaches the override of the
// object's own class (or the nearest one above it), also through a variable of a subclass type.
type
  TBase = class
  public
    function Tag: string; virtual;
  end;
  TA = class(TBase)
  public
    function Tag: string; override;
  end;
  TB = class(TBase)
  public
    function Tag: string; override;
  end;
  TC = class(TB)
  public
    function Tag: string; override;
  end;
  TD = class(TC)
  end;
  TE = class(TA)
  public
    function Tag: string; override;
  end;

function TBase.Tag: string;
begin
  Result := 'base';
end;

function TA.Tag: string;
begin
  Result := 'a';
end;

function TB.Tag: string;
begin
  Result := 'b';
end;

function TC.Tag: string;
begin
  Result := 'c';
end;

function TE.Tag: string;
begin
  Result := 'e';
end;

var
  objects: array of TBase;
  line: string;
  i, k: Integer;
  b: TB;

begin
  objects := [TBase.Create, TA.Create, TB.Create, TC.Create, TD.Create, TE.Create];
  line := '';
  for i := 0 to 11 do
  begin
    k := (i * 5) mod 6;
    line := line + '[' + objects[k].Tag + ']';
  end;
  Writeln(line);         // expect: [base][e][c][c][b][a][base][e][c][c][b][a]
  b := TD.Create;
  Writeln(b.Tag);        // expect: c
  b.Free;
  for k := 0 to 5 do
    objects[k].Free;
end.
