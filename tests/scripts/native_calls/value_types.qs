// Every parameter and result type by value: each export returns its argument's successor in the
// C type's own arithmetic, so the ends wrap around as the script's type does.
var
  Lib: ResourcePointer;
  Top: Cardinal;

procedure Map(Export, Declaration: string);
begin
  if not MapLibraryProc(Lib, Export, Declaration) then
    Writeln('not mapped: ' + Declaration);
end;

begin
  if not LoadLibrary('libquoll-native-test-exports.so', Lib) then
    Writeln('the test library did not load');
  Map('qt_next_uint8', 'function NextByte(V: Byte): Byte;');
  Map('qt_next_int8', 'function NextShortInt(V: ShortInt): ShortInt;');
  Map('qt_next_uchar', 'function NextChar(V: Char): Char;');
  Map('qt_next_uint16', 'function NextWord(V: Word): Word;');
  Map('qt_next_int16', 'function NextSmallInt(V: SmallInt): SmallInt;');
  Map('qt_next_uint32', 'function NextCardinal(V: Cardinal): Cardinal;');
  Map('qt_next_int32', 'function NextLongInt(V: LongInt): LongInt;');
  Map('qt_next_int32', 'function NextInteger(V: integer): INTEGER;');
  Map('qt_sum_small', 'function SumSmall(A: ShortInt; B: Byte; C: SmallInt; D: Word; E: Char): Integer;');

  Writeln(IntToStr(NextByte(41)) + ' ' + IntToStr(NextByte(255)));             // expect: 42 0
  Writeln(IntToStr(NextShortInt(-1)) + ' ' + IntToStr(NextShortInt(127)));     // expect: 0 -128
  Writeln(NextChar('A') + NextChar('y'));                                       // expect: Bz
  Writeln(IntToStr(Ord(NextChar(#255))));                                       // expect: 0
  Writeln(IntToStr(NextWord(65535)) + ' ' + IntToStr(NextWord(1233)));          // expect: 0 1234
  Writeln(IntToStr(NextSmallInt(32767)) + ' ' + IntToStr(NextSmallInt(-2)));    // expect: -32768 -1
  Top := 0;
  Top := Top - 1;                                                               // 4294967295
  Writeln(IntToStr(NextCardinal(Top)) + ' ' + IntToStr(NextCardinal(7)));       // expect: 0 8
  Writeln(IntToStr(NextCardinal(Top - 1) div 1000));                            // expect: 4294967
  Writeln(IntToStr(NextLongInt(2147483647)) + ' ' + IntToStr(NextLongInt(-5))); // expect: -2147483648 -4
  Writeln(IntToStr(NextInteger(99)));                                           // expect: 100
  // Sign and zero extension of the small types: -1 + 255 - 1 + 65535 + 200.
  Writeln(IntToStr(SumSmall(-1, 255, -1, 65535, #200)));                        // expect: 65988
  CloseLibrary(Lib);
end.
