begin
  OpenReader(1);
  Writeln(SendAPDU(1, '00,A4,04')); // expect error: Invalid Hex string!
end.
