// TRY ... FINALLY runs the finally part after a protected part that succeeds, and also when
// it fails; the failure is then reported where it happened.
var
  i, zero: Integer;
begin
  zero := 0;
  try
    Writeln('protected');       // expect: protected
  finally
    Writeln('finally');         // expect: finally
  end;
  Writeln('after');             // expect: after
  try
    try
      i := 1 div zero;
    finally
      Writeln('inner finally'); // expect: inner finally
    end;
    Writeln('not reached');
  except
    Writeln('outer handler');   // expect: outer handler
  end;
  try
    Writeln('about to fail');   // expect: about to fail
    i := 2 div zero;            // expect error: divide by zero
    Writeln('not reached');
  finally
    Writeln('cleanup');         // expect: cleanup
  end;
  Writeln('not reached either');
end.
