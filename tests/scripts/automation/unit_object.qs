program UnitObject;
// An object a unit made works in the script that uses the unit, and its failure is the
// calling statement's.
// cwd: units
uses Maker;
begin
  Writeln(MakeServer.EchoString('from the unit'));  // expect: from the unit
  try
    FailHere;
  except
    Writeln('failure inside the unit caught');      // expect: failure inside the unit caught
  end;
  MakeServer.Fail;  // expect error: failled calling ole method: org.quoll.TestServer.Error.Refused: The server refuses, as asked.
end.
