// A used unit's Integer variable may be passed to a var parameter declared Integer here: each
// script has its own predefined types, but an Integer is an Integer.
// cwd: units
uses MathUtil;

procedure AddTen(var x: Integer);
begin
  x := x + 10;
end;

begin
  Calls := 5;
  AddTen(Calls);
  if Calls = 15 then
    Writeln('the unit variable changed');   // expect: the unit variable changed
end.
