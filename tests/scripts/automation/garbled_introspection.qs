program GarbledIntrospection;
// Introspection that is not XML gives an empty table as well.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer:/org/quoll/TestServer/Garbled');
  O.Lost;  // expect error: unknown identifier: LOST
end.
