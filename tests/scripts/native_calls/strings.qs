// Strings in and out: a text argument is a pointer to zero-terminated characters (an empty string
// too, never a null pointer); a PChar or string result is the text at the returned pointer, copied
// ('' for a null pointer); a `var` string is the script string's own buffer at its length.
var
  Lib: ResourcePointer;
  S, T: string;
  N: Integer;

procedure Map(Export, Declaration: string);
begin
  if not MapLibraryProc(Lib, Export, Declaration) then
    Writeln('not mapped: ' + Declaration);
end;

begin
  LoadLibrary('libquoll-native-test-exports.so', Lib);
  Map('qt_text_length', 'function TextLength(S: PChar): Integer');
  Map('qt_text_length', 'function StringLength(S: string): Integer');
  Map('qt_texts_equal', 'function Equal(A, B: string): Integer');
  Map('qt_texts_equal', 'function SameBuffers(var A, B: string): Integer');
  Map('qt_greeting', 'function Greeting: PChar');
  Map('qt_greeting', 'function GreetingString: string');
  Map('qt_null_text', 'function NullText: PChar');
  Map('qt_null_text', 'function NullString: string');
  Map('qt_echo_text', 'function Echo(S: string): string');
  Map('qt_echo_text', 'function EchoBuffer(var S: PChar): PChar');
  Map('qt_upcase_in_place', 'procedure Upcase(var S: string)');
  Map('qt_upcase_in_place', 'procedure UpcasePChar(var S: PChar)');
  Map('qt_fill_buffer', 'function Fill(var Buffer: string; Size: Cardinal; Value: Integer): Integer');

  Writeln(IntToStr(TextLength('four')) + ' ' + IntToStr(StringLength('seven..'))); // expect: 4 7
  Writeln(IntToStr(TextLength('')) + ' ' + IntToStr(StringLength('')));           // expect: 0 0
  // C sees the characters up to the first NUL byte.
  Writeln(IntToStr(TextLength('ab'#0'cd')));                                       // expect: 2
  Writeln(IntToStr(Equal('same', 'same')) + IntToStr(Equal('same', 'other')));     // expect: 10
  Writeln(Greeting);                                                               // expect: Hello from the test library
  Writeln(GreetingString);                                                         // expect: Hello from the test library
  Writeln('[' + NullText + '][' + NullString + ']');                               // expect: [][]
  Writeln(Echo('echoed'));                                                         // expect: echoed
  S := 'kept';
  T := Echo(S);
  T := T + '!';
  Writeln(S + ' ' + T);                                                            // expect: kept kept!

  // `var` texts: the routine changes the script's string in place.
  S := 'mixed Case 123';
  Upcase(S);
  Writeln(S);                                                                      // expect: MIXED CASE 123
  S := 'pchar';
  UpcasePChar(S);
  Writeln(S);                                                                      // expect: PCHAR
  S := '';
  Upcase(S);
  Writeln('[' + S + ']');                                                          // expect: []
  S := 'buffer';
  Writeln(EchoBuffer(S));                                                          // expect: buffer
  // Two `var` texts given the same variable see the same characters.
  S := 'twice';
  Writeln(IntToStr(SameBuffers(S, S)) + ' ' + S);                                  // expect: 1 twice

  // A buffer made with SetLength, filled like snprintf: it keeps its length.
  SetLength(S, 32);
  N := Fill(S, 32, 1234);
  Writeln(IntToStr(N) + ' ' + IntToStr(Length(S)) + ' ' + Copy(S, 1, Pos(#0, S) - 1)); // expect: 10 32 value=1234
  SetLength(S, 5);
  N := Fill(S, 5, 98765);
  Writeln(IntToStr(N) + ' ' + IntToStr(Length(S)) + ' ' + Copy(S, 1, Pos(#0, S) - 1)); // expect: 11 5 valu
  CloseLibrary(Lib);
end.
