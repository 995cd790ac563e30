// Private members belong to their own class. A WITH body looks names up as from inside the
// declared class of the named variable: its own private fields, the protected fields and
// every method of its ancestors are found, so a private field of TBase is found through a
// variable declared as TBase even when it holds a TChild. A descendant's method finds the
// protected fields of its ancestor by their bare names, but not the ancestor's private ones.
type
  TBase = class
  private
    FHidden: Integer;
    procedure BaseSecret;
  protected
    FVisible: Integer;
  end;

  TChild = class(TBase)
  private
    FOwn: Integer;
  public
    function Report: string;
    procedure ShowHidden;
  end;

function NumText(value: Integer): string;
var
  negative: Boolean;
begin
  Result := '';
  negative := value < 0;
  if negative then
    value := -value;
  repeat
    case value mod 10 of
      0: Result := '0' + Result;
      1: Result := '1' + Result;
      2: Result := '2' + Result;
      3: Result := '3' + Result;
      4: Result := '4' + Result;
      5: Result := '5' + Result;
      6: Result := '6' + Result;
      7: Result := '7' + Result;
      8: Result := '8' + Result;
      9: Result := '9' + Result;
    end;
    value := value div 10;
  until value = 0;
  if negative then
    Result := '-' + Result;
end;

procedure TBase.BaseSecret;
begin
  FHidden := FHidden + 1;
end;

function TChild.Report: string;
begin
  Result := NumText(FVisible) + ' ' + NumText(FOwn);
end;

procedure TChild.ShowHidden;
begin
  Writeln('hidden ' + NumText(FHidden));   // expect error: unknown identifier: FHIDDEN
end;

var
  c: TChild;
  b: TBase;

begin
  c := TChild.Create;
  with c do
  begin
    FOwn := 2;
    FVisible := 3;
    BaseSecret;
  end;
  Writeln(c.Report);                       // expect: 3 2
  b := c;
  with b do
  begin
    FHidden := FHidden + 10;
    Writeln(NumText(FHidden));             // expect: 11
  end;
  c.ShowHidden;
  Writeln('not reached');
end.
