// A routine value taken from a bound routine outlives the binding; calling it after CloseLibrary
// is an error, never a jump into the unloaded library.
type
  TStore = procedure(V: Integer);
var
  Lib: ResourcePointer;
  Keep: TStore;
begin
  LoadLibrary('libquoll-native-test-exports.so', Lib);
  MapLibraryProc(Lib, 'qt_store', 'procedure Store(V: Integer)');
  Keep := @Store;
  Keep^(1);
  Writeln('called while bound'); // expect: called while bound
  CloseLibrary(Lib);
  Keep^(2);                      // expect error: Could not call function
end.
