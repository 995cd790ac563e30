// A VAR parameter needs a variable that may be changed: a constant is refused.
const
  Fixed = 3;
var
  n: Integer;

procedure Increment(var target: Integer);
begin
  target := target + 1;
end;

begin
  Increment(n);
  Writeln('variable accepted');   // expect: variable accepted
  Increment(Fixed);               // expect error: variable expected
end.
