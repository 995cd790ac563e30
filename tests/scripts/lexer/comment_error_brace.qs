// A brace comment that is never closed is a comment error at the brace.
begin
  Writeln('never printed'); { runs to the end of the text   // expect compile error: comment error
// expect position at: {
end.
