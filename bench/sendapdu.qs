// 1000 SendAPDU calls through pcscd to the virtual card: READ BINARY of 16 bytes of EF 0001.
var
  i: Integer;
  r: string;
begin
  OpenReader(1);
  r := SendAPDU(1, '00 A4 00 0C 02 00 01');
  for i := 1 to 1000 do
    r := SendAPDU(1, '00 B0 00 00 10');
  Writeln(r);
  CloseReader(1);
end.
