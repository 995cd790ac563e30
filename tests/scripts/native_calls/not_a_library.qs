// A ResourcePointer that no LoadLibrary filled is not a library.
var
  Lib, Other: ResourcePointer;
begin
  if not LoadLibrary('./no-such-library.so', Lib) then
    Writeln('not loaded'); // expect: not loaded
  Other := Lib;
  CloseLibrary(Other);     // expect error: type mismatch
end.
