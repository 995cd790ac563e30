// Loops that begin after their routines were bound, inside a statement that began before: each
// pass calls what the names mean at that moment, and a name that lost its routine fails only
// when the statement using it runs, where it stands.
var
  Lib: ResourcePointer;
  I, Sum: Integer;

function Twice(V: Integer): Integer;
begin
  Result := V * 2;
end;

begin
  LoadLibrary('libquoll-native-test-exports.so', Lib);
  if MapLibraryProc(Lib, 'qt_store', 'procedure Store(V: Integer)') then
  begin
    MapLibraryProc(Lib, 'qt_stored', 'function Stored: Integer');
    Sum := 0;
    for I := 1 to 10 do
    begin
      Store(I);
      Sum := Sum + Twice(Stored);
    end;
    Writeln(IntToStr(Sum));  // expect: 110
    // Bound again on every pass, so every pass runs under new names.
    I := 0;
    while I < 8 do
    begin
      MapLibraryProc(Lib, 'qt_stored', 'function Stored: Integer');
      Store(I);
      Sum := Sum + Stored;
      I := I + 1;
    end;
    Writeln(IntToStr(Sum));  // expect: 138
    CloseLibrary(Lib);
    I := 0;
    repeat
      I := I + 1;
      Writeln(IntToStr(I));  // expect: 1
                             // expect: 2
                             // expect: 3
      if I = 3 then Store(I); // expect error: unknown identifier: STORE
                              // expect position at: Store
    until I > 5;
  end;
end.
