// A VAR parameter needs a variable of exactly its type: no conversion is made.
var
  n: Integer;
  b: Byte;

procedure Increment(var target: Byte);
begin
  target := target + 1;
end;

begin
  Increment(b);
  Writeln('byte accepted');       // expect: byte accepted
  Increment(n);                   // expect error: type mismatch
end.
