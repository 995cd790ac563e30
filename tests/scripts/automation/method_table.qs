program MethodTable;
// The table: the methods of every interface, the first interface winning a shared name (in
// any case), an entry reading each readable property; a write-only property is not there.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer:/org/quoll/TestServer/Described');
  Writeln(O.Which);                 // expect: first
  Writeln(O.OnlySecond('echoed'));  // expect: echoed
  Writeln(IntToStr(O.Level));       // expect: 3
  Writeln(O.Mode);                  // expect: quiet
  O.Secret;  // expect error: unknown identifier: SECRET
end.
