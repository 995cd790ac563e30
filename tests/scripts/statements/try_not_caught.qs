// Errors in the text itself, such as a type mismatch, are not run-time errors: TRY does not
// catch them and its finally part does not run.
var
  s: string;
begin
  try
    Writeln('protected');       // expect: protected
    s := 'a' + 1;               // expect error: type mismatch
  finally
    Writeln('finally not run');
  end;
end.
