// Inside a method, bare names are looked up as from inside the method's class: its own
// private fields, the protected fields of its ancestors and every method of the chain
// (private methods of ancestors included). SELF.Name is looked up as from outside, so
// public members are found through SELF but a private field is not.
type
  TBase = class
  private
    FBasePrivate: Integer;
    procedure BaseSecret;
  protected
    FShared: Integer;
    procedure Touch;
  public
    procedure SetUp;
  end;

  TChild = class(TBase)
  private
    FOwn: Integer;
  public
    Total: Integer;
    procedure Work;
    procedure Peek;
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
  Writeln('base secret ' + NumText(FBasePrivate));
end;

procedure TBase.Touch;
begin
  FShared := FShared + 10;
end;

procedure TBase.SetUp;
begin
  FBasePrivate := 5;
  FShared := 1;
  Writeln('base private ' + NumText(FBasePrivate));
end;

procedure TChild.Work;
begin
  FOwn := 2;
  Touch;
  FShared := FShared + FOwn;
  Total := FShared + FOwn;
  BaseSecret;
  SELF.Total := SELF.Total + 1;
end;

procedure TChild.Peek;
begin
  Writeln('own ' + NumText(FOwn));
  Writeln('shared ' + NumText(FShared));
  Writeln('self total ' + NumText(SELF.Total));
  Writeln(NumText(SELF.FOwn));           // expect error: unknown identifier: FOWN
end;

var
  c: TChild;

begin
  c := TChild.Create;
  c.SetUp;                               // expect: base private 5
  c.Work;                                // expect: base secret 5
  Writeln(NumText(c.Total));             // expect: 16
  c.Peek;
  // expect: own 2
  // expect: shared 13
  // expect: self total 16
  Writeln('not reached');
end.
