// Binding routines under names the script's text never mentions, while it runs, and unbinding them
// all again: two thousand routines on one library.
var
  Lib: ResourcePointer;
  I, Refused: Integer;
begin
  LoadLibrary('libquoll-native-test-exports.so', Lib);
  Refused := 0;
  for I := 1 to 2000 do
    if not MapLibraryProc(Lib, 'qt_store', 'procedure Store' + IntToStr(I) + '(V: Integer)') then
      Refused := Refused + 1;
  MapLibraryProc(Lib, 'qt_stored', 'function Stored: Integer');
  Writeln(IntToStr(Refused));  // expect: 0
  Store2000(2000);
  Writeln(IntToStr(Stored));   // expect: 2000
  CloseLibrary(Lib);
  Store1(1);                   // expect error: unknown identifier: STORE1
end.
