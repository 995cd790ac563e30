// Boolean operators and comparisons (false orders before true).
var
  a, b: Boolean;

procedure Check(what: string; ok: Boolean);
begin
  if ok then
    Writeln(what)
  else
    Writeln(what + ' FAILED');
end;

begin
  a := true;
  b := false;
  Check('true and false = false', (a and b) = false);  // expect: true and false = false
  Check('true or false', a or b);                      // expect: true or false
  Check('true xor false', a xor b);                    // expect: true xor false
  Check('not (true xor true)', not (a xor a));         // expect: not (true xor true)
  Check('false < true', b < a);                        // expect: false < true
  Check('true >= false', a >= b);                      // expect: true >= false
  Check('true = true', a = true);                      // expect: true = true
  Check('false <> true', b <> a);                      // expect: false <> true
  b := a;
  Check('assigned copy', b);                           // expect: assigned copy
  a := 3 > 2;
  Check('comparison result', a);                       // expect: comparison result
end.
