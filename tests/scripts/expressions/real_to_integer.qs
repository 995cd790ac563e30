// A real value cannot be stored into an integer variable, not even a whole one.
var
  i: Integer;
  r: Extended;
begin
  r := 7 / 2;
  i := 8 div 2;
  Writeln('integer division is fine');   // expect: integer division is fine
  i := 8 / 2;                            // expect error: type mismatch
end.
