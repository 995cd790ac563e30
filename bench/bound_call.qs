// A million calls of a trivial C export bound to a script routine (bench_add of
// bench/foreign_call_export.cpp); each result feeds the next call. The twin bound_call.loop makes
// bench/bound-call-direct do the same from a C++ loop.
var
  Lib: ResourcePointer;
  I, Sum: Integer;
begin
  if not LoadLibrary('libquoll-bench-exports.so', Lib) then
    Writeln('libquoll-bench-exports.so not found (LD_LIBRARY_PATH=build/bench)')
  else if not MapLibraryProc(Lib, 'bench_add', 'function Add(A, B: Integer): Integer; cdecl') then
    Writeln('bench_add not found')
  else
  begin
    Sum := 0;
    for I := 0 to 999999 do
      Sum := Add(Sum, I and 7);
    Writeln('sum ' + IntToStr(Sum));
    CloseLibrary(Lib);
  end;
end.
