// The string routines at the edges of their index rules. Strings are byte strings indexed from 1.
var
  s: string;
begin
  // Copy: a start below 1 counts as 1, a start past the end or a negative count gives '',
  // a count past the end stops at the end.
  Writeln(Copy('abc', 0, 2) + '|' + Copy('abc', 3, 10) + '|' + Copy('abc', 4, 1) + '|' + Copy('abc', 2, -1) + '|' + Copy('abc', -5, 2147483647));
  // expect: ab|c|||abc
  Writeln(Left('abcdef', 3) + '|' + Left('ab', 5) + '|' + Left('ab', -1) + '|');
  // expect: abc|ab||

  // Delete does nothing for a start outside the string or a count <= 0; a long count stops at the end.
  s := 'abcdef'; Delete(s, 0, 2); Delete(s, 7, 1); Delete(s, 2, 0); Delete(s, 2, -3);
  Writeln(s);
  // expect: abcdef
  Delete(s, 2, 2); Writeln(s);
  // expect: adef
  Delete(s, 3, 100); Writeln(s);
  // expect: ad

  // Insert before an index; below 1 inserts at the front, past the end appends.
  s := 'abc'; Insert('X', s, 2); Insert('F', s, -4); Insert('E', s, 100); Insert('', s, 2);
  Writeln(s);
  // expect: FaXbcE

  Writeln(IntToStr(Pos('lo', 'hello lo')) + ' ' + IntToStr(Pos('', 'abc')) + ' ' + IntToStr(Pos('a', '')) + ' ' + IntToStr(Pos('z', 'abc')));
  // expect: 4 0 0 0
  Writeln(IntToStr(Length('')) + ' ' + IntToStr(Length('abc')) + ' ' + IntToStr(Length(#0#0)));
  // expect: 0 3 2

  // Trim removes blanks (code 32) only; a tab stays.
  Writeln('[' + Trim('  a b  ') + '][' + Trim(#9'x ') + '][' + Trim('   ') + ']');
  // expect: [a b][	x][]

  // Case changes touch the ASCII letters only.
  Writeln(Uppercase('abz{AZ1') + ' ' + LowerCase('ABZ@az1'));
  // expect: ABZ{AZ1 abz@az1
  s := Uppercase(#233);
  Writeln(IntToStr(Ord(StrGet(s, 1))));
  // expect: 233

  // replicate and StringOfChar repeat the first character; a count <= 0 or an empty text gives ''.
  Writeln(replicate('xyz', 3) + '|' + StringOfChar('ab', 2) + '|' + StringOfChar('a', 0) + '|' + replicate('q', -2) + '|' + replicate('', 5) + '|');
  // expect: xxx|aa||||

  // SetLength keeps the first characters; new characters are #0; a negative length empties.
  s := 'hello'; SetLength(s, 2); Writeln(s);
  // expect: he
  SetLength(s, 4); Writeln(IntToStr(Length(s)) + ' ' + IntToStr(Ord(StrGet(s, 4))));
  // expect: 4 0
  SetLength(s, -1); Writeln('[' + s + ']');
  // expect: []

  s := 'abc'; StrSet('Z', 3, s); StrSet(Chr(65), 1, s);
  Writeln(s + ' ' + StrGet(s, 3) + ' ' + Chr(66) + ' ' + Chr(256 + 67) + ' ' + Version);
  // expect: AbZ Z B C 2.67
end.
