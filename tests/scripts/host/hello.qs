// A script without a header: its lines are printed in order between the status lines.
begin
  Writeln('Hello, world!');      // expect: Hello, world!
  Writeln('');                   // expect:
  Writeln('  leading blanks');   // expect:   leading blanks
  Writeln('last line');          // expect: last line
end.
