// A private method cannot be called through an instance from outside its class, although
// the class's public methods can call it.
type
  TCounter = class
  private
    FCount: Integer;
    procedure Step;
  public
    procedure StepTwice;
    function Count: Integer;
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

procedure TCounter.Step;
begin
  FCount := FCount + 1;
end;

procedure TCounter.StepTwice;
begin
  Step;
  Step;
end;

function TCounter.Count: Integer;
begin
  Result := FCount;
end;

var
  c: TCounter;

begin
  c := TCounter.Create;
  c.StepTwice;
  Writeln(NumText(c.Count));             // expect: 2
  c.Step;                                // expect error: unknown identifier: STEP
  Writeln('not reached');
end.
