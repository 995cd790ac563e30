// Constant expressions are evaluated while the declarations are read, so a division by zero
// there stops the script before it runs.
const
  One = 1;
  Broken = One div 0;   // expect compile error: divide by zero
begin
  Writeln('never runs');
end.
