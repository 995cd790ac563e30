// The error line names the module from the program header, upper-cased.
program Header_Test;

var
  zero: Integer;

begin
  Writeln('before the error');   // expect: before the error
  zero := 0;
  zero := 1 div zero;            // expect error: divide by zero
  Writeln('not reached');
end.
