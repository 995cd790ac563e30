// DIV, MOD and / by zero are run-time errors (so a try can catch them); an uncaught one ends
// the run.
var
  i, zero: Integer;
  r: Extended;
begin
  zero := 0;
  try
    i := 7 div zero;
  except
    Writeln('div by zero caught');   // expect: div by zero caught
  end;
  try
    i := 7 mod 0;
  except
    Writeln('mod by zero caught');   // expect: mod by zero caught
  end;
  try
    r := 1.5 / 0;
  except
    Writeln('real / 0 caught');      // expect: real / 0 caught
  end;
  try
    r := 3 / zero;
  except
    Writeln('integer / 0 caught');   // expect: integer / 0 caught
  end;
  r := 0.0;
  try
    r := 1 / r;
  except
    Writeln('/ 0.0 caught');         // expect: / 0.0 caught
  end;
  i := 10 div zero;                  // expect error: divide by zero
// expect position at: ;
end.
