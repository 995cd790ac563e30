// A library loaded in a unit is the whole run's: the script that uses the unit binds its exports
// too, and closes it for both.
// cwd: units
uses CLib;

begin
  if OpenC then
    Writeln('opened in the unit');                    // expect: opened in the unit
  Writeln(IntToStr(LengthInUnit('four')));             // expect: 4
  if MapLibraryProc(Handle, 'abs', 'function CAbs(V: Integer): Integer; cdecl') then
    Writeln(IntToStr(CAbs(-12)));                      // expect: 12
  CloseLibrary(Handle);
  Writeln('closed here');                              // expect: closed here
  CloseLibrary(Handle);                                // expect error: type mismatch
end.
