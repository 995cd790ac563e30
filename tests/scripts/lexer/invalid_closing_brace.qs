// A closing brace outside a comment is an invalid character.
begin
  Writeln('x'); }   // expect compile error: syntax error
// expect position at: }
end.
