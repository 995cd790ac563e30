// A used file that holds a program instead of a unit is refused at the unit's name, with a
// message that says so.
// cwd: units
uses NotUnit;   // expect compile error: NOTUNIT.qs is not a unit
// expect position at: NotUnit
begin
  Writeln('never runs');
end.
