program NotIntrospectable;
// An object that does not describe itself can be created, but has no methods to call.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer:/org/quoll/TestServer/Opaque');
  Writeln('created');     // expect: created
  Writeln(O.Ping);        // expect error: unknown identifier: PING
end.
