// Statements belong in a block: a statement keyword at the declaration level ends the VAR
// section, and a BEGIN is expected there.
var
  x: Integer;

if x = 0 then x := 1;   // expect compile error: begin expected
// expect position at: if
begin
end.
