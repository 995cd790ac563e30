program NameNotProvided;
// A name without an owner that the bus cannot start: the bus's own message.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.Nobody');  // expect error: could not create ole object:The name org.quoll.Nobody was not provided by any .service files
end.
