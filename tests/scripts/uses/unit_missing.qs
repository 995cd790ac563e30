// A used unit without a file is reported at its name in the uses clause.
// cwd: units
uses MathUtil, Nowhere;   // expect compile error: unit is not found
// expect position at: Nowhere
begin
  Writeln('never runs');
end.
