// A CHAR compares only with a CHAR: the literal 'x' is a STRING.
var
  c, d: Char;
  ok: Boolean;
begin
  c := 'x';
  d := 'x';
  ok := c = d;
  Writeln('char with char works');   // expect: char with char works
  ok := c = 'x';                     // expect error: type mismatch
end.
