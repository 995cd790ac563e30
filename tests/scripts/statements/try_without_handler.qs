// A TRY block must end with EXCEPT or FINALLY, not END.
begin
  Writeln('running');   // expect: running
  try
    Writeln('inside');  // expect: inside
  end;                  // expect error: except expected
end.
