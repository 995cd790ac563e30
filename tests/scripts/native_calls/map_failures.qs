// MapLibraryProc gives false, with no error, for a declaration it cannot read (the declaration
// reader's own tests hold the full list), a type it does not pass (Boolean among them), a missing
// export, and a name the script already uses; the library stays usable.
var
  Lib: ResourcePointer;
  Taken: Integer;

procedure OwnRoutine;
begin
end;

procedure Map(Export, Declaration: string);
begin
  if MapLibraryProc(Lib, Export, Declaration) then
    Writeln('mapped: ' + Declaration)
  else
    Writeln('refused: ' + Declaration);
end;

begin
  LoadLibrary('libquoll-native-test-exports.so', Lib);
  Map('qt_next_int32', 'function F(V: Boolean): Integer');   // expect: refused: function F(V: Boolean): Integer
  Map('qt_next_int32', 'function F(V: Integer): Boolean');   // expect: refused: function F(V: Integer): Boolean
  Map('qt_next_int32', 'function F(V: Real): Integer');      // expect: refused: function F(V: Real): Integer
  Map('qt_next_int32', 'function F(V: Integer)');            // expect: refused: function F(V: Integer)
  Map('qt_store', 'procedure F(V: Integer): Integer');       // expect: refused: procedure F(V: Integer): Integer
  Map('qt_store', 'procedure F(const V: Integer)');          // expect: refused: procedure F(const V: Integer)
  Map('qt_store', 'procedure F(V: Integer) cdecl');          // expect: refused: procedure F(V: Integer) cdecl
  Map('qt_store', 'procedure F(V: Integer); { open comment'); // expect: refused: procedure F(V: Integer); { open comment
  if not MapLibraryProc(Lib, 'qt_store', '') then
    Writeln('the empty declaration refused');                // expect: the empty declaration refused
  if not MapLibraryProc(Lib, 'qt_store', 'procedure F(V: Integer);'#0'garbage') then
    Writeln('a declaration with a NUL byte refused');        // expect: a declaration with a NUL byte refused
  // Names the script already uses: a library routine, a variable, its own routine, the library's.
  Map('qt_store', 'procedure Writeln(V: Integer)');          // expect: refused: procedure Writeln(V: Integer)
  Map('qt_store', 'procedure Taken(V: Integer)');            // expect: refused: procedure Taken(V: Integer)
  Map('qt_store', 'procedure OwnRoutine(V: Integer)');       // expect: refused: procedure OwnRoutine(V: Integer)
  Map('qt_store', 'procedure LoadLibrary(V: Integer)');      // expect: refused: procedure LoadLibrary(V: Integer)
  // Exports the library does not have.
  Map('qt_no_such_export', 'procedure G(V: Integer)');       // expect: refused: procedure G(V: Integer)
  Map('', 'procedure H(V: Integer)');                        // expect: refused: procedure H(V: Integer)
  Map('qt_store'#0'x', 'procedure K(V: Integer)');           // expect: refused: procedure K(V: Integer)
  // None of those left a routine behind; good declarations still bind.
  Map('qt_store', 'procedure F(V: Integer)');                // expect: mapped: procedure F(V: Integer)
  Map('qt_store', 'procedure G(V: Integer)');                // expect: mapped: procedure G(V: Integer)
  Map('qt_store', 'procedure Store(V: Integer)');            // expect: mapped: procedure Store(V: Integer)
  Map('qt_stored', 'function Stored: Integer');              // expect: mapped: function Stored: Integer
  // The second routine of a name would never be reached.
  Map('qt_stored', 'function Stored: Integer');              // expect: refused: function Stored: Integer
  Store(31);
  Writeln(IntToStr(Stored));                                 // expect: 31
  CloseLibrary(Lib);
end.
