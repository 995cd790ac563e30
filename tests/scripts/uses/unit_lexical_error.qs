// A lexical error in a used unit names the unit and the position inside its file.
// cwd: units
uses BadChar;   // expect compile error: syntax error
// expect module: BADCHAR
// expect position in units/BADCHAR.qs: !
begin
  Writeln('never runs');
end.
