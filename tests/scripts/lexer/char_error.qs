// A character literal directly followed by a letter is a character error at the '#'.
begin
  Writeln('a' + #65x);   // expect compile error: char error
// expect position at: #
end.
