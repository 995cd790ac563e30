program ResultStruct;
// Structures have no script type.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.GetStruct;  // expect error: could convert result
end.
