// BREAK outside any loop ends the main block early; the missing final period is then an
// error at the BREAK.
begin
  Writeln('before');   // expect: before
  break;               // expect error: period expected
  Writeln('after');
end.
