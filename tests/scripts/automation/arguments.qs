program Arguments;
// Every kind of script value as an argument, converted to the type the method's signature asks
// for: integers where they fit, reals to doubles, CHAR and STRING to text, BOOLEAN, arrays by
// element, anything wrapped for a variant.
var
  O: IDispatch;
  B: Byte; SI: ShortInt; W: Word; SM: SmallInt; C: Cardinal; L: LongInt;
  Ch: Char; S: string;
  R: Real; Sg: Single; D: Double; E: Extended; Cp: Comp;
  Bo: Boolean;
  V: Variant;
  Ints: array of Integer; Bytes: array of Byte; Texts: array of string;
  Reals: array of Double; Flags: array of Boolean; Mixed: array of Variant;
begin
  O := CreateOleObject('org.quoll.TestServer');
  B := 255; SI := -128; W := 65535; SM := -32768; C := 4294967295; L := -2147483647 - 1;
  Writeln(IntToStr(O.EchoByte(B)));                           // expect: 255
  Writeln(IntToStr(O.EchoInt16(SI)));                         // expect: -128
  Writeln(IntToStr(O.EchoUInt16(W)));                         // expect: 65535
  Writeln(IntToStr(O.EchoInt16(SM)));                         // expect: -32768
  Writeln(IntToStr(O.EchoInt32(L)));                          // expect: -2147483648
  if O.EchoUInt32(C) = C then Writeln('cardinal 4294967295'); // expect: cardinal 4294967295
  Writeln(IntToStr(O.EchoInt32(SI)));                         // expect: -128
  Writeln(IntToStr(O.EchoByte(7)));                           // expect: 7
  // 64-bit parameters take any script integer; their results have no script type.
  try
    O.EchoInt64(L);
  except
    Writeln('int64 sent, its echo not convertible');          // expect: int64 sent, its echo not convertible
  end;
  // Text.
  Ch := 'q';
  Writeln(O.EchoString(Ch));                                  // expect: q
  S := 'gr' + #$C3#$BC + #$C3#$9F + 'e';
  if O.EchoString(S) = S then Writeln('utf-8 text kept');     // expect: utf-8 text kept
  Writeln('[' + O.EchoString('') + ']');                      // expect: []
  Writeln(O.EchoPath('/org/quoll/x'));                        // expect: /org/quoll/x
  Writeln(O.EchoSignature('a{sv}'));                          // expect: a{sv}
  // Reals, and integers where a double is asked for.
  R := 0.5; Sg := 1.5; D := -2.25; E := 3.125; Cp := 4;
  Writeln(FloatToStr(O.EchoDouble(R)));                       // expect: 0.500000000000
  Writeln(FloatToStr(O.EchoDouble(Sg)));                      // expect: 1.500000000000
  Writeln(FloatToStr(O.EchoDouble(D)));                       // expect: -2.250000000000
  Writeln(FloatToStr(O.EchoDouble(E)));                       // expect: 3.125000000000
  Writeln(FloatToStr(O.EchoDouble(Cp)));                      // expect: 4.000000000000
  Writeln(FloatToStr(O.EchoDouble(L)));                       // expect: -2147483648.000000000000
  // Booleans.
  Bo := True;
  if O.EchoBool(Bo) and not O.EchoBool(False) then Writeln('booleans kept');  // expect: booleans kept
  // A VARIANT argument is the value it holds.
  V := 12;
  Writeln(IntToStr(O.EchoInt32(V)));                          // expect: 12
  V := 'held';
  Writeln(O.EchoString(V));                                   // expect: held
  // Arrays, element by element (a call's result is indexed once it is in a variable).
  Ints := [1, -2, 3];
  Ints := O.EchoInt32Array(Ints);
  Writeln(IntToStr(Ints[0] + Ints[1] + Ints[2]));             // expect: 2
  Bytes := [0, 127, 255];
  Bytes := O.EchoByteArray(Bytes);
  Writeln(IntToStr(Bytes[2]));                                // expect: 255
  Ints := O.EchoInt16Array(Ints);
  Writeln(IntToStr(GetArrayLength(Ints)));                    // expect: 3
  Texts := ['a', 'bc'];
  Texts := O.EchoStringArray(Texts);
  Writeln(Texts[1]);                                          // expect: bc
  Reals := [0.5, 2];
  Reals := O.EchoDoubleArray(Reals);
  Writeln(FloatToStr(Reals[1]));                              // expect: 2.000000000000
  Reals := O.EchoDoubleArray(Ints);
  Writeln(FloatToStr(Reals[1]));                              // expect: -2.000000000000
  Flags := [True, False];
  Flags := O.EchoBoolArray(Flags);
  if Flags[0] and not Flags[1] then Writeln('boolean array kept');  // expect: boolean array kept
  SetArrayLength(Mixed, 3);
  Mixed[0] := 1; Mixed[1] := 'two'; Mixed[2] := True;
  Mixed := O.EchoVariantArray(Mixed);
  Writeln(IntToStr(GetArrayLength(Mixed)));                   // expect: 3
  // A variant parameter carries the value with the type it gets there.
  Writeln(O.DescribeVariant(B));                              // expect: i
  Writeln(O.DescribeVariant(C));                              // expect: x
  Writeln(O.DescribeVariant(S));                              // expect: s
  Writeln(O.DescribeVariant(Ch));                             // expect: s
  Writeln(O.DescribeVariant(E));                              // expect: d
  Writeln(O.DescribeVariant(Bo));                             // expect: b
  Writeln(O.DescribeVariant(Texts));                          // expect: as
  Writeln(O.DescribeVariant(Ints));                           // expect: ai
  Writeln(O.DescribeVariant(Mixed));                          // expect: av
  SetArrayLength(Ints, 0);
  Writeln(O.DescribeVariant(Ints));                           // expect: av
  Ints := O.EchoInt32Array(Ints);
  Writeln(IntToStr(GetArrayLength(Ints)));                    // expect: 0
end.
