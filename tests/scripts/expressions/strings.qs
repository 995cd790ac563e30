// String and character values: concatenation, CHAR to STRING rules and byte-wise,
// case-sensitive comparison.
var
  s, t: string;
  c, d: Char;

procedure Check(what: string; ok: Boolean);
begin
  if ok then
    Writeln(what)
  else
    Writeln(what + ' FAILED');
end;

begin
  s := 'ab' + 'cd';
  Writeln(s);                            // expect: abcd
  c := 'x';
  d := 'y';
  Writeln(c + 'yz');                     // expect: xyz
  Writeln('w' + c);                      // expect: wx
  Writeln(c + d);                        // expect: xy
  s := c;
  Writeln(s + s);                        // expect: xx
  c := #65;
  Writeln(c);                            // expect: A
  t := '';
  t := t + c + d + 'z';
  Writeln(t);                            // expect: Ayz
  Check('abc < abd', 'abc' < 'abd');     // expect: abc < abd
  Check('ab < abc', 'ab' < 'abc');       // expect: ab < abc
  Check('B < a', 'B' < 'a');             // expect: B < a
  Check('empty < a', '' < 'a');          // expect: empty < a
  Check('b > abc', 'b' > 'abc');         // expect: b > abc
  Check('abc = abc', 'abc' = 'abc');     // expect: abc = abc
  Check('abc <> ABC', 'abc' <> 'ABC');   // expect: abc <> ABC
  Check('a >= a', 'a' >= 'a');           // expect: a >= a
  Check('ab <= ab', 'ab' <= 'ab');       // expect: ab <= ab
  Check('not (abc < ab)', not ('abc' < 'ab')); // expect: not (abc < ab)
  Check('char order', c < d);            // expect: char order
  d := 'A';
  Check('char equality', c = d);         // expect: char equality
  s := 'x';
  t := 'x';
  Check('string equality', s = t);       // expect: string equality
end.
