// AND binds tighter than the comparisons: x > 1 and x < 5 reads x > (1 and x) < 5, which
// ends comparing a boolean with a number.
var
  x: Integer;
  ok: Boolean;
begin
  x := 3;
  ok := (x > 1) and (x < 5);
  Writeln('parenthesised works');   // expect: parenthesised works
  ok := x > 1 and x < 5;            // expect error: type mismatch
end.
