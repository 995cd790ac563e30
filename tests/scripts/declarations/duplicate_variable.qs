// Two globals of the same name: the second is a duplicate identifier.
var
  x: Integer;
  s: string;
  X: string;   // expect compile error: duplicate identifier
// expect position at: X
begin
  Writeln('never runs');
end.
