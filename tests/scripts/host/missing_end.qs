// expect error: unexpected end of file
// expect position: 0
// The statements run until the text ends inside the main block.
begin
  Writeln('one');                // expect: one
  Writeln('two');                // expect: two
