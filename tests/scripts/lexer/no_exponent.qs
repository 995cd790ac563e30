// There is no exponent part: 1E5 reads as the integer 1 followed by the name E5, which cannot
// follow an operand.
var
  r: Extended;
begin
  Writeln('running');   // expect: running
  r := 1E5;             // expect error: error in expression
end.
