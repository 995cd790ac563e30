// A lexical error in a used unit names the unit and the position inside its file.
// cwd: units
uses BadChar;   // expect compile error: syntax error
// expect module: BADCHAR
// expect position: 96
begin
  Writeln('never runs');
end.
