// CloseLibrary unbinds the library's routines: their names are unknown afterwards.
var
  Lib: ResourcePointer;
begin
  LoadLibrary('libquoll-native-test-exports.so', Lib);
  MapLibraryProc(Lib, 'qt_store', 'procedure Store(V: Integer)');
  MapLibraryProc(Lib, 'qt_stored', 'function Stored: Integer');
  Store(5);
  Writeln(IntToStr(Stored)); // expect: 5
  CloseLibrary(Lib);
  Store(6);                  // expect error: unknown identifier: STORE
end.
