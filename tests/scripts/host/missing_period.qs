// expect error: period expected
// expect position: 0
// The main block runs; the missing final period is found after it, at the end of the text,
// which is reported at position 0.
begin
  Writeln('ran');                // expect: ran
end
