// The FOR variable must be of an integer type.
var
  r: Real;
begin
  Writeln('running');          // expect: running
  for r := 1 to 2 do           // expect error: integer variable expected
    Writeln('never');
end.
