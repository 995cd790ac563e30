program StandardInterfaces;
// Introspectable, Peer and Properties are not in an object's table.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.Ping;  // expect error: unknown identifier: PING
end.
