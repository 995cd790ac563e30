// Recursive and mutually recursive routines; every call has its own parameters and locals.
var
  s: string;

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

function Factorial(k: Integer): Integer;
begin
  if k <= 1 then
    Result := 1
  else
    Result := k * Factorial(k - 1);
end;

function Fib(k: Integer): Integer;
begin
  if k < 2 then
    Fib := k
  else
    Fib := Fib(k - 1) + Fib(k - 2);
end;

function IsEven(k: Integer): Boolean;
begin
  if k = 0 then
    Result := true
  else
    Result := IsOdd(k - 1);
end;

function IsOdd(k: Integer): Boolean;
begin
  if k = 0 then
    Result := false
  else
    Result := IsEven(k - 1);
end;

procedure Countdown(k: Integer);
var
  mine: Integer;
begin
  mine := k * 10;
  if k > 0 then
    Countdown(k - 1);
  s := s + NumText(mine) + ' ';
end;

function Reverse(text: string; count: Integer): string;
begin
  if count = 0 then
    Result := ''
  else
    Result := Reverse(text + 'x', count - 1) + NumText(count);
end;

begin
  Writeln(NumText(Factorial(10)));   // expect: 3628800
  Writeln(NumText(Fib(15)));         // expect: 610
  if IsEven(10) and IsOdd(7) and not IsEven(3) then
    Writeln('mutual recursion');     // expect: mutual recursion
  s := '';
  Countdown(3);
  Writeln(s + 'end');                // expect: 0 10 20 30 end
  Writeln(Reverse('', 4));           // expect: 1234
end.
