// The DES and triple-DES functions: always registered, whether or not PC/SC is usable.
begin
  Writeln(Des_Encode('01 23 45 67 89 ab cd ef', '4E6F772069732074'));
  // expect: 3FA40E8A984D4815
  Writeln(Des_Decode('0123456789ABCDEF', '3FA40E8A984D4815'));
  // expect: 4E6F772069732074
  Writeln(Des_Encode('0123456789ABCDEF', '112233'));
  // expect: 59F60CCE5E87F35A
  Writeln(Des_MAC('0123456789ABCDEF', '112233'));
  // expect: 11223380
  Writeln(TriDes_Encode('0123456789ABCDEF0123456789ABCDEF', '4E6F772069732074'));
  // expect: 3FA40E8A984D4815
  Writeln(TriDes_Decode('0123456789ABCDEFFEDCBA9876543210', TriDes_Encode('0123456789ABCDEFFEDCBA9876543210', '0011223344556677')));
  // expect: 0011223344556677
  Writeln(TriDes_MAC('0123456789ABCDEFFEDCBA9876543210', '0000000000000000 4E6F772069732074'));
  // expect: 54C077EC
  TriDes_Encode('0123456789ABCDEF', '00'); // expect error: 3DES key len should be 16!
end.
