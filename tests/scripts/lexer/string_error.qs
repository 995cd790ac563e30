// A string literal must close on its line; the error is reported at the opening quote and
// nothing runs.
begin
  Writeln('this one is fine');
  Writeln('this one never closes);   // expect compile error: string error
// expect position at: '
end.
