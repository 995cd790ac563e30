// Comparisons of string variables, array elements and literals in either order: byte-wise and
// unsigned (a byte above 127 sorts after 'z', #0 before any letter), a prefix before the longer
// string, a variable compared with itself, and an element index that fails while the comparison
// is read.
var
  a, b: string;
  words: array of string;
  i: Integer;
  ok: Boolean;

procedure Check(what: string; holds: Boolean);
begin
  if holds then
    Writeln(what)
  else
    Writeln(what + ' FAILED');
end;

begin
  a := 'abc';
  b := 'abd';
  Check('<', a < b);                          // expect: <
  Check('<=', a <= b);                        // expect: <=
  Check('not >', not (a > b));                // expect: not >
  Check('not >=', not (a >= b));              // expect: not >=
  Check('<>', a <> b);                        // expect: <>
  Check('not =', not (a = b));                // expect: not =
  Check('itself', (a = a) and (a >= a) and not (a < a)); // expect: itself
  b := a + #0;
  Check('prefix first', a < b);               // expect: prefix first
  b := 'a' + #0 + 'c';
  Check('#0 before letters', b < a);          // expect: #0 before letters
  b := 'ab' + #200;
  Check('high byte after z', 'abz' < b);      // expect: high byte after z
  Check('literal on the right', b > 'abz');   // expect: literal on the right
  a := '';
  Check('empty first', a < 'a');              // expect: empty first
  words := ['pear', 'apple', 'pear'];
  i := 2;
  Check('elements', (words[0] = words[i]) and (words[1] < words[0])); // expect: elements
  ok := words[1] > words[2];
  Check('result stored', not ok);             // expect: result stored
  i := 3;
  ok := words[i] = 'pear';                    // expect error: out of range
end.
