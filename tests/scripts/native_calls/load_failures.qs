// LoadLibrary gives false, and leaves Res as it was, for a library that cannot be loaded: a
// missing file, a name the loader does not find, a folder, an empty name (which would otherwise
// hand out the program itself) and a name with a NUL byte (which the loader would cut short).
var
  Lib: ResourcePointer;

procedure Load(Name, Shown: string);
begin
  if LoadLibrary(Name, Lib) then
    Writeln(Shown + ' loaded')
  else
    Writeln(Shown + ' not loaded');
end;

begin
  Load('libquoll-native-test-exports.so', 'the test library'); // expect: the test library loaded
  Load('./no-such-library.so', 'a missing file');              // expect: a missing file not loaded
  Load('libquoll-no-such-library.so.1', 'an unknown name');    // expect: an unknown name not loaded
  Load('/', 'a folder');                                       // expect: a folder not loaded
  Load('', 'the empty name');                                  // expect: the empty name not loaded
  Load('libc.so.6'#0'.evil', 'a name with a NUL byte');        // expect: a name with a NUL byte not loaded
  // Lib is still the test library.
  if MapLibraryProc(Lib, 'qt_next_int32', 'function Next(V: Integer): Integer') then
    Writeln(IntToStr(Next(41)));                               // expect: 42
  CloseLibrary(Lib);
end.
