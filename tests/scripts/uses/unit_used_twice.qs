// A unit name may appear only once in the uses clause.
// cwd: units
uses MathUtil, MathUtil;   // expect compile error: duplicate identifier
// expect position at: MathUtil;
begin
end.
