// Reals work in 80-bit extended precision. Round ties to even, Trunc drops the fraction,
// Int is Trunc(x + 0.5). Conversions beyond the 64-bit range give the processor's
// "integer indefinite", whose low 32 bits are 0.
procedure R(x: Extended);
begin
  Writeln(IntToStr(Round(x)) + ' ' + IntToStr(Trunc(x)) + ' ' + IntToStr(Int(x)));
end;

var
  e: Extended;
begin
  R(0.5);
  // expect: 0 0 1
  R(1.5);
  // expect: 2 1 2
  R(2.5);
  // expect: 2 2 3
  R(3.5);
  // expect: 4 3 4
  R(-2.5);
  // expect: -2 -2 -2
  R(-0.5);
  // expect: 0 0 0
  R(-0.6);
  // expect: -1 0 0
  R(2.4);
  // expect: 2 2 2
  R(-2.7);
  // expect: -3 -2 -2
  R(4294967297.0);
  // expect: 1 1 1
  R(1000000000000000000000000000000.0);
  // expect: 0 0 0
  Writeln(FloatToStr(0) + ' ' + FloatToStr(1.5) + ' ' + FloatToStr(-0.25) + ' ' + FloatToStr(1000000000000000.0));
  // expect: 0.000000000000 1.500000000000 -0.250000000000 1000000000000000.000000000000
  Writeln(FloatToStr(PI) + ' ' + FloatToStr(sin(PI / 2)) + ' ' + FloatToStr(cos(0)) + ' ' + FloatToStr(tan(PI / 4)));
  // expect: 3.141592653590 1.000000000000 1.000000000000 1.000000000000
  e := SQRT(2);
  Writeln(FloatToStr(e * e) + ' ' + FloatToStr(SQRT(0)));
  // expect: 2.000000000000 0.000000000000
end.
