// An error in a used unit's declarations names the unit and the position inside its file.
// cwd: units
uses Broken;   // expect compile error: duplicate identifier
// expect module: BROKEN
// expect position in units/BROKEN.qs: Value: string
begin
  Writeln('never runs');
end.
