// Local variables start at zero values on every call and hide globals of the same name;
// parameters hide globals declared after the routine.
var
  total: Integer;

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

procedure Count;
var
  k: Integer;
  text: string;
begin
  k := k + 1;
  text := text + 'a';
  Writeln(NumText(k) + text);
end;

procedure Shadow;
var
  total: Integer;
begin
  total := 99;
  Writeln('local total ' + NumText(total));
end;

procedure UseLater(later: Integer);
begin
  Writeln('parameter ' + NumText(later));
end;

procedure AddToTotal(amount: Integer);
begin
  total := total + amount;
end;

var
  later: Integer;

begin
  Count;                             // expect: 1a
  Count;                             // expect: 1a
  total := 5;
  Shadow;                            // expect: local total 99
  Writeln('global total ' + NumText(total));   // expect: global total 5
  later := 1;
  UseLater(2);                       // expect: parameter 2
  Writeln('global later ' + NumText(later));   // expect: global later 1
  AddToTotal(10);
  Writeln(NumText(total));           // expect: 15
end.
