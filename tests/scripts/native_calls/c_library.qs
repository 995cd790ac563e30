// The C library itself, loaded by the name the loader knows it by.
var
  C: ResourcePointer;
  S: string;

procedure Map(Export, Declaration: string);
begin
  if not MapLibraryProc(C, Export, Declaration) then
    Writeln('not mapped: ' + Declaration);
end;

begin
  if LoadLibrary('libc.so.6', C) then
    Writeln('libc.so.6 loaded');                                 // expect: libc.so.6 loaded
  Map('strlen', 'function strlen(S: PChar): Cardinal; cdecl');
  Map('abs', 'function abs(V: Integer): Integer; cdecl');
  Map('toupper', 'function toupper(C: Integer): Integer; cdecl');
  Map('atoi', 'function atoi(S: string): Integer; cdecl');
  Map('strchr', 'function strchr(S: PChar; C: Integer): PChar; cdecl');
  Map('getenv', 'function getenv(Name: PChar): PChar; cdecl');
  Map('strncpy', 'function strncpy(var Dest: string; Source: PChar; Count: Cardinal): PChar; cdecl');
  Map('gethostname', 'function gethostname(var Name: string; Size: Cardinal): Integer; cdecl');

  Writeln(IntToStr(strlen('a C string')));                       // expect: 10
  Writeln(IntToStr(abs(-2147483647)));                           // expect: 2147483647
  Writeln(Chr(toupper(Ord('q'))));                               // expect: Q
  Writeln(IntToStr(atoi('  -42 apples')));                       // expect: -42
  // A result pointing into an argument is read before the argument goes.
  Writeln(strchr('hello world', Ord('w')));                      // expect: world
  Writeln('[' + strchr('hello', Ord('z')) + ']');                // expect: []
  if getenv('PATH') <> '' then
    Writeln('PATH is set');                                      // expect: PATH is set
  Writeln('[' + getenv('QUOLL_NO_SUCH_VARIABLE_ANYWHERE') + ']'); // expect: []
  // Buffers made with SetLength and filled by the C library.
  SetLength(S, 10);
  Writeln(strncpy(S, 'copied', 10));                             // expect: copied
  Writeln(IntToStr(Length(S)) + ' ' + IntToStr(Pos(#0, S)));     // expect: 10 7
  SetLength(S, 256);
  Writeln(IntToStr(gethostname(S, 256)));                        // expect: 0
  if Pos(#0, S) > 1 then
    Writeln('a host name came back');                            // expect: a host name came back
  CloseLibrary(C);
end.
