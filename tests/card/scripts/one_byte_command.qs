// vpcd sends a one-byte command APDU the way it sends its power controls; the virtual card still
// answers it, so the reader does not wait for ever and stays usable.
begin
  OpenReader(1);
  Writeln(SendAPDU(1, 'FF'));
  // expect: 6700
  Writeln(SendAPDU(1, '00'));
  // expect: 6700
  Writeln(SendAPDU(1, '00 a4 00 00 02 3f 00'));
  // expect: 6109
end.
