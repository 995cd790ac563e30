// Routines, types and variables share one name space: a variable cannot take the name of the
// host routine Writeln.
var
  Writeln: Integer;   // expect compile error: duplicate identifier
// expect position at: Writeln
begin
end.
