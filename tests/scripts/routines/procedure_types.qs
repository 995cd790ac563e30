// Procedure-type variables hold a routine taken with @ and call it with ^.
type
  TIntFunc = function(value: Integer): Integer;
  TAction = procedure(text: string);

var
  f: TIntFunc;
  act: TAction;

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

function Twice(value: Integer): Integer;
begin
  Result := value * 2;
end;

function Square(value: Integer): Integer;
begin
  Result := value * value;
end;

procedure Shout(text: string);
begin
  Writeln(text + '!');
end;

function Apply(g: TIntFunc; start: Integer): Integer;
begin
  Result := g^(g^(start));
end;

begin
  f := @Twice;
  Writeln(NumText(f^(21)));          // expect: 42
  f := @Square;
  Writeln(NumText(f^(5) + 1));       // expect: 26
  Writeln(NumText(Apply(@Twice, 3)));   // expect: 12
  Writeln(NumText(Apply(f, 3)));     // expect: 81
  act := @Shout;
  act^('hello');                     // expect: hello!
end.
