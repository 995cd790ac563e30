// Sixteen arguments of mixed types, most beyond the registers; the two `var` ones sit on the stack
// and receive the sum of the numbers and the count of arguments. The checksum weighs each argument
// by its position, so a swapped or lost one changes it.
var
  Lib: ResourcePointer;
  Sum: Integer;
  Count: Word;
begin
  LoadLibrary('libquoll-native-test-exports.so', Lib);
  if not MapLibraryProc(Lib, 'qt_checksum16',
      'function Checksum(A1: Byte; A2: ShortInt; A3: Word; A4: SmallInt; A5: Cardinal; A6: LongInt; ' +
      'A7: PChar; A8: Char; var A9: Integer; A10: Byte; A11: SmallInt; A12: string; A13: Cardinal; ' +
      'A14: ShortInt; var A15: Word; A16: Integer): Cardinal; cdecl;') then
    Writeln('not mapped');
  Sum := 9;
  Count := 15;
  Writeln(IntToStr(Checksum(1, -2, 3, -4, 5, -6, 'seven', #8, Sum, 10, -11, 'twelve', 13, -14, Count, -16))); // expect: 152
  Writeln(IntToStr(Sum) + ' ' + IntToStr(Count)); // expect: 22 16
  CloseLibrary(Lib);
end.
