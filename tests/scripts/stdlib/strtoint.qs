// StrToInt accepts leading blanks, a signed decimal within the LONGINT range, or an unsigned
// hexadecimal after $, x, X, 0x or 0X of at most 32 bits; anything else gives the default.
procedure Show(s: string; default: Integer);
begin
  Writeln('[' + s + '] ' + IntToStr(StrToInt(s, default)));
end;

begin
  Show(' 42', 0);
  // expect: [ 42] 42
  Show('42 ', 7);
  // expect: [42 ] 7
  Show('+17', 0);
  // expect: [+17] 17
  Show('-2147483648', 0);
  // expect: [-2147483648] -2147483648
  Show('2147483647', 0);
  // expect: [2147483647] 2147483647
  Show('2147483648', 5);
  // expect: [2147483648] 5
  Show('-2147483649', 5);
  // expect: [-2147483649] 5
  Show('$1F', 0);
  // expect: [$1F] 31
  Show('x1f', 0);
  // expect: [x1f] 31
  Show('0XfF', 0);
  // expect: [0XfF] 255
  Show('$80000000', 0);
  // expect: [$80000000] -2147483648
  Show('0xFFFFFFFF', 0);
  // expect: [0xFFFFFFFF] -1
  Show('$000000001', 0);
  // expect: [$000000001] 1
  Show('$100000000', 3);
  // expect: [$100000000] 3
  Show('-$1F', 3);
  // expect: [-$1F] 3
  Show('', 3);
  // expect: [] 3
  Show('   ', 3);
  // expect: [   ] 3
  Show('-', 3);
  // expect: [-] 3
  Show('$', 3);
  // expect: [$] 3
  Show('0x', 3);
  // expect: [0x] 3
  Show('12a', 3);
  // expect: [12a] 3
  Show('00012', 3);
  // expect: [00012] 12
  Writeln(IntToStr(-2147483647 - 1) + ' ' + IntToStr(0));
  // expect: -2147483648 0
end.
