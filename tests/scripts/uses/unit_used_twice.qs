// A unit name may appear only once in the uses clause.
// cwd: units
uses MathUtil, MathUtil;   // expect compile error: duplicate identifier
// expect position: 87
begin
end.
