// Nested TRY statements pair with their own EXCEPT and FINALLY parts: an error before, inside
// or after an inner TRY is handled by the right handler.
var
  zero, i: Integer;

procedure Run(failAt: Integer);
begin
  try
    Writeln('a');
    if failAt = 1 then
      zero := 1 div zero;
    try
      Writeln('b');
      if failAt = 2 then
        zero := 1 div zero;
    except
      Writeln('c');
    end;
    Writeln('d');
    if failAt = 3 then
      zero := 1 div zero;
    Writeln('e');
  except
    Writeln('outer');
  end;
  Writeln('done');
end;

begin
  zero := 0;
  Run(1);     // expect: a
              // expect: outer
              // expect: done
  Run(2);     // expect: a
              // expect: b
              // expect: c
              // expect: d
              // expect: e
              // expect: done
  Run(3);     // expect: a
              // expect: b
              // expect: d
              // expect: outer
              // expect: done
  try
    try
      i := 1 div zero;
    except
      try
        Writeln('inner handler');   // expect: inner handler
      finally
        Writeln('finally inside handler');   // expect: finally inside handler
      end;
    end;
    Writeln('between');             // expect: between
    i := 1 div zero;
  except
    Writeln('outer handler');       // expect: outer handler
  end;
end.
