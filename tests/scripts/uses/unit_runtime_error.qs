// A run-time error inside a unit's routine names the unit and the position inside its file.
// cwd: units
uses MathUtil;

var
  k: Integer;

begin
  k := Ratio(8, 2);
  Writeln('first call works');            // expect: first call works
  k := Ratio(1, 0);                       // expect error: divide by zero
// expect module: MATHUTIL
// expect position in units/MATHUTIL.qs: a div b|;
  Writeln('not reached');
end.
