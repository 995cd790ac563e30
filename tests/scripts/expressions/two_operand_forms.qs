// Expressions of two plain operands are the most common kind; they must give exactly what the
// same expression gives inside a longer one (here: with `+ 0`, `+ ''` or `and true` added).
var
  a, b, x, y: Integer;
  s, t, u: string;
  c: Char;
  ok, bb: Boolean;
begin
  ok := true;
  a := -7; b := 2;
  x := a div b; y := a div b + 0; ok := ok and (x = y) and (x = -3);
  x := a mod b; y := a mod b + 0; ok := ok and (x = y) and (x = -1);
  a := 2147483647; b := 1;
  x := a + b; y := a + b + 0; ok := ok and (x = y) and (x < 0);
  a := -2147483647 - 1; b := -1;
  x := a * b; y := a * b + 0; ok := ok and (x = y);
  a := 3; b := 5;
  bb := a < b; ok := ok and bb;
  bb := a >= b; ok := ok and not bb;
  bb := a <> b; ok := ok and bb;
  if ok then
    Writeln('integers agree');   // expect: integers agree
  s := 'ab';
  s := s + s;
  Writeln(s);                    // expect: abab
  t := 'x';
  s := t + s;
  Writeln(s);                    // expect: xabab
  c := '!';
  u := s + c;
  Writeln(u);                    // expect: xabab!
  u := u + 'end';
  Writeln(u);                    // expect: xabab!end
  bb := s < u;
  if bb and (s <> u) and ('B' < 'a') then
    Writeln('strings compare by bytes');   // expect: strings compare by bytes
  a := 7; b := 0;
  x := a div b;                  // expect error: divide by zero
end.
