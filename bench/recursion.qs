program Recursion;
// Recursive calls: naive Fibonacci, Ackermann, Hofstadter's mutually recursive
// F and M sequences, and a mutually recursive even/odd test.
// Keep in step with recursion.lua and recursion.py: all three print the same lines.

var
  idx, jdx, total, evens: Integer;

function Fib(n: Integer): Integer;
begin
  if n < 2 then
    Result := n
  else
    Result := Fib(n - 1) + Fib(n - 2);
end;

function Ack(m, n: Integer): Integer;
begin
  if m = 0 then
    Result := n + 1
  else if n = 0 then
    Result := Ack(m - 1, 1)
  else
    Result := Ack(m - 1, Ack(m, n - 1));
end;

// HofF and HofM call each other; names are resolved when the call runs.
function HofF(n: Integer): Integer;
begin
  if n = 0 then
    Result := 1
  else
    Result := n - HofM(HofF(n - 1));
end;

function HofM(n: Integer): Integer;
begin
  if n = 0 then
    Result := 0
  else
    Result := n - HofF(HofM(n - 1));
end;

function IsEven(n: Integer): Boolean;
begin
  if n = 0 then
    Result := True
  else
    Result := IsOdd(n - 1);
end;

function IsOdd(n: Integer): Boolean;
begin
  if n = 0 then
    Result := False
  else
    Result := IsEven(n - 1);
end;

begin
  Writeln('fib=' + IntToStr(Fib(28)));

  total := 0;
  for idx := 0 to 2 do
    for jdx := 0 to 7 do
      total := total + Ack(idx, jdx);
  total := total + Ack(3, 5);
  Writeln('ack=' + IntToStr(total));

  total := 0;
  for idx := 0 to 31 do
  begin
    total := total * 3 + HofF(idx) + 2 * HofM(idx);
    total := total mod 1000003;
  end;
  Writeln('hofstadter=' + IntToStr(total));

  evens := 0;
  for jdx := 0 to 29 do
    for idx := 0 to 149 do
      if IsEven(idx + jdx) then
        evens := evens + idx;
  Writeln('even=' + IntToStr(evens));
end.
