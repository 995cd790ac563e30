program Results;
// Every type a reply may carry that scripts can hold, and the shapes of a reply: no value, one
// value, several values (an array holding each).
var
  O: IDispatch;
  All: array of Variant;
  Nested: array of array of Integer;
  Ints: array of Integer;
  Mixed: array of Variant;
  Echoed: array of Integer;
  S: string;
begin
  O := CreateOleObject('org.quoll.TestServer');
  Writeln(GetType(O.EchoByte(1)));                            // expect: BYTE
  Writeln(GetType(O.EchoBool(True)));                         // expect: BOOLEAN
  Writeln(GetType(O.EchoInt16(1)));                           // expect: SMALLINT
  Writeln(GetType(O.EchoUInt16(1)));                          // expect: WORD
  Writeln(GetType(O.EchoInt32(1)));                           // expect: LONGINT
  Writeln(GetType(O.EchoUInt32(1)));                          // expect: CARDINAL
  Writeln(GetType(O.EchoDouble(1)));                          // expect: DOUBLE
  Writeln(GetType(O.EchoString('x')));                        // expect: STRING
  Writeln(GetType(O.EchoPath('/x')));                         // expect: STRING
  Writeln(GetType(O.EchoSignature('i')));                     // expect: STRING
  // A variant gives the value it holds.
  Writeln(GetType(O.EchoVariant(5)));                         // expect: LONGINT
  Writeln(GetType(O.EchoVariant('five')));                    // expect: STRING
  // Arrays element by element, nested ones too.
  // (An array variable takes the element type of the array assigned to it.)
  Ints := [5, 6];
  Echoed := O.EchoInt32Array(Ints);
  Writeln(GetType(Echoed[1]));                                // expect: LONGINT
  Echoed := O.EchoByteArray(Ints);
  Writeln(GetType(Echoed[1]));                                // expect: BYTE
  Echoed := O.EchoUInt32Array(Ints);
  Writeln(GetType(Echoed[1]));                                // expect: CARDINAL
  Nested := O.GetNestedArray;
  Writeln(IntToStr(GetArrayLength(Nested)));                  // expect: 2
  Writeln(IntToStr(Nested[0][1] + Nested[1][0]));             // expect: 5
  // An array of variants holds VARIANTs with what each variant holds.
  SetArrayLength(Mixed, 2);
  Mixed[0] := 1; Mixed[1] := 'two';
  Mixed := O.EchoVariantArray(Mixed);
  Writeln(GetType(Mixed[1]));                                 // expect: VARIANT
  S := Mixed[1];
  Writeln(S);                                                 // expect: two
  // Several out-arguments: an array holding each, as VARIANTs.
  All := O.Several;
  Writeln(IntToStr(GetArrayLength(All)));                     // expect: 4
  S := All[1];
  Writeln(S);                                                 // expect: forty-two
  if All[0] = 42 then Writeln('first is 42');                 // expect: first is 42
  // No out-argument: nothing, which a statement may ignore.
  O.Nothing;
  Writeln('nothing returned');                                // expect: nothing returned
  S := O.Nothing;  // expect error: type mismatch
end.
