// Binding an export of a closed library stops the script.
var
  Lib: ResourcePointer;
begin
  LoadLibrary('libquoll-native-test-exports.so', Lib);
  CloseLibrary(Lib);
  MapLibraryProc(Lib, 'qt_store', 'procedure Store(V: Integer)'); // expect error: type mismatch
end.
