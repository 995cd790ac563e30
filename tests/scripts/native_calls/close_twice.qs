// A library closed once is no library any more: closing it again stops the script.
var
  Lib: ResourcePointer;
begin
  LoadLibrary('libquoll-native-test-exports.so', Lib);
  CloseLibrary(Lib);
  Writeln('closed once'); // expect: closed once
  CloseLibrary(Lib);      // expect error: type mismatch
end.
