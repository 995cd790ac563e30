// The two readers of pcscd's vpcd driver, in the order the service lists them.
begin
  if GetReaderCount = 2 then Writeln('two readers');
  // expect: two readers
  Writeln(GetReaderName(1));
  // expect: Virtual PCD 00 00
  Writeln(GetReaderName(2));
  // expect: Virtual PCD 00 01
  Writeln(GetReaderName(0)); // expect error: Not a valid reader index, shoud be 1..2
end.
