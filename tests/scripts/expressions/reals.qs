// Real arithmetic: / always gives a real, integers mix into reals, each real type keeps its
// own precision, and COMP rounds to the nearest integer (halves to even).
var
  i: Integer;
  r: Real;
  d: Double;
  e: Extended;
  s: Single;
  c: Comp;

procedure Check(what: string; ok: Boolean);
begin
  if ok then
    Writeln(what)
  else
    Writeln(what + ' FAILED');
end;

begin
  e := 7 / 2;
  Check('7 / 2 = 3.5', e = 3.5);             // expect: 7 / 2 = 3.5
  e := 8 / 2;
  Check('8 / 2 = 4', e = 4);                 // expect: 8 / 2 = 4
  i := 10;
  e := i div 4;
  Check('integer stored into a real', e = 2);  // expect: integer stored into a real
  d := 1 + 0.5;
  Check('1 + 0.5 = 1.5', d = 1.5);           // expect: 1 + 0.5 = 1.5
  d := i * 0.25;
  Check('10 * 0.25 = 2.5', d = 2.5);         // expect: 10 * 0.25 = 2.5
  r := 2.5;
  r := r * 2 - 1;
  Check('2.5 * 2 - 1 = 4', r = 4);           // expect: 2.5 * 2 - 1 = 4
  r := -r;
  Check('negated real', r = -4.0);           // expect: negated real
  Check('3 < 3.5', 3 < 3.5);                 // expect: 3 < 3.5
  Check('3.5 > 3', 3.5 > 3);                 // expect: 3.5 > 3
  Check('2.0 = 2', 2.0 = 2);                 // expect: 2.0 = 2
  Check('0.5 <= 0.5', 0.5 <= 0.5);           // expect: 0.5 <= 0.5
  s := 0.5;
  Check('single holds 0.5 exactly', s = 0.5);  // expect: single holds 0.5 exactly
  s := 0.1;
  Check('single 0.1 differs from 0.1', s <> 0.1);  // expect: single 0.1 differs from 0.1
  c := 2.5;
  Check('comp 2.5 -> 2', c = 2);             // expect: comp 2.5 -> 2
  c := 3.5;
  Check('comp 3.5 -> 4', c = 4);             // expect: comp 3.5 -> 4
  c := 2.6;
  Check('comp 2.6 -> 3', c = 3);             // expect: comp 2.6 -> 3
  c := 7 / 2;
  Check('comp 7 / 2 -> 4', c = 4);           // expect: comp 7 / 2 -> 4
  e := 1.5;
  e := e / 0.5;
  Check('1.5 / 0.5 = 3', e = 3);             // expect: 1.5 / 0.5 = 3
end.
