// Every calling-convention identifier calls the one C convention of 64-bit Linux; any other
// identifier, or none, is the register convention, which calls it too.
var
  Lib: ResourcePointer;

procedure Bind(Declaration: string);
begin
  if MapLibraryProc(Lib, 'qt_next_int32', Declaration) then
    Writeln(Declaration)
  else
    Writeln('not mapped: ' + Declaration);
end;

begin
  LoadLibrary('libquoll-native-test-exports.so', Lib);
  Bind('function ViaStdcall(V: Integer): Integer; stdcall'); // expect: function ViaStdcall(V: Integer): Integer; stdcall
  Bind('function ViaCdecl(V: Integer): Integer; CDECL;');    // expect: function ViaCdecl(V: Integer): Integer; CDECL;
  Bind('function ViaPascal(V: Integer): Integer; Pascal');   // expect: function ViaPascal(V: Integer): Integer; Pascal
  Bind('function ViaRegister(V: Integer): Integer; register'); // expect: function ViaRegister(V: Integer): Integer; register
  Bind('function ViaDefault(V: Integer): Integer');          // expect: function ViaDefault(V: Integer): Integer
  Bind('function ViaDefaultSemicolon(V: Integer): Integer;'); // expect: function ViaDefaultSemicolon(V: Integer): Integer;
  Writeln(IntToStr(ViaStdcall(1) + ViaCdecl(10) + ViaPascal(100) + ViaRegister(1000) +
                   ViaDefault(10000) + ViaDefaultSemicolon(100000))); // expect: 111117
  CloseLibrary(Lib);
end.
