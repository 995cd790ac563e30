// A variable at the start of a statement must be followed by :=.
var
  x: Integer;
begin
  Writeln('running');   // expect: running
  x = 5;                // expect error: assignment expected
end.
