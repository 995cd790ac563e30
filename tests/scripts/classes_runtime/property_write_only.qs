// A property with a writer and no reader accepts assignments, through a field or through a
// method, from outside and by its bare name inside a method; reading it fails.
type
  TSink = class
  private
    FTotal: Integer;
    FLast: string;
    procedure Add(Value: Integer);
  public
    property Amount: Integer write Add;
    property Last: string write FLast;
    procedure AddTen;
    function Report: string;
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

procedure TSink.Add(Value: Integer);
begin
  FTotal := FTotal + Value;
end;

procedure TSink.AddTen;
begin
  Amount := 10;
  Last := 'ten';
end;

function TSink.Report: string;
begin
  Result := NumText(FTotal) + ' ' + FLast;
end;

var
  s: TSink;

begin
  s := TSink.Create;
  s.Amount := 3;
  s.Amount := 4;
  s.Last := 'four';
  Writeln(s.Report);                     // expect: 7 four
  s.AddTen;
  Writeln(s.Report);                     // expect: 17 ten
  Writeln(NumText(s.Amount));            // expect error: can not read property
end.
