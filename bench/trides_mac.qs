// TriDes_MAC over 64 KiB, 100 times: the 16-byte block doubled 12 times.
var
  i: Integer;
  s, m: string;
begin
  s := '00112233445566778899AABBCCDDEEFF';
  for i := 1 to 12 do
    s := s + s;
  for i := 1 to 100 do
    m := TriDes_MAC('0123456789ABCDEFFEDCBA9876543210', s);
  Writeln(m);
end.
