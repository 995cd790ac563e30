// `var` parameters of every numeric type pass a pointer to a value of the C type: each export
// returns the value it found and stores a known one, which the script variable then holds.
var
  Lib: ResourcePointer;
  B: Byte;
  SI: ShortInt;
  C: Char;
  W: Word;
  SM: SmallInt;
  CA: Cardinal;
  LI: LongInt;
  I: Integer;

procedure Map(Export, Declaration: string);
begin
  if not MapLibraryProc(Lib, Export, Declaration) then
    Writeln('not mapped: ' + Declaration);
end;

begin
  LoadLibrary('libquoll-native-test-exports.so', Lib);
  Map('qt_swap_uint8', 'function SwapByte(var V: Byte): Byte');
  Map('qt_swap_int8', 'function SwapShortInt(var V: ShortInt): ShortInt');
  Map('qt_swap_uchar', 'function SwapChar(var V: Char): Char');
  Map('qt_swap_uint16', 'function SwapWord(var V: Word): Word');
  Map('qt_swap_int16', 'function SwapSmallInt(var V: SmallInt): SmallInt');
  Map('qt_swap_uint32', 'function SwapCardinal(var V: Cardinal): Cardinal');
  Map('qt_swap_int32', 'function SwapLongInt(var V: LongInt): LongInt');
  Map('qt_swap_int32', 'function SwapInteger(var V: Integer): Integer');

  B := 250;
  Writeln(IntToStr(SwapByte(B)) + ' -> ' + IntToStr(B));       // expect: 250 -> 200
  SI := -7;
  Writeln(IntToStr(SwapShortInt(SI)) + ' -> ' + IntToStr(SI)); // expect: -7 -> -100
  C := 'q';
  Writeln(SwapChar(C) + ' -> ' + C);                            // expect: q -> Z
  W := 65000;
  Writeln(IntToStr(SwapWord(W)) + ' -> ' + IntToStr(W));       // expect: 65000 -> 60000
  SM := -32000;
  Writeln(IntToStr(SwapSmallInt(SM)) + ' -> ' + IntToStr(SM)); // expect: -32000 -> -30000
  CA := 1500000000;
  CA := CA + CA;
  // Thousands: the script's literals and IntToStr stop at 2147483647.
  Writeln(IntToStr(SwapCardinal(CA) div 1000) + ' -> ' + IntToStr(CA div 1000)); // expect: 3000000 -> 4000000
  LI := 123456789;
  Writeln(IntToStr(SwapLongInt(LI)) + ' -> ' + IntToStr(LI));  // expect: 123456789 -> -2000000000
  I := -1;
  Writeln(IntToStr(SwapInteger(I)) + ' -> ' + IntToStr(I));    // expect: -1 -> -2000000000
  CloseLibrary(Lib);
end.
