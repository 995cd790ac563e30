program SharedLibrary;
// Calls C functions of the C library (libc.so.6): each is bound to a script routine by a Pascal
// declaration, called like any routine, and unbound when the library is closed.
var
  C: ResourcePointer;
  Home, Host, Copied: string;

function Bind(Export, Declaration: string): Boolean;
begin
  Result := MapLibraryProc(C, Export, Declaration);
  if not Result then
    Writeln('could not bind ' + Export);
end;

// The text before the first NUL byte of a buffer that a C function filled.
function BufferText(Buffer: string): string;
begin
  if Pos(#0, Buffer) > 0 then
    Result := Copy(Buffer, 1, Pos(#0, Buffer) - 1)
  else
    Result := Buffer;
end;

begin
  if not LoadLibrary('libc.so.6', C) then
  begin
    Writeln('the C library could not be loaded');
    exit;
  end;
  Bind('strlen', 'function strlen(S: PChar): Cardinal; cdecl');
  Bind('abs', 'function abs(N: Integer): Integer; cdecl');
  Bind('toupper', 'function toupper(C: Integer): Integer; cdecl');
  Bind('getenv', 'function getenv(Name: PChar): PChar; cdecl');
  Bind('gethostname', 'function gethostname(var Name: string; Size: Cardinal): Integer; cdecl');
  Bind('strncpy', 'function strncpy(var Dest: string; Source: PChar; Count: Cardinal): PChar; cdecl');

  Writeln('strlen(''smart card'') = ' + IntToStr(strlen('smart card')));
  Writeln('abs(-42) = ' + IntToStr(abs(-42)));
  Writeln('toupper(''q'') = ' + Chr(toupper(Ord('q'))));

  // getenv gives a null pointer for a variable that is not set, which arrives as ''.
  Home := getenv('HOME');
  if Home <> '' then
    Writeln('HOME is set')
  else
    Writeln('HOME is not set');

  // A buffer made with SetLength is filled by the function and keeps its length.
  SetLength(Host, 256);
  if gethostname(Host, 256) = 0 then
    Writeln('host name: ' + BufferText(Host))
  else
    Writeln('no host name');
  SetLength(Copied, 16);
  strncpy(Copied, 'copied by libc', 16);
  Writeln(BufferText(Copied) + ' (the buffer still holds ' + IntToStr(Length(Copied)) + ' bytes)');

  CloseLibrary(C);
end.
