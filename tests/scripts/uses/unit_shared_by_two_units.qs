// A unit used by two others is one unit: its variables and types are the same through both.
// cwd: units
program SharedUnits;

uses Bumper, Counted, SharedTypes, Scaler;

var
  r: TReading;

begin
  BumpTwice;
  Writeln(IntToStr(CountNow));            // expect: 2
  Bump;
  Writeln(IntToStr(Count));               // expect: 3
  BumpTwice;
  Writeln(IntToStr(CountNow));            // expect: 5
  r.Value := 7;
  r.Scale := 6;
  Writeln(IntToStr(Scaled(r)));           // expect: 42
  Normalise(r);
  Writeln(IntToStr(r.Value) + ' ' + IntToStr(r.Scale));  // expect: 42 1
end.
