begin
  OpenReader(1);
  Writeln(SendAPDU(1, '00 A4 0')); // expect error: String can not be odd!
end.
