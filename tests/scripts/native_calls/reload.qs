// A library closed and loaded again is a fresh copy: its state starts anew, and its routines can
// be bound again under the same names. Two loads of one library are two libraries to the script.
var
  First, Second: ResourcePointer;
begin
  LoadLibrary('libquoll-native-test-exports.so', First);
  MapLibraryProc(First, 'qt_store', 'procedure Store(V: Integer)');
  MapLibraryProc(First, 'qt_stored', 'function Stored: Integer');
  MapLibraryProc(First, 'qt_load_count', 'function LoadCount: Integer');
  Store(77);
  Writeln(IntToStr(Stored) + ' ' + IntToStr(LoadCount)); // expect: 77 1
  // A second handle on the loaded library shares its state.
  LoadLibrary('libquoll-native-test-exports.so', Second);
  CloseLibrary(First);
  MapLibraryProc(Second, 'qt_stored', 'function Stored: Integer');
  Writeln(IntToStr(Stored));                             // expect: 77
  CloseLibrary(Second);
  // The last handle gone, the library was unloaded: a new load starts from zero.
  LoadLibrary('libquoll-native-test-exports.so', First);
  MapLibraryProc(First, 'qt_stored', 'function Stored: Integer');
  MapLibraryProc(First, 'qt_load_count', 'function LoadCount: Integer');
  Writeln(IntToStr(Stored) + ' ' + IntToStr(LoadCount)); // expect: 0 1
  CloseLibrary(First);
end.
