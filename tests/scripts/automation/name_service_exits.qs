program NameServiceExits;
// The bus starts the service, which exits without taking its name.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer.Broken');  // expect error: could not create ole object:Process org.quoll.TestServer.Broken exited with status 2
end.
